before
#include <test/inner.glsl>
after

line of a
#include <test/cycleb.glsl>

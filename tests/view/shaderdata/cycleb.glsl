line of b
#include <test/cyclea.glsl>

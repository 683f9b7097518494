own line
#include <test/selfcycle.glsl>

line of missing include
#include <test/nosuchfile.glsl>

top line
#include <test/cyclea.glsl>
#include <test/cyclea.glsl>
#include <test/cyclea.glsl>
#include <test/inner.glsl>
#include <test/inner.glsl>

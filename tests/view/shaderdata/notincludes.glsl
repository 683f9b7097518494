kept
#include test/inner.glsl
	#include <test/inner.glsl>

#pragma once
// The surface format every OpenGL widget of the program is made with: an
// OpenGL 3.3 core profile with 16 samples (drivers give what they can: 4 on
// Mesa's llvmpipe). Installed as the default before the first widget exists.

void installProgramSurfaceFormat();

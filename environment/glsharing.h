#pragma once
// What OpenCL needs to share buffers with the OpenGL context current on this
// thread. The only place that knows the window system (GLX or EGL).

#include <cstdint>

struct GlSharingProperties {
    // False when no OpenGL context is current; the other fields are then 0.
    bool current = false;
    // Value for CL_GL_CONTEXT_KHR.
    std::intptr_t glContext = 0;
    // CL_GLX_DISPLAY_KHR or CL_EGL_DISPLAY_KHR, and the display for it.
    std::intptr_t displayKey = 0;
    std::intptr_t display = 0;
};

GlSharingProperties currentGlSharingProperties();

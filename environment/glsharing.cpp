#include "environment/glsharing.h"

#include "environment/opencl.h"

#include <CL/cl_gl.h>
#include <EGL/egl.h>
#include <GL/glx.h>

GlSharingProperties currentGlSharingProperties()
{
    GlSharingProperties properties;
    // A GLX context is looked for first: with no GLX context current the query
    // answers null, so an EGL context is still found after it.
    if (GLXContext glx = glXGetCurrentContext()) {
        properties.current = true;
        properties.glContext = reinterpret_cast<std::intptr_t>(glx);
        properties.displayKey = CL_GLX_DISPLAY_KHR;
        properties.display = reinterpret_cast<std::intptr_t>(glXGetCurrentDisplay());
        return properties;
    }
    EGLContext egl = eglGetCurrentContext();
    if (egl != EGL_NO_CONTEXT) {
        properties.current = true;
        properties.glContext = reinterpret_cast<std::intptr_t>(egl);
        properties.displayKey = CL_EGL_DISPLAY_KHR;
        properties.display = reinterpret_cast<std::intptr_t>(eglGetCurrentDisplay());
    }
    return properties;
}

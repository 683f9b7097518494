#pragma once
// A real OpenGL 3.3 core context (Mesa under Xvfb in the test runs) on an
// offscreen surface, current while the object lives. Creates the
// QGuiApplication first if the process has none.

#include <QOpenGLFunctions_3_3_Core>

#include <memory>

class QOffscreenSurface;
class QOpenGLContext;

class OffscreenGlContext {
public:
    OffscreenGlContext();
    ~OffscreenGlContext(); // releases the context: nothing is current afterwards
    OffscreenGlContext(const OffscreenGlContext&) = delete;
    OffscreenGlContext& operator=(const OffscreenGlContext&) = delete;

    // The 3.3 core entry points of the current context; null when no such
    // context could be made (no X server, say).
    QOpenGLFunctions_3_3_Core* gl() const { return gl_; }
    QOpenGLContext* context() const { return context_.get(); }

private:
    std::unique_ptr<QOpenGLContext> context_;
    std::unique_ptr<QOffscreenSurface> surface_;
    QOpenGLFunctions_3_3_Core* gl_ = nullptr;
};

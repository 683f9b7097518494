#include "glcontext.h"

#include <QGuiApplication>
#include <QOffscreenSurface>
#include <QOpenGLContext>
#include <QSurfaceFormat>

OffscreenGlContext::OffscreenGlContext()
{
    if (!QGuiApplication::instance()) {
        static int argc = 1;
        static char name[] = "trelimo_test";
        static char* argv[] = {name, nullptr};
        new QGuiApplication(argc, argv); // lives as long as the process
    }
    QSurfaceFormat format;
    format.setVersion(3, 3);
    format.setProfile(QSurfaceFormat::CoreProfile);
    format.setDepthBufferSize(24);

    context_ = std::make_unique<QOpenGLContext>();
    context_->setFormat(format);
    if (!context_->create())
        return;
    surface_ = std::make_unique<QOffscreenSurface>();
    surface_->setFormat(context_->format());
    surface_->create();
    if (!context_->makeCurrent(surface_.get()))
        return;
    gl_ = context_->versionFunctions<QOpenGLFunctions_3_3_Core>();
    if (gl_ && !gl_->initializeOpenGLFunctions())
        gl_ = nullptr;
}

OffscreenGlContext::~OffscreenGlContext()
{
    if (context_ && QOpenGLContext::currentContext() == context_.get())
        context_->doneCurrent();
}

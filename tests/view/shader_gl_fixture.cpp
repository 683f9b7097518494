#include "shader_gl_fixture.h"

#include <QGuiApplication>
#include <QOffscreenSurface>
#include <QOpenGLContext>
#include <QSurfaceFormat>

namespace {

void ensureApplication()
{
    if (QGuiApplication::instance())
        return;
    static int argc = 1;
    static char name[] = "shader_tests";
    static char* argv[] = {name, nullptr};
    new QGuiApplication(argc, argv);
}

} // namespace

GlContext::GlContext()
{
    ensureApplication();
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
    gl = context_->versionFunctions<QOpenGLFunctions_3_3_Core>();
}

GlContext::~GlContext()
{
    if (context_)
        context_->doneCurrent();
}

RenderTarget::RenderTarget(QOpenGLFunctions_3_3_Core* gl, int width, int height, Kind kind)
    : width(width), height(height), gl_(gl), kind_(kind)
{
    gl_->glGenFramebuffers(1, &framebuffer_);
    gl_->glBindFramebuffer(GL_FRAMEBUFFER, framebuffer_);

    // The colour texture is bound only while it is set up: a test's own
    // texture on the active unit stays where it was.
    GLint previousTexture = 0;
    gl_->glGetIntegerv(GL_TEXTURE_BINDING_2D, &previousTexture);
    gl_->glGenTextures(1, &colour_);
    gl_->glBindTexture(GL_TEXTURE_2D, colour_);
    if (kind_ == Kind::Colour)
        gl_->glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, width, height, 0, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
    else
        gl_->glTexImage2D(GL_TEXTURE_2D, 0, GL_R32I, width, height, 0, GL_RED_INTEGER, GL_INT, nullptr);
    gl_->glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    gl_->glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    gl_->glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, colour_, 0);
    gl_->glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(previousTexture));

    gl_->glGenRenderbuffers(1, &depth_);
    gl_->glBindRenderbuffer(GL_RENDERBUFFER, depth_);
    gl_->glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH_COMPONENT24, width, height);
    gl_->glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, depth_);

    GLenum drawBuffer = GL_COLOR_ATTACHMENT0;
    gl_->glDrawBuffers(1, &drawBuffer);
    gl_->glReadBuffer(GL_COLOR_ATTACHMENT0);
    gl_->glViewport(0, 0, width, height);
}

RenderTarget::~RenderTarget()
{
    gl_->glBindFramebuffer(GL_FRAMEBUFFER, 0);
    gl_->glDeleteRenderbuffers(1, &depth_);
    gl_->glDeleteTextures(1, &colour_);
    gl_->glDeleteFramebuffers(1, &framebuffer_);
}

bool RenderTarget::complete() const
{
    return gl_->glCheckFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
}

void RenderTarget::clear(const glm::vec4& colour)
{
    gl_->glBindFramebuffer(GL_FRAMEBUFFER, framebuffer_);
    gl_->glDepthMask(GL_TRUE);
    gl_->glClear(GL_DEPTH_BUFFER_BIT);
    if (kind_ == Kind::Colour) {
        gl_->glClearBufferfv(GL_COLOR, 0, &colour.x);
    } else {
        const GLint zero[4] = {0, 0, 0, 0};
        gl_->glClearBufferiv(GL_COLOR, 0, zero);
    }
}

glm::vec4 RenderTarget::colourAt(int x, int y) const
{
    gl_->glFinish();
    unsigned char rgba[4] = {0, 0, 0, 0};
    gl_->glReadPixels(x, y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
    return glm::vec4(rgba[0], rgba[1], rgba[2], rgba[3]) / 255.0f;
}

int RenderTarget::idAt(int x, int y) const
{
    gl_->glFinish();
    GLint id = -1;
    gl_->glReadPixels(x, y, 1, 1, GL_RED_INTEGER, GL_INT, &id);
    return id;
}

unsigned int makeTexture(QOpenGLFunctions_3_3_Core* gl, int width, int height, const unsigned char* rgba)
{
    unsigned int texture = 0;
    gl->glGenTextures(1, &texture);
    gl->glBindTexture(GL_TEXTURE_2D, texture);
    gl->glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    gl->glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    gl->glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    gl->glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    gl->glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, width, height, 0, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
    return texture;
}

unsigned int makeEmptyShadowMap(QOpenGLFunctions_3_3_Core* gl)
{
    unsigned int texture = 0;
    const float depth = 1.0f;
    gl->glGenTextures(1, &texture);
    gl->glBindTexture(GL_TEXTURE_2D, texture);
    gl->glTexImage2D(GL_TEXTURE_2D, 0, GL_DEPTH_COMPONENT32F, 1, 1, 0, GL_DEPTH_COMPONENT, GL_FLOAT, &depth);
    gl->glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    gl->glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    gl->glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_COMPARE_MODE, GL_COMPARE_REF_TO_TEXTURE);
    gl->glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_COMPARE_FUNC, GL_LEQUAL);
    gl->glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    gl->glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    return texture;
}

#pragma once
// A real OpenGL 3.3 core context (Mesa under Xvfb in the test runs) made
// current on an offscreen surface, and small offscreen targets to draw into and
// read back. Shared by the tests of the shader programs.

#include <QOpenGLFunctions_3_3_Core>

#include <glm/glm.hpp>

#include <memory>

class QOffscreenSurface;
class QOpenGLContext;

// Creates the application object (once per process) and a 3.3 core context;
// `gl` is null when no such context can be made.
class GlContext {
public:
    GlContext();
    ~GlContext();
    GlContext(const GlContext&) = delete;
    GlContext& operator=(const GlContext&) = delete;

    QOpenGLFunctions_3_3_Core* gl = nullptr;

private:
    std::unique_ptr<QOffscreenSurface> surface_;
    std::unique_ptr<QOpenGLContext> context_;
};

// A framebuffer of one colour attachment (RGBA8, or R32I for ids) and a depth
// buffer, bound and set as the viewport while it lives.
class RenderTarget {
public:
    enum class Kind { Colour, Id };
    RenderTarget(QOpenGLFunctions_3_3_Core* gl, int width, int height, Kind kind = Kind::Colour);
    ~RenderTarget();
    RenderTarget(const RenderTarget&) = delete;
    RenderTarget& operator=(const RenderTarget&) = delete;

    bool complete() const;
    // Clears colour (or ids to 0) and depth.
    void clear(const glm::vec4& colour = glm::vec4(0.0f));
    // Colour at a pixel (x from the left, y from the bottom), components 0..1.
    glm::vec4 colourAt(int x, int y) const;
    int idAt(int x, int y) const;

    const int width;
    const int height;

private:
    QOpenGLFunctions_3_3_Core* gl_;
    Kind kind_;
    unsigned int framebuffer_ = 0;
    unsigned int colour_ = 0;
    unsigned int depth_ = 0;
};

// A 2D texture filled from RGBA bytes, rows bottom-up, nearest filtering.
unsigned int makeTexture(QOpenGLFunctions_3_3_Core* gl, int width, int height, const unsigned char* rgba);

// A one-texel depth texture for the shadowMap sampler, at depth 1 with the
// comparison the renderer uses: nothing in it shadows anything.
unsigned int makeEmptyShadowMap(QOpenGLFunctions_3_3_Core* gl);

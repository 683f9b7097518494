#include "view/utils.h"

#include <QFile>
#include <QGLWidget>
#include <QImage>
#include <QOpenGLContext>
#include <QOpenGLFunctions_3_3_Core>
#include <QTextStream>

#include <GL/glu.h>

#include <iostream>

namespace {

// The 3.3 core entry points of the context current on this thread, or null when
// none is current (the functions object belongs to the context).
QOpenGLFunctions_3_3_Core* currentGl()
{
    QOpenGLContext* context = QOpenGLContext::currentContext();
    return context ? context->versionFunctions<QOpenGLFunctions_3_3_Core>() : nullptr;
}

std::string here(int line) { return "utils: " + std::to_string(line); }

} // namespace

std::string glErrorText(unsigned int code)
{
    // GLU returns null for a code it does not know; streaming a null pointer is
    // undefined, so such a code is shown as its number.
    const GLubyte* text = gluErrorString(code);
    if (!text)
        return std::to_string(code);
    return reinterpret_cast<const char*>(text);
}

void checkGLError(const std::string& location)
{
    QOpenGLFunctions_3_3_Core* gl = currentGl();
    if (!gl)
        return;
    GLenum error = gl->glGetError();
    if (error != GL_NO_ERROR) {
        std::cerr << "ERROR: " << location << ": " << glErrorText(error) << "\n";
        std::cerr.flush();
    }
}

void checkShaderCreation()
{
    QOpenGLFunctions_3_3_Core* gl = currentGl();
    if (!gl)
        return;
    GLenum error = gl->glGetError();
    if (error != GL_NO_ERROR) {
        std::cerr << "ERROR: Could not create the shaders: \n" << glErrorText(error) << "\n";
        std::cerr.flush();
    }
}

void uploadTexture(const QImage& image, unsigned int texture, bool repeat)
{
    QOpenGLFunctions_3_3_Core* gl = currentGl();
    if (!gl) {
        std::cerr << "ERROR: " << here(__LINE__) << ": no current OpenGL 3.3 context\n";
        std::cerr.flush();
        return;
    }
    checkGLError(here(__LINE__));
    // RGBA byte order with the rows bottom-up, as glTexImage2D expects them.
    QImage glImage = QGLWidget::convertToGLFormat(image);
    checkGLError(here(__LINE__));
    gl->glBindTexture(GL_TEXTURE_2D, texture);
    checkGLError(here(__LINE__));
    gl->glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    gl->glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    checkGLError(here(__LINE__));
    gl->glHint(GL_TEXTURE_COMPRESSION_HINT, GL_NICEST);
    checkGLError(here(__LINE__));
    GLint wrap = repeat ? GL_REPEAT : GL_CLAMP_TO_EDGE;
    gl->glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, wrap);
    gl->glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, wrap);
    checkGLError(here(__LINE__));
    gl->glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, glImage.width(), glImage.height(), 0, GL_RGBA, GL_UNSIGNED_BYTE,
                     glImage.constBits());
    checkGLError(here(__LINE__));
}

void loadTexture(const char* path, unsigned int texture, bool repeat)
{
    QImage image = QImage(QString::fromLocal8Bit(path)).convertToFormat(QImage::Format_ARGB32);
    if (image.width() < 1 || image.height() < 1)
        throw std::string("Does not exist ") + path;
    uploadTexture(image, texture, repeat);
}

bool inRange(int lo, int hi, int value) { return lo <= value && value <= hi; }

std::string readFile(const std::string& path)
{
    QFile file(QString::fromStdString(path));
    if (!file.open(QIODevice::ReadOnly)) {
        std::cerr << "ne morem odpreti: " << path;
        throw "err";
    }
    QTextStream stream(&file);
    return stream.readAll().toStdString();
}

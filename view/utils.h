#pragma once
// OpenGL error checks, texture upload and file reading shared by the renderer,
// the shader programs and the OpenCL set-up. Stateless; the GL functions need
// the view's context to be current.

#include <string>

class QImage;

// Reads glGetError once; on an error writes "ERROR: <location>: <text>" to stderr.
void checkGLError(const std::string& location);
// GLU's text for an OpenGL error code, or the code in decimal when GLU has none.
std::string glErrorText(unsigned int code);
// The same check after shader creation, with its own message.
void checkShaderCreation();
void uploadTexture(const QImage& image, unsigned int texture, bool repeat);
// Throws std::string "Does not exist <path>" when the image cannot be read.
void loadTexture(const char* path, unsigned int texture, bool repeat);
bool inRange(int lo, int hi, int value);
// Whole file as UTF-8 text; ":/" paths name Qt resources. Throws "err" (a
// character string) when the file cannot be opened.
std::string readFile(const std::string& path);

#pragma once
// One OpenGL program built from GLSL sources held as resources under
// ":/shaders/", with the system's own include lines expanded, and the reading
// of such sources. Needs the view's OpenGL 3.3 context to be current.

#include <string>

// The four OpenGL names of one program; valid after Init or InitWithGeometry
// (geometryShader only after the latter). OpenGL objects are never deleted.
struct ShaderProgram {
    unsigned int program = 0;
    unsigned int vertexShader = 0;
    unsigned int fragmentShader = 0;
    unsigned int geometryShader = 0;

    // Names are file names under ":/shaders/". A stage that does not compile or
    // a program that does not link is reported on standard error with its log.
    void Init(const std::string& vertexName, const std::string& fragmentName);
    void InitWithGeometry(const std::string& vertexName, const std::string& geometryName,
                          const std::string& fragmentName, const std::string& header);

    void CompileResources(const std::string& vertexName, const std::string& fragmentName);
    void CompilePair(const std::string& vertexPath, const std::string& fragmentPath);
    void CompileResourcesWithGeometry(const std::string& vertexName, const std::string& fragmentName,
                                      const std::string& geometryName, const std::string& header);
    void CreateProgram(const std::string& vertexPath, const std::string& fragmentPath,
                       const std::string& geometryPath, const std::string& header);

    void Use();
    // -1 when the linked program has no active uniform of that name.
    int UniformLocation(const std::string& name);
};

// Compiles one stage (GL_VERTEX_SHADER, GL_GEOMETRY_SHADER, GL_FRAGMENT_SHADER)
// from a resource path. An empty source ends the process with exit code -1
// ("Not found shader <path>"), as does an OpenGL error right after compiling.
unsigned int CompileShaderStage(const std::string& path, unsigned int stageType, const std::string& header);

// The text of a source with every include line replaced by the included
// resource ":/shaders/<name>", and every own line tagged with "\t//<path>:<line>"
// so that compiler messages point at the file and line. An include of a file
// that is being read already (a cycle) is reported on standard error and left
// out, its line kept as a comment. Includes nest at most kMaxShaderIncludeDepth
// deep; a deeper one is reported and stays as text.
std::string ReadShaderSource(const std::string& path);
constexpr int kMaxShaderIncludeDepth = 16;

// Recognises `#include <name>` with any blanks (spaces only, not tabs) before
// and between the parts; blanks between the name and ">" belong to the name and
// whatever follows ">" is ignored.
bool ParseIncludeLine(const std::string& line, std::string& nameOut);

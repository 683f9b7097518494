#include "view/shaderprogram.h"

#include "view/utils.h"

#include <QDebug>
#include <QDir>
#include <QOpenGLContext>
#include <QOpenGLFunctions_3_3_Core>

#include <algorithm>
#include <cstdlib>
#include <iostream>
#include <vector>

namespace {

const char* const kShaderFolder = ":/shaders/";

QOpenGLFunctions_3_3_Core* gl()
{
    QOpenGLContext* context = QOpenGLContext::currentContext();
    QOpenGLFunctions_3_3_Core* functions =
        context ? context->versionFunctions<QOpenGLFunctions_3_3_Core>() : nullptr;
    if (!functions)
        throw std::string("Shader programs need a current OpenGL 3.3 core context");
    return functions;
}

const char* stageName(unsigned int stageType)
{
    switch (stageType) {
    case GL_VERTEX_SHADER:
        return "vertex";
    case GL_GEOMETRY_SHADER:
        return "geometry";
    case GL_FRAGMENT_SHADER:
        return "fragment";
    default:
        return "unknown";
    }
}

std::string shaderInfoLog(unsigned int shader)
{
    GLint length = 0;
    gl()->glGetShaderiv(shader, GL_INFO_LOG_LENGTH, &length);
    if (length <= 0)
        return {};
    std::vector<char> log(static_cast<size_t>(length));
    gl()->glGetShaderInfoLog(shader, length, nullptr, log.data());
    return std::string(log.data());
}

std::string programInfoLog(unsigned int program)
{
    GLint length = 0;
    gl()->glGetProgramiv(program, GL_INFO_LOG_LENGTH, &length);
    if (length <= 0)
        return {};
    std::vector<char> log(static_cast<size_t>(length));
    gl()->glGetProgramInfoLog(program, length, nullptr, log.data());
    return std::string(log.data());
}

// `chain` holds the sources being read, the outermost first, as clean paths.
std::string readShaderSource(const std::string& path, std::vector<std::string>& chain)
{
    if (path.empty())
        return {};
    std::string content = readFile(path);
    if (content.empty())
        return {};

    chain.push_back(QDir::cleanPath(QString::fromStdString(path)).toStdString());
    std::string text;
    size_t start = 0;
    int lineNumber = 0;
    while (start < content.size()) {
        size_t end = content.find('\n', start);
        if (end == std::string::npos)
            end = content.size();
        std::string line = content.substr(start, end - start);
        start = end + 1;
        ++lineNumber;
        const std::string tag = "\t//" + path + ":" + std::to_string(lineNumber) + "\n";

        std::string name;
        if (ParseIncludeLine(line, name)) {
            const std::string included = kShaderFolder + name;
            const std::string cleanIncluded = QDir::cleanPath(QString::fromStdString(included)).toStdString();
            if (std::find(chain.begin(), chain.end(), cleanIncluded) != chain.end()) {
                // The file is being read already: including it again would
                // repeat the cycle until the depth cap, once per include of it,
                // so that a few such includes grow without bound. It is left
                // out, and the line stays as a comment.
                std::cerr << "ERROR: shader include cycle: " << included << " is already being read, at " << path
                          << ":" << lineNumber << "; left out\n";
                std::cerr.flush();
                text += "// " + line + tag;
                continue;
            }
            if (static_cast<int>(chain.size()) <= kMaxShaderIncludeDepth) {
                text += readShaderSource(included, chain) + "\n";
                continue;
            }
            // The line stays as text, so that compiling fails right there.
            std::cerr << "ERROR: shader includes nested deeper than " << kMaxShaderIncludeDepth << " at " << path
                      << ":" << lineNumber << "\n";
            std::cerr.flush();
        }
        text += line + tag;
    }
    chain.pop_back();
    return text;
}

void linkProgram(unsigned int program, const std::string& sources)
{
    QOpenGLFunctions_3_3_Core* f = gl();
    f->glLinkProgram(program);
    checkGLError("ERROR: Could not link the shader program");
    // Linking fails without an OpenGL error, for example on a fragment input
    // that no earlier stage writes; the log says which.
    GLint linked = GL_FALSE;
    f->glGetProgramiv(program, GL_LINK_STATUS, &linked);
    if (linked != GL_TRUE) {
        std::cerr << "ERROR: the shader program of " << sources << " does not link:\n"
                  << programInfoLog(program) << "\n";
        std::cerr.flush();
    }
}

} // namespace

bool ParseIncludeLine(const std::string& line, std::string& nameOut)
{
    size_t i = 0;
    auto skipBlanks = [&] {
        while (i < line.size() && line[i] == ' ')
            ++i;
    };

    skipBlanks();
    if (i >= line.size() || line[i] != '#')
        return false;
    ++i;
    skipBlanks();
    if (line.compare(i, 7, "include") != 0)
        return false;
    i += 7;
    skipBlanks();
    if (i >= line.size() || line[i] != '<')
        return false;
    ++i;
    skipBlanks();
    size_t close = line.find('>', i);
    if (close == std::string::npos)
        return false;
    nameOut = line.substr(i, close - i);
    return true;
}

std::string ReadShaderSource(const std::string& path)
{
    std::vector<std::string> chain;
    return readShaderSource(path, chain);
}

unsigned int CompileShaderStage(const std::string& path, unsigned int stageType, const std::string& header)
{
    std::string text = ReadShaderSource(path);
    if (text.empty()) {
        std::cerr << "Not found shader " << path << "\n";
        std::cerr.flush();
        std::exit(-1);
    }

    QOpenGLFunctions_3_3_Core* f = gl();
    unsigned int shader = f->glCreateShader(stageType);
    if (!header.empty()) {
        const char* sources[2] = {header.c_str(), text.c_str()};
        f->glShaderSource(shader, 2, sources, nullptr);
    } else {
        const char* source = text.c_str();
        f->glShaderSource(shader, 1, &source, nullptr);
    }
    f->glCompileShader(shader);

    GLint logLength = 0;
    f->glGetShaderiv(shader, GL_INFO_LOG_LENGTH, &logLength);
    std::string log;
    if (logLength > 2) {
        std::cerr << "Shader " << stageType << " " << path << "\n";
        std::cerr.flush();
        log = shaderInfoLog(shader);
        qDebug() << log.c_str();
    }
    // A stage that does not compile raises no OpenGL error; without this the
    // program would only fail to link, and its drawings would silently vanish.
    GLint compiled = GL_FALSE;
    f->glGetShaderiv(shader, GL_COMPILE_STATUS, &compiled);
    if (compiled != GL_TRUE) {
        std::cerr << "ERROR: the " << stageName(stageType) << " shader " << path << " does not compile:\n"
                  << log << "\n";
        std::cerr.flush();
    }

    if (f->glGetError() != GL_NO_ERROR) {
        qDebug() << "Shader" << stageType;
        std::cerr << path << "\n";
        std::cerr.flush();
        std::exit(-1);
    }
    checkShaderCreation();
    return shader;
}

void ShaderProgram::Init(const std::string& vertexName, const std::string& fragmentName)
{
    CompileResources(vertexName, fragmentName);
    linkProgram(program, vertexName + ", " + fragmentName);
}

void ShaderProgram::InitWithGeometry(const std::string& vertexName, const std::string& geometryName,
                                     const std::string& fragmentName, const std::string& header)
{
    CompileResourcesWithGeometry(vertexName, fragmentName, geometryName, header);
    linkProgram(program, vertexName + ", " + geometryName + ", " + fragmentName);
}

void ShaderProgram::CompileResources(const std::string& vertexName, const std::string& fragmentName)
{
    CompilePair(kShaderFolder + vertexName, kShaderFolder + fragmentName);
}

void ShaderProgram::CompilePair(const std::string& vertexPath, const std::string& fragmentPath)
{
    CreateProgram(vertexPath, fragmentPath, "", "");
}

void ShaderProgram::CompileResourcesWithGeometry(const std::string& vertexName, const std::string& fragmentName,
                                                 const std::string& geometryName, const std::string& header)
{
    CreateProgram(kShaderFolder + vertexName, kShaderFolder + fragmentName, kShaderFolder + geometryName, header);
}

void ShaderProgram::CreateProgram(const std::string& vertexPath, const std::string& fragmentPath,
                                  const std::string& geometryPath, const std::string& header)
{
    QOpenGLFunctions_3_3_Core* f = gl();
    program = f->glCreateProgram();
    checkGLError("ERROR: Could not create the shader program");
    fragmentShader = CompileShaderStage(fragmentPath, GL_FRAGMENT_SHADER, header);
    vertexShader = CompileShaderStage(vertexPath, GL_VERTEX_SHADER, header);
    if (!geometryPath.empty())
        geometryShader = CompileShaderStage(geometryPath, GL_GEOMETRY_SHADER, header);
    f->glAttachShader(program, fragmentShader);
    f->glAttachShader(program, vertexShader);
    if (!geometryPath.empty())
        f->glAttachShader(program, geometryShader);
    checkShaderCreation();
}

void ShaderProgram::Use()
{
    checkGLError("ERRPR: befor use shader");
    gl()->glUseProgram(program);
    checkGLError("ERROR: Could not use the shader program");
}

int ShaderProgram::UniformLocation(const std::string& name)
{
    checkGLError("ERROR: before GetUniformLocation: " + name);
    int location = gl()->glGetUniformLocation(program, name.c_str());
    checkGLError("ERROR: Could not get shader uniform location: " + name);
    return location;
}

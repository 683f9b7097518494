// The view's shared utilities: file reading from disk and from the embedded
// resources, and the OpenGL error lines and textures on a real 3.3 core context.

#include "view/utils.h"
#include "support/glcontext.h"
#include "support/streamcapture.h"

#include <QGuiApplication>
#include <QImage>
#include <QOpenGLContext>
#include <QTemporaryDir>
#include <QTextCodec>
#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <sstream>

namespace {

TEST(InRange, BothEndsIncluded)
{
    EXPECT_TRUE(inRange(0, 10, 0) && inRange(0, 10, 10) && inRange(-3, -3, -3));
    EXPECT_FALSE(inRange(0, 10, -1) || inRange(0, 10, 11) || inRange(5, 1, 3));
}

TEST(ReadFile, ReturnsTheTextUnchanged)
{
    QTemporaryDir dir;
    for (std::string bytes : {std::string(""), std::string("Krošnja: čšž ČŠŽ\r\nb\rc"), std::string("x\n")}) {
        std::string path = dir.filePath("f").toStdString();
        std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
        EXPECT_EQ(readFile(path), bytes);
    }
    std::ifstream file(TRELIMO_SOURCE_DIR "/environment/kernels/gpgpu/jedra.inl", std::ios::binary);
    std::ostringstream onDisk;
    onDisk << file.rdbuf();
    EXPECT_FALSE(onDisk.str().empty());
    EXPECT_EQ(readFile(":/kernels/gpgpu/jedra.inl"), onDisk.str()) << "the embedded kernel source";
}

TEST(ReadFile, MissingFileReportsAndThrows)
{
    QTemporaryDir dir;
    for (std::string path : {dir.filePath("nothing.txt").toStdString(), std::string(":/no/such/resource")}) {
        StreamCapture err(std::cerr);
        const char* thrown = nullptr;
        try {
            readFile(path);
        } catch (const char* text) {
            thrown = text;
        }
        ASSERT_NE(thrown, nullptr) << path;
        EXPECT_STREQ(thrown, "err");
        EXPECT_EQ(err.text(), "ne morem odpreti: " + path) << "no line end follows";
    }
}

class WithGl : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_NE(gl, nullptr) << "no OpenGL 3.3 core context";
        while (gl->glGetError() != GL_NO_ERROR) {
        }
    }
    // A fresh texture, bound, and what uploading it from `upload` printed.
    std::string uploadTo(GLuint& texture, const std::function<void()>& upload)
    {
        gl->glGenTextures(1, &texture);
        gl->glBindTexture(GL_TEXTURE_2D, 0);
        StreamCapture err(std::cerr);
        upload();
        gl->glBindTexture(GL_TEXTURE_2D, texture);
        return err.text();
    }
    GLint parameter(GLenum name, bool level = false)
    {
        GLint value = 0;
        if (level)
            gl->glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, name, &value);
        else
            gl->glGetTexParameteriv(GL_TEXTURE_2D, name, &value);
        return value;
    }
    OffscreenGlContext context;
    QOpenGLFunctions_3_3_Core* gl = context.gl();
};

std::string printedBy(const std::function<void()>& check)
{
    StreamCapture err(std::cerr);
    check();
    return err.text();
}

TEST_F(WithGl, ErrorLinesCarryGlusTextOrTheNumber)
{
    // GLU has no text for 0x1234 (gluErrorString answers null): its decimal number.
    EXPECT_EQ(glErrorText(GL_INVALID_ENUM), "invalid enumerant");
    EXPECT_EQ(glErrorText(GL_INVALID_VALUE), "invalid value");
    EXPECT_EQ(glErrorText(0x1234), "4660");

    EXPECT_EQ(printedBy([] { checkGLError("t: 1"); }), "");
    EXPECT_EQ(printedBy(checkShaderCreation), "");
    gl->glEnable(0x1234);
    EXPECT_EQ(printedBy([] { checkGLError("t: 2"); }), "ERROR: t: 2: invalid enumerant\n");
    EXPECT_EQ(printedBy([] { checkGLError("t: 3"); }), "") << "the previous check read the code";
    gl->glViewport(0, 0, -1, -1);
    EXPECT_EQ(printedBy(checkShaderCreation), "ERROR: Could not create the shaders: \ninvalid value\n");
}

TEST_F(WithGl, UploadTextureSetsParametersAndFlipsTheRows)
{
    // OpenGL's first row is the image's last.
    QImage image(2, 2, QImage::Format_ARGB32);
    const QRgb colours[2][2] = {{qRgba(255, 0, 0, 255), qRgba(0, 255, 0, 255)},
                                {qRgba(200, 100, 50, 255), qRgba(1, 2, 3, 4)}};
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 2; ++x)
            image.setPixel(x, y, colours[y][x]);

    for (bool repeat : {false, true}) {
        GLuint texture = 0;
        EXPECT_EQ(uploadTo(texture, [&] { uploadTexture(image, texture, repeat); }), "") << "no OpenGL error";
        GLint hint = 0;
        gl->glGetIntegerv(GL_TEXTURE_COMPRESSION_HINT, &hint);
        EXPECT_EQ(hint, GL_NICEST);
        const GLint wrap = repeat ? GL_REPEAT : GL_CLAMP_TO_EDGE;
        for (auto [name, expected] : {std::pair<GLenum, GLint>{GL_TEXTURE_WRAP_S, wrap}, {GL_TEXTURE_WRAP_T, wrap},
                                      {GL_TEXTURE_MIN_FILTER, GL_LINEAR}, {GL_TEXTURE_MAG_FILTER, GL_LINEAR}})
            EXPECT_EQ(parameter(name), expected) << "parameter " << name << ", repeat " << repeat;

        unsigned char texels[2][2][4] = {};
        gl->glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels);
        for (int row = 0; row < 2; ++row)
            for (int x = 0; x < 2; ++x) {
                const unsigned char* t = texels[row][x];
                EXPECT_EQ(qRgba(t[0], t[1], t[2], t[3]), colours[1 - row][x]) << "row " << row << ", column " << x;
            }
        gl->glDeleteTextures(1, &texture);
    }
}

TEST_F(WithGl, LoadTextureReadsAnImageFileOrThrows)
{
    QTemporaryDir dir;
    QImage image(4, 5, QImage::Format_RGB32);
    image.fill(qRgb(12, 34, 56));
    const std::string bark = dir.filePath("bark.png").toStdString();
    ASSERT_TRUE(image.save(QString::fromStdString(bark)));
    const std::string notAnImage = dir.filePath("leaf.png").toStdString();
    std::ofstream(notAnImage) << "not a picture";

    for (const std::string& path : {bark, notAnImage, dir.filePath("missing.png").toStdString()}) {
        GLuint texture = 0;
        std::string thrown;
        uploadTo(texture, [&] {
            try {
                loadTexture(path.c_str(), texture, false);
            } catch (const std::string& text) {
                thrown = text;
            }
        });
        EXPECT_EQ(thrown, path == bark ? "" : "Does not exist " + path);
        EXPECT_EQ(parameter(GL_TEXTURE_WIDTH, true), path == bark ? 4 : 0) << path;
        if (path == bark) {
            unsigned char texels[5][4][4] = {};
            gl->glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels);
            const unsigned char* t = texels[4][3];
            EXPECT_EQ(parameter(GL_TEXTURE_HEIGHT, true), 5);
            EXPECT_EQ(qRgba(t[0], t[1], t[2], t[3]), qRgb(12, 34, 56));
        }
        gl->glDeleteTextures(1, &texture);
    }
}

TEST(WithoutGl, ChecksStayQuietAndUploadRefuses)
{
    ASSERT_EQ(QOpenGLContext::currentContext(), nullptr);
    StreamCapture err(std::cerr);
    checkGLError("x");
    checkShaderCreation();
    EXPECT_EQ(err.text(), "");
    uploadTexture(QImage(1, 1, QImage::Format_ARGB32), 1, false);
    EXPECT_NE(err.text().find("no current OpenGL 3.3 context"), std::string::npos) << err.text();
}

} // namespace

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    // As the program's entry point does: files are read as UTF-8.
    QTextCodec::setCodecForLocale(QTextCodec::codecForName("UTF-8"));
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}

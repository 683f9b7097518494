// The view's shared utilities against a real OpenGL 3.3 core context (Mesa
// under Xvfb): error lines, texture upload and loading, the range test and
// file reading from disk and from the embedded resources.

#include "view/utils.h"
#include "support/streamcapture.h"

#include <QGuiApplication>
#include <QImage>
#include <QOffscreenSurface>
#include <QOpenGLContext>
#include <QOpenGLFunctions_3_3_Core>
#include <QSurfaceFormat>
#include <QTemporaryDir>
#include <QTextCodec>
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

namespace {

TEST(InRange, BothEndsIncluded)
{
    struct Case {
        int lo, hi, value;
        bool expected;
    };
    for (Case c : {Case{0, 10, 10, true}, Case{0, 10, 0, true}, Case{0, 10, -1, false}, Case{0, 10, 11, false},
                   Case{0, 10, 5, true}, Case{-3, -3, -3, true}, Case{5, 1, 3, false}})
        EXPECT_EQ(inRange(c.lo, c.hi, c.value), c.expected) << c.lo << " " << c.hi << " " << c.value;
}

// ------------------------------------------------------------ readFile

class ReadFile : public ::testing::Test {
protected:
    QTemporaryDir dir;

    std::string write(const char* name, const std::string& bytes)
    {
        std::string path = dir.filePath(name).toStdString();
        std::ofstream(path, std::ios::binary) << bytes;
        return path;
    }
};

TEST_F(ReadFile, ReturnsTheWholeTextUnchanged)
{
    struct Case {
        const char* what;
        std::string bytes;
    };
    std::vector<Case> cases = {
        {"empty file", ""},
        {"UTF-8 text", "Krošnja in popki: čšž ČŠŽ\nvrstica 2\n"},
        {"line ends kept as they are", "a\r\nb\rc\n"},
        {"no final line end", "#version 330 core"},
    };
    for (size_t i = 0; i < cases.size(); ++i) {
        std::string path = write(("f" + std::to_string(i)).c_str(), cases[i].bytes);
        EXPECT_EQ(readFile(path), cases[i].bytes) << cases[i].what;
    }
}

TEST_F(ReadFile, EmbeddedKernelSourceEqualsItsFile)
{
    std::ifstream file(TRELIMO_SOURCE_DIR "/environment/kernels/gpgpu/jedra.inl", std::ios::binary);
    ASSERT_TRUE(file.good());
    std::ostringstream onDisk;
    onDisk << file.rdbuf();
    std::string embedded = readFile(":/kernels/gpgpu/jedra.inl");
    EXPECT_FALSE(embedded.empty());
    EXPECT_EQ(embedded, onDisk.str());
}

TEST_F(ReadFile, MissingFileReportsAndThrows)
{
    for (std::string path : {dir.filePath("nothing-here.txt").toStdString(), std::string(":/no/such/resource")}) {
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

// ------------------------------------------------ with an OpenGL context

class WithGl : public ::testing::Test {
protected:
    QOffscreenSurface surface;
    QOpenGLContext context;
    QOpenGLFunctions_3_3_Core* gl = nullptr;

    void SetUp() override
    {
        QSurfaceFormat format;
        format.setVersion(3, 3);
        format.setProfile(QSurfaceFormat::CoreProfile);
        surface.setFormat(format);
        surface.create();
        context.setFormat(format);
        ASSERT_TRUE(context.create());
        ASSERT_TRUE(context.makeCurrent(&surface));
        gl = context.versionFunctions<QOpenGLFunctions_3_3_Core>();
        ASSERT_NE(gl, nullptr);
        while (gl->glGetError() != GL_NO_ERROR) {
        }
    }
    void TearDown() override { context.doneCurrent(); }

    // An invalid capability: GL_INVALID_ENUM.
    void raiseInvalidEnum() { gl->glEnable(0x1234); }
    // A negative size: GL_INVALID_VALUE.
    void raiseInvalidValue() { gl->glViewport(0, 0, -1, -1); }

    GLint texParameter(GLenum name)
    {
        GLint value = 0;
        gl->glGetTexParameteriv(GL_TEXTURE_2D, name, &value);
        return value;
    }
    GLint levelParameter(GLenum name)
    {
        GLint value = 0;
        gl->glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, name, &value);
        return value;
    }
};

TEST_F(WithGl, ErrorTextsAreGlusOrTheNumber)
{
    // GLU's texts for the core error codes; a code GLU does not know
    // (gluErrorString answers null) shows as its decimal number.
    EXPECT_EQ(glErrorText(GL_INVALID_ENUM), "invalid enumerant");
    EXPECT_EQ(glErrorText(GL_INVALID_VALUE), "invalid value");
    EXPECT_EQ(glErrorText(GL_INVALID_OPERATION), "invalid operation");
    EXPECT_EQ(glErrorText(GL_OUT_OF_MEMORY), "out of memory");
    EXPECT_EQ(glErrorText(0x1234), "4660");
    EXPECT_EQ(glErrorText(0xFFFFFu), "1048575");
}

TEST_F(WithGl, CheckGLErrorWritesOneLocatedLinePerError)
{
    {
        StreamCapture err(std::cerr);
        checkGLError("utils_test: 1");
        EXPECT_EQ(err.text(), "") << "no error, no line";
    }
    {
        raiseInvalidEnum();
        StreamCapture err(std::cerr);
        checkGLError("utils_test: 2");
        EXPECT_EQ(err.text(), "ERROR: utils_test: 2: invalid enumerant\n");
    }
    {
        StreamCapture err(std::cerr);
        checkGLError("utils_test: 3");
        EXPECT_EQ(err.text(), "") << "the code was read by the previous check";
    }
}

TEST_F(WithGl, TwoQueuedErrorsGiveOneLinePerCheck)
{
    raiseInvalidEnum();
    raiseInvalidValue();
    std::string first, second;
    {
        StreamCapture err(std::cerr);
        checkGLError("a");
        first = err.text();
    }
    {
        StreamCapture err(std::cerr);
        checkGLError("b");
        second = err.text();
    }
    EXPECT_EQ(first, "ERROR: a: invalid enumerant\n");
    // A driver may keep the second code for the next check (Mesa keeps only the
    // first); either way a check reads one code at most.
    EXPECT_TRUE(second == "" || second == "ERROR: b: invalid value\n") << second;
}

TEST_F(WithGl, CheckShaderCreationHasItsOwnMessage)
{
    {
        StreamCapture err(std::cerr);
        checkShaderCreation();
        EXPECT_EQ(err.text(), "");
    }
    raiseInvalidValue();
    StreamCapture err(std::cerr);
    checkShaderCreation();
    EXPECT_EQ(err.text(), "ERROR: Could not create the shaders: \ninvalid value\n");
}

TEST_F(WithGl, UploadTextureSetsFilteringWrappingAndPixels)
{
    // Three rows of two pixels; OpenGL's first row is the image's last.
    QImage image(2, 3, QImage::Format_ARGB32);
    const QRgb colours[3][2] = {{qRgba(255, 0, 0, 255), qRgba(0, 255, 0, 255)},
                                {qRgba(0, 0, 255, 255), qRgba(10, 20, 30, 40)},
                                {qRgba(200, 100, 50, 255), qRgba(1, 2, 3, 4)}};
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 2; ++x)
            image.setPixel(x, y, colours[y][x]);

    for (bool repeat : {false, true}) {
        GLuint texture = 0;
        gl->glGenTextures(1, &texture);
        gl->glBindTexture(GL_TEXTURE_2D, 0);
        StreamCapture err(std::cerr);
        uploadTexture(image, texture, repeat);
        EXPECT_EQ(err.text(), "") << "no OpenGL error on the way";

        GLint bound = 0;
        gl->glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
        EXPECT_EQ(static_cast<GLuint>(bound), texture) << "left bound";
        GLint wrap = repeat ? GL_REPEAT : GL_CLAMP_TO_EDGE;
        EXPECT_EQ(texParameter(GL_TEXTURE_WRAP_S), wrap) << repeat;
        EXPECT_EQ(texParameter(GL_TEXTURE_WRAP_T), wrap) << repeat;
        EXPECT_EQ(texParameter(GL_TEXTURE_MIN_FILTER), GL_LINEAR);
        EXPECT_EQ(texParameter(GL_TEXTURE_MAG_FILTER), GL_LINEAR);
        GLint hint = 0;
        gl->glGetIntegerv(GL_TEXTURE_COMPRESSION_HINT, &hint);
        EXPECT_EQ(hint, GL_NICEST);
        EXPECT_EQ(levelParameter(GL_TEXTURE_WIDTH), 2);
        EXPECT_EQ(levelParameter(GL_TEXTURE_HEIGHT), 3);

        unsigned char texels[3][2][4] = {};
        gl->glPixelStorei(GL_PACK_ALIGNMENT, 1);
        gl->glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels);
        for (int row = 0; row < 3; ++row) {
            for (int x = 0; x < 2; ++x) {
                QRgb c = colours[2 - row][x];
                const unsigned char* t = texels[row][x];
                EXPECT_EQ(t[0], qRed(c)) << row << "," << x;
                EXPECT_EQ(t[1], qGreen(c)) << row << "," << x;
                EXPECT_EQ(t[2], qBlue(c)) << row << "," << x;
                EXPECT_EQ(t[3], qAlpha(c)) << row << "," << x;
            }
        }
        gl->glDeleteTextures(1, &texture);
    }
}

TEST_F(WithGl, LoadTextureReadsAnImageFile)
{
    QTemporaryDir dir;
    QImage image(4, 5, QImage::Format_RGB32);
    image.fill(qRgb(12, 34, 56));
    std::string path = dir.filePath("bark.png").toStdString();
    ASSERT_TRUE(image.save(QString::fromStdString(path)));

    GLuint texture = 0;
    gl->glGenTextures(1, &texture);
    loadTexture(path.c_str(), texture, true);
    EXPECT_EQ(levelParameter(GL_TEXTURE_WIDTH), 4);
    EXPECT_EQ(levelParameter(GL_TEXTURE_HEIGHT), 5);
    unsigned char texels[5][4][4] = {};
    gl->glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels);
    EXPECT_EQ(texels[0][0][0], 12);
    EXPECT_EQ(texels[4][3][1], 34);
    EXPECT_EQ(texels[2][2][2], 56);
    EXPECT_EQ(texels[1][1][3], 255);
    gl->glDeleteTextures(1, &texture);
}

TEST_F(WithGl, LoadTextureThrowsForMissingOrUnreadableImages)
{
    QTemporaryDir dir;
    std::string notAnImage = dir.filePath("leaf.png").toStdString();
    std::ofstream(notAnImage) << "not a picture";
    for (std::string path : {dir.filePath("missing.png").toStdString(), notAnImage}) {
        GLuint texture = 0;
        gl->glGenTextures(1, &texture);
        std::string thrown;
        try {
            loadTexture(path.c_str(), texture, false);
        } catch (const std::string& text) {
            thrown = text;
        }
        EXPECT_EQ(thrown, "Does not exist " + path);
        gl->glBindTexture(GL_TEXTURE_2D, texture);
        EXPECT_EQ(levelParameter(GL_TEXTURE_WIDTH), 0) << "nothing uploaded";
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

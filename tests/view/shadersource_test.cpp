// Reading shader sources: include lines, line tags, nesting, and the failures
// that need no OpenGL context. The sources under ":/shaders/test/" come from
// shader_test_resources.qrc.

#include "view/shaderprogram.h"

#include "support/streamcapture.h"

#include <gtest/gtest.h>

#include <QOpenGLFunctions_3_3_Core>

#include <string>

namespace {

TEST(ParseIncludeLineTest, RecognisesTheIncludeForm)
{
    struct Case {
        const char* line;
        const char* name;  // null: not an include
    };
    const Case cases[] = {
        {"#include <a.vert>", "a.vert"},
        {"#include<a.vert>", "a.vert"},
        {"   #   include   <   a.vert>", "a.vert"},      // blanks before and between the parts
        {"#include <a.vert> // the helpers", "a.vert"},  // whatever follows ">" is ignored
        {"#include <dir/a b.vert >", "dir/a b.vert "},    // a blank before ">" belongs to the name
        {"\t#include <a.vert>", nullptr},                 // tabs are not blanks
        {"#include\t<a.vert>", nullptr},
        {"#include \"a.vert\"", nullptr},
        {"#include <a.vert", nullptr},
        {"#includ <a.vert>", nullptr},
        {"x #include <a.vert>", nullptr},
        {"", nullptr},
    };
    for (const Case& c : cases) {
        std::string name = "untouched";
        EXPECT_EQ(ParseIncludeLine(c.line, name), c.name != nullptr) << "[" << c.line << "]";
        EXPECT_EQ(name, c.name ? c.name : "untouched") << "[" << c.line << "]";
    }
}

// Each own line gains a tab, "//", its resource path, ":" and its number.
std::string tagged(const std::string& line, const std::string& name, int number)
{
    return line + "\t//:/shaders/test/" + name + ":" + std::to_string(number) + "\n";
}

TEST(ReadShaderSourceTest, TagsLinesAndExpandsIncludesInPlace)
{
    struct Case {
        const char* name;
        std::string expected;
    };
    const Case cases[] = {
        {"three.glsl", tagged("first", "three.glsl", 1) + tagged("second", "three.glsl", 2) +
                           tagged("third", "three.glsl", 3)},
        // A last line without a line feed still counts, and gains one.
        {"nofinal.glsl", tagged("first", "nofinal.glsl", 1) + tagged("second", "nofinal.glsl", 2)},
        // The include line becomes the included text and a line feed, and keeps its number.
        {"outer.glsl", tagged("before", "outer.glsl", 1) + tagged("inner line", "inner.glsl", 1) + "\n" +
                           tagged("after", "outer.glsl", 3)},
        {"notincludes.glsl", tagged("kept", "notincludes.glsl", 1) +
                                 tagged("#include test/inner.glsl", "notincludes.glsl", 2) +
                                 tagged("\t#include <test/inner.glsl>", "notincludes.glsl", 3)},
        {"empty.glsl", ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ReadShaderSource(std::string(":/shaders/test/") + c.name), c.expected) << c.name;
    EXPECT_EQ(ReadShaderSource(""), "");
}

TEST(ReadShaderSourceTest, MissingSourceOrIncludeThrows)
{
    StreamCapture err(std::cerr);
    EXPECT_THROW(ReadShaderSource(":/shaders/test/nosuchfile.glsl"), const char*);
    EXPECT_THROW(ReadShaderSource(":/shaders/test/missinginclude.glsl"), const char*);
    EXPECT_NE(err.text().find("ne morem odpreti: :/shaders/test/nosuchfile.glsl"), std::string::npos);
}

int countOf(const std::string& text, const std::string& piece)
{
    int count = 0;
    for (size_t at = text.find(piece); at != std::string::npos; at = text.find(piece, at + piece.size()))
        ++count;
    return count;
}

// An include of a file that is being read already is left out, its line kept
// as a comment, and reported; a file included again outside a cycle is read
// again. Three includes of a cycle thus cost three reads of it, not an
// expansion that grows with every level.
TEST(ReadShaderSourceTest, IncludeCyclesAreLeftOutAndReported)
{
    struct Case {
        const char* name;
        int ownLines, aLines, bLines, innerLines, reports;
    };
    const Case cases[] = {
        {"selfcycle.glsl", 1, 0, 0, 0, 1},
        {"cyclea.glsl", 0, 1, 1, 0, 1},
        {"repeats.glsl", 0, 3, 3, 2, 3},
    };
    for (const Case& c : cases) {
        StreamCapture err(std::cerr);
        const std::string text = ReadShaderSource(std::string(":/shaders/test/") + c.name);
        EXPECT_EQ(countOf(text, "own line\t//"), c.ownLines) << c.name;
        EXPECT_EQ(countOf(text, "line of a\t//"), c.aLines) << c.name;
        EXPECT_EQ(countOf(text, "line of b\t//"), c.bLines) << c.name;
        EXPECT_EQ(countOf(text, "inner line\t//"), c.innerLines) << c.name;
        EXPECT_EQ(countOf(err.text(), "shader include cycle"), c.reports) << c.name << err.text();
        EXPECT_EQ(countOf(text, "\n// #include <"), c.reports) << c.name;
    }
    StreamCapture err(std::cerr);
    EXPECT_EQ(ReadShaderSource(":/shaders/test/selfcycle.glsl"),
              tagged("own line", "selfcycle.glsl", 1) + tagged("// #include <test/selfcycle.glsl>", "selfcycle.glsl", 2));
    EXPECT_NE(err.text().find(":/shaders/test/selfcycle.glsl is already being read, at "
                              ":/shaders/test/selfcycle.glsl:2"),
              std::string::npos)
        << err.text();
}

TEST(CompileShaderStageDeathTest, EmptySourceEndsTheProcess)
{
    EXPECT_EXIT(CompileShaderStage(":/shaders/test/empty.glsl", GL_VERTEX_SHADER, ""),
                ::testing::ExitedWithCode(255), "Not found shader :/shaders/test/empty.glsl");
}

} // namespace

// Reading shader sources: include lines, line tags, nesting and the failures
// that need no OpenGL context.

#include "view/shaderprogram.h"

#include "support/streamcapture.h"

#include <gtest/gtest.h>

#include <QOpenGLFunctions_3_3_Core>

#include <string>

namespace {

struct IncludeCase {
    const char* line;
    bool matches;
    const char* name;
};

class ParseIncludeLineTest : public ::testing::TestWithParam<IncludeCase> {};

TEST_P(ParseIncludeLineTest, RecognisesTheIncludeForm)
{
    const IncludeCase& c = GetParam();
    std::string name = "untouched";
    EXPECT_EQ(ParseIncludeLine(c.line, name), c.matches) << "line: [" << c.line << "]";
    if (c.matches) {
        EXPECT_EQ(name, c.name) << "line: [" << c.line << "]";
    }
}

INSTANTIATE_TEST_SUITE_P(
    Lines, ParseIncludeLineTest,
    ::testing::Values(IncludeCase{"#include <a.vert>", true, "a.vert"},
                      IncludeCase{"#include<a.vert>", true, "a.vert"},
                      // Blanks before the "#", around the word and before the name.
                      IncludeCase{"   #   include   <   a.vert>", true, "a.vert"},
                      // Whatever follows ">" is ignored.
                      IncludeCase{"#include <a.vert> // the helpers", true, "a.vert"},
                      // A blank before ">" belongs to the name.
                      IncludeCase{"#include <a.vert >", true, "a.vert "},
                      IncludeCase{"#include <dir/a b.vert>", true, "dir/a b.vert"},
                      IncludeCase{"#include <>", true, ""},
                      // Tabs are not blanks.
                      IncludeCase{"\t#include <a.vert>", false, ""},
                      IncludeCase{"#\tinclude <a.vert>", false, ""},
                      IncludeCase{"#include\t<a.vert>", false, ""},
                      // No angle brackets, or no closing one.
                      IncludeCase{"#include \"a.vert\"", false, ""},
                      IncludeCase{"#include a.vert", false, ""},
                      IncludeCase{"#include <a.vert", false, ""},
                      // Other directives and text.
                      IncludeCase{"#version 330", false, ""},
                      IncludeCase{"#includ <a.vert>", false, ""},
                      IncludeCase{"include <a.vert>", false, ""},
                      IncludeCase{"x #include <a.vert>", false, ""},
                      IncludeCase{"", false, ""}));

// Each source line gains a tab, "//", its resource path, ":" and its number.
std::string tagged(const std::string& line, const std::string& path, int number)
{
    return line + "\t//" + path + ":" + std::to_string(number) + "\n";
}

int countOf(const std::string& text, const std::string& piece)
{
    int count = 0;
    for (size_t at = text.find(piece); at != std::string::npos; at = text.find(piece, at + piece.size()))
        ++count;
    return count;
}

TEST(ReadShaderSourceTest, TagsEveryLineWithItsResourceAndNumber)
{
    const std::string path = ":/shaders/test/three.glsl";
    EXPECT_EQ(ReadShaderSource(path), tagged("first", path, 1) + tagged("second", path, 2) + tagged("third", path, 3));

    // A last line without a line feed still counts, and gains one.
    const std::string noFinal = ":/shaders/test/nofinal.glsl";
    EXPECT_EQ(ReadShaderSource(noFinal), tagged("first", noFinal, 1) + tagged("second", noFinal, 2));
}

TEST(ReadShaderSourceTest, ExpandsIncludesInPlace)
{
    const std::string outer = ":/shaders/test/outer.glsl";
    const std::string inner = ":/shaders/test/inner.glsl";
    // The include line is replaced by the included text and a line feed; it
    // still takes its number, so the line after it is number 3.
    EXPECT_EQ(ReadShaderSource(outer), tagged("before", outer, 1) + tagged("inner line", inner, 1) + "\n" +
                                           tagged("after", outer, 3));
}

TEST(ReadShaderSourceTest, LinesThatAreNotIncludesStayText)
{
    const std::string path = ":/shaders/test/notincludes.glsl";
    EXPECT_EQ(ReadShaderSource(path), tagged("kept", path, 1) + tagged("#include test/inner.glsl", path, 2) +
                                          tagged("\t#include <test/inner.glsl>", path, 3));
}

TEST(ReadShaderSourceTest, EmptyPathOrResourceGivesEmptyText)
{
    EXPECT_EQ(ReadShaderSource(""), "");
    EXPECT_EQ(ReadShaderSource(":/shaders/test/empty.glsl"), "");
}

TEST(ReadShaderSourceTest, MissingResourceThrows)
{
    StreamCapture err(std::cerr);
    EXPECT_THROW(ReadShaderSource(":/shaders/test/nosuchfile.glsl"), const char*);
    EXPECT_THROW(ReadShaderSource(":/shaders/test/missinginclude.glsl"), const char*);
    EXPECT_NE(err.text().find("ne morem odpreti: :/shaders/test/nosuchfile.glsl"), std::string::npos);
}

TEST(ReadShaderSourceTest, IncludeCycleStopsAtTheNestingLimitAndIsReported)
{
    {
        StreamCapture err(std::cerr);
        std::string text = ReadShaderSource(":/shaders/test/selfcycle.glsl");
        // The top level and sixteen nested levels are read; the include of the
        // seventeenth stays as text.
        EXPECT_EQ(countOf(text, "own line\t//"), kMaxShaderIncludeDepth + 1);
        EXPECT_EQ(countOf(text, "#include <test/selfcycle.glsl>\t//:/shaders/test/selfcycle.glsl:2\n"), 1);
        EXPECT_EQ(countOf(err.text(), "nested deeper than 16 at :/shaders/test/selfcycle.glsl:2"), 1) << err.text();
    }
    {
        StreamCapture err(std::cerr);
        std::string text = ReadShaderSource(":/shaders/test/cyclea.glsl");
        // a, b, a, ... : levels 0 to 16, nine of a and eight of b.
        EXPECT_EQ(countOf(text, "line of a\t//"), 9);
        EXPECT_EQ(countOf(text, "line of b\t//"), 8);
        EXPECT_EQ(countOf(err.text(), "nested deeper than 16"), 1) << err.text();
    }
}

// Every program source that includes the shared helpers gets them expanded,
// whether or not a blank follows the "<".
class ProgramSourceIncludeTest : public ::testing::TestWithParam<const char*> {};

TEST_P(ProgramSourceIncludeTest, SharedHelpersAreExpanded)
{
    std::string text = ReadShaderSource(std::string(":/shaders/") + GetParam());
    EXPECT_EQ(text.find("#include"), std::string::npos);
    EXPECT_NE(text.find("vec3 MulQuat(vec4 q, vec3 v)\t//:/shaders/shaderInclude.vert:"), std::string::npos);
    EXPECT_EQ(text.rfind("#version 330", 0), 0u) << "the version line must stay first";
}

INSTANTIATE_TEST_SUITE_P(Includers, ProgramSourceIncludeTest,
                         ::testing::Values("shaderDrawVeja.geo", "shaderDrawCylinder.geo",
                                           "shaderDrawPokrivaloVeje.geo", "shaderGenList.geo",
                                           "shaderForPanel.vert"));

TEST(CompileShaderStageDeathTest, EmptySourceEndsTheProcess)
{
    EXPECT_EXIT(CompileShaderStage(":/shaders/test/empty.glsl", GL_VERTEX_SHADER, ""),
                ::testing::ExitedWithCode(255), "Not found shader :/shaders/test/empty.glsl");
}

} // namespace

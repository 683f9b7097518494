// Building the renderer's nine programs on a real OpenGL 3.3 core context, the
// uniform locations the drawing code relies on, and how failures to compile or
// link are reported.

#include "shader_gl_fixture.h"

#include "view/shaderset.h"

#include "support/streamcapture.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

class ShaderSetTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        context = new GlContext;
        if (!context->gl)
            return;
        shaders = new ShaderSet;
        StreamCapture err(std::cerr);
        shaders->loadAll();
        loadErrors = new std::string(err.text());
    }

    static void TearDownTestSuite()
    {
        delete loadErrors;
        delete shaders;
        delete context;
        loadErrors = nullptr;
        shaders = nullptr;
        context = nullptr;
    }

    void SetUp() override
    {
        if (!context->gl)
            GTEST_SKIP() << "no OpenGL 3.3 core context";
    }

    static GlContext* context;
    static ShaderSet* shaders;
    static std::string* loadErrors;
};

GlContext* ShaderSetTest::context = nullptr;
ShaderSet* ShaderSetTest::shaders = nullptr;
std::string* ShaderSetTest::loadErrors = nullptr;

struct ProgramRow {
    const char* name;
    ShaderProgram ShaderSet::*program;
    bool hasGeometry;
};

const std::vector<ProgramRow> kPrograms = {
    {"programDefault", &ShaderSet::programDefault, false},
    {"programDrawPokrivaloVeje", &ShaderSet::programDrawPokrivaloVeje, true},
    {"programGenList", &ShaderSet::programGenList, true},
    {"programDrawCylinder", &ShaderSet::programDrawCylinder, true},
    {"programDrawVeja", &ShaderSet::programDrawVeja, true},
    {"programDrawVejaPicking", &ShaderSet::programDrawVejaPicking, true},
    {"programDrawTrans", &ShaderSet::programDrawTrans, true},
    {"programDrawTransCone", &ShaderSet::programDrawTransCone, false},
    {"programForPanel", &ShaderSet::programForPanel, false},
};

TEST_F(ShaderSetTest, AllNineProgramsCompileAndLinkWithoutAnyErrorLine)
{
    QOpenGLFunctions_3_3_Core* gl = context->gl;
    EXPECT_EQ(*loadErrors, "") << "loading printed errors";
    for (const ProgramRow& row : kPrograms) {
        const ShaderProgram& p = shaders->*row.program;
        ASSERT_NE(p.program, 0u) << row.name;
        GLint linked = GL_FALSE;
        gl->glGetProgramiv(p.program, GL_LINK_STATUS, &linked);
        EXPECT_EQ(linked, GL_TRUE) << row.name;

        GLint attached = 0;
        gl->glGetProgramiv(p.program, GL_ATTACHED_SHADERS, &attached);
        EXPECT_EQ(attached, row.hasGeometry ? 3 : 2) << row.name;
        for (unsigned int stage : {p.vertexShader, p.fragmentShader}) {
            GLint compiled = GL_FALSE;
            gl->glGetShaderiv(stage, GL_COMPILE_STATUS, &compiled);
            EXPECT_EQ(compiled, GL_TRUE) << row.name;
        }
        if (row.hasGeometry) {
            GLint type = 0;
            gl->glGetShaderiv(p.geometryShader, GL_SHADER_TYPE, &type);
            EXPECT_EQ(type, GL_GEOMETRY_SHADER) << row.name;
        }
    }
    EXPECT_EQ(gl->glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

// How a looked-up name must come out.
enum class Expect {
    Found,     // declared and used: the drawing code's writes must reach it
    Missing,   // the sources never declare it (the sampler is Tekstura, the switch ShadowsE)
    Optional,  // declared, but it only feeds values that no later stage reads, so a
               // linker may drop it; either way the location must be this name's
};

struct LocationRow {
    ShaderProgram ShaderSet::*program;
    int ShaderSet::*location;
    const char* name;
    Expect expect;
};

const std::vector<LocationRow> kLocations = {
    {&ShaderSet::programDefault, &ShaderSet::defaultPVM, "PVM", Expect::Found},

    {&ShaderSet::programDrawPokrivaloVeje, &ShaderSet::capPVM, "PVM", Expect::Found},
    {&ShaderSet::programDrawPokrivaloVeje, &ShaderSet::capTexture, "Texture", Expect::Missing},
    {&ShaderSet::programDrawPokrivaloVeje, &ShaderSet::capShadowMap, "shadowMap", Expect::Found},
    {&ShaderSet::programDrawPokrivaloVeje, &ShaderSet::capShadowmat, "shadowmat", Expect::Found},
    {&ShaderSet::programDrawPokrivaloVeje, &ShaderSet::capLightPos, "lightPos", Expect::Found},
    {&ShaderSet::programDrawPokrivaloVeje, &ShaderSet::capAddColor, "AddColor", Expect::Found},
    {&ShaderSet::programDrawPokrivaloVeje, &ShaderSet::capOsvetlitevE, "OsvetlitevE", Expect::Found},
    {&ShaderSet::programDrawPokrivaloVeje, &ShaderSet::capGrobiPrikaz, "GrobiPrikaz", Expect::Found},
    {&ShaderSet::programDrawPokrivaloVeje, &ShaderSet::capInsideShadowMapping, "InsideShadowMapping", Expect::Found},

    {&ShaderSet::programGenList, &ShaderSet::leafPVM, "PVM", Expect::Found},
    {&ShaderSet::programGenList, &ShaderSet::leafTexture, "Texture", Expect::Missing},
    {&ShaderSet::programGenList, &ShaderSet::leafShadowMap, "shadowMap", Expect::Found},
    {&ShaderSet::programGenList, &ShaderSet::leafShadowmat, "shadowmat", Expect::Found},
    {&ShaderSet::programGenList, &ShaderSet::leafLightPos, "lightPos", Expect::Found},
    {&ShaderSet::programGenList, &ShaderSet::leafAddColor, "AddColor", Expect::Found},
    {&ShaderSet::programGenList, &ShaderSet::leafOsvetlitevE, "OsvetlitevE", Expect::Found},
    // Leaves have no rough form.
    {&ShaderSet::programGenList, &ShaderSet::leafGrobiPrikaz, "GrobiPrikaz", Expect::Optional},
    {&ShaderSet::programGenList, &ShaderSet::leafInsideShadowMapping, "InsideShadowMapping", Expect::Found},

    {&ShaderSet::programDrawCylinder, &ShaderSet::cylinderPVM, "PVM", Expect::Found},
    {&ShaderSet::programDrawCylinder, &ShaderSet::cylinderTexture, "Texture", Expect::Missing},
    {&ShaderSet::programDrawCylinder, &ShaderSet::cylinderTextureE, "TextureE", Expect::Missing},
    {&ShaderSet::programDrawCylinder, &ShaderSet::cylinderShadowMap, "shadowMap", Expect::Found},
    {&ShaderSet::programDrawCylinder, &ShaderSet::cylinderShadowmat, "shadowmat", Expect::Found},
    {&ShaderSet::programDrawCylinder, &ShaderSet::cylinderLightPos, "lightPos", Expect::Found},
    {&ShaderSet::programDrawCylinder, &ShaderSet::cylinderAddColor, "AddColor", Expect::Found},
    {&ShaderSet::programDrawCylinder, &ShaderSet::cylinderTexRepeat, "TexRepeat", Expect::Found},
    {&ShaderSet::programDrawCylinder, &ShaderSet::cylinderTexXFrom, "TexXFrom", Expect::Found},
    {&ShaderSet::programDrawCylinder, &ShaderSet::cylinderTexXTo, "TexXTo", Expect::Found},
    {&ShaderSet::programDrawCylinder, &ShaderSet::cylinderOsvetlitevE, "OsvetlitevE", Expect::Found},

    {&ShaderSet::programDrawVeja, &ShaderSet::vejaPVM, "PVM", Expect::Found},
    {&ShaderSet::programDrawVeja, &ShaderSet::vejaTexture, "Texture", Expect::Missing},
    {&ShaderSet::programDrawVeja, &ShaderSet::vejaShadowMap, "shadowMap", Expect::Found},
    {&ShaderSet::programDrawVeja, &ShaderSet::vejaShadowmat, "shadowmat", Expect::Found},
    {&ShaderSet::programDrawVeja, &ShaderSet::vejaLightPos, "lightPos", Expect::Found},
    {&ShaderSet::programDrawVeja, &ShaderSet::vejaAddColor, "AddColor", Expect::Found},
    {&ShaderSet::programDrawVeja, &ShaderSet::vejaTexRepeat, "TexRepeat", Expect::Found},
    {&ShaderSet::programDrawVeja, &ShaderSet::vejaTexXFrom, "TexXFrom", Expect::Found},
    {&ShaderSet::programDrawVeja, &ShaderSet::vejaTexXTo, "TexXTo", Expect::Found},
    {&ShaderSet::programDrawVeja, &ShaderSet::vejaIntoQSumE, "intoQSumE", Expect::Found},
    {&ShaderSet::programDrawVeja, &ShaderSet::vejaOsvetlitevE, "OsvetlitevE", Expect::Found},
    {&ShaderSet::programDrawVeja, &ShaderSet::vejaShadowsE, "ShadowsE", Expect::Found},
    {&ShaderSet::programDrawVeja, &ShaderSet::vejaGrobiPrikaz, "GrobiPrikaz", Expect::Found},
    {&ShaderSet::programDrawVeja, &ShaderSet::vejaInsideShadowMapping, "InsideShadowMapping", Expect::Found},
    // Nothing on screen depends on the model-view matrix; the tube is built in world space.
    {&ShaderSet::programDrawVeja, &ShaderSet::vejaModelViewMatrix, "ModelViewMatrix", Expect::Optional},

    {&ShaderSet::programDrawVejaPicking, &ShaderSet::pickingPVM, "PVM", Expect::Found},
    {&ShaderSet::programDrawVejaPicking, &ShaderSet::pickingGrobiPrikaz, "GrobiPrikaz", Expect::Found},

    {&ShaderSet::programDrawTrans, &ShaderSet::transPVM, "PVM", Expect::Found},
    {&ShaderSet::programDrawTrans, &ShaderSet::transCubeD, "CubeD", Expect::Found},
    {&ShaderSet::programDrawTrans, &ShaderSet::transAlfa, "alfa", Expect::Found},

    {&ShaderSet::programDrawTransCone, &ShaderSet::transConePVM, "PVM", Expect::Found},
    {&ShaderSet::programDrawTransCone, &ShaderSet::transConeAlfa, "alfa", Expect::Found},

    {&ShaderSet::programForPanel, &ShaderSet::panelProjectionMatrix, "ProjectionMatrix", Expect::Found},
    {&ShaderSet::programForPanel, &ShaderSet::panelViewMatrix, "ViewMatrix", Expect::Found},
    {&ShaderSet::programForPanel, &ShaderSet::panelModelMatrix, "ModelMatrix", Expect::Found},
    // The panel's world-space normal and light direction are not read by the
    // shared fragment stage, which lights in model coordinates.
    {&ShaderSet::programForPanel, &ShaderSet::panelLightPosition, "LightPosition", Expect::Optional},
    {&ShaderSet::programForPanel, &ShaderSet::panelNormalModelMatrix, "NormalModelMatrix", Expect::Optional},
    {&ShaderSet::programForPanel, &ShaderSet::panelPoPotrebiInvertirajNormale, "PoPotrebiInvertirajNormale",
     Expect::Optional},
    {&ShaderSet::programForPanel, &ShaderSet::panelTekstura, "Tekstura", Expect::Found},
    {&ShaderSet::programForPanel, &ShaderSet::panelTeksturaE, "TeksturaE", Expect::Found},
    {&ShaderSet::programForPanel, &ShaderSet::panelAddColor, "AddColor", Expect::Found},
    {&ShaderSet::programForPanel, &ShaderSet::panelShadowMap, "shadowMap", Expect::Found},
    {&ShaderSet::programForPanel, &ShaderSet::panelShadowmat, "shadowmat", Expect::Found},
    {&ShaderSet::programForPanel, &ShaderSet::panelShadowE, "ShadowE", Expect::Missing},
    {&ShaderSet::programForPanel, &ShaderSet::panelIntoQSumE, "intoQSumE", Expect::Found},
    {&ShaderSet::programForPanel, &ShaderSet::panelOsvetlitevE, "OsvetlitevE", Expect::Found},
};

TEST_F(ShaderSetTest, EveryLocationBelongsToItsNameInItsProgram)
{
    QOpenGLFunctions_3_3_Core* gl = context->gl;
    for (const LocationRow& row : kLocations) {
        unsigned int program = (shaders->*row.program).program;
        int stored = shaders->*row.location;
        // Catches a location stored in the wrong member or looked up in the wrong program.
        EXPECT_EQ(stored, gl->glGetUniformLocation(program, row.name)) << row.name;
        if (row.expect == Expect::Found) {
            EXPECT_GE(stored, 0) << row.name << " must be active";
        } else if (row.expect == Expect::Missing) {
            EXPECT_EQ(stored, -1) << row.name << " is not declared";
        }
    }
}

TEST_F(ShaderSetTest, UseMakesTheProgramCurrent)
{
    QOpenGLFunctions_3_3_Core* gl = context->gl;
    for (const ProgramRow& row : kPrograms) {
        (shaders->*row.program).Use();
        GLint current = 0;
        gl->glGetIntegerv(GL_CURRENT_PROGRAM, &current);
        EXPECT_EQ(static_cast<unsigned int>(current), (shaders->*row.program).program) << row.name;
    }
    gl->glUseProgram(0);
}

// The fragment stage shared by the trees, tools and panels reads these four;
// a program whose last stage before it lacks one may link on a lenient driver
// and then reads undefined values (Mesa links it; stricter drivers refuse it and
// the element vanishes). Capturing them by transform feedback makes the linker
// insist that the last stage writes each of them.
TEST_F(ShaderSetTest, EveryProgramOfTheSharedFragmentStageWritesItsInputs)
{
    QOpenGLFunctions_3_3_Core* gl = context->gl;
    const char* inputs[] = {"posNewOriginal", "norm", "texCoord", "barvaVeje"};
    const std::vector<ProgramRow> sharing = {
        {"programDrawPokrivaloVeje", &ShaderSet::programDrawPokrivaloVeje, true},
        {"programGenList", &ShaderSet::programGenList, true},
        {"programDrawCylinder", &ShaderSet::programDrawCylinder, true},
        {"programDrawVeja", &ShaderSet::programDrawVeja, true},
        {"programForPanel", &ShaderSet::programForPanel, false},
    };
    for (const ProgramRow& row : sharing) {
        const ShaderProgram& source = shaders->*row.program;
        unsigned int probe = gl->glCreateProgram();
        gl->glAttachShader(probe, source.vertexShader);
        if (row.hasGeometry)
            gl->glAttachShader(probe, source.geometryShader);
        gl->glAttachShader(probe, source.fragmentShader);
        gl->glTransformFeedbackVaryings(probe, 4, inputs, GL_INTERLEAVED_ATTRIBS);
        gl->glLinkProgram(probe);
        GLint linked = GL_FALSE;
        gl->glGetProgramiv(probe, GL_LINK_STATUS, &linked);
        EXPECT_EQ(linked, GL_TRUE) << row.name;
        gl->glDeleteProgram(probe);
    }
}

class ShaderFailureTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!context.gl)
            GTEST_SKIP() << "no OpenGL 3.3 core context";
    }
    GlContext context;
};

TEST_F(ShaderFailureTest, StageThatDoesNotCompileIsReportedWithStageAndFile)
{
    std::string errors;
    unsigned int shader = 0;
    {
        StreamCapture err(std::cerr);
        shader = CompileShaderStage(":/shaders/test/broken.frag", GL_FRAGMENT_SHADER, "");
        errors = err.text();
    }
    GLint compiled = GL_TRUE;
    context.gl->glGetShaderiv(shader, GL_COMPILE_STATUS, &compiled);
    EXPECT_EQ(compiled, GL_FALSE);
    const std::string header = "ERROR: the fragment shader :/shaders/test/broken.frag does not compile:\n";
    size_t at = errors.find(header);
    ASSERT_NE(at, std::string::npos) << errors;
    // The compiler's own log follows.
    EXPECT_NE(errors.find("error", at + header.size()), std::string::npos) << errors;
}

TEST_F(ShaderFailureTest, ProgramThatDoesNotLinkIsReportedWithItsFiles)
{
    std::string errors;
    ShaderProgram program;
    {
        StreamCapture err(std::cerr);
        program.Init("test/wrongtype.vert", "test/needsfloat.frag");
        errors = err.text();
    }
    GLint linked = GL_TRUE;
    context.gl->glGetProgramiv(program.program, GL_LINK_STATUS, &linked);
    EXPECT_EQ(linked, GL_FALSE);
    EXPECT_NE(errors.find("ERROR: the shader program of test/wrongtype.vert, test/needsfloat.frag does not link:"),
              std::string::npos)
        << errors;
    EXPECT_NE(errors.find("colourValue"), std::string::npos) << "the linker's log names the input\n"
                                                                        << errors;
}

} // namespace

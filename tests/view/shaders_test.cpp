// The renderer's nine programs on a real OpenGL 3.3 core context: they link,
// every uniform location belongs to its name, failures are reported, and a few
// decisive drawings checked pixel by pixel in a 64 x 64 offscreen framebuffer.
// The view is the orthographic cube -1..1 (depth -10..10): 32 pixels per unit,
// pixel i has its centre at (i + 0.5) / 32 - 1.

#include "view/shaderset.h"
#include "view/vertexdata.h"

#include "support/glcontext.h"
#include "support/streamcapture.h"

#include <gtest/gtest.h>

#include <glm/gtc/matrix_transform.hpp>
#include <glm/gtc/type_ptr.hpp>

#include <cmath>
#include <cstddef>
#include <string>
#include <vector>

namespace {

constexpr int kSize = 64;
constexpr float kPixelsPerUnit = kSize / 2.0f;

int pixelOf(float ndc) { return static_cast<int>(std::floor((ndc + 1.0f) * kPixelsPerUnit)); }
bool isLit(const glm::vec4& c) { return c.r + c.g + c.b > 0.5f; }
const void* offset(std::size_t bytes) { return reinterpret_cast<const void*>(bytes); }

void expectColourNear(const glm::vec4& actual, const glm::vec3& expected, const std::string& what)
{
    // Eight-bit targets: a couple of steps of rounding.
    for (int i = 0; i < 3; ++i)
        EXPECT_NEAR(actual[i], expected[i], 2.5f / 255.0f) << what << ", component " << i;
}

class ShadersTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        context = new OffscreenGlContext;
        if (!context->gl())
            return;
        shaders = new ShaderSet;
        StreamCapture err(std::cerr);
        shaders->loadAll();
        loadErrors = err.text();
    }
    static void TearDownTestSuite()
    {
        delete shaders;
        delete context;
    }

    void SetUp() override
    {
        gl = context->gl();
        ASSERT_NE(gl, nullptr) << "no OpenGL 3.3 core context";
        gl->glGenVertexArrays(1, &vertexArray);
        gl->glBindVertexArray(vertexArray);
        gl->glGenBuffers(1, &buffer);
        gl->glBindBuffer(GL_ARRAY_BUFFER, buffer);
        gl->glEnable(GL_DEPTH_TEST);
    }
    void TearDown() override
    {
        if (!gl)
            return;
        EXPECT_EQ(gl->glGetError(), static_cast<GLenum>(GL_NO_ERROR));
        gl->glBindFramebuffer(GL_FRAMEBUFFER, 0);
        gl->glDeleteRenderbuffers(2, renderbuffers);
        gl->glDeleteFramebuffers(1, &framebuffer);
        gl->glDeleteTextures(1, &texture);
        gl->glDeleteBuffers(1, &buffer);
        gl->glDeleteVertexArrays(1, &vertexArray);
    }

    // Binds a framebuffer of an RGBA8 (or R32I) colour and a depth buffer.
    void makeTarget(bool ids = false)
    {
        gl->glGenFramebuffers(1, &framebuffer);
        gl->glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
        gl->glGenRenderbuffers(2, renderbuffers);
        for (int i = 0; i < 2; ++i) {
            gl->glBindRenderbuffer(GL_RENDERBUFFER, renderbuffers[i]);
            const GLenum format = i ? GL_DEPTH_COMPONENT24 : ids ? GL_R32I : GL_RGBA8;
            gl->glRenderbufferStorage(GL_RENDERBUFFER, format, kSize, kSize);
            gl->glFramebufferRenderbuffer(GL_FRAMEBUFFER, i ? GL_DEPTH_ATTACHMENT : GL_COLOR_ATTACHMENT0,
                                          GL_RENDERBUFFER, renderbuffers[i]);
        }
        gl->glViewport(0, 0, kSize, kSize);
        ASSERT_EQ(gl->glCheckFramebufferStatus(GL_FRAMEBUFFER), static_cast<GLenum>(GL_FRAMEBUFFER_COMPLETE));
    }
    void clear(const glm::vec4& colour = glm::vec4(0.0f))
    {
        gl->glClear(GL_DEPTH_BUFFER_BIT);
        gl->glClearBufferfv(GL_COLOR, 0, &colour.x);
    }
    glm::vec4 colourAt(int x, int y)
    {
        unsigned char rgba[4] = {0, 0, 0, 0};
        gl->glReadPixels(x, y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
        return glm::vec4(rgba[0], rgba[1], rgba[2], rgba[3]) / 255.0f;
    }
    // Lit pixels of column `line`, or of that row.
    int litAlong(int line, bool row = false)
    {
        int count = 0;
        for (int i = 0; i < kSize; ++i)
            count += isLit(row ? colourAt(i, line) : colourAt(line, i)) ? 1 : 0;
        return count;
    }

    void setMatrix(int location, const glm::mat4& m)
    {
        gl->glUniformMatrix4fv(location, 1, GL_FALSE, glm::value_ptr(m));
    }

    // A white 1 x 1 texture on unit 0 (deleted with the next one); the programs'
    // shadow map samplers are sent to unit 2, as the scene does.
    void useWhiteTexel(int alpha = 255)
    {
        const unsigned char texel[4] = {255, 255, 255, static_cast<unsigned char>(alpha)};
        gl->glDeleteTextures(1, &texture);
        gl->glGenTextures(1, &texture);
        gl->glActiveTexture(GL_TEXTURE0);
        gl->glBindTexture(GL_TEXTURE_2D, texture);
        gl->glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
        gl->glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, 1, 1, 0, GL_RGBA, GL_UNSIGNED_BYTE, texel);
    }

    // The branch program unlit (the texel's colour, or by attribute); the other
    // uniforms keep the defaults the sources give them.
    void useBranchProgram(bool byAttribute = false)
    {
        shaders->programDrawVeja.Use();
        setMatrix(shaders->vejaPVM, view);
        gl->glUniform1i(shaders->vejaShadowMap, 2);
        gl->glUniform1i(shaders->vejaOsvetlitevE, 0);
        gl->glUniform1i(shaders->vejaIntoQSumE, byAttribute ? 1 : 0);
    }

    // Streams `bytes` into the buffer and draws `count` vertices of the given
    // attributes (integer ones through the integer path).
    struct Attribute {
        GLuint index;
        GLint size;
        GLenum type;
        std::size_t stride, offset;
    };
    void draw(GLenum mode, GLsizei count, const std::vector<char>& bytes, std::initializer_list<Attribute> attributes)
    {
        gl->glBufferData(GL_ARRAY_BUFFER, bytes.size(), bytes.data(), GL_DYNAMIC_DRAW);
        for (const Attribute& a : attributes) {
            if (a.type == GL_INT)
                gl->glVertexAttribIPointer(a.index, a.size, a.type, a.stride, offset(a.offset));
            else
                gl->glVertexAttribPointer(a.index, a.size, a.type, GL_FALSE, a.stride, offset(a.offset));
            gl->glEnableVertexAttribArray(a.index);
        }
        gl->glDrawArrays(mode, 0, count);
        for (const Attribute& a : attributes)
            gl->glDisableVertexAttribArray(a.index);
    }
    template <typename T>
    static std::vector<char> bytesOf(const T* data, std::size_t n, std::vector<char> before = {})
    {
        const char* first = reinterpret_cast<const char*>(data);
        before.insert(before.end(), first, first + n * sizeof(T));
        return before;
    }

    // Branch points with the scene's attribute layout, then a colour value per point.
    void drawBranches(const std::vector<BranchPoint>& points, float colour = 0.0f)
    {
        const std::size_t n = points.size(), stride = sizeof(BranchPoint), colours = n * stride;
        const std::vector<float> values(n, colour);
        draw(GL_POINTS, static_cast<GLsizei>(n), bytesOf(values.data(), n, bytesOf(points.data(), n)),
             {{0, 3, GL_FLOAT, stride, offsetof(BranchPoint, base)},
              {1, 3, GL_FLOAT, stride, offsetof(BranchPoint, tip)},
              {2, 3, GL_FLOAT, stride, offsetof(BranchPoint, startRadius)},
              {3, 3, GL_FLOAT, stride, offsetof(BranchPoint, endRadius)},
              {4, 1, GL_INT, stride, offsetof(BranchPoint, pickId)},
              {5, 1, GL_FLOAT, sizeof(float), colours},
              {6, 1, GL_INT, stride, offsetof(BranchPoint, age)}});
    }

    // A horizontal branch from x = -0.5 to 0.5 at y, depth -0.5 (normalised 0.05).
    static BranchPoint branch(float radiusA, float radiusB, float y = 0.0f, int id = 1)
    {
        const glm::vec3 x(1.0f, 0.0f, 0.0f);
        return BranchPoint{{-0.5f, y, -0.5f}, x * radiusA, {0.5f, y, -0.5f}, x * radiusB, id, 0};
    }

    static OffscreenGlContext* context;
    static ShaderSet* shaders;
    static std::string loadErrors;

    QOpenGLFunctions_3_3_Core* gl = nullptr;
    GLuint vertexArray = 0, buffer = 0, texture = 0, framebuffer = 0, renderbuffers[2] = {0, 0};
    const glm::mat4 view = glm::ortho(-1.0f, 1.0f, -1.0f, 1.0f, -10.0f, 10.0f);
};

OffscreenGlContext* ShadersTest::context = nullptr;
ShaderSet* ShadersTest::shaders = nullptr;
std::string ShadersTest::loadErrors;

struct ProgramRow {
    const char* name;
    ShaderProgram ShaderSet::*program;
    bool hasGeometry;
    bool sharedFragmentStage;  // shaderDrawVeja.frag
};

const ProgramRow kPrograms[] = {
    {"programDefault", &ShaderSet::programDefault, false, false},
    {"programDrawPokrivaloVeje", &ShaderSet::programDrawPokrivaloVeje, true, true},
    {"programGenList", &ShaderSet::programGenList, true, true},
    {"programDrawCylinder", &ShaderSet::programDrawCylinder, true, true},
    {"programDrawVeja", &ShaderSet::programDrawVeja, true, true},
    {"programDrawVejaPicking", &ShaderSet::programDrawVejaPicking, true, false},
    {"programDrawTrans", &ShaderSet::programDrawTrans, true, false},
    {"programDrawTransCone", &ShaderSet::programDrawTransCone, false, false},
    {"programForPanel", &ShaderSet::programForPanel, false, true},
};

// Every program links; those ending in the shared fragment stage must also
// write its four inputs from their last stage before it (Mesa links a program
// that leaves one unwritten, stricter drivers refuse it): capturing them by
// transform feedback makes the linker insist on each.
TEST_F(ShadersTest, AllNineProgramsLinkAndFeedTheSharedFragmentStage)
{
    EXPECT_EQ(loadErrors, "");
    const char* inputs[] = {"posNewOriginal", "norm", "texCoord", "barvaVeje"};
    for (const ProgramRow& row : kPrograms) {
        const ShaderProgram& p = shaders->*row.program;
        GLint linked = GL_FALSE, attached = 0;
        gl->glGetProgramiv(p.program, GL_LINK_STATUS, &linked);
        gl->glGetProgramiv(p.program, GL_ATTACHED_SHADERS, &attached);
        EXPECT_EQ(linked, GL_TRUE) << row.name;
        EXPECT_EQ(attached, row.hasGeometry ? 3 : 2) << row.name;
        if (!row.sharedFragmentStage)
            continue;
        const GLuint probe = gl->glCreateProgram();
        for (GLuint stage : {p.vertexShader, p.geometryShader, p.fragmentShader})
            if (stage)
                gl->glAttachShader(probe, stage);
        gl->glTransformFeedbackVaryings(probe, 4, inputs, GL_INTERLEAVED_ATTRIBS);
        gl->glLinkProgram(probe);
        gl->glGetProgramiv(probe, GL_LINK_STATUS, &linked);
        EXPECT_EQ(linked, GL_TRUE) << row.name << " leaves an input of shaderDrawVeja.frag unwritten";
        gl->glDeleteProgram(probe);
    }
}

// Found: active. Missing: never declared (the samplers are Tekstura*, the switch
// ShadowsE). Optional: declared, but feeds nothing a later stage reads (leaves
// have no rough form, the tube is built in world space, the panel's world-space
// terms go unread), so a linker may drop it. Either way it must be this name's.
enum Expect { Found, Missing, Optional };
using S = ShaderSet;
struct Location {
    int S::*member;
    const char* name;
    Expect expect;
};
const std::pair<ShaderProgram S::*, std::vector<Location>> kLocations[] = {
    {&S::programDefault, {{&S::defaultPVM, "PVM", Found}}},
    {&S::programDrawPokrivaloVeje,
     {{&S::capPVM, "PVM", Found}, {&S::capTexture, "Texture", Missing}, {&S::capShadowMap, "shadowMap", Found},
      {&S::capShadowmat, "shadowmat", Found}, {&S::capLightPos, "lightPos", Found},
      {&S::capAddColor, "AddColor", Found}, {&S::capOsvetlitevE, "OsvetlitevE", Found},
      {&S::capGrobiPrikaz, "GrobiPrikaz", Found}, {&S::capInsideShadowMapping, "InsideShadowMapping", Found}}},
    {&S::programGenList,
     {{&S::leafPVM, "PVM", Found}, {&S::leafTexture, "Texture", Missing}, {&S::leafShadowMap, "shadowMap", Found},
      {&S::leafShadowmat, "shadowmat", Found}, {&S::leafLightPos, "lightPos", Found},
      {&S::leafAddColor, "AddColor", Found}, {&S::leafOsvetlitevE, "OsvetlitevE", Found},
      {&S::leafGrobiPrikaz, "GrobiPrikaz", Optional}, {&S::leafInsideShadowMapping, "InsideShadowMapping", Found}}},
    {&S::programDrawCylinder,
     {{&S::cylinderPVM, "PVM", Found}, {&S::cylinderTexture, "Texture", Missing},
      {&S::cylinderTextureE, "TextureE", Missing}, {&S::cylinderShadowMap, "shadowMap", Found},
      {&S::cylinderShadowmat, "shadowmat", Found}, {&S::cylinderLightPos, "lightPos", Found},
      {&S::cylinderAddColor, "AddColor", Found}, {&S::cylinderTexRepeat, "TexRepeat", Found},
      {&S::cylinderTexXFrom, "TexXFrom", Found}, {&S::cylinderTexXTo, "TexXTo", Found},
      {&S::cylinderOsvetlitevE, "OsvetlitevE", Found}}},
    {&S::programDrawVeja,
     {{&S::vejaPVM, "PVM", Found}, {&S::vejaTexture, "Texture", Missing}, {&S::vejaShadowMap, "shadowMap", Found},
      {&S::vejaShadowmat, "shadowmat", Found}, {&S::vejaLightPos, "lightPos", Found},
      {&S::vejaAddColor, "AddColor", Found}, {&S::vejaTexRepeat, "TexRepeat", Found},
      {&S::vejaTexXFrom, "TexXFrom", Found}, {&S::vejaTexXTo, "TexXTo", Found},
      {&S::vejaIntoQSumE, "intoQSumE", Found}, {&S::vejaOsvetlitevE, "OsvetlitevE", Found},
      {&S::vejaShadowsE, "ShadowsE", Found}, {&S::vejaGrobiPrikaz, "GrobiPrikaz", Found},
      {&S::vejaInsideShadowMapping, "InsideShadowMapping", Found},
      {&S::vejaModelViewMatrix, "ModelViewMatrix", Optional}}},
    {&S::programDrawVejaPicking, {{&S::pickingPVM, "PVM", Found}, {&S::pickingGrobiPrikaz, "GrobiPrikaz", Found}}},
    {&S::programDrawTrans,
     {{&S::transPVM, "PVM", Found}, {&S::transCubeD, "CubeD", Found}, {&S::transAlfa, "alfa", Found}}},
    {&S::programDrawTransCone, {{&S::transConePVM, "PVM", Found}, {&S::transConeAlfa, "alfa", Found}}},
    {&S::programForPanel,
     {{&S::panelProjectionMatrix, "ProjectionMatrix", Found}, {&S::panelViewMatrix, "ViewMatrix", Found},
      {&S::panelModelMatrix, "ModelMatrix", Found}, {&S::panelLightPosition, "LightPosition", Optional},
      {&S::panelNormalModelMatrix, "NormalModelMatrix", Optional},
      {&S::panelPoPotrebiInvertirajNormale, "PoPotrebiInvertirajNormale", Optional},
      {&S::panelTekstura, "Tekstura", Found}, {&S::panelTeksturaE, "TeksturaE", Found},
      {&S::panelAddColor, "AddColor", Found}, {&S::panelShadowMap, "shadowMap", Found},
      {&S::panelShadowmat, "shadowmat", Found}, {&S::panelShadowE, "ShadowE", Missing},
      {&S::panelIntoQSumE, "intoQSumE", Found}, {&S::panelOsvetlitevE, "OsvetlitevE", Found}}},
};

TEST_F(ShadersTest, EveryLocationBelongsToItsNameInItsProgram)
{
    for (const auto& [program, locations] : kLocations) {
        for (const Location& row : locations) {
            const int stored = shaders->*row.member;
            EXPECT_EQ(stored, gl->glGetUniformLocation((shaders->*program).program, row.name)) << row.name;
            if (row.expect != Optional) {
                EXPECT_EQ(stored >= 0, row.expect == Found) << row.name;
            }
        }
    }
}

TEST_F(ShadersTest, StagesThatDoNotCompileOrProgramsThatDoNotLinkAreReported)
{
    StreamCapture err(std::cerr);
    const GLuint shader = CompileShaderStage(":/shaders/test/broken.frag", GL_FRAGMENT_SHADER, "");
    ShaderProgram program;
    program.Init("test/wrongtype.vert", "test/needsfloat.frag");
    const std::string errors = err.text();

    GLint compiled = GL_TRUE, linked = GL_TRUE;
    gl->glGetShaderiv(shader, GL_COMPILE_STATUS, &compiled);
    gl->glGetProgramiv(program.program, GL_LINK_STATUS, &linked);
    EXPECT_EQ(compiled, GL_FALSE);
    EXPECT_EQ(linked, GL_FALSE);
    // Each headline is followed by the driver's own log.
    const std::string compileLine = "ERROR: the fragment shader :/shaders/test/broken.frag does not compile:\n";
    const size_t at = errors.find(compileLine);
    ASSERT_NE(at, std::string::npos) << errors;
    EXPECT_NE(errors.find("error", at + compileLine.size()), std::string::npos) << errors;
    const std::string linkLine =
        "ERROR: the shader program of test/wrongtype.vert, test/needsfloat.frag does not link:";
    const size_t linkAt = errors.find(linkLine);
    ASSERT_NE(linkAt, std::string::npos) << errors;
    EXPECT_NE(errors.find("colourValue", linkAt), std::string::npos) << errors;
}

// The tube's silhouette is exactly +-radius in y at twelve sides: rows whose
// centres lie within the radius of the axis. A taper from 0.25 to 0.125 is
// linear along the axis: 0.2375 at x = -0.4, 0.1375 at x = 0.4 (within a pixel).
TEST_F(ShadersTest, BranchTubeCoversItsDiameterAndTapers)
{
    makeTarget();
    clear();
    useWhiteTexel();
    useBranchProgram();
    drawBranches({branch(0.25f, 0.25f)});
    EXPECT_EQ(litAlong(kSize / 2), 16);
    EXPECT_EQ(litAlong(kSize / 2, true), 32) << "x from -0.5 to 0.5";

    clear();
    drawBranches({branch(0.25f, 0.125f)});
    EXPECT_NEAR(litAlong(pixelOf(-0.4f)), 2 * 0.2375f * kPixelsPerUnit, 1.0f);
    EXPECT_NEAR(litAlong(pixelOf(0.4f)), 2 * 0.1375f * kPixelsPerUnit, 1.0f);
}

TEST_F(ShadersTest, PickingWritesEachPointsIdIntoTheIntegerTarget)
{
    makeTarget(true);
    const GLint zero[4] = {0, 0, 0, 0};
    gl->glClear(GL_DEPTH_BUFFER_BIT);
    gl->glClearBufferiv(GL_COLOR, 0, zero);
    shaders->programDrawVejaPicking.Use();
    setMatrix(shaders->pickingPVM, view);
    drawBranches({branch(0.2f, 0.2f, 0.5f, 7), branch(0.2f, 0.2f, -0.5f, 123456)});
    for (auto [y, id] : {std::pair<float, int>{0.5f, 7}, {-0.5f, 123456}, {0.0f, 0}}) {  // nothing between them
        GLint read = -1;
        gl->glReadPixels(kSize / 2, pixelOf(y), 1, 1, GL_RED_INTEGER, GL_INT, &read);
        EXPECT_EQ(read, id) << "at y " << y;
    }
}

// The centre pixel of a branch (or a panel) over a grey background. A texel of
// alpha below 0.5 cuts a hole (125/255 = 0.490, 128/255 = 0.502). Colouring by
// attribute goes through `skala`, from the ramp's pieces by hand: on a branch the
// value after the points, on a panel its in_QSUM.
TEST_F(ShadersTest, TexelAlphaAndAttributeColours)
{
    makeTarget();
    enum Colouring { Texel, Branch, Panel };
    struct Row {
        Colouring colouring;
        int alpha;
        float value;
        glm::vec3 expected;
    };
    const glm::vec3 grey(0.5f);
    const Row rows[] = {
        {Texel, 0, 0, grey},           {Texel, 125, 0, grey},            {Texel, 128, 0, {1, 1, 1}},
        {Branch, 255, 0, {0, 0, 1}},   {Branch, 255, 0.125f, {0, 0.5f, 1}}, {Branch, 255, 0.25f, {0, 1, 1}},
        {Branch, 255, 0.5f, {0, 1, 0}}, {Branch, 255, 0.625f, {0.5f, 1, 0}}, {Branch, 255, 0.75f, {1, 1, 0}},
        {Branch, 255, 1, {1, 0, 0}},   {Branch, 255, 20, {1, 0, 1 - std::tanh(0.5f)}},  // above 1
        {Panel, 255, 0, {0, 0, 1}},    {Panel, 255, 0.5f, {0, 1, 0}},    {Panel, 255, 1, {1, 0, 0}},
    };
    struct PanelVertex {
        glm::vec3 position, normal;
        glm::vec2 uv;
        float qsum;
    };
    for (const Row& r : rows) {
        useWhiteTexel(r.alpha);
        clear(glm::vec4(grey, 1.0f));
        if (r.colouring != Panel) {
            useBranchProgram(r.colouring == Branch);
            drawBranches({branch(0.25f, 0.25f)}, r.value);
        } else {
            shaders->programForPanel.Use();
            for (int location : {shaders->panelProjectionMatrix, shaders->panelViewMatrix, shaders->panelModelMatrix})
                setMatrix(location, glm::mat4(1.0f));
            gl->glUniform1i(shaders->panelShadowMap, 2);
            gl->glUniform1i(shaders->panelOsvetlitevE, 0);
            gl->glUniform1i(shaders->panelIntoQSumE, 1);
            PanelVertex quad[4];
            for (int i = 0; i < 4; ++i)
                quad[i] = {{i % 2 - 0.5f, i / 2 - 0.5f, 0.0f}, {0, 0, 1}, {i % 2, i / 2}, r.value};
            const std::size_t stride = sizeof(PanelVertex);
            draw(GL_TRIANGLE_STRIP, 4, bytesOf(quad, 4),
                 {{0, 3, GL_FLOAT, stride, 0}, {1, 3, GL_FLOAT, stride, 12}, {2, 2, GL_FLOAT, stride, 24},
                  {3, 1, GL_FLOAT, stride, 32}});
        }
        expectColourNear(colourAt(kSize / 2, kSize / 2), r.expected,
                         "row " + std::to_string(&r - rows));
    }
}

// Ropes give their ends opposite radius vectors, the highlighted path equal ones;
// either way the tube keeps its width in the middle (rings turned against each
// other would pinch it to a flat ribbon). The rings of a tube along x start at
// +z, so the view looks down -y. Six sides reach the full radius 0.25 in z: 16 rows.
TEST_F(ShadersTest, CylinderKeepsItsWidthWhateverTheSignsOfItsAxes)
{
    makeTarget();
    const glm::vec3 x(1.0f, 0.0f, 0.0f);
    const glm::vec3 bent = glm::normalize(glm::vec3(1.0f, 0.05f, 0.0f));
    const std::pair<glm::vec3, glm::vec3> axes[] = {{x, x}, {x, -x}, {x, bent}, {-x, bent}};
    useWhiteTexel();
    for (const auto& [axisA, axisB] : axes) {
        clear();
        shaders->programDrawCylinder.Use();
        setMatrix(shaders->cylinderPVM, glm::rotate(view, glm::radians(90.0f), x));
        gl->glUniform1i(shaders->cylinderShadowMap, 2);
        gl->glUniform1i(shaders->cylinderOsvetlitevE, 0);
        const glm::vec3 records[4] = {{-0.5f, 0.0f, 0.0f}, axisA * 0.25f, {0.5f, 0.0f, 0.0f}, axisB * 0.25f};
        draw(GL_LINES, 2, bytesOf(records, 4), {{0, 3, GL_FLOAT, 24, 0}, {1, 3, GL_FLOAT, 24, 12}});
        EXPECT_EQ(litAlong(kSize / 2), 16) << "axes " << axisA.x << " and " << axisB.x << ", " << axisB.y;
    }
}

} // namespace

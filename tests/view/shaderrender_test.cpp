// What the programs draw, checked pixel by pixel in an offscreen framebuffer of
// 64 x 64 on a real OpenGL 3.3 core context. The view is an orthographic
// projection of the cube -1..1 (x right, y up, looking down -z, depth range
// -10..10), so one world unit is 32 pixels and a pixel column or row i has its
// centre at (i + 0.5) / 32 - 1.

#include "shader_gl_fixture.h"

#include "view/shaderset.h"
#include "view/vertexdata.h"

#include "support/streamcapture.h"

#include <gtest/gtest.h>

#include <glm/gtc/matrix_transform.hpp>
#include <glm/gtc/type_ptr.hpp>

#include <cmath>
#include <cstddef>
#include <functional>
#include <vector>

namespace {

constexpr int kSize = 64;
constexpr float kPixelsPerUnit = kSize / 2.0f;

int pixelOf(float ndc) { return static_cast<int>(std::floor((ndc + 1.0f) * kPixelsPerUnit)); }

bool isLit(const glm::vec4& c) { return c.r + c.g + c.b > 0.5f; }

void expectColourNear(const glm::vec4& actual, const glm::vec3& expected, const char* what)
{
    // Eight-bit targets: a couple of steps of rounding.
    const float tolerance = 2.5f / 255.0f;
    EXPECT_NEAR(actual.r, expected.r, tolerance) << what;
    EXPECT_NEAR(actual.g, expected.g, tolerance) << what;
    EXPECT_NEAR(actual.b, expected.b, tolerance) << what;
}

BranchPoint branch(glm::vec3 base, glm::vec3 tip, float radiusA, float radiusB, int id = 1, int age = 0)
{
    glm::vec3 axis = glm::normalize(tip - base);
    return BranchPoint{base, axis * radiusA, tip, axis * radiusB, id, age};
}

class ShaderRenderTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        context = new GlContext;
        if (!context->gl)
            return;
        QOpenGLFunctions_3_3_Core* gl = context->gl;
        shaders = new ShaderSet;
        shaders->loadAll();
        gl->glGenVertexArrays(1, &vertexArray);
        gl->glBindVertexArray(vertexArray);
        gl->glGenBuffers(1, &buffer);
        const unsigned char white[4] = {255, 255, 255, 255};
        whiteTexture = makeTexture(gl, 1, 1, white);
        shadowMap = makeEmptyShadowMap(gl);
    }

    static void TearDownTestSuite()
    {
        delete shaders;
        delete context;
        shaders = nullptr;
        context = nullptr;
    }

    void SetUp() override
    {
        if (!context->gl)
            GTEST_SKIP() << "no OpenGL 3.3 core context";
        gl = context->gl;
        gl->glBindVertexArray(vertexArray);
        gl->glBindBuffer(GL_ARRAY_BUFFER, buffer);
        for (int i = 0; i < 7; ++i)
            gl->glDisableVertexAttribArray(i);
        gl->glEnable(GL_DEPTH_TEST);
        gl->glDepthFunc(GL_LESS);
        gl->glDisable(GL_CULL_FACE);
        gl->glDisable(GL_BLEND);
        bindTexture(whiteTexture);
        gl->glActiveTexture(GL_TEXTURE2);
        gl->glBindTexture(GL_TEXTURE_2D, shadowMap);
        gl->glActiveTexture(GL_TEXTURE0);
    }

    void TearDown() override
    {
        if (gl) {
            EXPECT_EQ(gl->glGetError(), static_cast<GLenum>(GL_NO_ERROR));
        }
    }

    void bindTexture(unsigned int texture)
    {
        gl->glActiveTexture(GL_TEXTURE0);
        gl->glBindTexture(GL_TEXTURE_2D, texture);
    }

    void setMatrix(int location, const glm::mat4& m) { gl->glUniformMatrix4fv(location, 1, GL_FALSE, glm::value_ptr(m)); }

    // The branch program as the scene sets it up, unlit and untextured colour
    // unless a test says otherwise: the white texture plus AddColor.
    void useBranchProgram(const glm::vec4& addColor = glm::vec4(0.0f), int lit = 0)
    {
        shaders->programDrawVeja.Use();
        setMatrix(shaders->vejaPVM, view);
        setMatrix(shaders->vejaShadowmat, glm::mat4(1.0f));
        gl->glUniform1i(shaders->vejaShadowMap, 2);
        gl->glUniform3f(shaders->vejaLightPos, 0.0f, 0.0f, 100.0f);
        gl->glUniform4fv(shaders->vejaAddColor, 1, glm::value_ptr(addColor));
        gl->glUniform1i(shaders->vejaOsvetlitevE, lit);
        gl->glUniform1i(shaders->vejaShadowsE, 1);
        gl->glUniform1i(shaders->vejaIntoQSumE, 0);
        gl->glUniform1i(shaders->vejaGrobiPrikaz, 0);
        gl->glUniform1i(shaders->vejaInsideShadowMapping, 0);
        gl->glUniform1f(shaders->vejaTexRepeat, 1.0f);
        gl->glUniform1f(shaders->vejaTexXFrom, 0.0f);
        gl->glUniform1f(shaders->vejaTexXTo, 1.0f);
    }

    // Streams branch points (and a colour value per point after them) with the
    // attribute layout of the scene drawing; the pick id only for picking.
    void drawBranches(const std::vector<BranchPoint>& points, const std::vector<float>& colours = {},
                      bool withPickId = false)
    {
        const GLsizei stride = sizeof(BranchPoint);
        const size_t pointBytes = points.size() * sizeof(BranchPoint);
        gl->glBufferData(GL_ARRAY_BUFFER, pointBytes + colours.size() * sizeof(float), nullptr, GL_DYNAMIC_DRAW);
        gl->glBufferSubData(GL_ARRAY_BUFFER, 0, pointBytes, points.data());
        if (!colours.empty())
            gl->glBufferSubData(GL_ARRAY_BUFFER, pointBytes, colours.size() * sizeof(float), colours.data());
        auto offset = [](size_t bytes) { return reinterpret_cast<const void*>(bytes); };
        gl->glVertexAttribPointer(0, 3, GL_FLOAT, GL_FALSE, stride, offset(offsetof(BranchPoint, base)));
        gl->glVertexAttribPointer(1, 3, GL_FLOAT, GL_FALSE, stride, offset(offsetof(BranchPoint, tip)));
        gl->glVertexAttribPointer(2, 3, GL_FLOAT, GL_FALSE, stride, offset(offsetof(BranchPoint, startRadius)));
        gl->glVertexAttribPointer(3, 3, GL_FLOAT, GL_FALSE, stride, offset(offsetof(BranchPoint, endRadius)));
        gl->glVertexAttribIPointer(6, 1, GL_INT, stride, offset(offsetof(BranchPoint, age)));
        for (int i : {0, 1, 2, 3, 6})
            gl->glEnableVertexAttribArray(i);
        if (withPickId) {
            gl->glVertexAttribIPointer(4, 1, GL_INT, stride, offset(offsetof(BranchPoint, pickId)));
            gl->glEnableVertexAttribArray(4);
        }
        if (!colours.empty()) {
            gl->glVertexAttribPointer(5, 1, GL_FLOAT, GL_FALSE, sizeof(float), offset(pointBytes));
            gl->glEnableVertexAttribArray(5);
        }
        gl->glDrawArrays(GL_POINTS, 0, static_cast<GLsizei>(points.size()));
        for (int i = 0; i < 7; ++i)
            gl->glDisableVertexAttribArray(i);
    }

    // Number of pixels in a column (or row) that pass `test`.
    static int countColumn(const RenderTarget& target, int column, const std::function<bool(glm::vec4)>& test)
    {
        int count = 0;
        for (int y = 0; y < target.height; ++y)
            count += test(target.colourAt(column, y)) ? 1 : 0;
        return count;
    }
    static int countRow(const RenderTarget& target, int row, const std::function<bool(glm::vec4)>& test)
    {
        int count = 0;
        for (int x = 0; x < target.width; ++x)
            count += test(target.colourAt(x, row)) ? 1 : 0;
        return count;
    }

    static GlContext* context;
    static ShaderSet* shaders;
    static unsigned int vertexArray;
    static unsigned int buffer;
    static unsigned int whiteTexture;
    static unsigned int shadowMap;

    QOpenGLFunctions_3_3_Core* gl = nullptr;
    const glm::mat4 view = glm::ortho(-1.0f, 1.0f, -1.0f, 1.0f, -10.0f, 10.0f);
};

GlContext* ShaderRenderTest::context = nullptr;
ShaderSet* ShaderRenderTest::shaders = nullptr;
unsigned int ShaderRenderTest::vertexArray = 0;
unsigned int ShaderRenderTest::buffer = 0;
unsigned int ShaderRenderTest::whiteTexture = 0;
unsigned int ShaderRenderTest::shadowMap = 0;

// A horizontal branch from x = -0.5 to 0.5 at depth -0.5 (normalised depth
// 0.05, in front of the far test). Its axis is x, so its rings start at +z and
// turn through -y: the silhouette is exactly +-radius in y at 12 sides, and
// +-radius sin(120 deg) at 3 sides.
TEST_F(ShaderRenderTest, BranchTubeCoversItsDiameterAndTapers)
{
    RenderTarget target(gl, kSize, kSize);
    ASSERT_TRUE(target.complete());
    target.clear();
    useBranchProgram();
    drawBranches({branch({-0.5f, 0.0f, -0.5f}, {0.5f, 0.0f, -0.5f}, 0.25f, 0.25f)});
    // Radius 0.25: rows whose centres lie within 0.25 of y = 0, 16 of them.
    EXPECT_EQ(countColumn(target, kSize / 2, isLit), 16);
    EXPECT_EQ(countRow(target, kSize / 2, isLit), 32) << "x from -0.5 to 0.5";

    // Tapering from 0.25 to 0.125: the radius at x is linear between the ends,
    // 0.2375 at x = -0.4 and 0.1375 at x = 0.4: 2 r 32 pixels, within a pixel.
    target.clear();
    drawBranches({branch({-0.5f, 0.0f, -0.5f}, {0.5f, 0.0f, -0.5f}, 0.25f, 0.125f)});
    EXPECT_NEAR(countColumn(target, pixelOf(-0.4f), isLit), 2 * 0.2375f * kPixelsPerUnit, 1.0f);
    EXPECT_NEAR(countColumn(target, pixelOf(0.4f), isLit), 2 * 0.1375f * kPixelsPerUnit, 1.0f);
}

TEST_F(ShaderRenderTest, RoughDisplayDrawsThreeSidedTubes)
{
    RenderTarget target(gl, kSize, kSize);
    target.clear();
    useBranchProgram();
    gl->glUniform1i(shaders->vejaGrobiPrikaz, 1);
    drawBranches({branch({-0.5f, 0.0f, -0.5f}, {0.5f, 0.0f, -0.5f}, 0.25f, 0.25f)});
    // Half-width 0.25 sin(120 deg) = 0.2165: rows 25 to 38.
    EXPECT_EQ(countColumn(target, kSize / 2, isLit), 14);
}

// The scene culls front faces (counter-clockwise) while drawing branches, so
// the tube's outside must wind clockwise. Lit from the viewer's side, the
// outside facing us gets material 0.8 (1 + diffuse) with diffuse close to 1;
// the inside of the far wall would face away (diffuse close to -1, dark).
TEST_F(ShaderRenderTest, OutsideOfTheTubeSurvivesTheScenesFaceCulling)
{
    RenderTarget target(gl, kSize, kSize);
    target.clear();
    gl->glEnable(GL_CULL_FACE);
    gl->glFrontFace(GL_CCW);
    gl->glCullFace(GL_FRONT);
    useBranchProgram(glm::vec4(-0.5f, -0.5f, -0.5f, 0.0f), 1);
    drawBranches({branch({-0.5f, 0.0f, -0.5f}, {0.5f, 0.0f, -0.5f}, 0.25f, 0.25f)});
    glm::vec4 centre = target.colourAt(kSize / 2, kSize / 2);
    // Material 0.5; the normal interpolated between the rings' vertices at
    // +-15 deg has length cos 15 deg at worst: 0.4 (1 + 0.96) = 0.79 at least.
    EXPECT_GT(centre.r, 0.77f);
    EXPECT_LT(centre.r, 0.81f);
}

struct CullCase {
    const char* what;
    glm::vec3 base;
    glm::vec3 tip;
    bool drawn;
};

class BranchCullTest : public ShaderRenderTest, public ::testing::WithParamInterface<CullCase> {};

TEST_P(BranchCullTest, PointsWhollyOutsideTheViewEmitNothing)
{
    const CullCase& c = GetParam();
    RenderTarget target(gl, kSize, kSize);
    target.clear();
    useBranchProgram();
    // Thick enough that a tube beside the view would still reach into it.
    drawBranches({branch(c.base, c.tip, 0.6f, 0.6f)});
    int lit = 0;
    for (int x = 0; x < kSize; x += 4)
        lit += countColumn(target, x, isLit);
    if (c.drawn) {
        EXPECT_GT(lit, 0) << c.what;
    } else {
        EXPECT_EQ(lit, 0) << c.what;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Ends, BranchCullTest,
    ::testing::Values(CullCase{"both ends left", {-1.5f, 0.0f, -0.5f}, {-1.1f, 0.0f, -0.5f}, false},
                      CullCase{"both ends right", {1.1f, 0.0f, -0.5f}, {1.5f, 0.0f, -0.5f}, false},
                      CullCase{"both ends below", {0.0f, -1.5f, -0.5f}, {0.0f, -1.1f, -0.5f}, false},
                      CullCase{"both ends above", {0.0f, 1.1f, -0.5f}, {0.0f, 1.5f, -0.5f}, false},
                      // Normalised depth -z / 10 below 0 at both ends.
                      CullCase{"both ends nearer than depth 0", {-0.5f, 0.0f, 0.5f}, {0.5f, 0.0f, 0.5f}, false},
                      CullCase{"only the tip inside", {-3.0f, 0.0f, -0.5f}, {0.2f, 0.0f, -0.5f}, true},
                      CullCase{"only the base inside", {0.0f, 0.0f, -0.5f}, {0.0f, 3.0f, -0.5f}, true},
                      CullCase{"one end near, one far", {-0.5f, 0.0f, 0.5f}, {0.5f, 0.0f, -0.5f}, true}));

// A texture of two texels: red on the left (old bark), green on the right
// (young bark). Sampled away from the seam, which faces the viewer.
TEST_F(ShaderRenderTest, AgeChoosesTheBarkHalf)
{
    const unsigned char halves[8] = {255, 0, 0, 255, 0, 255, 0, 255};
    unsigned int texture = makeTexture(gl, 2, 1, halves);
    bindTexture(texture);
    RenderTarget target(gl, kSize, kSize);
    const int column = kSize / 2;
    const int row = pixelOf(-0.15f);  // 37 deg round the ring from the seam

    struct Row {
        int age;
        float texXFrom;
        glm::vec3 expected;
    };
    const Row rows[] = {
        {0, 0.0f, {0, 1, 0}},    // young
        {1, 0.0f, {0, 1, 0}},    // still young
        {2, 0.0f, {1, 0, 0}},    // old
        {7, 0.0f, {1, 0, 0}},    // old
        {2, 0.5f, {0, 1, 0}},    // old, but the window starts at the right half
    };
    for (const Row& r : rows) {
        target.clear();
        useBranchProgram();
        gl->glUniform1f(shaders->vejaTexXFrom, r.texXFrom);
        drawBranches({branch({-0.5f, 0.0f, -0.5f}, {0.5f, 0.0f, -0.5f}, 0.25f, 0.25f, 1, r.age)});
        expectColourNear(target.colourAt(column, row), r.expected, ("age " + std::to_string(r.age)).c_str());
    }
    gl->glDeleteTextures(1, &texture);
}

TEST_F(ShaderRenderTest, TexelsWithAlphaBelowOneHalfCutHoles)
{
    RenderTarget target(gl, kSize, kSize);
    struct Row {
        unsigned char alpha;
        bool drawn;
    };
    // 125/255 = 0.490, 128/255 = 0.502.
    const Row rows[] = {{0, false}, {64, false}, {125, false}, {128, true}, {191, true}, {255, true}};
    for (const Row& r : rows) {
        const unsigned char texel[4] = {255, 255, 255, r.alpha};
        unsigned int texture = makeTexture(gl, 1, 1, texel);
        bindTexture(texture);
        target.clear(glm::vec4(0.0f, 0.0f, 1.0f, 1.0f));
        useBranchProgram();
        drawBranches({branch({-0.5f, 0.0f, -0.5f}, {0.5f, 0.0f, -0.5f}, 0.25f, 0.25f)});
        glm::vec4 centre = target.colourAt(kSize / 2, kSize / 2);
        if (r.drawn) {
            expectColourNear(centre, {1, 1, 1}, "opaque enough");
        } else {
            expectColourNear(centre, {0, 0, 1}, "hole shows the background");
        }
        gl->glDeleteTextures(1, &texture);
    }
}

// Colouring by attribute: the value of each point through `skala`, taken from
// the ramp's pieces by hand.
TEST_F(ShaderRenderTest, AttributeColoursFollowTheScale)
{
    RenderTarget target(gl, kSize, kSize);
    struct Row {
        float value;
        glm::vec3 expected;
    };
    const Row rows[] = {
        {0.0f, {0, 0, 1}},                             // blue
        {0.125f, {0, 0.5f, 1}},
        {0.25f, {0, 1, 1}},                            // cyan
        {0.5f, {0, 1, 0}},                             // green
        {0.625f, {0.5f, 1, 0}},
        {0.75f, {1, 1, 0}},                            // yellow
        {1.0f, {1, 0, 0}},                             // red
        {20.0f, {1, 0, 1.0f - std::tanh(0.5f)}},       // above 1, towards magenta
    };
    for (const Row& r : rows) {
        target.clear();
        useBranchProgram();
        gl->glUniform1i(shaders->vejaIntoQSumE, 1);
        drawBranches({branch({-0.5f, 0.0f, -0.5f}, {0.5f, 0.0f, -0.5f}, 0.25f, 0.25f)}, {r.value});
        expectColourNear(target.colourAt(kSize / 2, kSize / 2), r.expected,
                         ("value " + std::to_string(r.value)).c_str());
    }
}

TEST_F(ShaderRenderTest, PickingWritesEachPointsIdIntoTheIntegerTarget)
{
    RenderTarget target(gl, kSize, kSize, RenderTarget::Kind::Id);
    ASSERT_TRUE(target.complete());
    target.clear();
    shaders->programDrawVejaPicking.Use();
    setMatrix(shaders->pickingPVM, view);
    gl->glUniform1i(shaders->pickingGrobiPrikaz, 0);
    drawBranches({branch({-0.5f, 0.5f, -0.5f}, {0.5f, 0.5f, -0.5f}, 0.2f, 0.2f, 7),
                  branch({-0.5f, -0.5f, -0.5f}, {0.5f, -0.5f, -0.5f}, 0.2f, 0.2f, 123456)},
                 {}, true);
    EXPECT_EQ(target.idAt(kSize / 2, pixelOf(0.5f)), 7);
    EXPECT_EQ(target.idAt(kSize / 2, pixelOf(-0.5f)), 123456);
    EXPECT_EQ(target.idAt(kSize / 2, kSize / 2), 0) << "between the branches nothing was drawn";
    EXPECT_EQ(target.idAt(2, 2), 0);
}

// Rope and spreader segments give their ends opposite radius vectors, the
// highlighted path equal ones. Either way the tube keeps its full width in the
// middle; rings turned against each other would pinch it there to a flat
// ribbon. The rings of a tube along x start at +z, so the pinch shows in z: the
// view is turned to look down -y (world z up the screen). Six sides: the
// z-extent is the full radius, 0.25, at angles 0 and 180 deg: 16 rows.
TEST_F(ShaderRenderTest, CylinderKeepsItsWidthWhateverTheSignsOfItsAxes)
{
    RenderTarget target(gl, kSize, kSize);
    const glm::mat4 fromAbove = glm::rotate(view, glm::radians(90.0f), glm::vec3(1.0f, 0.0f, 0.0f));
    struct Row {
        const char* what;
        glm::vec3 axisA;
        glm::vec3 axisB;
    };
    const glm::vec3 x(1.0f, 0.0f, 0.0f);
    const glm::vec3 bent = glm::normalize(glm::vec3(1.0f, 0.05f, 0.0f));
    const Row rows[] = {
        {"equal axes", x, x},
        {"opposite axes", x, -x},
        {"nearly equal axes", x, bent},
        {"nearly opposite axes", -x, bent},
    };
    for (const Row& r : rows) {
        target.clear();
        shaders->programDrawCylinder.Use();
        setMatrix(shaders->cylinderPVM, fromAbove);
        setMatrix(shaders->cylinderShadowmat, glm::mat4(1.0f));
        gl->glUniform1i(shaders->cylinderShadowMap, 2);
        gl->glUniform4f(shaders->cylinderAddColor, 0.0f, 0.0f, 0.0f, 0.0f);
        gl->glUniform1i(shaders->cylinderOsvetlitevE, 0);
        gl->glUniform1f(shaders->cylinderTexRepeat, 1.0f);
        const glm::vec3 records[4] = {{-0.5f, 0.0f, 0.0f}, r.axisA * 0.25f, {0.5f, 0.0f, 0.0f}, r.axisB * 0.25f};
        gl->glBufferData(GL_ARRAY_BUFFER, sizeof(records), records, GL_DYNAMIC_DRAW);
        gl->glVertexAttribPointer(0, 3, GL_FLOAT, GL_FALSE, 24, nullptr);
        gl->glVertexAttribPointer(1, 3, GL_FLOAT, GL_FALSE, 24, reinterpret_cast<const void*>(12));
        gl->glEnableVertexAttribArray(0);
        gl->glEnableVertexAttribArray(1);
        gl->glDrawArrays(GL_LINES, 0, 2);
        EXPECT_EQ(countColumn(target, kSize / 2, isLit), 16) << r.what;
    }
}

// Caps: a disc across the cut. Axis +z faces the viewer; the rim starts at
// CalcBinormala(z) = (1, -1, 0) / sqrt 2, i.e. at -45 deg, so three segments
// give a triangle with corners at -45, 75 and 195 deg and an inscribed radius
// of half the rim radius, with an edge's middle at 135 deg.
TEST_F(ShaderRenderTest, CapIsADiscAcrossTheCut)
{
    RenderTarget target(gl, kSize, kSize);
    struct Row {
        int rough;
        float distance;  // from the centre, at 135 deg
        bool drawn;
    };
    const Row rows[] = {
        {0, 0.0f, true}, {0, 0.3f, true}, {0, 0.45f, true}, {0, 0.6f, false},
        {1, 0.0f, true}, {1, 0.2f, true}, {1, 0.35f, false},
    };
    for (const Row& r : rows) {
        target.clear();
        shaders->programDrawPokrivaloVeje.Use();
        setMatrix(shaders->capPVM, view);
        setMatrix(shaders->capShadowmat, glm::mat4(1.0f));
        gl->glUniform1i(shaders->capShadowMap, 2);
        gl->glUniform4f(shaders->capAddColor, 0.0f, 0.0f, 0.0f, 1.0f);
        gl->glUniform1i(shaders->capOsvetlitevE, 0);
        gl->glUniform1i(shaders->capGrobiPrikaz, r.rough);
        gl->glUniform1i(shaders->capInsideShadowMapping, 0);
        const CapPoint cap{{0.0f, 0.0f, -0.5f}, {0.0f, 0.0f, 0.5f}};
        gl->glBufferData(GL_ARRAY_BUFFER, sizeof(cap), &cap, GL_DYNAMIC_DRAW);
        gl->glVertexAttribPointer(0, 3, GL_FLOAT, GL_FALSE, sizeof(CapPoint), nullptr);
        gl->glVertexAttribPointer(1, 3, GL_FLOAT, GL_FALSE, sizeof(CapPoint), reinterpret_cast<const void*>(12));
        gl->glEnableVertexAttribArray(0);
        gl->glEnableVertexAttribArray(1);
        gl->glDrawArrays(GL_POINTS, 0, 1);
        const float d = r.distance / std::sqrt(2.0f);
        bool lit = isLit(target.colourAt(pixelOf(-d), pixelOf(d)));
        EXPECT_EQ(lit, r.drawn) << "segments " << (r.rough ? 3 : 12) << ", distance " << r.distance;
    }
}

// A leaf of size 0.8 along +y with normal +z: a diamond from (0, -0.4) to
// (0, 0.4), 1.6 wide at y = 0. It samples only the left half of its texture,
// v = 0 at its base and 1 at its tip.
TEST_F(ShaderRenderTest, LeafIsADiamondOverTheLeftHalfOfItsTexture)
{
    // Rows bottom-up: bottom-left red, bottom-right blue, top-left green, top-right blue.
    const unsigned char quarters[16] = {255, 0, 0, 255, 0, 0, 255, 255, 0, 255, 0, 255, 0, 0, 255, 255};
    unsigned int texture = makeTexture(gl, 2, 2, quarters);
    bindTexture(texture);
    RenderTarget target(gl, kSize, kSize);

    auto drawLeaf = [&](float z) {
        target.clear();
        shaders->programGenList.Use();
        setMatrix(shaders->leafPVM, view);
        setMatrix(shaders->leafShadowmat, glm::mat4(1.0f));
        gl->glUniform1i(shaders->leafShadowMap, 2);
        gl->glUniform4f(shaders->leafAddColor, 0.0f, 0.0f, 0.0f, 0.0f);
        gl->glUniform1i(shaders->leafOsvetlitevE, 0);
        gl->glUniform1i(shaders->leafInsideShadowMapping, 0);
        const LeafPoint leaf{{0.0f, -0.4f, z}, {0.0f, 0.8f, 0.0f}, {0.0f, 0.0f, 1.0f}};
        gl->glBufferData(GL_ARRAY_BUFFER, sizeof(leaf), &leaf, GL_DYNAMIC_DRAW);
        for (int i = 0; i < 3; ++i) {
            gl->glVertexAttribPointer(i, 3, GL_FLOAT, GL_FALSE, sizeof(LeafPoint),
                                      reinterpret_cast<const void*>(static_cast<size_t>(12 * i)));
            gl->glEnableVertexAttribArray(i);
        }
        gl->glDrawArrays(GL_POINTS, 0, 1);
    };

    // Normalised depth 0.95: beyond the leaves' near limit of 0.9.
    drawLeaf(-9.5f);
    expectColourNear(target.colourAt(pixelOf(0.0f), pixelOf(-0.3f)), {1, 0, 0}, "base: bottom-left texel");
    expectColourNear(target.colourAt(pixelOf(0.0f), pixelOf(0.3f)), {0, 1, 0}, "tip: top-left texel");
    EXPECT_TRUE(isLit(target.colourAt(pixelOf(0.7f), pixelOf(0.0f)))) << "1.6 wide across the middle";
    EXPECT_TRUE(isLit(target.colourAt(pixelOf(-0.7f), pixelOf(0.0f))));
    EXPECT_FALSE(isLit(target.colourAt(pixelOf(0.5f), pixelOf(0.3f)))) << "outside the diamond";
    EXPECT_FALSE(isLit(target.colourAt(pixelOf(0.0f), pixelOf(0.5f)))) << "beyond the tip";

    // Normalised depth 0.5: nearer than 0.9 at both ends, not drawn.
    drawLeaf(-5.0f);
    EXPECT_FALSE(isLit(target.colourAt(pixelOf(0.0f), pixelOf(0.0f))));
    gl->glDeleteTextures(1, &texture);
}

// The panel program hands its in_QSUM to the shared fragment stage's colour
// by attribute, and its texture coordinates and model position.
TEST_F(ShaderRenderTest, PanelColoursByItsQsumAttribute)
{
    RenderTarget target(gl, kSize, kSize);
    struct Vertex {
        glm::vec3 position;
        glm::vec3 normal;
        glm::vec2 uv;
        float qsum;
    };
    struct Row {
        float qsum;
        glm::vec3 expected;
    };
    const Row rows[] = {{0.0f, {0, 0, 1}}, {0.5f, {0, 1, 0}}, {1.0f, {1, 0, 0}}};
    for (const Row& r : rows) {
        target.clear();
        shaders->programForPanel.Use();
        setMatrix(shaders->panelProjectionMatrix, glm::mat4(1.0f));
        setMatrix(shaders->panelViewMatrix, glm::mat4(1.0f));
        setMatrix(shaders->panelModelMatrix, glm::mat4(1.0f));
        setMatrix(shaders->panelShadowmat, glm::mat4(1.0f));
        gl->glUniform1i(shaders->panelShadowMap, 2);
        gl->glUniform1i(shaders->panelTekstura, 0);
        gl->glUniform1i(shaders->panelTeksturaE, 0);
        gl->glUniform1i(shaders->panelOsvetlitevE, 0);
        gl->glUniform1i(shaders->panelIntoQSumE, 1);
        gl->glUniform4f(shaders->panelAddColor, 0.0f, 0.0f, 0.0f, 1.0f);
        const Vertex quad[4] = {{{-0.5f, -0.5f, 0.0f}, {0, 0, 1}, {0, 0}, r.qsum},
                                {{0.5f, -0.5f, 0.0f}, {0, 0, 1}, {1, 0}, r.qsum},
                                {{-0.5f, 0.5f, 0.0f}, {0, 0, 1}, {0, 1}, r.qsum},
                                {{0.5f, 0.5f, 0.0f}, {0, 0, 1}, {1, 1}, r.qsum}};
        gl->glBufferData(GL_ARRAY_BUFFER, sizeof(quad), quad, GL_DYNAMIC_DRAW);
        gl->glVertexAttribPointer(0, 3, GL_FLOAT, GL_FALSE, sizeof(Vertex), nullptr);
        gl->glVertexAttribPointer(1, 3, GL_FLOAT, GL_FALSE, sizeof(Vertex), reinterpret_cast<const void*>(12));
        gl->glVertexAttribPointer(2, 2, GL_FLOAT, GL_FALSE, sizeof(Vertex), reinterpret_cast<const void*>(24));
        gl->glVertexAttribPointer(3, 1, GL_FLOAT, GL_FALSE, sizeof(Vertex), reinterpret_cast<const void*>(32));
        for (int i = 0; i < 4; ++i)
            gl->glEnableVertexAttribArray(i);
        gl->glDrawArrays(GL_TRIANGLE_STRIP, 0, 4);
        expectColourNear(target.colourAt(kSize / 2, kSize / 2), r.expected,
                         ("qsum " + std::to_string(r.qsum)).c_str());
    }
}

// Environment samples: a box face at the sample's own z, as black with alpha
// value x alfa over a white background; a value of 0 or below draws nothing.
TEST_F(ShaderRenderTest, EnvironmentSampleDrawsOnlyWithAPositiveValue)
{
    RenderTarget target(gl, kSize, kSize);
    const float values[] = {1.0f, 0.5f, 0.0f, -1.0f};
    for (float value : values) {
        target.clear(glm::vec4(1.0f));
        shaders->programDrawTrans.Use();
        setMatrix(shaders->transPVM, view);
        gl->glUniform3f(shaders->transCubeD, 0.5f, 0.5f, 0.5f);
        gl->glUniform1f(shaders->transAlfa, 0.5f);
        const glm::vec4 sample(0.0f, 0.0f, -1.0f, value);
        gl->glBufferData(GL_ARRAY_BUFFER, sizeof(sample), &sample, GL_DYNAMIC_DRAW);
        gl->glVertexAttribPointer(0, 4, GL_FLOAT, GL_FALSE, 16, nullptr);
        gl->glEnableVertexAttribArray(0);
        gl->glDrawArrays(GL_POINTS, 0, 1);
        glm::vec4 inside = target.colourAt(pixelOf(0.25f), pixelOf(0.25f));
        glm::vec4 outside = target.colourAt(pixelOf(-0.25f), pixelOf(0.25f));
        expectColourNear(outside, {1, 1, 1}, "left of the cell");
        if (value > 0.0f) {
            expectColourNear(inside, {0, 0, 0}, "the face at the sample's z");
            EXPECT_NEAR(inside.a, value * 0.5f, 2.5f / 255.0f);
        } else {
            expectColourNear(inside, {1, 1, 1}, "nothing drawn");
        }
    }
}

TEST_F(ShaderRenderTest, ShadowPassWritesWhite)
{
    RenderTarget target(gl, kSize, kSize);
    target.clear();
    useBranchProgram(glm::vec4(-1.0f, -1.0f, -1.0f, 0.0f));
    gl->glUniform1i(shaders->vejaInsideShadowMapping, 1);
    drawBranches({branch({-0.5f, 0.0f, -0.5f}, {0.5f, 0.0f, -0.5f}, 0.25f, 0.25f)});
    expectColourNear(target.colourAt(kSize / 2, kSize / 2), {1, 1, 1}, "white whatever the material");
}

} // namespace

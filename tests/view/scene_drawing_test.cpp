// The 3D scene as the user sees it, on the real renderer (Mesa) with the real
// start-up tree (pocl): the start-up view, the tree's shadow, what each
// interaction mode draws, inverted colours, attachments only with trees, and
// frames free of OpenGL errors whatever the mode and the tools show.
//
// Expected pixels come from the camera's own matrix (projectToScreen of the
// tree's points) and from frames drawn without the element under test. With
// TRELIMO_SCREENSHOTS set to a folder the frames worth looking at are saved
// there.

#include "environment/environment.h"
#include "support/widgetfixture.h"
#include "view/shaderset.h"
#include "view/widgetrisanje.h"

#include <gtest/gtest.h>

#include <QColor>
#include <QString>
#include <QtGlobal>
#include <QImage>
#include <QOpenGLContext>
#include <QOpenGLFunctions_3_3_Core>

#include <glm/glm.hpp>

#include <algorithm>
#include <cmath>
#include <functional>
#include <string>
#include <vector>

namespace {

constexpr int kWidth = 640;
constexpr int kHeight = 480;

glm::vec3 rgb(const QImage& image, const glm::ivec2& p)
{
    const QColor c = image.pixelColor(p.x, p.y);
    return glm::vec3(float(c.redF()), float(c.greenF()), float(c.blueF()));
}

float brightness(const glm::vec3& c) { return (c.r + c.g + c.b) / 3.0f; }

class SceneDrawingTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        widget = new widgettest::TestWidget(kWidth, kHeight);
        startCamera = (*widget)->camera;
    }
    static void TearDownTestSuite()
    {
        delete widget;
        widget = nullptr;
    }

    void SetUp() override
    {
        ASSERT_TRUE(widget->ready()) << widget->failure();
        WidgetRisanje& w = **widget;
        // What a fresh widget shows; each test changes only what it examines.
        w.camera = startCamera;
        w.mode = ModePruning;
        w.invertColours = false;
        w.castShadows = true;
        w.showRuler = true;
        w.showSaws = false;
        w.showFromSeasonStart = false;
        w.infoDisplayType = 0;
        w.attachments = Attachments{};
        w.bendTarget = BendTarget{};
        w.highlightPath.clear();
        w.selection->Clear();
        w.selection->cutLines.clear();
        w.pickedId = -1;
    }

    WidgetRisanje& view() { return **widget; }

    // One normal frame; every OpenGL error check it makes must stay silent.
    QImage frame()
    {
        QImage image;
        std::vector<std::string> errors = widgettest::errorLines([&] { image = widget->grab(); });
        for (const std::string& error : widgettest::pendingGlErrors(view()))
            errors.push_back("queued: " + error);
        EXPECT_TRUE(errors.empty()) << "mode " << view().mode << ": " << errors.front();
        return image;
    }

    // The window pixel of a world point through the camera.
    glm::ivec2 pixelOf(const glm::vec3& point)
    {
        view().updateMatrices();
        const glm::vec3 p = view().projectToScreen(point, view().camera.mvp);
        return glm::ivec2(int(std::floor(p.x)), int(std::floor(p.y)));
    }

    // Near the trunk, at its foot's height plus 6, looking level: the point
    // of the trunk 4 above the ground lies in front of distant ground.
    glm::ivec2 closeToTrunk()
    {
        view().camera.location = glm::vec3(0.0f, -6.0f, -8.0f);
        view().camera.cameraRotationY = 0.0f;
        return pixelOf(glm::vec3(0.0f, 4.0f, 0.0f));
    }

    static widgettest::TestWidget* widget;
    static CameraState startCamera;
};

widgettest::TestWidget* SceneDrawingTest::widget = nullptr;
CameraState SceneDrawingTest::startCamera;

TEST_F(SceneDrawingTest, StartUpSceneShowsTrunkRulerSkyAndGround)
{
    ASSERT_FALSE(view().branchPoints.empty());
    const QImage image = frame();
    widgettest::keepScreenshot(image, "scene_startup");

    // The horizon lies where the ground's far edge projects; well above it is
    // sky, well below it ground.
    const int horizon = pixelOf(glm::vec3(0.0f, 0.0f, -2048.0f)).y;
    ASSERT_GT(horizon, 40);
    ASSERT_LT(horizon, kHeight - 40);
    const glm::vec3 sky = rgb(image, {kWidth / 8, horizon / 3});
    const glm::vec3 ground = rgb(image, {kWidth / 8, kHeight - 10});
    EXPECT_GT(sky.b, sky.r);
    EXPECT_GT(brightness(sky), 0.35f);
    EXPECT_GT(ground.g, ground.b);
    EXPECT_GT(brightness(ground), 0.08f);

    // The trunk (two pixels wide from here) and the ruler's post stand out
    // from the ground behind them.
    const glm::ivec2 trunk = pixelOf(glm::vec3(0.0f, 6.0f, 0.0f));
    const glm::vec3 behindTrunk = rgb(image, {trunk.x + 20, trunk.y});
    float trunkContrast = 0.0f;
    for (int x = trunk.x - 2; x <= trunk.x + 2; ++x)
        trunkContrast = std::max(trunkContrast, glm::length(rgb(image, {x, trunk.y}) - behindTrunk));
    EXPECT_GT(trunkContrast, 0.1f);
    const glm::ivec2 post = pixelOf(glm::vec3(2.5f, 5.0f, 2.0f));
    const glm::ivec2 besidePost = pixelOf(glm::vec3(4.5f, 5.0f, 2.0f));
    EXPECT_GT(glm::length(rgb(image, post) - rgb(image, besidePost)), 0.15f);

    // Without the ruler the post's pixel shows what lies behind it.
    view().showRuler = false;
    const QImage noRuler = frame();
    EXPECT_LT(glm::length(rgb(noRuler, post) - rgb(noRuler, besidePost)), 0.15f);
}

TEST_F(SceneDrawingTest, TreeShadowOnGroundDisappearsWithShadowsOff)
{
    // Seen from above, with the leaves out, the ground around the tree's foot.
    view().mode = ModeNavigation;
    view().camera.location = glm::vec3(0.0f, -12.0f, -14.0f);
    view().camera.cameraRotationY = 40.0f;
    const QImage lit = frame();
    widgettest::keepScreenshot(lit, "scene_shadow_on");
    view().castShadows = false;
    const QImage unlit = frame();
    widgettest::keepScreenshot(unlit, "scene_shadow_off");

    // The shadow falls below the tree (the light looks straight down): count
    // ground pixels around the tree's foot that shadows darken.
    const glm::ivec2 foot = pixelOf(glm::vec3(0.0f));
    int darkened = 0;
    int brightened = 0;
    for (int y = foot.y - 60; y <= foot.y + 60; ++y)
        for (int x = foot.x - 60; x <= foot.x + 60; ++x) {
            if (x < 0 || y < 0 || x >= kWidth || y >= kHeight)
                continue;
            const float on = brightness(rgb(lit, {x, y}));
            const float off = brightness(rgb(unlit, {x, y}));
            darkened += on < 0.8f * off;
            brightened += on > off + 0.02f;
        }
    EXPECT_GT(darkened, 30);
    EXPECT_EQ(brightened, 0);

    // Nothing lies above the ruler's post: shadows leave it as it is all the
    // way down, with no bands where it would shadow itself.
    closeToTrunk();
    view().castShadows = true;
    const QImage postLit = frame();
    view().castShadows = false;
    const QImage postUnlit = frame();
    for (float height = 1.5f; height < 10.0f; height += 1.0f) {
        const glm::ivec2 p = pixelOf(glm::vec3(2.5f, height, 2.0f));
        if (p.y < 0 || p.y >= kHeight)
            continue;
        EXPECT_NEAR(brightness(rgb(postLit, p)), brightness(rgb(postUnlit, p)), 0.04f) << "post at height " << height;
    }
}

// The sky box and the ground are uploaded at their first drawing and only
// bound afterwards: later frames keep the same buffers with the same sizes.
TEST_F(SceneDrawingTest, SkyBoxAndGroundBuffersAreMadeOnce)
{
    frame();
    const unsigned int sky = WidgetRisanje::skyBoxVbo;
    const unsigned int ground = WidgetRisanje::groundVbo;
    ASSERT_NE(sky, 0u);
    ASSERT_NE(ground, 0u);
    frame();
    EXPECT_EQ(WidgetRisanje::skyBoxVbo, sky);
    EXPECT_EQ(WidgetRisanje::groundVbo, ground);

    view().makeCurrent();
    auto* gl = view().context()->versionFunctions<QOpenGLFunctions_3_3_Core>();
    const struct {
        unsigned int buffer;
        int vertices;
    } buffers[] = {{sky, 36}, {ground, 4}};
    for (const auto& b : buffers) {
        GLint bytes = 0;
        gl->glBindBuffer(GL_ARRAY_BUFFER, b.buffer);
        gl->glGetBufferParameteriv(GL_ARRAY_BUFFER, GL_BUFFER_SIZE, &bytes);
        EXPECT_EQ(bytes, b.vertices * int(sizeof(MeshVertex))) << "buffer " << b.buffer;
    }
    view().doneCurrent();
}

// Leaves are drawn only in the navigation and planting modes, in both passes.
TEST_F(SceneDrawingTest, LeavesOnlyWhileNavigatingOrPlanting)
{
    ASSERT_FALSE(view().leafPoints.empty());
    const std::vector<LeafPoint> leaves = view().leafPoints;
    std::vector<glm::ivec2> centres;
    for (const LeafPoint& leaf : leaves)
        centres.push_back(pixelOf(leaf.position + leaf.orientation * 0.5f));

    for (int mode = ModeNavigation; mode <= ModePruning; ++mode) {
        view().mode = mode;
        const QImage with = frame();
        view().leafPoints.clear();
        const QImage without = frame();
        view().leafPoints = leaves;
        int changed = 0;
        for (const glm::ivec2& c : centres)
            changed += glm::length(rgb(with, c) - rgb(without, c)) > 0.05f;
        const bool drawn = mode == ModeNavigation || mode == ModePlanting;
        if (drawn)
            EXPECT_GT(changed, 0) << "mode " << mode;
        else
            EXPECT_EQ(changed, 0) << "mode " << mode;
    }
}

// Filtering, and a bend ready to confirm, show the trees see-through: the
// branches keep 30 % of their colour over what lies behind them.
TEST_F(SceneDrawingTest, TranslucentTreesWhileFilteringOrConfirmingABend)
{
    struct Case {
        int mode;
        int bendState;
        bool translucent;
    };
    const Case cases[] = {
        {ModePruning, 0, false},  {ModeFiltering, 0, true},  {ModeTying, 2, true},  {ModeSpreading, 2, true},
        {ModeWeighting, 2, true}, {ModeTying, 1, false},     {ModeWeighting, 0, false},
    };
    const glm::ivec2 trunk = closeToTrunk();

    view().castShadows = false;  // the trunk's own shadow would differ with and without the tree
    const QImage opaqueImage = frame();
    const glm::vec3 opaque = rgb(opaqueImage, trunk);
    const std::vector<BranchPoint> branches = view().branchPoints;
    view().branchPoints.clear();
    const glm::vec3 behind = rgb(frame(), trunk);
    view().branchPoints = branches;
    ASSERT_GT(glm::length(opaque - behind), 0.1f) << "the trunk must differ from its background";

    for (const Case& c : cases) {
        view().mode = c.mode;
        view().bendTarget.state = c.bendState;
        const glm::vec3 seen = rgb(frame(), trunk);
        const glm::vec3 expected = c.translucent ? 0.3f * opaque + 0.7f * behind : opaque;
        for (int i = 0; i < 3; ++i)
            EXPECT_NEAR(seen[i], expected[i], 0.04f) << "mode " << c.mode << " state " << c.bendState;
    }
}

TEST_F(SceneDrawingTest, InvertedColoursBrightenSkyAndGroundAndSwapTheBark)
{
    const glm::ivec2 trunk = closeToTrunk();
    view().castShadows = false;
    const QImage normal = frame();
    view().invertColours = true;
    const QImage inverted = frame();
    widgettest::keepScreenshot(inverted, "scene_inverted");

    // The sky is unlit: its added colour rises from 0.3 to 0.6 (up to white).
    const int horizon = pixelOf(glm::vec3(0.0f, 0.0f, -2048.0f)).y;
    const glm::ivec2 skyPixel(kWidth / 8, horizon / 3);
    const glm::vec3 skyBefore = rgb(normal, skyPixel);
    const glm::vec3 skyAfter = rgb(inverted, skyPixel);
    for (int i = 0; i < 3; ++i)
        EXPECT_NEAR(skyAfter[i], std::min(1.0f, skyBefore[i] + 0.3f), 0.02f) << "sky component " << i;

    // The ground is lit without a diffuse term (its light sits at its own
    // origin): 0.8 x (0.4 more) brighter.
    const glm::ivec2 groundPixel(kWidth / 8, kHeight - 10);
    const glm::vec3 groundBefore = rgb(normal, groundPixel);
    const glm::vec3 groundAfter = rgb(inverted, groundPixel);
    for (int i = 0; i < 3; ++i)
        EXPECT_NEAR(groundAfter[i], std::min(1.0f, groundBefore[i] + 0.32f), 0.03f) << "ground component " << i;

    EXPECT_GT(glm::length(rgb(inverted, trunk) - rgb(normal, trunk)), 0.1f);
}

// Weights, spreaders and ties hang on trees: with no branch point none is
// drawn, even with records.
TEST_F(SceneDrawingTest, AttachmentsOnlyWithBranchPoints)
{
    const glm::vec3 spot(-5.0f, 5.0f, 5.0f);
    struct Case {
        const char* what;
        std::function<void(Attachments&)> add;
    };
    const Case cases[] = {
        {"weight", [&](Attachments& a) { a.weights.push_back({nullptr, nullptr, 3.0f, spot}); }},
        {"spreader",
         [&](Attachments& a) {
             a.spreaders.push_back({nullptr, nullptr, spot - glm::vec3(3, 0, 0), spot + glm::vec3(3, 0, 0)});
         }},
        {"tie",
         [&](Attachments& a) {
             a.ties.push_back({nullptr, nullptr, spot + glm::vec3(0, 3, 0), spot - glm::vec3(0, 3, 0), spot, 6.0f});
         }},
    };
    const glm::ivec2 pixel = pixelOf(spot);
    const std::vector<BranchPoint> branches = view().branchPoints;
    for (bool withTrees : {true, false}) {
        if (!withTrees)
            view().branchPoints.clear();
        for (const Case& c : cases) {
            view().attachments = Attachments{};
            const glm::vec3 before = rgb(frame(), pixel);
            c.add(view().attachments);
            const QImage image = frame();
            if (withTrees)
                widgettest::keepScreenshot(image, QStringLiteral("scene_") + c.what);
            const bool changed = glm::length(rgb(image, pixel) - before) > 0.05f;
            EXPECT_EQ(changed, withTrees) << c.what << (withTrees ? " with trees" : " without trees");
        }
    }
    view().branchPoints = branches;
}

// A saw or cut line for an id that names no internode draws nothing: no
// cursor over a branch (-1), id 0 (no node) and one past the table.
TEST_F(SceneDrawingTest, PruningMarksOutsideThePickTableDrawNothing)
{
    view().showSaws = true;
    const QImage clean = frame();
    const int size = int(view().pickTable.size());
    view().selection->currentIndex = -1;
    view().selection->entries = {{-1, 0.5f}, {0, 0.5f}, {size, 0.5f}, {size + 1000, 0.5f}};
    const QImage marked = frame();
    EXPECT_EQ(marked, clean);
}

// The saw icon over the hovered internode shows its picture (a grey blade, a
// brown handle), not a black silhouette.
TEST_F(SceneDrawingTest, SawIconShowsItsColours)
{
    WidgetRisanje& w = view();
    closeToTrunk();
    w.selection->currentIndex = int(w.pickTable.size()) / 3;
    w.selection->currentFraction = 0.5f;
    const QImage without = frame();
    w.showSaws = true;
    const QImage with = frame();
    widgettest::keepScreenshot(with, "scene_saw");

    int changed = 0;
    int coloured = 0;
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x) {
            const glm::vec3 now = rgb(with, {x, y});
            if (glm::length(now - rgb(without, {x, y})) < 0.1f)
                continue;
            ++changed;
            coloured += brightness(now) > 0.25f;
        }
    EXPECT_GT(changed, 100);
    EXPECT_GT(coloured, changed / 2);
}

// In the shadow pass the shadow map is the target being written: every
// program's shadow sampler must look at a unit without a texture, and no
// program may have its 2D and its shadow sampler on one unit (a draw that
// samples one unit both ways fails).
TEST_F(SceneDrawingTest, ShadowPassSamplesNoShadowMapAndKeepsSamplersApart)
{
    // Every program draws: leaves in this mode, a cut cap, a spreader bar.
    WidgetRisanje& w = view();
    w.mode = ModeNavigation;
    w.capPoints.push_back({glm::vec3(0.0f, 5.0f, 0.0f), glm::vec3(0.0f, 0.1f, 0.0f)});
    w.attachments.spreaders.push_back({nullptr, nullptr, glm::vec3(0.0f), glm::vec3(1.0f)});
    frame();

    // A shadow pass on its own, into the shadow map as the frame does it.
    w.makeCurrent();
    auto* gl = w.context()->versionFunctions<QOpenGLFunctions_3_3_Core>();
    ASSERT_NE(gl, nullptr);
    gl->glBindFramebuffer(GL_FRAMEBUFFER, w.shadowFramebuffer);
    gl->glFramebufferTexture(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, w.shadowDepthTexture, 0);
    gl->glViewport(0, 0, w.shadowMapWidth, w.shadowMapHeight);
    w.drawScene(glm::mat4(1.0f), glm::mat4(1.0f), glm::mat4(1.0f), true, glm::mat4(1.0f));
    EXPECT_EQ(gl->glGetError(), GLenum(GL_NO_ERROR));

    const ShaderProgram* programs[] = {&w.shaders->programForPanel, &w.shaders->programGenList,
                                       &w.shaders->programDrawPokrivaloVeje, &w.shaders->programDrawVeja,
                                       &w.shaders->programDrawCylinder};
    for (const ShaderProgram* program : programs) {
        GLint textureUnit = -1;
        GLint shadowUnit = -1;
        gl->glGetUniformiv(program->program, gl->glGetUniformLocation(program->program, "Tekstura"), &textureUnit);
        gl->glGetUniformiv(program->program, gl->glGetUniformLocation(program->program, "shadowMap"), &shadowUnit);
        EXPECT_NE(textureUnit, shadowUnit) << "program " << program->program;
        GLint bound = -1;
        gl->glActiveTexture(GLenum(GL_TEXTURE0 + shadowUnit));
        gl->glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
        EXPECT_EQ(bound, 0) << "program " << program->program << ", shadow sampler on unit " << shadowUnit;
    }
    gl->glBindFramebuffer(GL_FRAMEBUFFER, w.defaultFramebufferObject());
    w.doneCurrent();
    w.capPoints.clear();
}

// Every mode with every tool showing, in both colour schemes, with and
// without shadows, and each colour attribute: no OpenGL error in any frame,
// id pick or depth pick.
TEST_F(SceneDrawingTest, NoOpenGlErrorInAnyModeOrFrameKind)
{
    WidgetRisanje& w = view();
    const int size = int(w.pickTable.size());
    ASSERT_GT(size, 1);
    const glm::vec3 spot(-5.0f, 5.0f, 5.0f);
    w.attachments.weights.push_back({nullptr, nullptr, 1.0f, spot});
    w.attachments.spreaders.push_back({nullptr, nullptr, spot, spot + glm::vec3(2, 0, 0)});
    w.attachments.ties.push_back({nullptr, nullptr, spot, spot + glm::vec3(0, 2, 0), spot, 4.0f});
    w.attachments.pendingTie = w.attachments.ties.front();
    w.attachments.pendingSpreader = w.attachments.spreaders.front();
    w.attachments.bendPath = {{spot, {0.1f, 0, 0}}, {spot + glm::vec3(1, 1, 0), {0.1f, 0, 0}}};
    w.highlightPath = {{spot, {0.1f, 0, 0}}, {spot + glm::vec3(0, 2, 0), {0.1f, 0, 0}}};
    w.selection->entries = {{size - 1, 0.5f}};
    w.selection->cutLines = w.highlightPath;
    w.selection->currentIndex = size - 1;
    w.pickedId = size - 1;
    w.bendTarget.pickedId = size - 1;
    w.lengthPointA = spot;
    w.lengthPointB = spot + glm::vec3(3, 0, 0);
    w.anglePointA = spot;
    w.angleVertex = glm::vec3(0, 1, 0);
    w.anglePointB = spot + glm::vec3(0, 4, 0);
    w.showSaws = true;
    w.showFromSeasonStart = true;
    Environment::instance->showBox = true;
    Environment::instance->showEnvironment = true;

    for (int mode = ModeNavigation; mode <= ModePruning; ++mode) {
        for (int variant = 0; variant < 4; ++variant) {
            w.mode = mode;
            w.invertColours = variant & 1;
            w.castShadows = !(variant & 2);
            w.bendTarget.state = variant % 3;
            w.infoDisplayType = mode == ModeInformation ? variant * 2 : 0;  // 0, 2, 4 and none
            EXPECT_TRUE(widget->paintAndCollectErrors().empty()) << "mode " << mode << " variant " << variant;
        }
        const std::vector<std::string> pickErrors = widgettest::errorLines([&] {
            w.requestIdPick(glm::vec2(kWidth / 2, kHeight / 2));
            w.requestDepthPick(glm::vec2(kWidth / 2, kHeight - 10));
        });
        EXPECT_TRUE(pickErrors.empty()) << "mode " << mode << ": " << pickErrors.front();
        EXPECT_TRUE(widgettest::pendingGlErrors(w).empty()) << "mode " << mode;
    }
    Environment::instance->showBox = false;
    Environment::instance->showEnvironment = false;
}

} // namespace

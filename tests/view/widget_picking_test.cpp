// Picking and the three frame kinds on a hand-built tree seen by the start
// camera: a trunk internode (id 0, never reported) carrying a second internode
// (id 1) with two buds, and a lateral bud. Expectations come from the id image
// the pass leaves in the picking target and from the camera's own projection,
// not from the search itself.

#include "support/treebuilders.h"
#include "support/widgetfixture.h"

#include "model/internode.h"
#include "model/tree.h"
#include "view/widgetrisanje.h"

#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QOpenGLContext>
#include <QOpenGLFunctions_3_3_Core>
#include <QScreen>
#include <QTest>

#include <glm/gtc/matrix_transform.hpp>

#include <algorithm>
#include <climits>
#include <cmath>
#include <memory>
#include <string>
#include <vector>

using widgettest::TestWidget;

namespace {

constexpr int kWidth = 640;
constexpr int kHeight = 480;

// Trunk from the origin to (0, 10, 0), radius 1; upper internode to
// (0, 20, 0), radius 0.8, with two small buds; a lateral bud on the trunk.
void plantTestTree(WidgetRisanje& widget)
{
    auto tree = std::make_unique<Tree>();
    tree->age = 1;
    Internode* trunk = tree->root;
    trunk->direction = glm::vec3(0.0f, 10.0f, 0.0f);
    trunk->thickness = 1.0f;
    Internode* upper = attachNode(trunk, 0, {0.0f, 10.0f, 0.0f}, 0.8f);
    attachNode(upper, 0, {0.0f, 0.5f, 0.0f}, 0.1f);
    attachNode(upper, 1, {0.3f, 0.3f, 0.0f}, 0.1f);
    attachNode(trunk, 1, {0.3f, 0.3f, 0.0f}, 0.1f);
    makeOnlyTree(std::move(tree));
    widget.rebuildGeometry(true);
}

glm::vec2 windowOf(WidgetRisanje& widget, const glm::vec3& point)
{
    widget.updateMatrices();
    const glm::vec3 at = widget.projectToScreen(point, widget.camera.mvp);
    return {at.x, at.y};
}

// The id image of the last id pass (rows bottom-up, as GL stores them).
struct IdImage {
    int width = 0;
    int height = 0;
    std::vector<int> ids;
    int at(int x, int y) const { return ids[static_cast<std::size_t>(y * width + x)]; }
};

IdImage readIdImage(WidgetRisanje& widget)
{
    IdImage image;
    image.width = widget.width();
    image.height = widget.height();
    image.ids.assign(static_cast<std::size_t>(image.width * image.height), -1);
    widget.makeCurrent();
    auto* gl = widget.context()->versionFunctions<QOpenGLFunctions_3_3_Core>();
    gl->glBindFramebuffer(GL_FRAMEBUFFER, widget.pickFramebuffer);
    gl->glReadBuffer(GL_COLOR_ATTACHMENT0);
    gl->glReadPixels(0, 0, image.width, image.height, GL_RED_INTEGER, GL_INT, image.ids.data());
    gl->glBindFramebuffer(GL_FRAMEBUFFER, widget.defaultFramebufferObject());
    widget.doneCurrent();
    return image;
}

// Fills the id target with a value no pass writes.
void spoilIdImage(WidgetRisanje& widget, int value)
{
    widget.makeCurrent();
    auto* gl = widget.context()->versionFunctions<QOpenGLFunctions_3_3_Core>();
    gl->glBindFramebuffer(GL_FRAMEBUFFER, widget.pickFramebuffer);
    gl->glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, widget.pickIdTexture, 0);
    const GLenum drawBuffer = GL_COLOR_ATTACHMENT0;
    gl->glDrawBuffers(1, &drawBuffer);
    const GLint fill[4] = {value, 0, 0, 0};
    gl->glClearBufferiv(GL_COLOR, 0, fill);
    gl->glBindFramebuffer(GL_FRAMEBUFFER, widget.defaultFramebufferObject());
    widget.doneCurrent();
}

// Chebyshev distance in pixels from (x, y) to the nearest pixel holding an id > 0.
int distanceToAnId(const IdImage& image, int x, int y)
{
    int best = INT_MAX;
    for (int py = 0; py < image.height; ++py)
        for (int px = 0; px < image.width; ++px)
            if (image.at(px, py) > 0)
                best = std::min(best, std::max(std::abs(px - x), std::abs(py - y)));
    return best;
}

// What the window shows once composition has settled: two grabs 20 ms apart
// that agree (a loaded machine may compose a queued frame late).
QImage screenOf(WidgetRisanje& widget)
{
    QImage previous = QGuiApplication::primaryScreen()->grabWindow(widget.winId()).toImage();
    for (int attempt = 0; attempt < 100; ++attempt) {
        widgettest::processEventsFor(20);
        QImage current = QGuiApplication::primaryScreen()->grabWindow(widget.winId()).toImage();
        if (current == previous)
            return current;
        previous = std::move(current);
    }
    return previous;
}

class WidgetPicking : public ::testing::Test {
protected:
    void SetUp() override
    {
        widget = std::make_unique<TestWidget>(kWidth, kHeight);
        ASSERT_TRUE(widget->ready()) << widget->failure();
        plantTestTree(**widget);
        ASSERT_EQ((*widget)->branchPoints.size(), 5u);
    }
    WidgetRisanje& w() { return **widget; }
    std::unique_ptr<TestWidget> widget;
};

} // namespace

TEST_F(WidgetPicking, IdUnderTheCursorAndNeverTheFirstRoot)
{
    // Ids are cleared with an integer 0 before every pass.
    spoilIdImage(w(), 777);
    ASSERT_EQ(readIdImage(w()).at(0, 0), 777);
    const glm::vec2 upper = windowOf(w(), {0.0f, 15.0f, 0.0f});
    const std::vector<std::string> errors = widgettest::errorLines([&] { w().requestIdPick(upper); });
    EXPECT_TRUE(errors.empty()) << errors.front();
    EXPECT_FALSE(w().pickRequested);
    ASSERT_EQ(w().pickedId, 1);
    EXPECT_EQ(w().pickedNode(w().pickedId), w().pickTable[1]);
    const IdImage image = readIdImage(w());
    for (int id : image.ids)
        ASSERT_TRUE(id >= 0 && id < 5) << id;

    // The trunk writes id 0, the cleared value: far from every other branch
    // nothing is found there, and no node.
    const glm::vec2 trunk = windowOf(w(), {0.0f, 3.0f, 0.0f});
    const int glY = kHeight - static_cast<int>(trunk.y);
    ASSERT_GT(distanceToAnId(image, static_cast<int>(trunk.x), glY), 9);
    w().pickedId = 42;
    w().requestIdPick(trunk);
    EXPECT_EQ(w().pickedId, 0);
    EXPECT_EQ(w().pickedNode(0), nullptr);
    EXPECT_TRUE(widget->paintAndCollectErrors().empty());
}

// Each pick draws what can show in its search square, so the distance from a
// cursor to the nearest id is read from the image of the pick made there: it
// is exact up to 9 pixels and more than 9 beyond. Along the row to the right
// of the branch the distance grows by one pixel per column.
TEST_F(WidgetPicking, SearchReachesNinePixelsAndNoFarther)
{
    const glm::vec2 upper = windowOf(w(), {0.0f, 15.0f, 0.0f});
    const int wy = static_cast<int>(upper.y);
    const int glY = kHeight - wy;
    int at9 = -1;
    int at10 = -1;
    for (int x = static_cast<int>(upper.x); x < kWidth && at10 < 0; ++x) {
        w().requestIdPick({static_cast<float>(x) + 0.5f, static_cast<float>(wy) + 0.5f});
        const int found = w().pickedId;
        const int d = distanceToAnId(readIdImage(w()), x, glY);
        if (d == 9) {
            at9 = x;
            EXPECT_GT(found, 0);
            EXPECT_LT(found, 5);
        } else if (d > 9 && at9 >= 0) {
            at10 = x;
            EXPECT_EQ(found, 0);
        }
    }
    ASSERT_GE(at9, 0);
    EXPECT_EQ(at10, at9 + 1);
}

// A press on the window's top row or outside it reads nothing, even where a
// branch runs right past the edge.
TEST_F(WidgetPicking, PositionsOutsideTheTargetReadNothing)
{
    w().camera.location.y = 5.0f;  // the window's top edge cuts the upper internode
    ASSERT_LT(windowOf(w(), {0.0f, 19.0f, 0.0f}).y, 0.0f);
    const glm::vec2 inside = windowOf(w(), {0.0f, 12.0f, 0.0f});
    ASSERT_GT(inside.y, 0.0f);
    const float x = inside.x;

    w().requestIdPick({x, 1.0f});
    EXPECT_EQ(w().pickedId, 1) << "the row below the top edge is inside";
    for (const glm::vec2& outside : {glm::vec2(x, 0.0f), glm::vec2(x, -3.0f), glm::vec2(-1.0f, inside.y),
                                     glm::vec2(kWidth, inside.y), glm::vec2(x, kHeight + 1.0f)}) {
        w().requestIdPick(outside);
        EXPECT_EQ(w().pickedId, 0) << outside.x << " " << outside.y;
        w().requestDepthPick(outside);
        EXPECT_FALSE(w().depthPointValid) << outside.x << " " << outside.y;
    }
    w().requestDepthPick(inside);
    EXPECT_TRUE(w().depthPointValid);
}

TEST_F(WidgetPicking, NothingToPickLeavesTheLastId)
{
    w().branchPoints.clear();
    w().pickedId = 3;
    w().requestIdPick(windowOf(w(), {0.0f, 15.0f, 0.0f}));
    EXPECT_EQ(w().pickedId, 3);
    EXPECT_FALSE(w().pickRequested);
}

// The start camera looks along -z: a depth pick aimed at the trunk's axis
// lands on its front surface, about radius 1 in front of the axis, on the ray
// from the eye through the aimed point (within a pixel, about 0.1 here).
TEST_F(WidgetPicking, DepthPickLandsOnTheSurfaceUnderTheCursor)
{
    const glm::vec3 aim(0.0f, 5.0f, 0.0f);
    w().requestDepthPick(windowOf(w(), aim));
    EXPECT_FALSE(w().depthPickRequested);
    ASSERT_TRUE(w().depthPointValid);
    const glm::vec3 p = w().depthPoint;
    EXPECT_GT(p.z, 0.9f);
    EXPECT_LT(p.z, 1.05f);
    const glm::vec3 eye = glm::vec3(glm::inverse(w().camera.view) * glm::vec4(0.0f, 0.0f, 0.0f, 1.0f));
    const glm::vec3 onRay = eye + (aim - eye) * ((eye.z - p.z) / (eye.z - aim.z));
    EXPECT_NEAR(p.x, onRay.x, 0.1f);
    EXPECT_NEAR(p.y, onRay.y, 0.1f);

    // A zoom of 0 has no projection of its own: the last one stays, and with
    // it the same point.
    w().camera.zoom = 0.0;
    w().requestDepthPick(windowOf(w(), aim));
    ASSERT_TRUE(w().depthPointValid);
    EXPECT_EQ(w().depthPoint, p);
}

// From the top view the ground is parallel to the window: a depth pick on it
// gives the point where the ray through the pixel meets y = 0.
TEST_F(WidgetPicking, DepthPickOnTheGroundInTopView)
{
    w().topView();
    w().updateMatrices();
    const glm::vec4 viewport(0.0f, 0.0f, kWidth, kHeight);
    for (const glm::vec2& at : {glm::vec2(100.0f, 100.0f), glm::vec2(520.0f, 90.0f), glm::vec2(150.0f, 400.0f)}) {
        const glm::vec3 window(at.x, kHeight - at.y, 0.0f);
        const glm::vec3 nearPoint = glm::unProject(window, glm::mat4(1.0f), w().camera.mvp, viewport);
        const glm::vec3 farPoint =
            glm::unProject(glm::vec3(window.x, window.y, 1.0f), glm::mat4(1.0f), w().camera.mvp, viewport);
        const glm::vec3 ground = nearPoint + (farPoint - nearPoint) * (nearPoint.y / (nearPoint.y - farPoint.y));
        ASSERT_GT(std::max(std::fabs(ground.x), std::fabs(ground.z)), 15.0f) << "clear of the tree and ruler";

        w().requestDepthPick(at);
        ASSERT_TRUE(w().depthPointValid) << at.x << " " << at.y;
        EXPECT_NEAR(w().depthPoint.x, ground.x, 0.05f) << at.x << " " << at.y;
        EXPECT_NEAR(w().depthPoint.y, 0.0f, 0.05f) << at.x << " " << at.y;
        EXPECT_NEAR(w().depthPoint.z, ground.z, 0.05f) << at.x << " " << at.y;
    }
}

TEST_F(WidgetPicking, ResizeReallocatesThePickTargetAtTheNewSize)
{
    for (const QSize& size : {QSize(500, 300), QSize(257, 611)}) {
        w().resize(size);
        ASSERT_TRUE(QTest::qWaitFor([&] { return w().size() == size; }, 5000));
        w().makeCurrent();
        auto* gl = w().context()->versionFunctions<QOpenGLFunctions_3_3_Core>();
        GLint depthW = 0, depthH = 0, idW = 0, idH = 0, idFormat = 0, shadowW = 0, shadowH = 0;
        gl->glBindRenderbuffer(GL_RENDERBUFFER, w().pickDepthRenderbuffer);
        gl->glGetRenderbufferParameteriv(GL_RENDERBUFFER, GL_RENDERBUFFER_WIDTH, &depthW);
        gl->glGetRenderbufferParameteriv(GL_RENDERBUFFER, GL_RENDERBUFFER_HEIGHT, &depthH);
        gl->glBindTexture(GL_TEXTURE_2D, w().pickIdTexture);
        gl->glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &idW);
        gl->glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &idH);
        gl->glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_INTERNAL_FORMAT, &idFormat);
        gl->glBindTexture(GL_TEXTURE_2D, w().shadowDepthTexture);
        gl->glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &shadowW);
        gl->glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &shadowH);
        gl->glBindRenderbuffer(GL_RENDERBUFFER, 0);
        gl->glBindTexture(GL_TEXTURE_2D, 0);
        w().doneCurrent();
        EXPECT_EQ(depthW, size.width());
        EXPECT_EQ(depthH, size.height());
        EXPECT_EQ(idW, size.width());
        EXPECT_EQ(idH, size.height());
        EXPECT_EQ(idFormat, GL_R32I);
        EXPECT_EQ(shadowW, 1024);
        EXPECT_EQ(shadowH, 1024);
        // The new target is used at once.
        w().requestIdPick(windowOf(w(), {0.0f, 15.0f, 0.0f}));
        EXPECT_EQ(w().pickedId, 1) << size.width() << "x" << size.height();
    }
}

// Each frame kind runs without an OpenGL error, and a pick leaves what the
// window shows as it was.
TEST_F(WidgetPicking, EveryFrameKindRunsCleanAndPicksKeepThePicture)
{
    for (bool shadows : {true, false}) {
        w().castShadows = shadows;
        const std::vector<std::string> errors = widget->paintAndCollectErrors();
        EXPECT_TRUE(errors.empty()) << "normal frame, shadows " << shadows << ": " << errors.front();
    }
    w().castShadows = true;
    w().repaint();
    widgettest::processEventsFor(30);
    const QImage before = screenOf(w());

    const glm::vec2 upper = windowOf(w(), {0.0f, 15.0f, 0.0f});
    std::vector<std::string> errors = widgettest::errorLines([&] { w().requestIdPick(upper); });
    EXPECT_TRUE(errors.empty()) << "id pick: " << errors.front();
    errors = widgettest::errorLines([&] { w().requestDepthPick(upper); });
    EXPECT_TRUE(errors.empty()) << "depth pick: " << errors.front();
    EXPECT_TRUE(widgettest::pendingGlErrors(w()).empty());
    widgettest::processEventsFor(30);
    EXPECT_EQ(screenOf(w()), before);
}

// Hovering over the scene through real mouse moves on a shown drawing widget:
// the hover point kept inside the window, the highlighted path of the filtering
// mode, the info text of the information mode, and where a window point lies
// along an internode's screen image.

#include <gtest/gtest.h>

#include <QOpenGLContext>
#include <QOpenGLFunctions_3_3_Core>
#include <QImage>
#include <QTest>
#include <QWindow>

#include <algorithm>
#include <cmath>
#include <limits>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "model/internode.h"
#include "model/tree.h"
#include "support/treebuilders.h"
#include "support/widgetfixture.h"
#include "view/widgetrisanje.h"

namespace {

using widgettest::TestWidget;

class InputHover : public ::testing::Test {
protected:
    static void SetUpTestSuite() { widget = new TestWidget(480, 360); }
    static void TearDownTestSuite()
    {
        delete widget;
        widget = nullptr;
    }

    void SetUp() override
    {
        ASSERT_TRUE(widget->ready()) << widget->failure();
        // As the main window's form sets it: moves without a button arrive.
        w().setMouseTracking(true);
        w().camera = CameraState();
        tree = makeOnlyTree(buildAxisTree(6, 3));
        w().forgetTreePointers();
        w().rebuildGeometry(true);
        ASSERT_TRUE(widget->waitForTicks(2));
        widget->grab();  // the camera's matrices as drawn, for aiming at nodes
    }

    static WidgetRisanje& w() { return **widget; }

    // Moves the cursor to `point` (no button) and lets the tick process it.
    static void hoverAt(QPoint point)
    {
        QTest::mouseMove(w().windowHandle(), point);
        ASSERT_TRUE(widget->waitForTicks(2));
    }

    // The window point at the middle of a node's screen image.
    static QPoint middleOf(const Internode* node)
    {
        const glm::vec3 p = w().projectToScreen(node->position + 0.5f * node->direction, w().camera.mvp);
        return QPoint(int(std::lround(p.x)), int(std::lround(p.y)));
    }

    static TestWidget* widget;
    Tree* tree = nullptr;
};

TestWidget* InputHover::widget = nullptr;

// The expected path, written as the description reads: the way down to the
// root, then the live internodes of the subtree, a node before its apical
// subtree before its lateral.
void appendSubtree(const Internode* n, std::vector<LineVertex>& path)
{
    if (!n || n->removed || n->isBud)
        return;
    const glm::vec3 r = glm::normalize(n->direction) * n->thickness;
    path.push_back({n->position, r});
    path.push_back({n->position + n->direction, r});
    appendSubtree(n->children[0], path);
    appendSubtree(n->children[1], path);
}

std::vector<LineVertex> expectedPath(const Internode* node)
{
    std::vector<LineVertex> path;
    for (const Internode* n = node; n->parent; n = n->parent) {
        path.push_back({n->position, glm::normalize(n->direction) * n->thickness});
        path.push_back({n->parent->position, glm::normalize(n->parent->direction) * n->parent->thickness});
    }
    appendSubtree(node, path);
    return path;
}

TEST_F(InputHover, FilteringHighlightsTheHoveredInternodesPathAndSubtree)
{
    // A cut lateral inside the hovered subtree: removed nodes end their branch.
    Internode* hovered = nodeAt(tree, {0, 0});
    Internode* cut = nodeAt(tree, {0, 0, 0, 1});
    ASSERT_FALSE(cut->isBud);
    cut->Cut(-1);
    w().forgetTreePointers();
    w().rebuildGeometry(true);

    w().mode = ModeFiltering;
    w().camera.location = glm::vec3(0.0f, -1.2f, -5.0f);  // close enough to see the path
    widget->grab();  // the matrices of that camera
    hoverAt(middleOf(hovered));
    const Internode* picked = w().pickedNode(w().pickedId);
    ASSERT_EQ(picked, hovered) << "picked id " << w().pickedId;

    widgettest::keepScreenshot(widget->grab(), QStringLiteral("input_filtering"));
    const std::vector<LineVertex> expected = expectedPath(hovered);
    ASSERT_EQ(w().highlightPath.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_NEAR(glm::length(w().highlightPath[i].position - expected[i].position), 0.0f, 1e-5f) << i;
        EXPECT_NEAR(glm::length(w().highlightPath[i].radius - expected[i].radius), 0.0f, 1e-5f) << i;
    }

    hoverAt(QPoint(3, 3));  // sky, far from the tree
    EXPECT_EQ(w().pickedNode(w().pickedId), nullptr);
    EXPECT_TRUE(w().highlightPath.empty());
}

std::string infoTextOf(const Internode* n)
{
    std::ostringstream s;
    s.precision(6);
    s << "v: " << double(n->KolicinaResources) << "\n|c|: " << n->resourcesNumPopkov
      << "\nQsum: " << double(n->resourcesQ) << "\nyear: " << n->birthIteration
      << "\nLighting index: " << n->lightingIndex << "\n";
    return s.str();
}

// Whether the info text texture holds anything visible; `clear` empties it.
bool textTextureHasInk(WidgetRisanje& w, bool clear = false)
{
    constexpr int side = 512;
    std::vector<unsigned char> rgba(std::size_t(side) * side * 4, 0);
    w.makeCurrent();
    auto* gl = w.context()->versionFunctions<QOpenGLFunctions_3_3_Core>();
    gl->glBindTexture(GL_TEXTURE_2D, w.infoTextTexture);
    gl->glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    bool ink = false;
    for (std::size_t i = 3; i < rgba.size() && !ink; i += 4)
        ink = rgba[i] != 0;
    if (clear) {
        std::fill(rgba.begin(), rgba.end(), 0);
        gl->glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, side, side, 0, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    }
    gl->glBindTexture(GL_TEXTURE_2D, 0);
    w.doneCurrent();
    return ink;
}

TEST_F(InputHover, InformationTextOfTheHoveredNodeIsRenderedOnlyWhenItChanges)
{
    Internode* a = nodeAt(tree, {0, 0});
    Internode* b = nodeAt(tree, {0, 0, 0, 0});
    for (Internode* n : {a, b}) {
        n->KolicinaResources = 2.5f;
        n->resourcesNumPopkov = 7;
        n->resourcesQ = 0.1234567f;
        n->lightingIndex = 1.0 / 3.0;
    }
    b->birthIteration = a->birthIteration;
    w().mode = ModeInformation;

    hoverAt(middleOf(a));
    ASSERT_EQ(w().pickedNode(w().pickedId), a);
    EXPECT_EQ(w().infoText.toStdString(), infoTextOf(a));
    widgettest::keepScreenshot(widget->grab(), QStringLiteral("input_information"));
    EXPECT_FALSE(w().infoTextDirty);
    EXPECT_TRUE(textTextureHasInk(w(), true)) << "the text was rendered; now the texture is emptied";

    hoverAt(middleOf(b));  // equal values, equal text
    ASSERT_EQ(w().pickedNode(w().pickedId), b);
    EXPECT_EQ(w().infoText.toStdString(), infoTextOf(b));
    widget->grab();
    EXPECT_FALSE(textTextureHasInk(w())) << "the same text is not rendered again";

    b->birthIteration += 1;
    hoverAt(middleOf(a));
    widget->grab();
    textTextureHasInk(w(), true);
    hoverAt(middleOf(b));
    EXPECT_EQ(w().infoText.toStdString(), infoTextOf(b));
    widget->grab();
    EXPECT_TRUE(textTextureHasInk(w(), true)) << "a changed text is rendered";

    hoverAt(QPoint(3, 3));  // nothing under the cursor: an empty text
    EXPECT_TRUE(w().infoText.isEmpty());
    widget->grab();
    EXPECT_FALSE(w().infoTextDirty);
}

TEST_F(InputHover, CutFractionAlongTheScreenImage)
{
    widget->grab();  // the camera's matrices as drawn
    const glm::mat4& mvp = w().camera.mvp;
    const glm::vec3 eye(0.0f, 10.0f, 40.0f);  // where the start camera stands

    Internode across(nullptr, 0, 0);
    across.position = glm::vec3(-5.0f, 10.0f, 0.0f);
    across.direction = glm::vec3(10.0f, 0.0f, 0.0f);
    const glm::vec2 a(w().projectToScreen(across.position, mvp));
    const glm::vec2 b(w().projectToScreen(across.position + across.direction, mvp));
    const glm::vec2 normal = glm::vec2(-(b - a).y, (b - a).x);

    Internode endOn(nullptr, 0, 0);
    endOn.position = glm::vec3(0.0f, 10.0f, 0.0f);
    endOn.direction = glm::vec3(0.0f, 0.0f, 5.0f);  // along the line of sight

    Internode atTheEye(nullptr, 0, 0);
    atTheEye.position = eye;  // projects to no finite point
    atTheEye.direction = glm::vec3(1.0f, 0.0f, 0.0f);

    struct Case {
        const char* name;
        const Internode* node;
        glm::vec2 point;
        float expected;
    };
    const std::vector<Case> cases = {
        {"at the base", &across, a, 0.0f},
        {"a quarter along", &across, a + 0.25f * (b - a), 0.25f},
        {"at the middle", &across, 0.5f * (a + b), 0.5f},
        {"at the tip", &across, b, 1.0f},
        {"beyond the tip", &across, b + (b - a), 1.0f},
        {"off the image, distance counts", &across, a + 0.3f * normal, 0.3f},
        {"seen end-on", &endOn, glm::vec2(240.0f, 180.0f), 1.0f},
        {"seen end-on, cursor far off", &endOn, glm::vec2(10.0f, 10.0f), 1.0f},
        {"not projectable", &atTheEye, glm::vec2(100.0f, 100.0f), 1.0f},
    };
    for (const Case& c : cases) {
        const float t = w().cutFractionAlongInternode(c.point, c.node);
        EXPECT_TRUE(std::isfinite(t)) << c.name;
        EXPECT_NEAR(t, c.expected, 1e-3f) << c.name;
    }
}

// Last in the suite: the window system may confirm a resize late, and no other
// test should see the small sizes.
TEST_F(InputHover, HoverPointStaysInsideTheWindow)
{
    struct Case {
        QSize size;
        QPoint cursor;
    };
    const std::vector<Case> cases = {
        {{100, 80}, {-7, -3}}, {{100, 80}, {400, 300}}, {{100, 80}, {50, 40}}, {{2, 2}, {30, 30}},
        {{2, 50}, {-5, 20}},   {{1, 1}, {9, 9}},        {{60, 1}, {70, -4}},   {{3, 3}, {8, -8}},
    };
    const QSize original = w().size();
    w().mode = ModeFiltering;
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.size.width() << "x" << c.size.height() << " at " << c.cursor.x()
                                        << "," << c.cursor.y());
        w().resize(c.size);
        ASSERT_TRUE(widget->waitForTicks(2));
        ASSERT_EQ(w().size(), c.size);
        hoverAt(c.cursor);
        const int x = w().prevMouseX;
        const int y = w().prevMouseY;
        EXPECT_TRUE(x >= 0 && x < c.size.width() && y >= 0 && y < c.size.height()) << x << "," << y;
        // One pixel inside the edge wherever the window has room for it.
        if (c.size.width() >= 3) {
            EXPECT_EQ(x, std::min(std::max(c.cursor.x(), 1), c.size.width() - 2));
        }
        if (c.size.height() >= 3) {
            EXPECT_EQ(y, std::min(std::max(c.cursor.y(), 1), c.size.height() - 2));
        }
        EXPECT_EQ(w().pickPosition, glm::vec2(x, y)) << "the id pick looks at the hover point";
    }
    w().resize(original);
    ASSERT_TRUE(widget->waitForTicks(2));
}

}  // namespace

#pragma once
// Shared by the pruning and training-tool tests: a shown drawing widget with
// mouse tracking (as the main window's form sets it), hand-built trees in the
// plane of the screen, and the mouse driven through window-system events.

#include <gtest/gtest.h>

#include <QPoint>
#include <QTest>
#include <QWindow>

#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include <glm/glm.hpp>

#include "model/internode.h"
#include "model/tree.h"
#include "support/streamcapture.h"
#include "support/treebuilders.h"
#include "support/widgetfixture.h"
#include "view/widgetrisanje.h"

namespace toolstest {

// Gives every internode without a child in a slot a bud there, so each
// internode has both children as the model expects.
inline void closeWithBuds(Internode* node, int birth)
{
    if (node->isBud || node->removed)
        return;
    for (int slot = 0; slot < 2; ++slot) {
        if (!node->children[slot])
            attachNode(node, slot, glm::vec3(0.0f, 0.05f, 0.001f), 0.03f, birth);
        else
            closeWithBuds(node->children[slot], birth);
    }
}

// A tree of age 3 in the plane z = 0, its root at `base`:
//   root  (0, 3, 0), born 0                       the trunk
//   a     root's apical, (0, 3, 0), born 1        the leader
//   b     a's apical, (0.3, 2.5, 0), born 2
//   c     b's apical bud, (0.5, 1.5, 0), born 2
//   s     root's lateral, (2.5, 1.5, 0), born 1   a side branch
//   t     s's apical, (2, 0.5, 0), born 2
//   u     a's lateral, (-2.5, 1.5, 0), born 2     a young side shoot
// and buds born 2 in the remaining slots. b, c, t and u are young (born in the
// tree's current or previous iteration), so bends start from them.
struct FanTree {
    Tree* tree;
    Internode *root, *a, *b, *c, *s, *t, *u;

    explicit FanTree(const glm::vec3& base = glm::vec3(0.0f))
    {
        tree = new Tree();
        tree->age = 3;
        root = tree->root;
        root->position = base;
        root->direction = glm::vec3(0.0f, 3.0f, 0.0f);
        root->thickness = 0.35f;
        a = attachNode(root, 0, {0.0f, 3.0f, 0.0f}, 0.25f, 1);
        s = attachNode(root, 1, {2.5f, 1.5f, 0.0f}, 0.15f, 1);
        b = attachNode(a, 0, {0.3f, 2.5f, 0.0f}, 0.15f, 2);
        u = attachNode(a, 1, {-2.5f, 1.5f, 0.0f}, 0.12f, 2);
        c = attachNode(b, 0, {0.5f, 1.5f, 0.0f}, 0.1f, 2);
        t = attachNode(s, 0, {2.0f, 0.5f, 0.0f}, 0.1f, 2);
        closeWithBuds(root, 2);
        for (Internode* n : {root, a, b, s, t, u})
            n->internodeCount = 1;
    }
};

// Base of the tool tests: one widget of 640 x 480 per test program, shown and
// set up before the first test and destroyed after the last.
class ToolTest : public ::testing::Test {
public:
    static void SetUpTestSuite() { widget_ = new widgettest::TestWidget(640, 480); }
    static void TearDownTestSuite()
    {
        delete widget_;
        widget_ = nullptr;
        deleteAllTrees();
    }
    static widgettest::TestWidget& fixture() { return *widget_; }

protected:
    void SetUp() override { ASSERT_TRUE(widget_->ready()) << widget_->failure(); }

private:
    static inline widgettest::TestWidget* widget_ = nullptr;
};

inline WidgetRisanje& w() { return *ToolTest::fixture(); }
inline QWindow* window() { return w().windowHandle(); }

// Replaces every tree by `trees` (taking them over) and shows them with the
// standard camera: tools off, pointers dropped, geometry rebuilt and uploaded.
inline void showTrees(const std::vector<Tree*>& trees)
{
    WidgetRisanje& widget = w();
    widget.setMouseTracking(true);
    deleteAllTrees();
    for (Tree* tree : trees)
        allTrees.push_back(tree);
    widget.clearOperations();
    widget.forgetTreePointers();
    widget.cutImmediately = true;
    widget.showRuler = false;
    widget.lengthStage = 0;
    widget.angleFirstId = 0;
    widget.camera = CameraState();
    widget.camera.location = glm::vec3(0.0f, -4.5f, -14.0f);
    widget.rebuildGeometry(true);
    // The matrices the next frame draws with, for aiming at nodes now.
    widget.updateMatrices();
    ToolTest::fixture().waitForTicks(2);
}

inline QPoint toPixel(const glm::vec3& window)
{
    return QPoint(static_cast<int>(std::lround(window.x)), static_cast<int>(std::lround(window.y)));
}

// The pixel where a world point appears.
inline QPoint pixelOf(const glm::vec3& world)
{
    return toPixel(w().projectToScreen(world, w().camera.mvp));
}

// The pixel at `fraction` along an internode.
inline QPoint pixelAlong(const Internode* node, float fraction)
{
    return pixelOf(node->position + fraction * node->direction);
}

// Where a window pixel's ray meets the ground plane y = 0.
inline glm::vec3 groundUnder(const QPoint& pixel)
{
    const glm::vec4 viewport(0.0f, 0.0f, static_cast<float>(w().width()), static_cast<float>(w().height()));
    const float y = static_cast<float>(w().height() - pixel.y());
    const glm::vec3 nearPoint =
        glm::unProject(glm::vec3(pixel.x(), y, 0.0f), glm::mat4(1.0f), w().camera.mvp, viewport);
    const glm::vec3 farPoint =
        glm::unProject(glm::vec3(pixel.x(), y, 1.0f), glm::mat4(1.0f), w().camera.mvp, viewport);
    const float t = nearPoint.y / (nearPoint.y - farPoint.y);
    return nearPoint + t * (farPoint - nearPoint);
}

inline void rightClick(const QPoint& pixel)
{
    QTest::mousePress(window(), Qt::RightButton, Qt::NoModifier, pixel);
    QTest::mouseRelease(window(), Qt::RightButton, Qt::NoModifier, pixel);
}

// Moves the cursor without a button and lets the tick process the move.
inline void hoverAt(const QPoint& pixel)
{
    QTest::mouseMove(window(), pixel);
    ToolTest::fixture().waitForTicks(2);
}

// What `work` writes to standard output.
template <typename F>
std::string stdoutOf(F work)
{
    StreamCapture out(std::cout);
    work();
    return out.text();
}

inline int countOf(const std::string& text, const std::string& word)
{
    int count = 0;
    for (std::size_t at = text.find(word); at != std::string::npos; at = text.find(word, at + 1))
        ++count;
    return count;
}

// The pick id of a node in the widget's current table, -1 when absent.
inline int idOf(const Internode* node)
{
    const auto& table = w().pickTable;
    for (std::size_t i = 0; i < table.size(); ++i)
        if (table[i] == node)
            return static_cast<int>(i);
    return -1;
}

}  // namespace toolstest

// Ties, spreaders and weights through the mouse on the shown widget: the
// stages of each tool, a pick that cannot bend, the weight at the ends of its
// range, the rope's free end, and bends that must not apply (stale after a
// change of the trees or of the mode, or with a target that has no defined
// value). Run under AddressSanitizer too.

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <string>
#include <vector>

#include "support/treebuilders.h"
#include "tools_support.h"

namespace {

using namespace toolstest;

class BendingTest : public ToolTest {
protected:
    void SetUp() override
    {
        ToolTest::SetUp();
        w().statusMessageCallback = [this](const QString& text) { status = text; };
    }
    void TearDown() override { w().statusMessageCallback = nullptr; }

    QString status;  // the last status-bar message
};

std::uint64_t hashAll()
{
    std::uint64_t h = 0;
    for (const Tree* tree : allTrees)
        h = h * 1099511628211ull ^ hashTree(tree->root);
    return h;
}

bool allFinite()
{
    for (const Tree* tree : allTrees)
        for (const Internode* n : collectNodes(tree->root))
            if (!isFinitePoint(n->position) || !isFinitePoint(n->direction))
                return false;
    return true;
}

// On the ground to the right of the fan, a point between it and c, and the sky.
const QPoint targetPixel(560, 430);
const QPoint pullPixel(470, 300);
const QPoint skyPixel(600, 40);
// Two more points on the ground, at the left and in the middle.
const QPoint leftGroundPixel(120, 440);
const QPoint middleGroundPixel(330, 465);

// A frame drawn now, kept for a person to look at.
void keepFrame(const char* stage, const char* name)
{
    ToolTest::fixture().paintAndCollectErrors();
    widgettest::keepScreenshot(ToolTest::fixture().grab(),
                               QString("%1_%2").arg(QLatin1String(stage), QString(name).replace(' ', '_')));
}

// The target of the tie or spreader applied last.
glm::vec3 lastTarget(int mode)
{
    return mode == ModeTying ? w().attachments.ties.back().anchorPoint : w().attachments.spreaders.back().endPoint;
}

TEST_F(BendingTest, EachToolRunsItsStages)
{
    auto ties = [] { return w().attachments.ties.size(); };
    auto spreaders = [] { return w().attachments.spreaders.size(); };
    auto weights = [] { return w().attachments.weights.size(); };
    struct Case {
        const char* name;
        int mode;
        Internode* FanTree::*picked;
        std::vector<int> states;  // after each right click; {0}: no bend starts
        std::function<std::size_t()> applied;
        bool afterAnother = false;  // the same tool applied to t first, with another target
    };
    const std::vector<Case> cases = {
        {"tie", ModeTying, &FanTree::c, {1, 2, 0}, ties},
        {"spreader", ModeSpreading, &FanTree::c, {1, 2, 0}, spreaders},
        {"tie after an applied tie", ModeTying, &FanTree::c, {1, 2, 0}, ties, true},
        {"spreader after an applied spreader", ModeSpreading, &FanTree::c, {1, 2, 0}, spreaders, true},
        {"weight", ModeWeighting, &FanTree::c, {2, 0}, weights},
        // s, born in iteration 1 of a tree of age 3, is older than the last two
        // iterations: an inner limb.
        {"tie on an old limb", ModeTying, &FanTree::s, {0}, ties},
        {"spreader on an old limb", ModeSpreading, &FanTree::s, {0}, spreaders},
        {"weight on an old limb", ModeWeighting, &FanTree::s, {0}, weights},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FanTree fan;
        showTrees({fan.tree});
        // A cut planned elsewhere, not applied yet: bending keeps the plan.
        w().cutImmediately = false;
        w().mode = ModePruning;
        rightClick(pixelAlong(fan.u, 0.5f));
        ASSERT_EQ(w().selection->entries.size(), 1u);

        w().mode = c.mode;
        rightClick(skyPixel);  // nothing to pick
        EXPECT_EQ(w().bendTarget.state, 0);
        if (c.afterAnother) {
            hoverAt(pixelAlong(fan.t, 0.5f));
            rightClick(pixelAlong(fan.t, 0.5f));
            rightClick(middleGroundPixel);
            hoverAt(pullPixel);
            rightClick(pullPixel);
            ASSERT_EQ(c.applied(), 1u);
            ASSERT_LT(glm::length(lastTarget(c.mode) - groundUnder(middleGroundPixel)), 0.1f);
        }
        const std::size_t appliedBefore = c.applied();

        const glm::vec3 tip = fan.c->position;
        const std::uint64_t before = hashAll();
        const QPoint picked = pixelAlong(fan.*(c.picked), 0.5f);
        std::size_t click = 0;
        hoverAt(picked);
        status.clear();
        rightClick(picked);
        ASSERT_EQ(w().bendTarget.state, c.states[click++]);
        if (c.states.size() == 1) {
            EXPECT_EQ(status, "Only a young shoot bends: pick a shoot grown in the last two iterations");
            EXPECT_EQ(c.applied(), 0u);
            EXPECT_EQ(hashAll(), before);
            continue;
        }
        if (c.states.size() == 3) {
            // Straight to the sky: no target there, so the operation waits for one.
            hoverAt(skyPixel);
            status.clear();
            rightClick(skyPixel);
            ASSERT_EQ(w().bendTarget.state, 1);
            EXPECT_EQ(status, "No target here: pick a point on the ground or on a tree");
            keepFrame("sky_click", c.name);
            // Hovering the sky keeps the last target hovered.
            hoverAt(leftGroundPixel);
            const glm::vec3 hovered = groundUnder(leftGroundPixel);
            EXPECT_LT(glm::length(w().bendTarget.endPoint - hovered), 0.1f);
            hoverAt(skyPixel);
            EXPECT_LT(glm::length(w().bendTarget.endPoint - hovered), 0.1f);
            // The click takes the point it lands on, hovered or not.
            rightClick(targetPixel);
            ASSERT_EQ(w().bendTarget.state, c.states[click++]);
        }
        hoverAt(pullPixel);
        EXPECT_FALSE(w().attachments.bendPath.empty());
        if (c.states.size() == 3)
            keepFrame("ground_target", c.name);
        rightClick(pullPixel);
        ASSERT_EQ(w().bendTarget.state, c.states[click]);
        EXPECT_EQ(c.applied(), appliedBefore + 1);
        if (c.states.size() == 3) {
            EXPECT_LT(glm::length(lastTarget(c.mode) - groundUnder(targetPixel)), 0.1f);
        }
        EXPECT_GT(glm::length(fan.c->position - tip), 1e-3f);
        EXPECT_TRUE(allFinite());
        ASSERT_EQ(w().selection->entries.size(), 1u);
        EXPECT_EQ(w().selection->entries[0].pickIndex, idOf(fan.u));
    }
}

TEST_F(BendingTest, WeightAtTheEndsOfItsRange)
{
    FanTree fan;
    showTrees({fan.tree});
    w().mode = ModeWeighting;
    rightClick(pixelAlong(fan.c, 0.5f));
    ASSERT_EQ(w().bendTarget.state, 2);
    const float height = fan.c->position.y;
    const glm::vec3 ground = w().projectToScreen(glm::vec3(fan.c->position.x, 0.0f, fan.c->position.z),
                                                 w().camera.mvp);
    const glm::vec3 level = w().projectToScreen(fan.c->position, w().camera.mvp);

    struct Case {
        const char* name;
        QPoint pixel;
        float distance;
        float weight;
    };
    const std::vector<Case> cases = {
        {"on the ground below the node", QPoint(200, static_cast<int>(std::ceil(ground.y)) + 2), 0.0f, 1.5f},
        {"level with the node", QPoint(200, static_cast<int>(std::floor(level.y)) - 2), height, 0.5f},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        hoverAt(c.pixel);
        EXPECT_NEAR(w().bendTarget.targetDistance, c.distance, 1e-4f);
        EXPECT_NEAR(w().attachments.pendingWeight.weight, c.weight, 1e-5f);
    }
}

TEST_F(BendingTest, TieRopeEndFollowsTheCursorAtTheNodesDepth)
{
    FanTree fan;
    showTrees({fan.tree});
    w().mode = ModeTying;
    rightClick(pixelAlong(fan.c, 0.5f));
    hoverAt(targetPixel);
    rightClick(targetPixel);
    ASSERT_EQ(w().bendTarget.state, 2);
    hoverAt(pullPixel);
    const TieRecord& tie = w().attachments.pendingTie;
    const glm::vec3 end = w().projectToScreen(tie.ropeEnd, w().camera.mvp);
    const glm::vec3 node = w().projectToScreen(fan.c->position, w().camera.mvp);
    EXPECT_NEAR(end.x, pullPixel.x(), 0.05f);
    EXPECT_NEAR(end.y, pullPixel.y(), 0.05f);
    EXPECT_NEAR(end.z, node.z, 1e-5f);
    EXPECT_NEAR(tie.ropeLength, glm::length(fan.c->position - w().bendTarget.endPoint), 1e-4f);
}

TEST_F(BendingTest, AStaleBendAppliesNothing)
{
    struct Case {
        const char* name;
        std::function<void(FanTree&)> meanwhile;
        bool treesChanged;
    };
    const std::vector<Case> cases = {
        {"restart", [](FanTree&) { w().growOrRestart(true); }, true},
        {"growth step", [](FanTree&) { w().growOrRestart(false); }, true},
        {"cut",
         [](FanTree& fan) {
             w().mode = ModePruning;
             rightClick(pixelAlong(fan.s, 0.5f));
             ASSERT_TRUE(fan.s->removed);
         },
         true},
        {"planting",
         [](FanTree&) {
             w().mode = ModePlanting;
             rightClick(QPoint(560, 450));
             ASSERT_EQ(allTrees.size(), 2u);
         },
         true},
        {"cancelled, then another shoot hovered",
         [](FanTree& fan) {
             w().cancelBending();
             hoverAt(pixelAlong(fan.t, 0.5f));
             ASSERT_EQ(w().attachments.pendingSpreader.picked, fan.t);
         },
         false},
        {"left for another mode and back, then a right click",
         [](FanTree&) {
             w().setMode(ModeNavigation);
             w().setMode(ModeSpreading);
             EXPECT_TRUE(w().attachments.bendPath.empty());  // no preview of it either
             rightClick(targetPixel);
         },
         false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FanTree fan;
        showTrees({fan.tree});
        w().mode = ModeSpreading;
        rightClick(pixelAlong(fan.c, 0.5f));
        hoverAt(targetPixel);
        rightClick(targetPixel);
        hoverAt(pullPixel);
        ASSERT_EQ(w().bendTarget.state, 2);

        c.meanwhile(fan);
        w().mode = ModeSpreading;
        EXPECT_EQ(w().bendTarget.state, 0);
        const std::uint64_t before = hashAll();
        if (c.treesChanged) {
            EXPECT_TRUE(w().attachments.bendPath.empty());
            EXPECT_EQ(w().attachments.pendingSpreader.picked, nullptr);
            hoverAt(pullPixel + QPoint(-40, 20));
        }
        w().applyBending();  // the main window's confirm button
        EXPECT_EQ(hashAll(), before);
        EXPECT_TRUE(w().attachments.spreaders.empty());
    }
}

TEST_F(BendingTest, AShootOfAOneYearOldTreeBendsDownToTheRoot)
{
    Tree* young = new Tree();
    young->age = 1;
    young->root->direction = glm::vec3(0.0f, 4.0f, 1.0f);
    young->root->thickness = 0.3f;
    Internode* shoot = attachNode(young->root, 0, glm::vec3(1.0f, 4.0f, 0.0f), 0.2f, 0);
    closeWithBuds(young->root, 0);
    showTrees({young});
    w().mode = ModeWeighting;
    const glm::vec3 tip = shoot->position + shoot->direction;
    rightClick(pixelAlong(shoot, 0.5f));
    ASSERT_EQ(w().bendTarget.state, 2);
    ASSERT_EQ(w().bendChain.segments.size(), 2u);  // the shoot and the root
    hoverAt(QPoint(480, 400));
    rightClick(QPoint(480, 400));
    EXPECT_EQ(w().attachments.weights.size(), 1u);
    EXPECT_GT(glm::length(shoot->position + shoot->direction - tip), 1e-3f);
    EXPECT_TRUE(allFinite());
}

TEST_F(BendingTest, ATargetWithoutADefinedValueKeepsTheLastOne)
{
    // A second tree, one year old, whose root stands on the ground (height 0).
    auto groundShoot = [] {
        Tree* tree = new Tree();
        tree->age = 1;
        tree->root->position = glm::vec3(-5.0f, 0.0f, 0.0f);
        tree->root->direction = glm::vec3(0.5f, 3.0f, 0.0f);
        tree->root->thickness = 0.2f;
        closeWithBuds(tree->root, 0);
        return tree;
    };
    struct Case {
        const char* name;
        int mode;
        bool onGround;  // bend the second tree's root; otherwise c with its target on itself
    };
    const std::vector<Case> cases = {
        {"tie with its anchor on the node", ModeTying, false},
        {"spreader with its end on the node", ModeSpreading, false},
        {"weight on a node at ground level", ModeWeighting, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FanTree fan;
        Tree* second = groundShoot();
        showTrees({fan.tree, second});
        w().mode = c.mode;
        Internode* node = c.onGround ? second->root : fan.c;
        rightClick(pixelAlong(node, 0.5f));
        QPoint pull = pullPixel;
        if (c.mode != ModeWeighting) {
            hoverAt(targetPixel);
            rightClick(targetPixel);
            // The main window's target boxes put the target on the node itself,
            // and the view centres it: the cursor on it is 0 pixels from both.
            const glm::vec3 p = w().bendTarget.pickPoint;
            w().bendTarget.endPoint = p;
            w().camera.location = glm::vec3(-p.x, -p.y, -14.0f);
            w().updateMatrices();
            pull = QPoint(w().width() / 2, w().height() / 2);
        }
        ASSERT_EQ(w().bendTarget.state, 2);
        hoverAt(pull);
        EXPECT_TRUE(std::isfinite(w().bendTarget.targetDistance));
        EXPECT_TRUE(std::isfinite(w().attachments.pendingWeight.weight));
        for (const BendSegment& s : w().bendChain.segments)
            EXPECT_TRUE(std::isfinite(s.angle0) && std::isfinite(s.angle1));
        rightClick(pull);
        EXPECT_TRUE(allFinite());
    }
}

}  // namespace

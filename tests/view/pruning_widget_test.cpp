// Pruning through right clicks on the shown widget: where a cut falls, what it
// removes and prints, deferred cuts, the cut lines, and the attachments a cut
// or a new bend makes obsolete.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/treebuilders.h"
#include "tools_support.h"

namespace {

using namespace toolstest;

class PruningTest : public ToolTest {};

// Where the pixel lies along the internode's screen image, 0 at its base.
float screenFraction(const QPoint& pixel, const Internode* node)
{
    const glm::vec2 a(w().projectToScreen(node->position, w().camera.mvp));
    const glm::vec2 b(w().projectToScreen(node->position + node->direction, w().camera.mvp));
    const glm::vec2 p(pixel.x(), pixel.y());
    return glm::clamp(glm::length(p - a) / glm::length(b - a), 0.0f, 1.0f);
}

TEST_F(PruningTest, RightClickCutsAtTheClickedPoint)
{
    struct Case {
        const char* name;
        Internode* FanTree::*node;
        float fraction;
        bool immediate;
    };
    const std::vector<Case> cases = {
        {"the leader, at once", &FanTree::a, 0.4f, true},
        {"the side branch, at once", &FanTree::s, 0.7f, true},
        {"a young shoot, applied later", &FanTree::t, 0.5f, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FanTree fan;
        showTrees({fan.tree});
        w().mode = ModePruning;
        w().cutImmediately = c.immediate;
        Internode* node = fan.*(c.node);
        const float length = glm::length(node->direction);
        const TreeCensus before = takeCensus(fan.root);
        const TreeCensus below = takeCensus(node);
        const QPoint pixel = pixelAlong(node, c.fraction);
        const float expected = screenFraction(pixel, node);

        std::string printed = stdoutOf([&] { rightClick(pixel); });
        if (!c.immediate) {
            EXPECT_FALSE(node->removed);
            ASSERT_EQ(w().selection->entries.size(), 1u);
            EXPECT_EQ(w().selection->entries[0].pickIndex, idOf(node));
            printed = stdoutOf([&] { w().applyPruning(); });
        }

        ASSERT_TRUE(node->removed);
        EXPECT_NEAR(glm::length(node->direction), expected * length, 0.01f * length);
        EXPECT_EQ(node->children[0], nullptr);
        EXPECT_EQ(node->children[1], nullptr);
        const TreeCensus after = takeCensus(fan.root);
        EXPECT_EQ(after.internodes, before.internodes - below.internodes);
        EXPECT_EQ(after.buds, before.buds - below.buds);
        // One light and resource pass, no growth.
        EXPECT_EQ(countOf(printed, "tree: "), 1);
        EXPECT_EQ(countOf(printed, "Number of internodes"), 0);
        EXPECT_EQ(w().selection->entries.size(), 0u);
        EXPECT_EQ(w().selection->cutLines.size(), 2u);
    }
}

TEST_F(PruningTest, CutLinesStayUntilAnUploadingRebuild)
{
    FanTree fan;
    showTrees({fan.tree});
    w().mode = ModePruning;
    rightClick(pixelAlong(fan.b, 0.5f));
    ASSERT_TRUE(fan.b->removed);
    // Above the first cut: the first cut's stub goes, its line stays.
    rightClick(pixelAlong(fan.a, 0.5f));
    ASSERT_TRUE(fan.a->removed);
    EXPECT_EQ(w().selection->cutLines.size(), 4u);
    w().rebuildGeometry(false);
    EXPECT_EQ(w().selection->cutLines.size(), 4u);
    w().rebuildGeometry(true);
    EXPECT_EQ(w().selection->cutLines.size(), 0u);
}

TEST_F(PruningTest, NothingIsCutWithoutANodeBelowARoot)
{
    FanTree fan;
    FanTree second(glm::vec3(-6.5f, 0.0f, 0.0f));
    showTrees({fan.tree, second.tree});
    w().mode = ModePruning;
    const std::uint64_t first = hashTree(fan.root);
    const std::uint64_t other = hashTree(second.root);

    w().cutImmediately = false;
    rightClick(QPoint(600, 40));  // the sky
    EXPECT_TRUE(w().selection->entries.empty());

    w().cutImmediately = true;
    const QPoint trunk = pixelAlong(second.root, 0.5f);
    rightClick(trunk);
    EXPECT_EQ(w().pickedId, idOf(second.root));
    EXPECT_FALSE(second.root->removed);
    EXPECT_EQ(hashTree(second.root), other);
    EXPECT_EQ(hashTree(fan.root), first);
}

// A weight on `node` (c or b, whose chain runs from b), pulled down to the
// ground. The bending control's weight of the distance term is raised for the
// pull, so that the shoot ends well away from its rest (c's tip about two
// units).
void hangWeightOn(FanTree& fan, Internode* node)
{
    w().mode = ModeWeighting;
    rightClick(pixelAlong(node, 0.5f));
    const float weightOptimal = w().bendChain.weightOptimal;
    w().bendChain.weightOptimal = 20.0f;
    hoverAt(pixelOf(glm::vec3(node->position.x, 0.0f, 0.0f)) + QPoint(0, 3));
    w().bendChain.weightOptimal = weightOptimal;
    ASSERT_EQ(w().bendTarget.state, 2);
    rightClick(pixelAlong(node, 0.5f));
    ASSERT_EQ(w().attachments.weights.size(), 1u);
    ASSERT_EQ(w().attachments.weights[0].chainBase, fan.b);
}

// The nodes the marked cuts name, in the order of marking.
std::vector<const Internode*> markedNodes()
{
    std::vector<const Internode*> nodes;
    for (const SelectionEntry& entry : w().selection->entries)
        nodes.push_back(w().pickedNode(entry.pickIndex));
    return nodes;
}

TEST_F(PruningTest, CutsAndNewBendsDropTheAttachmentsTheyMakeObsolete)
{
    using Node = Internode* FanTree::*;
    struct Case {
        const char* name;
        Node weighted;
        Node stub;  // cut at once after the weight is hung; null: none
        int mode;
        Node clicked;
        bool dropped;
        std::vector<Node> marks;  // after the click; u was marked before it
    };
    const std::vector<Case> cases = {
        {"cut at the picked node", &FanTree::c, nullptr, ModePruning, &FanTree::c, true, {&FanTree::u, &FanTree::c}},
        {"cut elsewhere", &FanTree::c, nullptr, ModePruning, &FanTree::t, false, {&FanTree::u, &FanTree::t}},
        {"cut at the chain's base", &FanTree::c, nullptr, ModePruning, &FanTree::b, true, {&FanTree::u, &FanTree::b}},
        {"cut below the chain", &FanTree::c, nullptr, ModePruning, &FanTree::a, true, {&FanTree::a}},
        {"cut above the picked node", &FanTree::b, nullptr, ModePruning, &FanTree::c, false,
         {&FanTree::u, &FanTree::c}},
        {"new bend from the same base", &FanTree::c, nullptr, ModeWeighting, &FanTree::c, true, {&FanTree::u}},
        {"new bend elsewhere", &FanTree::c, nullptr, ModeSpreading, &FanTree::t, false, {&FanTree::u}},
        {"new bend over a stub cut after the old one", &FanTree::b, &FanTree::c, ModeWeighting, &FanTree::b, true,
         {&FanTree::u}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FanTree fan;
        showTrees({fan.tree});
        w().cutImmediately = false;
        const std::uint64_t straight = hashTree(fan.root);
        const glm::vec3 restDirection = c.stub ? (fan.*(c.stub))->direction : glm::vec3(0.0f);
        hangWeightOn(fan, fan.*(c.weighted));
        ASSERT_NE(hashTree(fan.root), straight);

        float stubLength = 0.0f;
        if (c.stub) {
            Internode* stub = fan.*(c.stub);
            w().mode = ModePruning;
            w().cutImmediately = true;
            rightClick(pixelAlong(stub, 0.4f));
            w().cutImmediately = false;
            ASSERT_TRUE(stub->removed);
            ASSERT_EQ(w().attachments.weights.size(), 1u);
            stubLength = glm::length(stub->direction);
        }
        const std::uint64_t bent = hashTree(fan.root);
        // A cut planned on the young side shoot, apart from the weight's shoot.
        w().mode = ModePruning;
        rightClick(pixelAlong(fan.u, 0.5f));
        ASSERT_EQ(markedNodes(), std::vector<const Internode*>{fan.u});

        w().mode = c.mode;
        const std::string printed = stdoutOf([&] { rightClick(pixelAlong(fan.*(c.clicked), 0.5f)); });
        EXPECT_EQ(w().attachments.weights.size(), c.dropped ? 0u : 1u);
        if (!c.dropped) {
            EXPECT_EQ(hashTree(fan.root), bent);
        } else if (!c.stub) {
            EXPECT_EQ(hashTree(fan.root), straight);
        } else {
            // A cut is final: the stub turns back and keeps its cut length.
            const glm::vec3 d = (fan.*(c.stub))->direction;
            EXPECT_NEAR(glm::length(d), stubLength, 1e-5f);
            EXPECT_GT(glm::dot(glm::normalize(d), glm::normalize(restDirection)), 0.99999f);
        }
        // Restored shoots get their light again at once.
        EXPECT_EQ(countOf(printed, "tree: "), c.dropped ? 1 : 0);
        if (c.mode == ModeWeighting) {
            EXPECT_EQ(w().bendTarget.state, c.dropped ? 0 : 2);
        }
        // Putting a shoot back frees no node: the earlier marks stay, except
        // those the new mark replaces.
        std::vector<const Internode*> expected;
        for (Node mark : c.marks)
            expected.push_back(fan.*mark);
        EXPECT_EQ(markedNodes(), expected);
        // The mark falls where the click met the internode as it was drawn.
        if (c.mode == ModePruning) {
            EXPECT_NEAR(w().selection->entries.back().cutFraction, 0.5f, 0.03f);
        }
    }
}

}  // namespace

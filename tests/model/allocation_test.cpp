// The four allocation models on small hand-made trees, with expectations worked
// out from each model's formulas.

#include <cmath>
#include <limits>
#include <memory>
#include <random>
#include <vector>

#include <gtest/gtest.h>

#include "handburst.h"
#include "model/allocation.h"
#include "model/internode.h"
#include "model/lightpass.h"
#include "model/parameters.h"
#include "model/tree.h"
#include "outputcapture.h"
#include "support/recording_environment.h"
#include "support/treebuilders.h"

namespace {

const float nan = std::numeric_limits<float>::quiet_NaN();
const float inf = std::numeric_limits<float>::infinity();

std::vector<Internode*> allNodes(Internode* root)
{
    std::vector<Internode*> nodes;
    std::vector<Internode*> pending{root};
    while (!pending.empty()) {
        Internode* node = pending.back();
        pending.pop_back();
        nodes.push_back(node);
        if (node->isBud || node->removed)
            continue;
        pending.push_back(node->children[1]);
        pending.push_back(node->children[0]);
    }
    return nodes;
}

std::vector<Internode*> budsOf(Internode* root)
{
    std::vector<Internode*> buds;
    collectTerminalBuds(root, buds);
    return buds;
}

class Allocation : public ::testing::Test {
protected:
    void SetUp() override { RecordingEnvironment::reset(1.0f); }
    void TearDown() override
    {
        bhLambda = 0.5f;
        probabilisticGrowth = true;
    }
};

// ---- Model 0 ---------------------------------------------------------------

TEST_F(Allocation, FixedGivesEveryLiveBudTenWhateverTheLight)
{
    for (const float light : {0.0f, 0.3f, 7.0f, nan}) {
        auto tree = buildBalancedTree(3);
        Internode* stub = tree->root->children[1]->children[0];
        stub->Cut(-1);
        for (Internode* node : allNodes(tree->root)) {
            node->resourcesQ = light;
            node->KolicinaResources = 99.0f;
        }
        tree->root->AllocateFixed();
        for (Internode* node : allNodes(tree->root))
            EXPECT_EQ(node->KolicinaResources, node->isBud ? 10.0f : 0.0f)
                << "light " << light << " depth " << node->depth << " removed " << node->removed;
    }
}

// ---- Model 1 ---------------------------------------------------------------

// A root internode with two buds holding the given light.
struct Fork {
    Tree tree;
    Internode* root;
    Internode* apical;
    Internode* lateral;

    Fork(float apicalLight, float lateralLight, float amount)
    {
        root = burstByHand(tree.root, &tree);
        apical = root->children[0];
        lateral = root->children[1];
        apical->resourcesQ = apicalLight;
        lateral->resourcesQ = lateralLight;
        root->KolicinaResources = amount;
    }
};

TEST_F(Allocation, BorchertHondaSplitsEqualLightInHalvesAtLambdaHalf)
{
    Fork fork(0.8f, 0.8f, 6.0f);
    fork.root->AllocateBorchertHonda();
    EXPECT_FLOAT_EQ(fork.apical->KolicinaResources, 3.0f);
    EXPECT_FLOAT_EQ(fork.lateral->KolicinaResources, 3.0f);
}

TEST_F(Allocation, BorchertHondaWeighsLightByLambda)
{
    bhLambda = 0.25f;
    Fork fork(1.0f, 3.0f, 8.0f);
    fork.root->AllocateBorchertHonda();
    // d = 0.25 * 1 + 0.75 * 3 = 2.5: apical 8 * 0.25 / 2.5, lateral 8 * 2.25 / 2.5.
    EXPECT_NEAR(fork.apical->KolicinaResources, 0.8f, 1e-5f);
    EXPECT_NEAR(fork.lateral->KolicinaResources, 7.2f, 1e-5f);
}

TEST_F(Allocation, BorchertHondaGivesShadedChildrenNothingAndStopsThere)
{
    Fork fork(0.0f, 0.0f, 6.0f);
    burstByHand(fork.apical, &fork.tree);
    fork.apical->children[0]->KolicinaResources = 9.0f;
    fork.root->AllocateBorchertHonda();
    EXPECT_EQ(fork.apical->KolicinaResources, 0.0f);
    EXPECT_EQ(fork.lateral->KolicinaResources, 0.0f);
    // The walk ended above: the nodes below keep what they held.
    EXPECT_EQ(fork.apical->children[0]->KolicinaResources, 9.0f);
}

TEST_F(Allocation, BorchertHondaCountsARemovedChildAsUnlit)
{
    Fork fork(0.5f, 2.0f, 4.0f);
    fork.lateral->Cut(-1);
    fork.lateral->resourcesQ = 2.0f;
    fork.root->AllocateBorchertHonda();
    EXPECT_FLOAT_EQ(fork.apical->KolicinaResources, 4.0f);
}

TEST_F(Allocation, BorchertHondaConservesTheRootAmountDownToTheBuds)
{
    for (const float lambda : {0.0f, 0.3f, 0.5f, 0.9f, 1.0f}) {
        bhLambda = lambda;
        auto tree = buildBalancedTree(4);
        int k = 0;
        for (Internode* bud : budsOf(tree->root))
            bud->resourcesQ = 0.1f + 0.07f * static_cast<float>(k++ % 5);
        SumQUp(tree->root);
        tree->root->KolicinaResources = 20.0f;
        tree->root->AllocateBorchertHonda();

        double budTotal = 0.0;
        for (Internode* node : allNodes(tree->root)) {
            if (node->isBud) {
                budTotal += node->KolicinaResources;
                continue;
            }
            EXPECT_NEAR(node->children[0]->KolicinaResources + node->children[1]->KolicinaResources,
                        node->KolicinaResources, 1e-4f)
                << "lambda " << lambda << " depth " << node->depth;
        }
        EXPECT_NEAR(budTotal, 20.0, 1e-3) << "lambda " << lambda;
    }
}

TEST_F(Allocation, BorchertHondaResetsAnInvalidAmountWithAMessage)
{
    for (const float amount : {-3.0f, nan, inf}) {
        Fork fork(1.0f, 1.0f, amount);
        DebugCapture debug;
        fork.root->AllocateBorchertHonda();
        EXPECT_EQ(DebugCapture::countStartingWith("Napacna KR: "), 1) << amount;
        EXPECT_EQ(fork.root->KolicinaResources, 0.0f);
        EXPECT_EQ(fork.apical->KolicinaResources, 0.0f);
        EXPECT_EQ(fork.lateral->KolicinaResources, 0.0f);
    }
}

TEST_F(Allocation, BorchertHondaLambdaOutsideTheUnitRangeIsClamped)
{
    // Unclamped, lambda 1.5 with these lights gives d = 1.5 - 0.5 * 2.99 = 0.005
    // and an apical share of 300 times the parent's amount.
    bhLambda = 1.5f;
    Fork high(1.0f, 2.99f, 2.0f);
    high.root->AllocateBorchertHonda();
    EXPECT_FLOAT_EQ(high.apical->KolicinaResources, 2.0f);
    EXPECT_FLOAT_EQ(high.lateral->KolicinaResources, 0.0f);

    bhLambda = -0.5f;
    Fork low(2.99f, 1.0f, 2.0f);
    low.root->AllocateBorchertHonda();
    EXPECT_FLOAT_EQ(low.apical->KolicinaResources, 0.0f);
    EXPECT_FLOAT_EQ(low.lateral->KolicinaResources, 2.0f);
}

// ---- Model 2 ---------------------------------------------------------------

// A vertical axis of `internodes` internodes of length 0.3 from the origin, each
// with a lateral bud; returns the axis internodes from the base up.
std::vector<Internode*> buildVerticalAxis(Tree& tree, int internodes)
{
    std::vector<Internode*> axis;
    Internode* node = tree.root;
    for (int i = 0; i < internodes; ++i) {
        node->direction = glm::vec3(0.0f, 0.3f, 0.0f);
        burstByHand(node, &tree);
        axis.push_back(node);
        node = node->children[0];
    }
    return axis;
}

// Share of a node of `depth` at height `y` with light `q` on an axis whose
// base is at depth 0, height 0, and whose highest node is at maxDepth, yMax.
double share(int depth, double y, double q, int maxDepth, double yMax)
{
    const double m = static_cast<double>(depth) / maxDepth;
    const double h = y / yMax;
    return ((1.0 - m) + 1.0 + 2.0 * (h + 1.0) * (h + 1.0)) * (q + 1.0);
}

TEST_F(Allocation, SharesGoToEverySixthLateralBudAndTheTerminalBud)
{
    Tree tree;
    const std::vector<Internode*> axis = buildVerticalAxis(tree, 12);
    Internode* terminal = axis.back()->children[0];
    for (Internode* internode : axis)
        internode->children[1]->resourcesQ = 0.5f;
    terminal->resourcesQ = 1.0f;
    tree.root->KolicinaResources = 10.0f;

    AllocateByShares(tree.root, &tree);

    // Lateral p sits on internode p: depth p + 1, height 0.3 (p + 1); the
    // terminal bud is at depth 12, height 3.6. Depth damping is 1 this shallow.
    const double r0 = share(1, 0.3, 0.5, 12, 3.6);
    const double r6 = share(7, 2.1, 0.5, 12, 3.6);
    const double rT = share(12, 3.6, 1.0, 12, 3.6);
    const double sum = r0 + r6 + rT;
    for (int p = 0; p < 12; ++p) {
        const Internode* lateral = axis[p]->children[1];
        const double expectedShare = p == 0 ? r0 : p == 6 ? r6 : 0.0;
        EXPECT_NEAR(lateral->delez, expectedShare, 1e-4) << "lateral " << p;
        EXPECT_NEAR(lateral->KolicinaResources, 10.0 * expectedShare / sum, 1e-4) << "lateral " << p;
    }
    EXPECT_NEAR(terminal->delez, rT, 1e-4);
    EXPECT_NEAR(terminal->KolicinaResources, 10.0 * rT / sum, 1e-4);
    // The axis internodes carry the base's amount.
    for (const Internode* internode : axis)
        EXPECT_FLOAT_EQ(internode->KolicinaResources, 10.0f) << "depth " << internode->depth;
}

TEST_F(Allocation, SharesKeepEveryLateralBranchAndRecurseIntoIt)
{
    auto tree = buildAxisTree(4, 2);
    for (Internode* bud : budsOf(tree->root))
        bud->resourcesQ = 1.0f;
    SumQUp(tree->root);
    tree->root->KolicinaResources = 12.0f;

    AllocateByShares(tree->root, tree.get());

    std::vector<Internode*> listed;
    ASSERT_TRUE(tree->root->CollectAxis(listed));
    ASSERT_EQ(listed.size(), 5u);  // four lateral branches and the terminal bud
    double listedTotal = 0.0;
    for (const Internode* node : listed) {
        EXPECT_GT(node->delez, 0.0f) << "depth " << node->depth;
        listedTotal += node->KolicinaResources;
    }
    // Shallow nodes are not damped, so the shares split the base's amount.
    EXPECT_NEAR(listedTotal, 12.0, 1e-4);

    // Each lateral branch was the base of its own axis: its internodes carry
    // its amount, and its own terminal bud received a share of it.
    for (Internode* branch : listed) {
        if (branch->isBud)
            continue;
        Internode* top = branch;
        while (!top->isBud) {
            EXPECT_FLOAT_EQ(top->KolicinaResources, branch->KolicinaResources);
            top = top->children[0];
        }
        EXPECT_GT(top->KolicinaResources, 0.0f);
        EXPECT_LE(top->KolicinaResources, branch->KolicinaResources);
    }
}

TEST_F(Allocation, SharesOnAnAxisEndingInStubsGateItsLaterals)
{
    Tree tree;
    const std::vector<Internode*> axis = buildVerticalAxis(tree, 3);
    // Both children of the top internode gone: the axis has no terminal bud.
    axis[2]->children[0]->Cut(-1);
    axis[2]->children[1]->Cut(-1);
    tree.root->KolicinaResources = 5.0f;

    AllocateByShares(tree.root, &tree);

    // Both remaining entries are laterals; only position 0 keeps a share, and
    // so receives the whole amount.
    EXPECT_GT(axis[0]->children[1]->delez, 0.0f);
    EXPECT_NEAR(axis[0]->children[1]->KolicinaResources, 5.0f, 1e-5f);
    EXPECT_EQ(axis[1]->children[1]->delez, 0.0f);
    EXPECT_EQ(axis[1]->children[1]->KolicinaResources, 0.0f);
    EXPECT_FLOAT_EQ(axis[2]->KolicinaResources, 5.0f);
    EXPECT_EQ(axis[2]->children[0]->KolicinaResources, 0.0f);
}

TEST_F(Allocation, CollectAxisFollowsTheAxisAndSkipsRemovedNodes)
{
    {
        Tree tree;
        const std::vector<Internode*> axis = buildVerticalAxis(tree, 3);
        std::vector<Internode*> list;
        EXPECT_TRUE(tree.root->CollectAxis(list));
        EXPECT_EQ(list, (std::vector<Internode*>{axis[0]->children[1], axis[1]->children[1], axis[2]->children[1],
                                                axis[2]->children[0]}));
    }
    {
        // A removed lateral is left out.
        Tree tree;
        const std::vector<Internode*> axis = buildVerticalAxis(tree, 3);
        axis[1]->children[1]->Cut(-1);
        std::vector<Internode*> list;
        EXPECT_TRUE(tree.root->CollectAxis(list));
        EXPECT_EQ(list,
                  (std::vector<Internode*>{axis[0]->children[1], axis[2]->children[1], axis[2]->children[0]}));
    }
    {
        // With the apical child removed the lateral carries the axis on and is
        // not listed as a side branch.
        Tree tree;
        Internode* root = burstByHand(tree.root, &tree);
        root->children[0]->Cut(-1);
        Internode* carrier = burstByHand(root->children[1], &tree);
        std::vector<Internode*> list;
        EXPECT_TRUE(root->CollectAxis(list));
        EXPECT_EQ(list, (std::vector<Internode*>{carrier->children[1], carrier->children[0]}));
    }
    {
        // Both children of an axis node removed: no terminal bud.
        Tree tree;
        const std::vector<Internode*> axis = buildVerticalAxis(tree, 2);
        axis[1]->children[0]->Cut(-1);
        axis[1]->children[1]->Cut(-1);
        std::vector<Internode*> list;
        EXPECT_FALSE(tree.root->CollectAxis(list));
        EXPECT_EQ(list, (std::vector<Internode*>{axis[0]->children[1]}));
    }
}

// ---- Model 3 ---------------------------------------------------------------

TEST_F(Allocation, CollectTerminalBudsWalksDepthFirstAndSkipsStubsAndNull)
{
    auto tree = buildBalancedTree(2);
    Internode* a = tree->root->children[0];
    Internode* b = tree->root->children[1];
    b->children[0]->Cut(-1);
    std::vector<Internode*> list;
    collectTerminalBuds(tree->root, list);
    EXPECT_EQ(list, (std::vector<Internode*>{a->children[0], a->children[1], b->children[1]}));
    collectTerminalBuds(nullptr, list);
    EXPECT_EQ(list.size(), 3u);
}

TEST_F(Allocation, LightPriorityGivesARootBudTheWholeTotal)
{
    Tree tree;
    tree.root->resourcesQ = 0.7f;
    tree.AllocateByLightPriority(3.0f);
    // One bud at depth 0: j = 1, damping tanh(500) = 1; it is apical, so no
    // draw can gate it, and it gets light * curve value.
    EXPECT_FLOAT_EQ(tree.root->KolicinaResources, 2.1f);
}

// Two apical buds X (depth xDepth) and Y at the tips of a small tree, every
// other bud unlit, all at the same height, so only the priority factors under
// test tell X and Y apart.
struct TwoApicalBuds {
    Tree tree;
    Internode* x = nullptr;
    Internode* y = nullptr;

    explicit TwoApicalBuds(int yDepth)
    {
        Internode* root = burstByHand(tree.root, &tree);
        x = burstByHand(root->children[0], &tree)->children[0];  // depth 2
        Internode* node = root->children[1];
        while (node->depth < yDepth)
            node = burstByHand(node, &tree)->children[0];
        y = node;
        for (Internode* bud : budsOf(tree.root)) {
            bud->resourcesQ = 0.0f;
            bud->position.y = 0.5f;
            bud->direction = glm::vec3(0.0f, 0.2f, 0.0f);
        }
        x->resourcesQ = 1.0f;
        y->resourcesQ = 1.0f;
    }
};

TEST_F(Allocation, LightPriorityFavoursBudsPointingUp)
{
    TwoApicalBuds buds(2);
    buds.y->direction = glm::vec3(0.0f, -0.2f, 0.0f);
    buds.tree.AllocateByLightPriority(1.0f);
    // Straight up: a = 0 and tanh(inf)^inf = 1; straight down: a = 1, tanh(1)^6.
    ASSERT_GT(buds.y->KolicinaResources, 0.0f);
    EXPECT_NEAR(buds.x->KolicinaResources / buds.y->KolicinaResources, 1.0 / std::pow(std::tanh(1.0), 6.0),
                1e-4);
}

TEST_F(Allocation, LightPriorityFavoursShallowBuds)
{
    TwoApicalBuds buds(4);
    buds.tree.AllocateByLightPriority(1.0f);
    // j = depth + 1: 3 for X, 5 for Y = jmax. Height term 4 (0.5 / 0.5 + 1)^2 = 16:
    // X (2 - 3/5) * 4 + 16 = 21.6 against Y (2 - 1) * 4 + 16 = 20.
    ASSERT_GT(buds.y->KolicinaResources, 0.0f);
    EXPECT_NEAR(buds.x->KolicinaResources / buds.y->KolicinaResources, 21.6 / 20.0, 1e-5);
}

TEST_F(Allocation, LightPriorityHandsOutExactlyTheTotalAndSumsItUp)
{
    auto tree = buildBalancedTree(4);
    int k = 0;
    double total = 0.0;
    for (Internode* bud : budsOf(tree->root)) {
        bud->resourcesQ = 0.2f + 0.1f * static_cast<float>(k++ % 4);
        total += bud->resourcesQ;  // depth 4 or less: no damping
    }
    // The root's own apical line keeps its share whatever the draws.
    tree->AllocateByLightPriority(2.5f);

    double budTotal = 0.0;
    for (Internode* node : allNodes(tree->root)) {
        if (node->isBud) {
            EXPECT_GE(node->KolicinaResources, 0.0f);
            budTotal += node->KolicinaResources;
        } else {
            EXPECT_NEAR(node->KolicinaResources,
                        node->children[0]->KolicinaResources + node->children[1]->KolicinaResources, 1e-4f);
        }
    }
    EXPECT_NEAR(budTotal, 2.5 * total, 1e-4 * total);
    EXPECT_NEAR(tree->root->KolicinaResources, 2.5 * total, 1e-4 * total);
}

TEST_F(Allocation, LightPriorityDrawsOncePerLateralAndOncePerOldBud)
{
    auto tree = buildBalancedTree(4);  // age 4, buds born at 3
    std::vector<Internode*> buds = budsOf(tree->root);
    int laterals = 0;
    int old = 0;
    for (std::size_t i = 0; i < buds.size(); ++i) {
        buds[i]->resourcesQ = 1.0f;
        if (i % 3 == 0) {
            buds[i]->birthIteration = 1;  // 4 - 1 > 2
            ++old;
        }
        laterals += buds[i]->parent->children[1] == buds[i] ? 1 : 0;
    }
    ASSERT_GT(laterals, 0);
    ASSERT_GT(old, 0);
    randomEngine.seed(11);
    std::mt19937 expected = randomEngine;
    tree->AllocateByLightPriority(1.0f);
    expected.discard(static_cast<unsigned long long>(laterals + old));
    EXPECT_TRUE(randomEngine == expected);
}

TEST_F(Allocation, LightPriorityGatesLateralsBeforeAgeInListOrder)
{
    // With probabilisticGrowth off the engine restarts from 5489 on every
    // call: replay that sequence, lateral draw first and age draw second.
    probabilisticGrowth = false;
    auto tree = buildBalancedTree(4);
    std::vector<Internode*> buds = budsOf(tree->root);
    for (std::size_t i = 0; i < buds.size(); ++i) {
        buds[i]->resourcesQ = 1.0f;
        if (i % 2 == 1)
            buds[i]->birthIteration = 0;
    }
    randomEngine.seed(123);
    tree->AllocateByLightPriority(1.0f);

    std::mt19937 replay(5489);
    auto draw = [&replay] { return static_cast<double>(replay()) / 4294967296.0; };
    int kept = 0;
    for (Internode* bud : buds) {
        const bool lateral = bud->parent->children[1] == bud;
        bool gated = false;
        if (lateral && draw() < 0.800000011920929)
            gated = true;
        if (tree->age - bud->birthIteration > 2 && draw() < 0.8999999761581421)
            gated = true;
        if (gated) {
            EXPECT_EQ(bud->KolicinaResources, 0.0f) << "bud at " << bud->depth;
        } else {
            EXPECT_GT(bud->KolicinaResources, 0.0f) << "bud at " << bud->depth;
            ++kept;
        }
    }
    EXPECT_GT(kept, 0);
}

TEST_F(Allocation, LightPriorityWithoutProbabilisticGrowthRepeatsItself)
{
    probabilisticGrowth = false;
    auto tree = buildBalancedTree(5);
    for (Internode* bud : budsOf(tree->root))
        bud->resourcesQ = 0.6f;
    randomEngine.seed(1);
    tree->AllocateByLightPriority(2.0f);
    std::vector<float> first;
    for (Internode* node : allNodes(tree->root))
        first.push_back(node->KolicinaResources);

    randomEngine.seed(2);
    tree->AllocateByLightPriority(2.0f);
    std::vector<float> second;
    for (Internode* node : allNodes(tree->root))
        second.push_back(node->KolicinaResources);
    EXPECT_EQ(first, second);
}

TEST_F(Allocation, LightPriorityWithNothingToShareGivesEveryBudZero)
{
    // Every bud unlit: every priority is 0, and 0/0 would make each amount NaN.
    auto tree = buildBalancedTree(3);
    for (Internode* bud : budsOf(tree->root)) {
        bud->resourcesQ = 0.0f;
        bud->KolicinaResources = 4.0f;
    }
    tree->AllocateByLightPriority(42.0f);
    for (Internode* node : allNodes(tree->root))
        EXPECT_EQ(node->KolicinaResources, 0.0f) << "depth " << node->depth;
}

TEST_F(Allocation, LightPriorityPassesANaNCurveValueOn)
{
    Tree tree;
    tree.root->resourcesQ = 1.0f;
    tree.AllocateByLightPriority(nan);
    EXPECT_TRUE(std::isnan(tree.root->KolicinaResources));
}

TEST_F(Allocation, LightPriorityOnAShedRootDoesNothing)
{
    auto tree = buildBalancedTree(3);
    tree->root->Cut(-1);
    randomEngine.seed(7);
    const std::mt19937 before = randomEngine;
    tree->AllocateByLightPriority(1.0f);
    EXPECT_TRUE(randomEngine == before);
    EXPECT_EQ(tree->root->KolicinaResources, 0.0f);
}

}  // namespace

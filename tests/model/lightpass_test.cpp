// The light and resource pass on the recording stand-in of the environment:
// upward sums, the exposure histogram and lighting index, the printed lines,
// the growth curve's use and the hand-over to the allocation models.

#include <cmath>
#include <limits>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "environment/environment.h"
#include "handburst.h"
#include "model/growth.h"
#include "model/histogramstore.h"
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

class LightPass : public ::testing::Test {
protected:
    void SetUp() override
    {
        RecordingEnvironment::reset(1.0f);
        deleteAllTrees();
        histogramStore().onChanged = nullptr;
    }

    void TearDown() override
    {
        deleteAllTrees();
        histogramStore().onChanged = nullptr;
        allocationModel = 3;
        growthCurveExpression = "40*tanh(0.2/(x-1))+2.0";
        probabilisticGrowth = true;
        sheddingThreshold = 0.0f;
    }

    // Appends a new tree (a root bud of age 0) to allTrees.
    static Tree* plant()
    {
        allTrees.push_back(new Tree());
        return allTrees.back();
    }

    // Runs the pass with standard output captured; returns what it printed.
    static std::string runPass()
    {
        CoutCapture out;
        lightAndAllocationPass();
        return out.text();
    }

    static std::string address(const Tree* tree)
    {
        std::ostringstream s;
        s << static_cast<const void*>(tree);
        return s.str();
    }
};

// ---- SumQUp ----------------------------------------------------------------

TEST_F(LightPass, SumQUpAddsLightAndBudsTowardsTheRoot)
{
    Tree* tree = plant();
    Internode* root = burstByHand(tree->root, tree);
    Internode* apical = root->children[0];
    Internode* lateral = burstByHand(root->children[1], tree);
    apical->resourcesQ = 0.5f;
    lateral->children[0]->resourcesQ = 0.25f;
    lateral->children[1]->resourcesQ = 1.0f;
    // Stale sums from an earlier pass, to be replaced.
    root->resourcesQ = 7.0f;
    lateral->resourcesQ = 9.0f;

    SumQUp(root);

    EXPECT_FLOAT_EQ(root->resourcesQ, 1.75f);
    EXPECT_FLOAT_EQ(lateral->resourcesQ, 1.25f);
    EXPECT_FLOAT_EQ(apical->resourcesQ, 0.5f);
    EXPECT_EQ(root->resourcesNumPopkov, 3);
    EXPECT_EQ(lateral->resourcesNumPopkov, 2);
    EXPECT_EQ(apical->resourcesNumPopkov, 1);
    EXPECT_FLOAT_EQ(root->previousQ, 7.0f);
    EXPECT_FLOAT_EQ(lateral->previousQ, 9.0f);
    EXPECT_FLOAT_EQ(apical->previousQ, 0.5f);
}

TEST_F(LightPass, SumQUpCountsARemovedBranchAsNothing)
{
    Tree* tree = plant();
    Internode* root = burstByHand(tree->root, tree);
    Internode* lateral = burstByHand(root->children[1], tree);
    lateral->Cut(-1);
    lateral->resourcesQ = 3.0f;  // whatever a stub holds, it adds nothing
    root->children[0]->resourcesQ = 0.5f;

    SumQUp(root);

    EXPECT_FLOAT_EQ(lateral->resourcesQ, 0.0f);
    EXPECT_FLOAT_EQ(lateral->previousQ, 3.0f);
    EXPECT_EQ(lateral->resourcesNumPopkov, 0);
    EXPECT_FLOAT_EQ(root->resourcesQ, 0.5f);
    EXPECT_EQ(root->resourcesNumPopkov, 1);
}

TEST_F(LightPass, SumQUpReportsAnInvalidBudLightAndKeepsIt)
{
    for (const float q : {-1.0f, nan, inf}) {
        Tree* tree = plant();
        tree->root->resourcesQ = q;
        DebugCapture debug;
        SumQUp(tree->root);
        EXPECT_EQ(DebugCapture::countStartingWith("Popek ima neg res "), 1) << q;
        if (std::isnan(q))
            EXPECT_TRUE(std::isnan(tree->root->resourcesQ));
        else
            EXPECT_EQ(tree->root->resourcesQ, q);
    }
    Tree* tree = plant();
    tree->root->resourcesQ = 0.0f;
    DebugCapture debug;
    SumQUp(tree->root);
    EXPECT_TRUE(DebugCapture::messages().empty());
}

// ---- CollectLightHistogram ------------------------------------------------

struct ExposureBin {
    float exposure;
    int bin;
};

class ExposureClass : public LightPass, public ::testing::WithParamInterface<ExposureBin> {};

TEST_P(ExposureClass, YoungBudLandsInItsBin)
{
    Tree* tree = plant();
    tree->root->lightExposure = GetParam().exposure;
    int bins[10] = {};
    double sum = 0.0;
    int count = 0;
    CollectLightHistogram(tree->root, tree, sum, count, bins, 10);
    EXPECT_EQ(count, 1);
    for (int k = 0; k < 10; ++k)
        EXPECT_EQ(bins[k], k == GetParam().bin ? 1 : 0) << "bin " << k;
}

// Bin k holds exposures from k * 0.1 up to (k + 1) * 0.1; 1.0 and above go to
// the last bin, negative and NaN to the first.
INSTANTIATE_TEST_SUITE_P(Exposures, ExposureClass,
                         ::testing::Values(ExposureBin{0.0f, 0}, ExposureBin{0.05f, 0}, ExposureBin{0.1f, 1},
                                           ExposureBin{0.35f, 3}, ExposureBin{0.95f, 9}, ExposureBin{1.0f, 9},
                                           ExposureBin{2.5f, 9}, ExposureBin{-0.3f, 0}, ExposureBin{nan, 0},
                                           ExposureBin{inf, 9}, ExposureBin{-inf, 0}, ExposureBin{3.0e9f, 9},
                                           ExposureBin{-3.0e9f, 0}));

TEST_F(LightPass, LightingIndexIsTheMeanExposureOfYoungBuds)
{
    Tree* tree = plant();
    Internode* root = burstByHand(tree->root, tree);        // buds born at 0
    tree->age = 3;
    Internode* apical = burstByHand(root->children[0], tree);  // buds born at 3
    Internode* oldBud = root->children[1];                    // 0 < 3 - 2: not young
    apical->children[0]->lightExposure = 0.2f;
    apical->children[1]->lightExposure = 0.6f;
    oldBud->lightExposure = 0.9f;

    int bins[10] = {};
    double sum = 0.0;
    int count = 0;
    CollectLightHistogram(root, tree, sum, count, bins, 10);

    EXPECT_EQ(count, 2);
    EXPECT_NEAR(sum, 0.8, 1e-6);
    EXPECT_NEAR(root->lightingIndex, 0.4, 1e-6);
    EXPECT_NEAR(apical->lightingIndex, 0.4, 1e-6);
    EXPECT_TRUE(std::isnan(oldBud->lightingIndex));
    EXPECT_EQ(bins[2], 1);
    EXPECT_EQ(bins[6], 1);
    EXPECT_EQ(bins[9], 0);
}

TEST_F(LightPass, HistogramAddsToTheBinsItIsGivenAndSkipsRemovedNodes)
{
    Tree* tree = plant();
    Internode* root = burstByHand(tree->root, tree);
    root->children[0]->lightExposure = 0.45f;
    root->children[1]->lightExposure = 0.45f;
    root->children[1]->Cut(-1);
    root->children[1]->lightingIndex = 5.0;

    int bins[10] = {};
    bins[4] = 2;
    double sum = 0.0;
    int count = 0;
    CollectLightHistogram(root, tree, sum, count, bins, 10);

    EXPECT_EQ(count, 1);
    EXPECT_EQ(bins[4], 3);
    EXPECT_EQ(root->children[1]->lightingIndex, 0.0);
}

// ---- lightAndAllocationPass ------------------------------------------------

TEST_F(LightPass, NewTreeWithFullLightGetsTheCurveAtOne)
{
    Tree* tree = plant();
    const std::string printed = runPass();

    // Age 0, so the curve is read at x = 1: 40 * tanh(+inf) + 2 = 42, times the
    // root bud's light 1. Model 3 hands all of it to the one (apical) bud.
    EXPECT_FLOAT_EQ(tree->root->KolicinaResources, 42.0f);
    EXPECT_EQ(recording().clearBudQueueCalls, 1);
    EXPECT_EQ(recording().computeQueuedCalls, 1);
    ASSERT_EQ(recording().lightRequests.size(), 1u);
    EXPECT_EQ(recording().lightRequests[0], tree->root);

    // Exposure 1 goes to the last bin.
    const std::string expected = "tree: " + address(tree) + " Lighting index: 1\n" +
                                 " histogram:  sum: 1 10  bins: 0\t0\t0\t0\t0\t0\t0\t0\t0\t1\t";
    EXPECT_EQ(printed, expected);
}

TEST_F(LightPass, CurveIsReadAtAgePlusOne)
{
    allocationModel = 4;  // allocates nothing: the root keeps the product
    growthCurveExpression = "x";
    RecordingEnvironment::reset(0.5f);
    Tree* tree = makeOnlyTree(buildBalancedTree(2));  // age 2, four young buds
    runPass();
    // Root light 4 * 0.5 = 2, times f(3) = 3.
    EXPECT_FLOAT_EQ(tree->root->resourcesQ, 2.0f);
    EXPECT_FLOAT_EQ(tree->root->KolicinaResources, 6.0f);
}

TEST_F(LightPass, BinsAddUpOverTheTreesOfOnePass)
{
    RecordingEnvironment::reset(0.5f);
    Tree* first = plant();
    allTrees.push_back(buildBalancedTree(2).release());
    Tree* second = allTrees.back();
    // Counts left over from an earlier pass are cleared first.
    for (int& bin : histogramStore().bins)
        bin = 3;

    std::vector<int> sumsSeen;
    histogramStore().onChanged = [&sumsSeen] {
        int total = 0;
        for (int bin : histogramStore().bins)
            total += bin;
        sumsSeen.push_back(total);
    };
    const std::string printed = runPass();

    // Exposure 0.5 is class 5; the first tree has one young bud, the second four.
    EXPECT_EQ(sumsSeen, (std::vector<int>{1, 5}));
    for (int k = 0; k < 10; ++k)
        EXPECT_EQ(histogramStore().bins[k], k == 5 ? 5 : 0) << "bin " << k;
    const std::string firstLine = "tree: " + address(first) + " Lighting index: 0.5\n" +
                                  " histogram:  sum: 1 10  bins: 0\t0\t0\t0\t0\t1\t0\t0\t0\t0\t";
    const std::string secondLine = "tree: " + address(second) + " Lighting index: 0.5\n" +
                                   " histogram:  sum: 5 10  bins: 0\t0\t0\t0\t0\t5\t0\t0\t0\t0\t";
    EXPECT_EQ(printed, firstLine + secondLine);
}

TEST_F(LightPass, TreeWithoutYoungBudsPrintsNaNAndCountsNothing)
{
    Tree* tree = makeOnlyTree(buildBalancedTree(2));
    tree->age = 10;  // every bud born at 1: too old for light
    const std::string printed = runPass();

    EXPECT_TRUE(std::isnan(tree->root->lightingIndex));
    EXPECT_TRUE(recording().lightRequests.empty());
    for (int bin : histogramStore().bins)
        EXPECT_EQ(bin, 0);
    EXPECT_NE(printed.find(" Lighting index: "), std::string::npos);
    EXPECT_NE(printed.find("nan\n"), std::string::npos) << printed;
    EXPECT_NE(printed.find(" histogram:  sum: 0 10  bins: "), std::string::npos) << printed;
}

TEST_F(LightPass, CurveThatDoesNotCompileLeavesTheRootAsItWas)
{
    growthCurveExpression = "40*tanh(0.2/(x-1))+";
    allocationModel = 4;
    Tree* first = plant();
    Tree* second = plant();
    first->root->KolicinaResources = 5.0f;
    second->root->KolicinaResources = 6.0f;

    DebugCapture debug;
    runPass();
    EXPECT_EQ(DebugCapture::countStartingWith("napaka pri prevajanju rastne krivulje "), 2);
    EXPECT_FLOAT_EQ(first->root->KolicinaResources, 5.0f);
    EXPECT_FLOAT_EQ(second->root->KolicinaResources, 6.0f);
    ASSERT_FALSE(DebugCapture::messages().empty());
    EXPECT_NE(DebugCapture::messages()[0].find(growthCurveExpression), std::string::npos);
}

TEST_F(LightPass, CurveThatDoesNotCompileGivesModelThreeNaN)
{
    // Kept as the model defines it: the next growth count resets each NaN.
    growthCurveExpression = "(x";
    Tree* tree = plant();
    DebugCapture debug;
    runPass();
    EXPECT_TRUE(std::isnan(tree->root->KolicinaResources));
}

TEST_F(LightPass, NegativeCurveGivesTheRootNothing)
{
    growthCurveExpression = "-5";
    allocationModel = 4;
    Tree* tree = plant();
    tree->root->KolicinaResources = 3.0f;
    runPass();
    EXPECT_EQ(tree->root->KolicinaResources, 0.0f);
}

TEST_F(LightPass, NegativeCurveGivesModelThreeBudsNothingRatherThanDebts)
{
    growthCurveExpression = "-5";
    Tree* tree = makeOnlyTree(buildAxisTree(6, 2));
    runPass();
    std::vector<Internode*> pending{tree->root};
    int buds = 0;
    while (!pending.empty()) {
        Internode* node = pending.back();
        pending.pop_back();
        EXPECT_EQ(node->KolicinaResources, 0.0f) << "depth " << node->depth;
        if (node->isBud) {
            ++buds;
            continue;
        }
        pending.push_back(node->children[0]);
        pending.push_back(node->children[1]);
    }
    EXPECT_GT(buds, 0);
}

TEST_F(LightPass, GrowingAfterRaisingTheSheddingThresholdShedsTheRootSafely)
{
    CoutCapture out;
    growTree(3);
    sheddingThreshold = 2.0f;
    simulationStep();
    ASSERT_EQ(allTrees.size(), 1u);
    // One unit of light per young bud cannot reach 2 per internode.
    ASSERT_TRUE(allTrees[0]->root->removed);
    EXPECT_EQ(allTrees[0]->root->KolicinaResources, 0.0f);
    // And the next iteration goes on from the stub.
    simulationStep();
    EXPECT_TRUE(allTrees[0]->root->removed);
}

TEST_F(LightPass, ModelThreeRootHoldsTheSumOfItsBuds)
{
    Tree* tree = makeOnlyTree(buildAxisTree(5, 3));
    runPass();
    double budTotal = 0.0;
    std::vector<Internode*> pending{tree->root};
    while (!pending.empty()) {
        Internode* node = pending.back();
        pending.pop_back();
        if (node->isBud) {
            budTotal += node->KolicinaResources;
            continue;
        }
        pending.push_back(node->children[0]);
        pending.push_back(node->children[1]);
    }
    EXPECT_GT(budTotal, 0.0);
    EXPECT_NEAR(tree->root->KolicinaResources, budTotal, 1e-4 * budTotal);
}

}  // namespace

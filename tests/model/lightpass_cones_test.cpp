// The light and resource pass end to end on the real cone model, its light
// computed by the OpenCL kernel (pocl on the CPU here): what the device writes
// back reaches the sums, the histogram, the lighting index and the allocation.

#include <cmath>
#include <iostream>
#include <vector>

#include <gtest/gtest.h>

#include "environment/light_support.h"
#include "model/growth.h"
#include "model/histogramstore.h"
#include "model/internode.h"
#include "model/lightpass.h"
#include "model/parameters.h"
#include "model/tree.h"
#include "support/streamcapture.h"
#include "support/treebuilders.h"

namespace {

std::vector<Internode*> nodesOf(Internode* root)
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

class LightPassOnCones : public ::testing::Test {
protected:
    void SetUp() override
    {
        lightHolder();
        freshEnvironment(2);
        histogramStore().onChanged = nullptr;
    }
    void TearDown() override { deleteAllTrees(); }
};

TEST_F(LightPassOnCones, LoneRootBudIsFullyLitAndGetsTheCurveAtOne)
{
    StreamCapture out(std::cout);
    restartWithOneTree();
    lightAndAllocationPass();

    // No internode, so no cone: the kernel is not asked and the bud keeps 1.
    Internode* root = allTrees.front()->root;
    EXPECT_FLOAT_EQ(root->lightExposure, 1.0f);
    EXPECT_FLOAT_EQ(root->resourcesQ, 1.0f);
    EXPECT_FLOAT_EQ(root->KolicinaResources, 42.0f);
    EXPECT_EQ(histogramStore().bins[9], 1);
}

TEST_F(LightPassOnCones, DeviceLightReachesSumsHistogramAndAllocation)
{
    StreamCapture out(std::cout);
    Tree* tree = growTree(6, 3);

    std::vector<Internode*> nodes = nodesOf(tree->root);
    int expectedBins[10] = {};
    double lightSum = 0.0;
    int young = 0;
    int shaded = 0;
    double budAmounts = 0.0;
    for (Internode* node : nodes) {
        if (!node->isBud)
            continue;
        EXPECT_TRUE(std::isfinite(node->KolicinaResources));
        EXPECT_GE(node->KolicinaResources, 0.0f);
        budAmounts += node->KolicinaResources;
        if (!isLightBud(node, tree))
            continue;
        ++young;
        EXPECT_EQ(node->resourcesQ, node->lightExposure);
        EXPECT_GE(node->lightExposure, 0.0f);
        EXPECT_LE(node->lightExposure, 1.0f);
        shaded += node->lightExposure < 1.0f ? 1 : 0;
        lightSum += node->lightExposure;
        ++expectedBins[std::min(static_cast<int>(std::floor(10.0 * node->lightExposure)), 9)];
    }
    ASSERT_GT(young, 10);
    // The tips above and around them shade the buds.
    EXPECT_GT(shaded, 0);

    for (int k = 0; k < 10; ++k)
        EXPECT_EQ(histogramStore().bins[k], expectedBins[k]) << "bin " << k;
    EXPECT_NEAR(tree->root->lightingIndex, lightSum / young, 1e-6);
    EXPECT_NEAR(tree->root->resourcesQ, lightSum, 1e-4 * lightSum);
    // Model 3: the root holds what its buds were given.
    EXPECT_GT(budAmounts, 0.0);
    EXPECT_NEAR(tree->root->KolicinaResources, budAmounts, 1e-4 * budAmounts);
}

TEST_F(LightPassOnCones, SameSeedGrowsTheSameTree)
{
    StreamCapture out(std::cout);
    const Tree* first = growTree(5, 3);
    const std::uint64_t firstHash = hashTree(first->root);
    const TreeCensus firstCensus = takeCensus(first->root);
    const Tree* second = growTree(5, 3);
    EXPECT_EQ(hashTree(second->root), firstHash);
    EXPECT_EQ(takeCensus(second->root).internodes, firstCensus.internodes);
    EXPECT_GT(firstCensus.internodes, 10);
}

}  // namespace

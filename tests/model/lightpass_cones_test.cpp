// The light and resource pass end to end on the real cone model, its light
// computed by the OpenCL kernel (pocl on the CPU here): what the device writes
// back reaches the sums, the histogram, the lighting index and the allocation,
// and a seed still reproduces the tree.

#include <algorithm>
#include <cmath>
#include <iostream>

#include <gtest/gtest.h>

#include "environment/light_support.h"
#include "model/growth.h"
#include "model/histogramstore.h"
#include "model/lightpass.h"
#include "model/parameters.h"
#include "support/streamcapture.h"
#include "support/treebuilders.h"

namespace {

TEST(LightPassOnCones, DeviceLightReachesSumsHistogramAndAllocationReproducibly)
{
    lightHolder();
    freshEnvironment(2);
    StreamCapture out(std::cout);
    const std::uint64_t firstHash = hashTree(growTree(6, 3)->root);
    Tree* tree = growTree(6, 3);
    EXPECT_EQ(hashTree(tree->root), firstHash);

    int expectedBins[10] = {};
    double lightSum = 0.0;
    int young = 0;
    int shaded = 0;
    double budAmounts = 0.0;
    for (Internode* node : collectNodes(tree->root)) {
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
        // In single precision like the light itself: 0.7f and 0.9f sit just
        // below their tenths in double, and a device's last bit may land there.
        ++expectedBins[std::min(static_cast<int>(std::floor(10.0f * node->lightExposure)), 9)];
    }
    ASSERT_GT(young, 10);
    EXPECT_GT(shaded, 0);  // the tips above and around them shade the buds

    for (int k = 0; k < 10; ++k)
        EXPECT_EQ(histogramStore().bins[k], expectedBins[k]) << "bin " << k;
    EXPECT_NEAR(tree->root->lightingIndex, lightSum / young, 1e-6);
    EXPECT_NEAR(tree->root->resourcesQ, lightSum, 1e-4 * lightSum);
    // Model 3: the root holds what its buds were given.
    EXPECT_GT(budAmounts, 0.0);
    EXPECT_NEAR(tree->root->KolicinaResources, budAmounts, 1e-4 * budAmounts);
    deleteAllTrees();
}

// A second tree planted 60 units away: every apex of the first lies far
// beyond where exp(x) of the shadow term overflows a float, and still the
// second tree's buds get their light and it grows as the first one does.
TEST(LightPassOnCones, TwoTreesSixtyUnitsApartBothGrow)
{
    lightHolder();
    freshEnvironment(2);
    StreamCapture out(std::cout);
    randomEngine.seed(3);
    restartWithOneTree();
    allTrees.push_back(new Tree());
    allTrees.back()->root->position = glm::vec3(60.0f, 0.0f, 0.0f);
    for (int i = 0; i < 5; ++i)
        simulationStep();
    for (const Tree* tree : allTrees) {
        EXPECT_GT(takeCensus(tree->root).internodes, 20) << "tree at x = " << tree->root->position.x;
        EXPECT_GT(tree->root->lightingIndex, 0.2) << "tree at x = " << tree->root->position.x;
    }
    deleteAllTrees();
}

}  // namespace

// The light environment after each change the tools make to the trees: on the
// shadow grid's host cells, the grid must equal one built afresh from the
// changed trees, and the light the change computed must be the light of that
// grid. On the device path the queues of a cut hold exactly its removals.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <functional>
#include <vector>

#include "environment/environment.h"
#include "environment/shadowgrid.h"
#include "model/lightpass.h"
#include "support/treebuilders.h"
#include "tools_support.h"

namespace {

using namespace toolstest;

class EnvironmentTest : public ToolTest {
protected:
    void SetUp() override
    {
        ToolTest::SetUp();
        Environment::instance->type = 0;
    }
    void TearDown() override
    {
        ShadowGrid::instance->useGpu = true;
        Environment::instance->type = 2;
        Environment::instance->reset();
    }
};

// Host cells holding the shadows of every tree as registered from scratch.
std::vector<float> freshGrid()
{
    ShadowGrid& grid = *ShadowGrid::instance;
    grid.initGrid();
    for (Tree* tree : allTrees)
        tree->root->UpdateEnvironment(false, true);
    const std::size_t count = static_cast<std::size_t>(grid.dim) * grid.dim * grid.dim;
    return std::vector<float>(grid.cells.get(), grid.cells.get() + count);
}

std::vector<float> youngBudLight()
{
    std::vector<float> light;
    for (Tree* tree : allTrees)
        for (const Internode* n : collectNodes(tree->root))
            if (isLightBud(n, tree))
                light.push_back(n->lightExposure);
    return light;
}

void hangWeightOnC(FanTree& fan)
{
    w().mode = ModeWeighting;
    rightClick(pixelAlong(fan.c, 0.5f));
    hoverAt(pixelOf(glm::vec3(fan.c->position.x, 0.0f, 0.0f)) + QPoint(0, 3));
    rightClick(pixelAlong(fan.c, 0.5f));
    ASSERT_EQ(w().attachments.weights.size(), 1u);
}

TEST_F(EnvironmentTest, HostGridFollowsEveryChange)
{
    struct Case {
        const char* name;
        std::function<void(FanTree&)> change;
    };
    const std::vector<Case> cases = {
        {"cut", [](FanTree& fan) { rightClick(pixelAlong(fan.a, 0.3f)); }},
        {"bend", [](FanTree& fan) { hangWeightOnC(fan); }},
        {"bend undone by a cut",
         [](FanTree& fan) {
             hangWeightOnC(fan);
             w().cutImmediately = false;
             w().mode = ModePruning;
             rightClick(pixelAlong(fan.a, 0.3f));
             ASSERT_TRUE(w().attachments.weights.empty());
         }},
    };
    ShadowGrid& grid = *ShadowGrid::instance;
    grid.useGpu = false;
    grid.setDim(100);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FanTree fan;
        showTrees({fan.tree});
        w().mode = ModePruning;
        freshGrid();
        lightAndAllocationPass();

        c.change(fan);
        const std::vector<float> after(grid.cells.get(),
                                       grid.cells.get() + static_cast<std::size_t>(grid.dim) * grid.dim * grid.dim);
        const std::vector<float> light = youngBudLight();
        const std::vector<float> fresh = freshGrid();
        float worst = 0.0f;
        for (std::size_t i = 0; i < fresh.size(); ++i)
            worst = std::max(worst, std::abs(after[i] - fresh[i]));
        EXPECT_LT(worst, 1e-4f);

        lightAndAllocationPass();
        const std::vector<float> relit = youngBudLight();
        ASSERT_EQ(light.size(), relit.size());
        for (std::size_t i = 0; i < light.size(); ++i)
            EXPECT_NEAR(light[i], relit[i], 1e-4f) << i;
    }
}

TEST_F(EnvironmentTest, DeviceQueuesOfACutHoldItsRemovalsOnly)
{
    ShadowGrid& grid = *ShadowGrid::instance;
    grid.useGpu = true;
    Environment::instance->reset();
    FanTree fan;
    showTrees({fan.tree});
    w().mode = ModePruning;

    // What the cut at a takes out of the environment: a's apical line above it
    // and the nodes that continue each lateral, not a itself.
    std::vector<glm::vec3> removed;
    std::function<void(const Internode*, bool)> walk = [&](const Internode* n, bool skip) {
        if (!skip)
            removed.push_back(n->position);
        if (n->isBud || n->removed)
            return;
        walk(n->children[0], false);
        walk(n->children[1], true);
    };
    walk(fan.a, true);
    grid.pendingAdd.push_back(glm::vec3(1.0f, 2.0f, 3.0f));  // left from an earlier change

    rightClick(pixelAlong(fan.a, 0.3f));
    ASSERT_TRUE(fan.a->removed);
    EXPECT_TRUE(grid.pendingAdd.empty());
    EXPECT_EQ(grid.pendingRemove, removed);
}

}  // namespace

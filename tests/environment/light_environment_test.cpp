// The environment's dispatch to its light models and its light walk over a tree,
// without a device: the device-path models only queue here, and the CPU paths
// answer at once.

#include <gtest/gtest.h>

#include <memory>

#include "light_support.h"

namespace {

// age 5: a root internode with an internode A in slot 0 (a young bud b1, born 4,
// and an old bud b2, born 2) and a removed stub R in slot 1.
struct SmallTree {
    std::unique_ptr<Tree> tree = std::make_unique<Tree>();
    Internode* a = nullptr;
    Internode* b1 = nullptr;
    Internode* b2 = nullptr;
    Internode* r = nullptr;

    SmallTree()
    {
        tree->age = 5;
        Internode* root = tree->root;
        root->direction = glm::vec3(0.0f, 1.0f, 0.0f);
        a = addChild(root, 0, glm::vec3(0.0f, 1.0f, 0.0f), glm::vec3(0.0f, 1.0f, 0.0f), 1);
        b1 = addChild(a, 0, glm::vec3(0.0f, 2.0f, 0.0f), glm::vec3(0.0f, 0.2f, 0.0f), 4);
        b2 = addChild(a, 1, glm::vec3(0.5f, 2.0f, 0.0f), glm::vec3(0.2f, 0.0f, 0.0f), 2);
        r = addChild(root, 1, glm::vec3(1.0f, 1.0f, 0.0f), glm::vec3(1.0f, 0.0f, 0.0f), 1);
        r->removed = true;
        r->isBud = false;
        r->resourcesQ = 5.0f;
        b2->resourcesQ = 3.0f;
        b2->lightExposure = 0.25f;
    }
};

TEST(Environment, CreateMakesBothModelsWithTheirStartValues)
{
    Environment& environment = freshEnvironment(2);
    ASSERT_EQ(Environment::instance, &environment);
    ASSERT_NE(ShadowGrid::instance, nullptr);
    ASSERT_NE(Stozci::instance, nullptr);
    EXPECT_EQ(environment.type, 2);
    EXPECT_EQ(environment.markerDim, 5);
    for (int i = 0; i < 125; ++i)
        EXPECT_EQ(environment.markers[i], 0.0f);
    EXPECT_TRUE(ShadowGrid::instance->useGpu);
    EXPECT_EQ(ShadowGrid::instance->cells, nullptr);
    EXPECT_TRUE(Stozci::instance->useGpu);
}

TEST(Environment, SpaceGivesEveryYoungBudFullLightAndSumsTowardsTheRoot)
{
    freshEnvironment(1);
    SmallTree t;
    Environment::instance->clearBudQueue();
    Environment::instance->computeLight(t.tree->root, t.tree.get());
    Environment::instance->computeQueued();

    EXPECT_EQ(t.b1->resourcesQ, 1.0f);
    EXPECT_EQ(t.b1->lightExposure, 1.0f);
    // Older than two iterations: Q cleared, exposure left alone.
    EXPECT_EQ(t.b2->resourcesQ, 0.0f);
    EXPECT_EQ(t.b2->lightExposure, 0.25f);
    EXPECT_EQ(t.r->resourcesQ, 0.0f);
    EXPECT_EQ(t.a->resourcesQ, 1.0f);
    EXPECT_EQ(t.tree->root->resourcesQ, 1.0f);
}

TEST(Environment, DeviceModelsQueueOnlyTheYoungBudsAndAnswerZeroUntilTheBatch)
{
    for (int type : {0, 2}) {
        SCOPED_TRACE(type);
        freshEnvironment(type);
        SmallTree t;
        Environment::instance->computeLight(t.tree->root, t.tree.get());
        EXPECT_EQ(t.b1->resourcesQ, 0.0f);
        EXPECT_EQ(t.tree->root->resourcesQ, 0.0f);
        if (type == 0) {
            ASSERT_EQ(ShadowGrid::instance->queryNodes.size(), 1u);
            EXPECT_EQ(ShadowGrid::instance->queryNodes[0], t.b1);
            EXPECT_EQ(ShadowGrid::instance->queryPositions[0], t.b1->position);
            EXPECT_TRUE(Stozci::instance->queryNodes.empty());
        } else {
            ASSERT_EQ(Stozci::instance->queryNodes.size(), 1u);
            EXPECT_EQ(Stozci::instance->queryNodes[0], t.b1);
            EXPECT_EQ(Stozci::instance->queryPositions[0], glm::vec4(t.b1->position, 0.0f));
            EXPECT_TRUE(ShadowGrid::instance->queryNodes.empty());
        }
    }
}

TEST(Environment, RootBudOfTheCurrentIterationIsAskedOnce)
{
    freshEnvironment(0);
    Tree tree;
    Environment::instance->computeLight(tree.root, &tree);
    ASSERT_EQ(ShadowGrid::instance->queryNodes.size(), 1u);
    EXPECT_EQ(ShadowGrid::instance->queryNodes[0], tree.root);
}

// Which requests reach which model, type by type.
TEST(Environment, DispatchesEachRequestByType)
{
    struct Row {
        int type;
        bool gridRegisters;  // addBud, removeBud, clearShadowQueues
        bool gridQueries;    // clearBudQueue of the grid
        bool conesQuery;     // clearBudQueue and reset of the cones
    };
    const Row rows[] = {{0, true, true, false}, {1, false, false, false}, {2, false, false, true}};
    Internode bud(nullptr, 0, 0);
    for (const Row& row : rows) {
        SCOPED_TRACE(row.type);
        freshEnvironment(row.type);
        ShadowGrid& grid = *ShadowGrid::instance;
        Stozci& cones = *Stozci::instance;

        Environment::instance->addBud(&bud);
        Environment::instance->removeBud(&bud);
        EXPECT_EQ(grid.pendingAdd.size(), row.gridRegisters ? 1u : 0u);
        EXPECT_EQ(grid.pendingRemove.size(), row.gridRegisters ? 1u : 0u);
        grid.pendingAdd.assign(2, glm::vec3(0.0f));
        Environment::instance->clearShadowQueues();
        EXPECT_EQ(grid.pendingAdd.empty(), row.gridRegisters);

        grid.queryNodes.assign(1, &bud);
        cones.queryNodes.assign(1, &bud);
        cones.stozciVOkolju.assign(3, glm::vec4(1.0f));
        Environment::instance->clearBudQueue();
        EXPECT_EQ(grid.queryNodes.empty(), row.gridQueries);
        EXPECT_EQ(cones.queryNodes.empty(), row.conesQuery);
        if (row.type != 0) {
            Environment::instance->reset();
            EXPECT_EQ(cones.stozciVOkolju.empty(), row.conesQuery);
        }
    }
}

TEST(Environment, QueuedShadowsAndQueriesOfOtherTypesReachNoDevice)
{
    // Without a compute module a device call would throw; types 1 and 2 make none.
    for (int type : {1, 2}) {
        freshEnvironment(type);
        ShadowGrid::instance->pendingAdd.assign(4, glm::vec3(0.0f));
        ShadowGrid::instance->queryPositions.assign(4, glm::vec3(0.0f));
        EXPECT_NO_THROW(Environment::instance->applyQueuedShadows());
        if (type == 1) {
            EXPECT_NO_THROW(Environment::instance->computeQueued());
        }
    }
}

TEST(Environment, ResetOfTheCpuGridAllocatesAndZeroesItsCells)
{
    freshEnvironment(0);
    ShadowGrid& grid = *ShadowGrid::instance;
    grid.useGpu = false;
    grid.dim = 4;
    Environment::instance->reset();
    ASSERT_NE(grid.cells, nullptr);
    for (int i = 0; i < 64; ++i)
        EXPECT_EQ(grid.cells[i], 0.0f);
}

}  // namespace

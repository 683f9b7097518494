// The environment's dispatch and light walk, and both light models on the CPU,
// in a program without any OpenCL holder: the device paths may only queue here.
// A 10-cell grid over a box from 0 to 10 puts point p in cell floor(p).

#include <gtest/gtest.h>

#include <limits>
#include <numeric>
#include <memory>

#include "light_support.h"

namespace {

constexpr double pi = 3.14159265358979323846;

// age 5: root -> A (slot 0) with a young bud b1 (born 4) and an old bud b2
// (born 2); a removed stub R in the root's slot 1.
struct SmallTree {
    std::unique_ptr<Tree> tree = std::make_unique<Tree>();
    Internode *a, *b1, *b2, *r;
    SmallTree()
    {
        tree->age = 5;
        a = addChild(tree->root, 0, {0, 1, 0}, {0, 1, 0}, 1);
        b1 = addChild(a, 0, {0, 2, 0}, {0, 0.2f, 0}, 4);
        b2 = addChild(a, 1, {0.5f, 2, 0}, {0.2f, 0, 0}, 2);
        r = addChild(tree->root, 1, {1, 1, 0}, {1, 0, 0}, 1);
        r->removed = true;
        r->isBud = false;
        r->resourcesQ = 5.0f;
        b2->resourcesQ = 3.0f;
        b2->lightExposure = 0.25f;
    }
};

TEST(Environment, DispatchesEachRequestAndTheLightWalkByType)
{
    struct Row {
        int type;
        bool grid;  // registrations, queue brackets and queries reach the grid
        bool cones; // query bracket and reset reach the cones
    };
    for (const Row& row : {Row{0, true, false}, Row{1, false, false}, Row{2, false, true}}) {
        SCOPED_TRACE(row.type);
        freshEnvironment(row.type);
        ShadowGrid& grid = *ShadowGrid::instance;
        Stozci& cones = *Stozci::instance;
        SmallTree t;
        Environment::instance->computeLight(t.tree->root, t.tree.get());
        // Space lights at once; the device models queue the young bud and answer 0.
        const float light = row.type == 1 ? 1.0f : 0.0f;
        EXPECT_EQ(t.b1->lightExposure, light);
        EXPECT_EQ(t.a->resourcesQ, light);
        EXPECT_EQ(t.tree->root->resourcesQ, light);
        EXPECT_EQ(t.b2->resourcesQ, 0.0f); // too old: Q cleared, exposure kept
        EXPECT_EQ(t.b2->lightExposure, 0.25f);
        EXPECT_EQ(t.r->resourcesQ, 0.0f);
        EXPECT_EQ(grid.queryNodes, row.grid ? std::vector<Internode*>{t.b1} : std::vector<Internode*>{});
        EXPECT_EQ(grid.queryPositions, std::vector<glm::vec3>(grid.queryNodes.size(), t.b1->position));
        EXPECT_EQ(cones.queryNodes, row.cones ? std::vector<Internode*>{t.b1} : std::vector<Internode*>{});
        EXPECT_EQ(cones.queryPositions, std::vector<glm::vec4>(cones.queryNodes.size(), glm::vec4(t.b1->position, 0)));

        grid.queryNodes.assign(1, t.b1);
        cones.queryNodes.assign(1, t.b1);
        cones.stozciVOkolju.assign(3, glm::vec4(1.0f));
        Environment::instance->clearBudQueue();
        EXPECT_EQ(grid.queryNodes.empty(), row.grid);
        EXPECT_EQ(cones.queryNodes.empty(), row.cones);
        Environment::instance->addBud(t.b1);
        Environment::instance->removeBud(t.b1);
        EXPECT_EQ(grid.pendingAdd.size() + grid.pendingRemove.size(), row.grid ? 2u : 0u);
        grid.pendingAdd.assign(2, glm::vec3(0.0f));
        Environment::instance->clearShadowQueues();
        EXPECT_EQ(grid.pendingAdd.empty(), row.grid);

        // A bud that is nowhere reaches no model and gets no light.
        t.b1->position.y = std::numeric_limits<float>::quiet_NaN();
        grid.queryNodes.clear();
        cones.queryNodes.clear();
        Environment::instance->computeLight(t.tree->root, t.tree.get());
        EXPECT_EQ(t.b1->lightExposure, 0.0f);
        EXPECT_EQ(t.tree->root->resourcesQ, 0.0f);
        EXPECT_EQ(grid.queryNodes.size() + cones.queryNodes.size(), 0u);
        const std::size_t registered = grid.pendingAdd.size() + grid.pendingRemove.size();
        Environment::instance->addBud(t.b1);
        Environment::instance->removeBud(t.b1);
        EXPECT_EQ(grid.pendingAdd.size() + grid.pendingRemove.size(), registered);
        if (row.type == 0)
            continue; // the rest would need the device
        Environment::instance->reset();
        EXPECT_EQ(cones.stozciVOkolju.empty(), row.cones);
        // Queued grid work of another type must not reach the (missing) device.
        grid.queryPositions.assign(1, glm::vec3(0.0f));
        EXPECT_NO_THROW(Environment::instance->applyQueuedShadows());
        if (row.type == 1) {
            EXPECT_NO_THROW(Environment::instance->computeQueued());
        }
    }
}

ShadowGrid& cpuGrid(int dim = 10)
{
    Environment& environment = freshEnvironment(0);
    environment.boxOrigin = glm::vec3(0.0f);
    environment.boxSize = glm::vec3(10.0f);
    ShadowGrid& grid = *ShadowGrid::instance;
    grid.useGpu = false;
    grid.setDim(dim);
    return grid;
}

float cell(const ShadowGrid& grid, int x, int y, int z) { return grid.cells[gridIndex(x, y, z, grid.dim)]; }

std::vector<float> allCells(const ShadowGrid& grid)
{
    return std::vector<float>(grid.cells.get(), grid.cells.get() + grid.dim * grid.dim * grid.dim);
}

void addAt(ShadowGrid& grid, const glm::vec3& p)
{
    Internode bud(nullptr, 0, 0);
    bud.position = p;
    grid.addBud(&bud);
}

TEST(ShadowGridCpu, CellOfFloorsTheBoxFractionAndZeroesDegenerateAxes)
{
    cpuGrid();
    const float nan = std::numeric_limits<float>::quiet_NaN();
    struct Row {
        glm::vec3 point, boxSize;
        glm::ivec3 cell;
    };
    const Row rows[] = {
        {{9.99f, 3.2f, 0.5f}, glm::vec3(10.0f), {9, 3, 0}},
        {{-0.5f, 10.0f, 25.0f}, glm::vec3(10.0f), {-1, 10, 25}},
        {{3.5f, 4.0f, 3.5f}, {10.0f, 0.0f, 10.0f}, {3, 0, 3}}, // x / 0 is infinite: 0
        {{3.5f, 0.0f, 3.5f}, {10.0f, 0.0f, 10.0f}, {3, 0, 3}}, // 0 / 0 is NaN: 0
        {{nan, 2.5f, 2.5f}, glm::vec3(10.0f), {0, 2, 2}},
        {{1e30f, -1e30f, 5.0f}, glm::vec3(10.0f), {16777216, -16777216, 5}}, // far outside, no wrap
    };
    for (const Row& row : rows) {
        Environment::instance->boxSize = row.boxSize;
        EXPECT_EQ(ShadowGrid::instance->cellOf(row.point), row.cell) << row.point.x << " " << row.point.y;
    }
}

// (Pyramid cells: the device tests compare them with the device grid.)
TEST(ShadowGridCpu, DepthCountsWholeLayersAndANegativeDepthCastsNothing)
{
    ShadowGrid& grid = cpuGrid();
    addAt(grid, {0.5f, 9.5f, 5.5f}); // nine layers, y = 9 to 1, clipped at x = 0 and z = 0, 9
    const std::vector<float> eight = allCells(grid);
    double total = 0.0;
    for (int q = 0; q <= 8; ++q)
        total += (q + 1) * (std::min(5 + q, 9) - std::max(5 - q, 0) + 1) * 0.1 * std::pow(1.7, -q);
    EXPECT_NEAR(std::accumulate(eight.begin(), eight.end(), 0.0), total, 1e-5);
    EXPECT_EQ(cell(grid, 0, 0, 5), 0.0f);
    for (float depth : {8.9f, -1.0f}) {
        grid.initGrid();
        grid.depth = depth;
        addAt(grid, {0.5f, 9.5f, 5.5f});
        EXPECT_EQ(allCells(grid), depth > 0 ? eight : std::vector<float>(1000, 0.0f)) << depth;
    }
}

TEST(ShadowGridCpu, MarkersShadeTheirBlockWhenEnabled)
{
    ShadowGrid& grid = cpuGrid();
    Environment& environment = *Environment::instance;
    environment.markers[cellIndex({1, 2, 3}, 5)] = 0.25f; // grid cells 2..3, 4..5, 6..7
    grid.initGrid();
    for (float v : allCells(grid))
        ASSERT_EQ(v, 0.0f) << "markers off";
    environment.useMarkers = true;
    grid.initGrid();
    for (int x = 0; x < 10; ++x)
        for (int y = 0; y < 10; ++y)
            for (int z = 0; z < 10; ++z)
                ASSERT_EQ(cell(grid, x, y, z), x / 2 == 1 && y / 2 == 2 && z / 2 == 3 ? -0.25f : 0.0f);
    environment.boxSize.y = 0.0f; // no extent: no cell finds its marker, all shaded
    grid.initGrid();
    for (float v : allCells(grid))
        ASSERT_EQ(v, 1000000.0f);
}

TEST(ShadowGridCpu, ResetAndSetDimGiveAZeroedGrid)
{
    ShadowGrid& grid = cpuGrid(10);
    addAt(grid, {5.5f, 5.5f, 5.5f});
    Environment::instance->reset();
    EXPECT_EQ(allCells(grid), std::vector<float>(1000, 0.0f));
    grid.setDim(4);
    EXPECT_EQ(grid.dim, 4);
    EXPECT_EQ(allCells(grid), std::vector<float>(64, 0.0f));
    EXPECT_THROW(grid.setDim(0), const char*);
}

Stozci& cpuCones(std::vector<glm::vec4> tips)
{
    freshEnvironment(2);
    Stozci& cones = *Stozci::instance;
    cones.useGpu = false;
    cones.stozciVOkolju = std::move(tips);
    return cones;
}

TEST(ConesCpu, EachTipAboveTheBudTakesItsShare)
{
    // Bud at the origin; a tip h above at horizontal distance s takes
    // atan(h / 2s) / (h^2 + 1) / (2s + 1).
    struct Row {
        const char* what;
        std::vector<glm::vec4> tips;
        double light;
    };
    const Row rows[] = {
        {"level tip", {{1, 0, 0, 0}}, 1.0},
        {"tip below", {{0, -1, 0, 0}}, 1.0},
        {"1 above, 0.5 aside", {{0.5f, 1, 0, 0}}, 1.0 - std::atan(1.0) / 2.0 / 2.0},
        {"straight above", {{0, 1, 0, 0}}, 1.0 - (pi / 2.0) / 2.0},
        {"both", {{0, 1, 0, 0}, {0, 0.3f, 0.5f, 0}}, 1.0 - pi / 4.0 - std::atan(0.3) / 1.09 / 2.0},
        {"deep shade", std::vector<glm::vec4>(3, glm::vec4(0, 1, 0, 0)), 0.0},
    };
    for (const Row& row : rows) {
        glm::vec3 direction(1.0f);
        EXPECT_NEAR(cpuCones(row.tips).budLight(nullptr, glm::vec3(0.0f), {}, direction), row.light, 1e-6)
            << row.what;
        EXPECT_EQ(direction, glm::vec3(0.0f));
    }
}

TEST(ConesCpu, TheLightPassCollectsTheTipsApicalChainFirstAndStopsAtStubs)
{
    // R carries A (apical, two buds) and L (lateral); L's apical L0 carries two
    // buds, L's lateral is a bud. Tips: R (0, 1, 0), A (0, 2, 0), L (1, 1, 0),
    // L0 (2, 1, 0).
    Stozci& cones = cpuCones({{0, 50, 0, 0}}); // stale: must not count
    deleteAllTrees();
    auto* tree = new Tree();
    allTrees.push_back(tree);
    tree->age = 3;
    Internode* root = tree->root;
    root->direction = glm::vec3(0, 1, 0);
    Internode* a = addChild(root, 0, {0, 1, 0}, {0, 1, 0}, 1);
    Internode* aBud = addChild(a, 0, {0, 2, 0}, {0, 0.2f, 0}, 2);
    addChild(a, 1, {0, 2, 0}, {0.2f, 0, 0}, 2);
    Internode* l = addChild(root, 1, {0, 1, 0}, {1, 0, 0}, 1);
    Internode* l0 = addChild(l, 0, {1, 1, 0}, {1, 0, 0}, 2);
    Internode* lBud = addChild(l, 1, {1, 1, 0}, {0, 0, 0.2f}, 2);
    Internode* l0Bud = addChild(l0, 0, {2, 1, 0}, {0.2f, 0, 0}, 3);
    addChild(l0, 1, {2, 1, 0}, {0, 0.2f, 0}, 3);

    Environment::instance->clearBudQueue();
    Environment::instance->computeLight(root, tree);
    Environment::instance->computeQueued();
    const std::vector<glm::vec4> tips{{0, 1, 0, 0}, {0, 2, 0, 0}, {1, 1, 0, 0}, {2, 1, 0, 0}};
    EXPECT_EQ(cones.stozciVOkolju, tips);
    // Only A's tip lies above a bud: 1 up and 0, 1 or 2 aside.
    EXPECT_NEAR(aBud->lightExposure, 1.0, 1e-6);
    EXPECT_NEAR(lBud->lightExposure, 1.0 - std::atan(0.5) / 2.0 / 3.0, 1e-6);
    EXPECT_NEAR(l0Bud->lightExposure, 1.0 - std::atan(0.25) / 2.0 / 5.0, 1e-6);
    EXPECT_NEAR(root->resourcesQ, a->resourcesQ + l->resourcesQ, 1e-6);

    a->Cut(-1);
    cones.collectAllTips();
    EXPECT_EQ(cones.stozciVOkolju, (std::vector<glm::vec4>{tips[0], tips[2], tips[3]}));
    deleteAllTrees();
}

} // namespace

// The CPU paths of both light models: the shadow grid's cells, pyramids,
// markers and light, and the cones' tips and light. Expected values come from
// the rules by hand: a 10-cell grid over a box from 0 to 10 puts point p in
// cell floor(p), so pyramids can be laid out on paper.

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>
#include <vector>

#include "light_support.h"

namespace {

constexpr double pi = 3.14159265358979323846;

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

// The pyramid rule: layer q below the bud's cell (q = 0 .. layers - 1) gets
// a * b^-q on the square of side 2q + 1 around the bud's column.
double pyramidValue(const glm::ivec3& bud, int layers, double a, double b, int x, int y, int z)
{
    const int q = bud.y - y;
    if (q < 0 || q >= layers || std::abs(x - bud.x) > q || std::abs(z - bud.z) > q)
        return 0.0;
    return a * std::pow(b, -q);
}

TEST(ShadowGridCells, CellOfFloorsTheBoxFractionAndZeroesDegenerateAxes)
{
    cpuGrid();
    Environment& environment = *Environment::instance;
    struct Row {
        glm::vec3 point;
        glm::vec3 boxSize;
        glm::ivec3 cell;
    };
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const Row rows[] = {
        {{0.5f, 0.5f, 0.5f}, glm::vec3(10.0f), {0, 0, 0}},
        {{9.99f, 3.2f, 7.0f}, glm::vec3(10.0f), {9, 3, 7}},
        {{-0.5f, 10.0f, 25.0f}, glm::vec3(10.0f), {-1, 10, 25}},
        // (p - origin) / 0 is infinite or NaN: that axis counts as 0.
        {{3.5f, 4.0f, 3.5f}, {10.0f, 0.0f, 10.0f}, {3, 0, 3}},
        {{3.5f, 0.0f, 3.5f}, {10.0f, 0.0f, 10.0f}, {3, 0, 3}},
        {{nan, 2.5f, 2.5f}, glm::vec3(10.0f), {0, 2, 2}},
        // Absurdly far points stay far outside instead of wrapping round.
        {{1e30f, -1e30f, 5.0f}, glm::vec3(10.0f), {16777216, -16777216, 5}},
    };
    for (const Row& row : rows) {
        environment.boxSize = row.boxSize;
        EXPECT_EQ(ShadowGrid::instance->cellOf(row.point), row.cell)
            << row.point.x << " " << row.point.y << " " << row.point.z;
    }
}

TEST(ShadowGridCells, TopLayerBudCastsDepthPlusOneLayers)
{
    ShadowGrid& grid = cpuGrid();
    addAt(grid, {5.5f, 9.5f, 5.5f});
    for (int x = 0; x < 10; ++x)
        for (int y = 0; y < 10; ++y)
            for (int z = 0; z < 10; ++z)
                ASSERT_NEAR(cell(grid, x, y, z), pyramidValue({5, 9, 5}, 9, 0.1, 1.7, x, y, z), 1e-7)
                    << x << " " << y << " " << z;
    // Nine layers (y = 9 down to 1); the bottom layer stays clear.
    EXPECT_GT(cell(grid, 5, 1, 5), 0.0f);
    EXPECT_EQ(cell(grid, 5, 0, 5), 0.0f);
}

TEST(ShadowGridCells, PyramidIsClippedAtTheFloorAndTheSides)
{
    ShadowGrid& grid = cpuGrid();
    addAt(grid, {0.5f, 2.5f, 9.5f});
    double total = 0.0;
    for (float v : allCells(grid))
        total += v;
    // Layers y = 2, 1, 0 (q = 0, 1, 2) keep only the quarter squares inside:
    // 1, 2 * 2 and 3 * 3 cells.
    EXPECT_NEAR(total, 0.1 + 4 * 0.1 / 1.7 + 9 * 0.1 / (1.7 * 1.7), 1e-6);
}

TEST(ShadowGridCells, BudOutsideTheBoxShadesOnlyCellsInside)
{
    ShadowGrid& grid = cpuGrid();
    addAt(grid, {-2.5f, 5.5f, 5.5f});  // cell (-3, 5, 5)
    // Layer q reaches x = -3 + q: first at q = 3 (y = 2), z from 2 to 8.
    EXPECT_NEAR(cell(grid, 0, 2, 5), 0.1 / std::pow(1.7, 3), 1e-7);
    EXPECT_EQ(cell(grid, 0, 3, 5), 0.0f);
    EXPECT_EQ(cell(grid, 0, 2, 1), 0.0f);
    glm::vec3 direction(1.0f);
    EXPECT_EQ(grid.budLight(nullptr, {-2.5f, 5.5f, 5.5f}, {}, direction), 0.0f);
}

TEST(ShadowGridCells, DepthIsTruncatedAndNegativeDepthCastsNothing)
{
    ShadowGrid& grid = cpuGrid();
    addAt(grid, {5.5f, 9.5f, 5.5f});
    const std::vector<float> eight = allCells(grid);
    grid.initGrid();
    grid.depth = 8.9f;
    addAt(grid, {5.5f, 9.5f, 5.5f});
    EXPECT_EQ(allCells(grid), eight);

    grid.initGrid();
    grid.depth = -1.0f;
    addAt(grid, {5.5f, 9.5f, 5.5f});
    for (float v : allCells(grid))
        ASSERT_EQ(v, 0.0f);
}

TEST(ShadowGridCells, RemovingUndoesAddingWithTheCurrentConstants)
{
    ShadowGrid& grid = cpuGrid();
    addAt(grid, {2.5f, 7.5f, 3.5f});
    addAt(grid, {3.5f, 6.5f, 3.5f});
    const std::vector<float> before = allCells(grid);
    Internode bud(nullptr, 0, 0);
    bud.position = glm::vec3(3.2f, 8.1f, 4.4f);
    grid.addBud(&bud);
    grid.removeBud(&bud);
    const std::vector<float> after = allCells(grid);
    for (size_t i = 0; i < before.size(); ++i)
        ASSERT_NEAR(after[i], before[i], 1e-6) << i;

    // A removal after a change of `a` takes away the pyramid of the new value.
    grid.initGrid();
    grid.addBud(&bud);
    grid.a = 0.2f;
    grid.removeBud(&bud);
    EXPECT_NEAR(cell(grid, 3, 8, 4), -0.1f, 1e-7);
}

TEST(ShadowGridCells, MarkersShadeTheirBlockWhenEnabled)
{
    ShadowGrid& grid = cpuGrid();
    Environment& environment = *Environment::instance;
    // Grid index i lies in marker cell (i / 10 * 10) / (10 / 5) = i / 2.
    environment.markers[cellIndex({1, 2, 3}, 5)] = 0.25f;
    grid.initGrid();
    for (float v : allCells(grid))
        ASSERT_EQ(v, 0.0f);  // markers off

    environment.useMarkers = true;
    grid.initGrid();
    for (int x = 0; x < 10; ++x)
        for (int y = 0; y < 10; ++y)
            for (int z = 0; z < 10; ++z) {
                const bool inBlock = x / 2 == 1 && y / 2 == 2 && z / 2 == 3;
                ASSERT_EQ(cell(grid, x, y, z), inBlock ? -0.25f : 0.0f) << x << " " << y << " " << z;
            }

    // With no extent on an axis no cell finds its marker: all fully shaded.
    environment.boxSize.y = 0.0f;
    grid.initGrid();
    for (float v : allCells(grid))
        ASSERT_EQ(v, 1000000.0f);
}

TEST(ShadowGridCells, SetDimReallocatesOnlyForANewDimension)
{
    ShadowGrid& grid = cpuGrid(10);
    const float* first = grid.cells.get();
    addAt(grid, {5.5f, 5.5f, 5.5f});
    grid.setDim(10);
    EXPECT_EQ(grid.cells.get(), first);
    EXPECT_EQ(cell(grid, 5, 5, 5), 0.0f);  // initialised again
    grid.setDim(4);
    EXPECT_EQ(grid.dim, 4);
    for (float v : allCells(grid))
        EXPECT_EQ(v, 0.0f);
    EXPECT_THROW(grid.setDim(0), std::string);
}

TEST(ShadowGridLight, CpuLightIsFullLightLessShadowPlusTheBudsOwnShare)
{
    ShadowGrid& grid = cpuGrid();
    addAt(grid, {5.5f, 9.5f, 5.5f});
    glm::vec3 direction(1.0f, 1.0f, 1.0f);
    // The bud's own cell holds exactly its own a.
    EXPECT_NEAR(grid.budLight(nullptr, {5.5f, 9.5f, 5.5f}, {}, direction), 1.0f, 1e-6);
    EXPECT_EQ(direction, glm::vec3(0.0f));
    EXPECT_NEAR(grid.budLight(nullptr, {5.5f, 7.5f, 5.5f}, {}, direction), 1.1 - 0.1 / (1.7 * 1.7), 1e-6);
    for (int i = 0; i < 20; ++i)
        addAt(grid, {5.5f, 9.5f, 5.5f});
    EXPECT_EQ(grid.budLight(nullptr, {5.5f, 9.5f, 5.5f}, {}, direction), 0.0f);
    EXPECT_EQ(grid.budLight(nullptr, {5.5f, 10.5f, 5.5f}, {}, direction), 0.0f);
}

// ---------------------------------------------------------------- cones

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
    struct Row {
        const char* what;
        std::vector<glm::vec4> tips;
        double light;
    };
    // Bud at the origin; a tip at height h and horizontal distance s takes
    // atan(h / 2s) / (h^2 + 1) / (2s + 1).
    const Row rows[] = {
        {"level tip", {{1.0f, 0.0f, 0.0f, 0.0f}}, 1.0},
        {"tip below", {{0.0f, -1.0f, 0.0f, 0.0f}}, 1.0},
        {"1 above, 0.5 aside", {{0.5f, 1.0f, 0.0f, 0.0f}}, 1.0 - std::atan(1.0) / 2.0 / 2.0},
        {"straight above", {{0.0f, 1.0f, 0.0f, 0.0f}}, 1.0 - (pi / 2.0) / 2.0},
        {"both", {{0.0f, 1.0f, 0.0f, 0.0f}, {0.0f, 0.3f, 0.5f, 0.0f}},
         1.0 - pi / 4.0 - std::atan(0.3) / 1.09 / 2.0},
        {"deep shade", std::vector<glm::vec4>(3, glm::vec4(0.0f, 1.0f, 0.0f, 0.0f)), 0.0},
    };
    for (const Row& row : rows) {
        Stozci& cones = cpuCones(row.tips);
        glm::vec3 direction(1.0f);
        EXPECT_NEAR(cones.budLight(nullptr, glm::vec3(0.0f), {}, direction), row.light, 1e-6) << row.what;
        EXPECT_EQ(direction, glm::vec3(0.0f));
    }
}

// R (0,0,0)+(0,1,0) carries A (apical, with two buds) and L (lateral), whose
// apical continuation L0 carries two buds; L's lateral is a bud.
struct ForkTree {
    std::unique_ptr<Tree> tree = std::make_unique<Tree>();
    Internode* a = nullptr;

    ForkTree()
    {
        Internode* r = tree->root;
        r->direction = glm::vec3(0.0f, 1.0f, 0.0f);
        a = addChild(r, 0, {0.0f, 1.0f, 0.0f}, {0.0f, 1.0f, 0.0f}, 1);
        addChild(a, 0, {0.0f, 2.0f, 0.0f}, {0.0f, 0.2f, 0.0f}, 2);
        addChild(a, 1, {0.0f, 2.0f, 0.0f}, {0.2f, 0.0f, 0.0f}, 2);
        Internode* l = addChild(r, 1, {0.0f, 1.0f, 0.0f}, {1.0f, 0.0f, 0.0f}, 1);
        Internode* l0 = addChild(l, 0, {1.0f, 1.0f, 0.0f}, {1.0f, 0.0f, 0.0f}, 2);
        addChild(l, 1, {1.0f, 1.0f, 0.0f}, {0.0f, 0.0f, 0.2f}, 2);
        addChild(l0, 0, {2.0f, 1.0f, 0.0f}, {0.2f, 0.0f, 0.0f}, 3);
        addChild(l0, 1, {2.0f, 1.0f, 0.0f}, {0.0f, 0.2f, 0.0f}, 3);
    }
};

TEST(ConesCpu, TipsComeApicalChainFirstAndStopAtStubs)
{
    Stozci& cones = cpuCones({});
    ForkTree fork;
    cones.collectTips(fork.tree->root);
    const std::vector<glm::vec4> expected{
        {0, 1, 0, 0}, {0, 2, 0, 0}, {1, 1, 0, 0}, {2, 1, 0, 0}};  // R, A, L, L0
    EXPECT_EQ(cones.stozciVOkolju, expected);

    cones.stozciVOkolju.clear();
    fork.a->Cut(-1);
    cones.collectTips(fork.tree->root);
    const std::vector<glm::vec4> withoutA{{0, 1, 0, 0}, {1, 1, 0, 0}, {2, 1, 0, 0}};
    EXPECT_EQ(cones.stozciVOkolju, withoutA);
}

TEST(ConesCpu, AllTreesGiveTheirTipsInListOrder)
{
    Stozci& cones = cpuCones({{9, 9, 9, 0}});
    deleteAllTrees();
    auto second = std::make_unique<ForkTree>();
    Tree* lone = new Tree();
    lone->root->isBud = false;
    addChild(lone->root, 0, {5.0f, 0.1f, 0.0f}, {0, 0.2f, 0}, 1);
    addChild(lone->root, 1, {5.0f, 0.1f, 0.0f}, {0.2f, 0, 0}, 1);
    lone->root->position = glm::vec3(5.0f, 0.0f, 0.0f);
    allTrees.push_back(lone);
    allTrees.push_back(second->tree.release());
    cones.collectAllTips();
    ASSERT_EQ(cones.stozciVOkolju.size(), 5u);
    EXPECT_EQ(cones.stozciVOkolju[0], glm::vec4(5.0f, 0.1f, 0.0001f, 0.0f));
    EXPECT_EQ(cones.stozciVOkolju[1], glm::vec4(0, 1, 0, 0));
    deleteAllTrees();
}

TEST(ConesCpu, LightPassCollectsItsOwnTips)
{
    Stozci& cones = cpuCones({{0, 50, 0, 0}});  // stale: must not count
    deleteAllTrees();
    Tree* tree = new Tree();
    allTrees.push_back(tree);
    tree->age = 2;
    Internode* root = tree->root;
    root->direction = glm::vec3(0.0f, 2.0f, 0.0f);
    Internode* bud = addChild(root, 0, {0.0f, 2.0f, 0.0f}, {0.0f, 0.2f, 0.0f}, 1);
    Internode* l = addChild(root, 1, {0.0f, 2.0f, 0.0f}, {0.5f, 1.0f, 0.0f}, 1);
    Internode* upper = addChild(l, 0, {0.5f, 3.0f, 0.0f}, {0.0f, 0.2f, 0.0f}, 2);
    addChild(l, 1, {0.5f, 3.0f, 0.0f}, {0.2f, 0.0f, 0.0f}, 2);

    Environment::instance->clearBudQueue();
    Environment::instance->computeLight(root, tree);
    Environment::instance->computeQueued();
    // Tips: the root's (0, 2, 0), level with the bud, and L's (0.5, 3, 0), 1
    // above and 0.5 aside.
    EXPECT_EQ(cones.stozciVOkolju.size(), 2u);
    EXPECT_NEAR(bud->lightExposure, 1.0 - std::atan(1.0) / 4.0, 1e-6);
    EXPECT_NEAR(upper->resourcesQ, 1.0, 1e-6);
    EXPECT_NEAR(root->resourcesQ, bud->resourcesQ + l->resourcesQ, 1e-6);
    deleteAllTrees();
}

}  // namespace

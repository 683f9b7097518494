// The kernels on the real OpenCL device (pocl in CI) with small inputs whose
// results follow from the formulas by hand. The device uses reduced-precision
// functions, so every float is compared with a tolerance.

#include "light_support.h"

#include <gtest/gtest.h>

#include <limits>

namespace {

constexpr float kTolerance = 1e-4f;
const float kNaN = std::numeric_limits<float>::quiet_NaN();
const float kInf = std::numeric_limits<float>::infinity();

TEST(ConeLight, FollowsTheConeShadowSum)
{
    struct Case {
        const char* what;
        glm::vec4 bud;
        std::vector<glm::vec4> apexes;
        double expected;
        double tolerance = kTolerance;
    };
    // 2 above an apex: tanh(1/2)^2 = 0.2135522. (1, 0, 0) under (0, 5, 0):
    // r = sqrt(26), dy/5 = 1, 2 dR = 2, so tanh(1/r)^r + 1/sinh(3).
    const double below = std::pow(std::tanh(1.0 / std::sqrt(26.0)), std::sqrt(26.0)) + 1.0 / std::sinh(3.0);
    const Case cases[] = {
        {"no cones: full light", {3, 4, 5, 0}, {}, 1.0},
        {"at an apex: shadow 1", {1, 2, 3, 0}, {{1, 2, 3, 0}}, 1.0 - 1.0 / 80.0},
        {"above an apex: the tanh term alone", {0, 2, 0, 0}, {{0, 0, 0, 0}}, 1.0 - 0.2135522 / 80.0},
        {"below an apex: tanh and sinh terms", {1, 0, 0, 0}, {{0, 5, 0, 0}}, 1.0 - below / 80.0},
        {"w of bud and apex ignored", {1, 0, 0, 99}, {{0, 5, 0, -42}}, 1.0 - below / 80.0},
        {"apexes are summed", {0, 2, 0, 0}, {{0, 0, 0, 0}, {0, 5, 0, 0}},
         1.0 - (0.2135522 + coneShadow({0, 5, 0}, {0, 2, 0})) / 80.0},
        // 1/r = 100 overflows exp(2/r); tanh is 1, and dy/sinh(dy) about 1.
        {"0.01 above an apex", {0, 0.01f, 0, 0}, {{0, 0, 0, 0}}, 1.0 - 1.0 / 80.0},
        {"0.01 below an apex", {0, 0, 0, 0}, {{0, 0.01f, 0, 0}}, 1.0 - 2.0 / 80.0},
        {"between two close apexes", {0, 5.02f, 0, 0}, {{0, 5, 0, 0}, {0, 5.03f, 0, 0}}, 1.0 - 3.0 / 80.0, 1e-3},
        {"deep shade clamps to 0", {2, 3, 4, 0}, std::vector<glm::vec4>(100, {2, 3, 4, 0}), 0.0},
        {"below y = -1: dark", {0, -1.5f, 0, 0}, {}, 0.0},
        {"at y = -1: lit", {0, -1, 0, 0}, {}, 1.0},
        {"a broken bud gets no light rather than NaN", {kNaN, 1, 0, 0}, {{0, 0, 0, 0}}, 0.0},
    };
    OpenClHolder& holder = lightHolder();
    for (const Case& c : cases) {
        float light = -7.0f;
        holder.CalcStozci(&c.bud, 1, c.apexes.data(), int(c.apexes.size()), &light);
        EXPECT_NEAR(light, c.expected, c.tolerance) << c.what;
    }
}

// One apex at distances from 1e-3 to 1e4 in several directions from the bud: the
// light follows the formula in double precision, also where exp(x) of the sinh
// term overflows a float (an apex 10 above and 43 aside, or 420 straight above).
TEST(ConeLight, ApexesNearAndFarFollowTheFormulaInEveryDirection)
{
    struct Direction {
        const char* what;
        glm::dvec3 towardsApex;
    };
    const Direction directions[] = {
        {"above", {0, 1, 0}},
        {"beside", {0.6, 0, -0.8}},
        {"below", {0, -1, 0}},
        {"far above and aside", {43, 10, 0}},
        {"steeply above", {1, 8, -2}},
        {"diagonally below", {1, -1, 1}},
    };
    const double distances[] = {1e-3, 3e-3, 1e-2, 0.05, 0.2, 1, 2.5, 7, 20, 44, 100, 420, 1e3, 4e3, 1e4};
    const glm::vec4 bud(0.3f, 5.0f, -0.7f, 0.0f);
    OpenClHolder& holder = lightHolder();
    for (const Direction& direction : directions) {
        for (double distance : distances) {
            const glm::dvec3 offset = glm::normalize(direction.towardsApex) * distance;
            const glm::vec4 apex(glm::vec3(glm::dvec3(bud) + offset), 0.0f);
            float light = -7.0f;
            holder.CalcStozci(&bud, 1, &apex, 1, &light);
            EXPECT_NEAR(light, coneLight({apex}, glm::vec3(bud)), 1e-5) << direction.what << " at " << distance;
        }
    }
}

// A 5^3 grid over the box [0, 5)^3: a point's cell is its floor.
constexpr int kDim = 5;
const glm::vec3 kBoxMin(0.0f), kBoxD(5.0f);

struct Grid {
    std::vector<float> cells = std::vector<float>(kDim * kDim * kDim, 0.0f);
    float& at(int x, int y, int z) { return cells[gridIndex(x, y, z, kDim)]; }
};

void addPyramids(Grid& grid, const std::vector<glm::vec3>& buds, int qmax, float a, float b, float sign)
{
    OpenClHolder& holder = lightHolder();
    StreamCapture out(std::cout);
    holder.ShadowPropSetDim(kDim);
    writeDeviceGrid(holder, grid.cells);
    holder.CalcShadowProp(buds.data(), int(buds.size()), kDim, qmax, a, b, kBoxMin, kBoxD, sign);
    grid.cells = readDeviceGrid(holder);
}

// Pyramids by definition: layer q under the bud's cell gets a * b^-q on the
// square of side 2q + 1, clipped to the grid.
Grid expectedPyramids(const std::vector<glm::ivec3>& budCells, int qmax, float a, float b)
{
    Grid grid;
    for (const glm::ivec3& c : budCells)
        for (int q = 0; q <= qmax && c.y - q >= 0; ++q)
            for (int x = std::max(c.x - q, 0); x <= std::min(c.x + q, kDim - 1); ++x)
                for (int z = std::max(c.z - q, 0); z <= std::min(c.z + q, kDim - 1); ++z)
                    if (c.y - q < kDim)
                        grid.at(x, c.y - q, z) += a * std::pow(b, float(-q));
    return grid;
}

TEST(ShadowPyramid, AddsTheClippedPyramidsOfEveryBud)
{
    struct Case {
        const char* what;
        std::vector<glm::vec3> buds;
        int qmax;
        float a, b;
        std::vector<glm::ivec3> budCells;
        double tolerance = kTolerance;
    };
    const Case cases[] = {
        {"sp_qmax 0: the bud's cell alone", {{1.5f, 3.2f, 4.9f}}, 0, 2.5f, 2.0f, {{1, 3, 4}}},
        {"clipped at the faces and the floor", {{0.5f, 1.5f, 4.5f}}, 3, 3.0f, 1.5f, {{0, 1, 4}}},
        {"buds add up", {{2.5f, 4.5f, 2.5f}, {1.2f, 3.7f, 3.3f}, {4.9f, 2.1f, 0.1f}}, 3, 1.0f, 2.0f,
         {{2, 4, 2}, {1, 3, 3}, {4, 2, 0}}},
        // Non-atomic updates would lose some of 2000 simultaneous additions.
        {"2000 buds in one cell", std::vector<glm::vec3>(2000, glm::vec3(2.5f)), 1, 1.0f, 2.0f,
         std::vector<glm::ivec3>(2000, glm::ivec3(2)), 1e-2},
        // Huge coordinates saturate far outside, where a wrapped index with
        // pyramids this deep would reach back into the grid.
        {"far-out buds",
         {{1e30f, 2.5f, 2.5f}, {-1e30f, 2.5f, 2.5f}, {2.5f, 3e38f, 2.5f}, {2.5f, -3e38f, 2.5f}, {2.5f, 2.5f, 1e20f},
          {-1e10f, -1e10f, -1e10f}},
         8, 1.0f, 2.0f, {}},
        {"a non-finite coordinate counts as the box corner", {{kInf, 3.5f, 1.5f}, {2.5f, 4.5f, kNaN}}, 0, 1.0f,
         2.0f, {{0, 3, 1}, {2, 4, 0}}},
    };
    for (const Case& c : cases) {
        Grid grid;
        addPyramids(grid, c.buds, c.qmax, c.a, c.b, 1.0f);
        const Grid expected = expectedPyramids(c.budCells, c.qmax, c.a, c.b);
        for (size_t i = 0; i < grid.cells.size(); ++i)
            ASSERT_NEAR(grid.cells[i], expected.cells[i], c.tolerance) << c.what << ", cell " << i;
    }
}

TEST(ShadowPyramid, LayersWidenAndFadeDownwardsAndRemovalUndoesThem)
{
    // Bud in cell (2, 4, 2): 1 on its cell, 0.5 on the 3x3 below, 0.25 on the
    // 5x5 two layers down: 1 + 9/2 + 25/4 = 11.75.
    Grid grid;
    addPyramids(grid, {{2.5f, 4.5f, 2.5f}}, 2, 1.0f, 2.0f, 1.0f);
    EXPECT_NEAR(grid.at(2, 4, 2), 1.0f, kTolerance);
    EXPECT_NEAR(grid.at(1, 3, 3), 0.5f, kTolerance);
    EXPECT_NEAR(grid.at(0, 2, 4), 0.25f, kTolerance);
    double total = 0.0;
    for (float v : grid.cells)
        total += v;
    EXPECT_NEAR(total, 11.75, 1e-3);
    addPyramids(grid, {{2.5f, 4.5f, 2.5f}}, 2, 1.0f, 2.0f, -1.0f);
    for (float v : grid.cells)
        ASSERT_NEAR(v, 0.0f, kTolerance);
}

TEST(GridQuery, LightAndDirectionTowardsTheLeastShadedNeighbour)
{
    struct Case {
        const char* what;
        glm::vec3 bud;
        float background;
        std::vector<std::pair<glm::ivec3, float>> cells;
        float light; // fullExp 10 - own cell + a 1, at least 0
        glm::vec3 direction;
    };
    const glm::vec3 centre(2.5f);
    const Case cases[] = {
        {"one lighter neighbour", centre, 9, {{{2, 2, 2}, 5}, {{1, 3, 3}, 4}}, 6, {-1, 1, 1}},
        {"the lightest of several", centre, 9, {{{2, 2, 2}, 5}, {{3, 2, 2}, 4}, {{2, 1, 2}, 2}}, 6, {0, -1, 0}},
        {"all equal: straight up", centre, 7, {}, 4, {0, 1, 0}},
        {"all equal in the top layer: none", {2.5f, 4.5f, 2.5f}, 7, {}, 4, {0, 0, 0}},
        // Visited z = +1 first, then x = +1, then y = +1: (0, 0, 1) before (1, 0, 0).
        {"a tie: the first visited", centre, 9, {{{2, 2, 2}, 5}, {{3, 2, 2}, 1}, {{2, 2, 3}, 1}}, 6, {0, 0, 1}},
        {"a tie with up: up", centre, 9, {{{2, 2, 2}, 5}, {{2, 1, 3}, 1}, {{2, 3, 2}, 1}}, 6, {0, 1, 0}},
        {"own cell lightest, tied: none", centre, 9, {{{2, 2, 2}, 0}, {{3, 3, 3}, 0}}, 11, {0, 0, 0}},
        {"shadow above full exposure: no light", centre, 9, {{{2, 2, 2}, 20}}, 0, {0, 1, 0}},
        // Cell (-1, 2, 2): only neighbours with x = 0 are inside, compared with 0.
        {"outside: up lies outside too", {-0.5f, 2.5f, 2.5f}, 0, {}, 0, {0, 0, 0}},
        {"outside: a lighter neighbour inside", {-0.5f, 2.5f, 2.5f}, 0, {{{0, 3, 2}, -1}}, 0, {1, 1, 0}},
        {"far out", {1e30f, 1e30f, 1e30f}, 0, {{{4, 4, 4}, -5}}, 0, {0, 0, 0}},
        {"far out on one axis", {-1e30f, 2.5f, 2.5f}, 0, {{{0, 2, 2}, -5}}, 0, {0, 0, 0}},
    };
    OpenClHolder& holder = lightHolder();
    for (const Case& c : cases) {
        Grid grid;
        std::fill(grid.cells.begin(), grid.cells.end(), c.background);
        for (const auto& [cell, value] : c.cells)
            grid.at(cell.x, cell.y, cell.z) = value;
        StreamCapture out(std::cout);
        holder.ShadowPropSetDim(kDim);
        writeDeviceGrid(holder, grid.cells);
        float light = -7.0f;
        glm::vec3 direction(-7.0f);
        holder.CalcShadowPropIzracunPopke(&c.bud, 1, kDim, kBoxMin, kBoxD, 10.0f, 1.0f, &light, &direction);
        EXPECT_NEAR(light, c.light, kTolerance) << c.what;
        EXPECT_EQ(direction, c.direction) << c.what;
    }
}

} // namespace

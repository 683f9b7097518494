// The six kernels of the kernel program, built by the compute holder and run on
// the real OpenCL device (pocl on the CPU in CI) with small inputs whose results
// follow from the formulas by hand. The device uses reduced-precision native
// functions, so every float is compared with a tolerance.

#include "environment/openclholder.h"
#include "support/streamcapture.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

namespace {

constexpr float kTolerance = 1e-4f;

OpenClHolder& holder()
{
    static OpenClHolder* made = [] {
        StreamCapture out(std::cout);
        StreamCapture err(std::cerr);
        return OpenClHolder::create(true, -1, -1);
    }();
    return *made;
}

cl::Buffer deviceBuffer(std::vector<float>& data)
{
    return cl::Buffer(holder().context, CL_MEM_READ_WRITE | CL_MEM_COPY_HOST_PTR, data.size() * sizeof(float),
                      data.data());
}

std::vector<float> readBack(const cl::Buffer& buffer, size_t n)
{
    std::vector<float> data(n);
    holder().queue.enqueueReadBuffer(buffer, CL_TRUE, 0, n * sizeof(float), data.data());
    return data;
}

void launch(cl::Kernel& kernel, size_t n)
{
    holder().queue.enqueueNDRangeKernel(kernel, cl::NullRange, cl::NDRange(n), cl::NullRange);
    holder().queue.finish();
}

cl_float4 f4(float x, float y, float z) { return cl_float4{{x, y, z, 0.0f}}; }

// The cone shadow of one apex on one point, in double precision on the host.
double coneShadow(const glm::dvec3& apex, const glm::dvec3& point)
{
    double r = glm::length(apex - point);
    if (r <= 0.0)
        return 1.0;
    double v = std::pow(std::tanh(1.0 / r), r);
    double dy = apex.y - point.y;
    if (dy <= 0.0)
        return v;
    double dR = glm::length(glm::dvec2(apex.x, apex.z) - glm::dvec2(point.x, point.z));
    dy /= 5.0;
    dR *= 2.0;
    return v + dy / std::sinh(dR + dy);
}

// ---------------------------------------------------------------- cone light

std::vector<float> coneLight(const std::vector<glm::vec4>& buds, const std::vector<glm::vec4>& apexes)
{
    std::vector<float> budData(4 * buds.size());
    for (size_t i = 0; i < buds.size(); ++i)
        for (int c = 0; c < 4; ++c)
            budData[4 * i + c] = buds[i][c];
    std::vector<float> apexData(4 * std::max<size_t>(apexes.size(), 1), 0.0f);
    for (size_t i = 0; i < apexes.size(); ++i)
        for (int c = 0; c < 4; ++c)
            apexData[4 * i + c] = apexes[i][c];
    std::vector<float> none(buds.size(), -7.0f);
    cl::Buffer budBuffer = deviceBuffer(budData);
    cl::Buffer apexBuffer = deviceBuffer(apexData);
    cl::Buffer resultBuffer = deviceBuffer(none);
    cl::Kernel& kernel = holder().kernelStozciIzracun;
    kernel.setArg(0, budBuffer);
    kernel.setArg(1, apexBuffer);
    kernel.setArg(2, static_cast<int>(apexes.size()));
    kernel.setArg(3, resultBuffer);
    launch(kernel, buds.size());
    return readBack(resultBuffer, buds.size());
}

struct ConeCase {
    const char* what;
    glm::vec4 bud;
    std::vector<glm::vec4> apexes;
    double expected;
};

TEST(ConeLight, FollowsTheConeShadowSum)
{
    // tanh(1/2)^2 = 0.2135522 for a point 2 above an apex; below an apex
    // (0, 5, 0) at (1, 0, 0): r = sqrt(26), dy = 1, dR = 2, so the shadow is
    // tanh(1/r)^r + 1 / sinh(3).
    double below = std::pow(std::tanh(1.0 / std::sqrt(26.0)), std::sqrt(26.0)) + 1.0 / std::sinh(3.0);
    std::vector<ConeCase> cases = {
        {"no cones: full light", {3, 4, 5, 0}, {}, 1.0},
        {"bud at an apex: shadow 1", {1, 2, 3, 0}, {{1, 2, 3, 0}}, 1.0 - 1.0 / 80.0},
        {"above an apex: only the tanh term", {0, 2, 0, 0}, {{0, 0, 0, 0}}, 1.0 - 0.2135522 / 80.0},
        {"below an apex: tanh term and sinh term", {1, 0, 0, 0}, {{0, 5, 0, 0}}, 1.0 - below / 80.0},
        {"w of bud and apex ignored", {1, 0, 0, 99}, {{0, 5, 0, -42}}, 1.0 - below / 80.0},
        {"bud below y = -1: dark whatever the cones", {0, -1.5f, 0, 0}, {}, 0.0},
        {"bud at y = -1 still lit", {0, -1, 0, 0}, {}, 1.0},
        {"apexes below the bud count too", {0, 2, 0, 0}, {{0, 0, 0, 0}, {0, 5, 0, 0}},
         1.0 - (0.2135522 + coneShadow({0, 5, 0}, {0, 2, 0})) / 80.0},
    };
    for (const ConeCase& c : cases)
        EXPECT_NEAR(coneLight({c.bud}, c.apexes)[0], c.expected, kTolerance) << c.what;
}

TEST(ConeLight, ManyBudsAgainstManyApexesMatchTheHostSum)
{
    std::vector<glm::vec4> buds, apexes;
    for (int i = 0; i < 37; ++i)
        buds.push_back({0.3f * i - 5.0f, 0.2f * (i % 11), 0.1f * (i % 7) - 0.3f, 0});
    for (int i = 0; i < 23; ++i)
        apexes.push_back({0.5f * (i % 5) - 1.0f, 0.4f * i, 0.25f * (i % 3), 0});
    std::vector<float> light = coneLight(buds, apexes);
    for (size_t b = 0; b < buds.size(); ++b) {
        double sum = 0.0;
        for (const glm::vec4& apex : apexes)
            sum += coneShadow(glm::dvec3(apex), glm::dvec3(buds[b]));
        double expected = std::max(1.0 - sum / 80.0, 0.0);
        EXPECT_NEAR(light[b], expected, 1e-3) << "bud " << b;
    }
}

TEST(ConeLight, DeepShadeClampsToZero)
{
    // 100 apexes on the bud: the sum is 100, 1 - 100/80 is negative.
    std::vector<glm::vec4> apexes(100, glm::vec4(2, 3, 4, 0));
    EXPECT_EQ(coneLight({{2, 3, 4, 0}}, apexes)[0], 0.0f);
}

TEST(ConeLight, BudVeryCloseToAnApexStaysLit)
{
    // At 0.01 from an apex 1/r is 100, far past where exp(2/r) overflows a
    // float; tanh is 1 there, so the shadow is 1 (above) or 1 plus the sinh term
    // dy/sinh(dy) of almost exactly 1 (straight below).
    EXPECT_NEAR(coneLight({{0, 0.01f, 0, 0}}, {{0, 0, 0, 0}})[0], 1.0 - 1.0 / 80.0, kTolerance)
        << "just above the apex";
    EXPECT_NEAR(coneLight({{0, 0, 0, 0}}, {{0, 0.01f, 0, 0}})[0], 1.0 - 2.0 / 80.0, kTolerance)
        << "just below the apex";
    EXPECT_NEAR(coneLight({{0, 5.02f, 0, 0}}, {{0, 5.0f, 0, 0}, {0, 5.03f, 0, 0}})[0],
                1.0 - (1.0 + 1.0 + 1.0) / 80.0, 1e-3)
        << "between two close apexes";
}

TEST(ConeLight, BrokenBudGetsNoLightRatherThanNaN)
{
    float nan = std::numeric_limits<float>::quiet_NaN();
    std::vector<float> light = coneLight({{nan, 1, 0, 0}}, {{0, 0, 0, 0}});
    EXPECT_EQ(light[0], 0.0f);
}

// --------------------------------------------------------- shadow pyramids

// A 5^3 grid over the box [0, 5)^3, so a point's cell is its floor.
constexpr int kDim = 5;
const cl_float4 kBoxMin = f4(0, 0, 0);
const cl_float4 kBoxD = f4(5, 5, 5);

struct Grid {
    std::vector<float> cells = std::vector<float>(kDim * kDim * kDim, 0.0f);
    float& at(int x, int y, int z) { return cells[x + kDim * (y + kDim * z)]; }
};

std::vector<float> packed(const std::vector<glm::vec3>& points)
{
    std::vector<float> data;
    for (const glm::vec3& p : points)
        data.insert(data.end(), {p.x, p.y, p.z});
    return data;
}

void addPyramids(Grid& grid, const std::vector<glm::vec3>& buds, int qmax, float a, float b, float sign)
{
    std::vector<float> budData = packed(buds);
    cl::Buffer budBuffer = deviceBuffer(budData);
    cl::Buffer gridBuffer = deviceBuffer(grid.cells);
    cl::Kernel& kernel = holder().kernelShadowPropIzracun;
    kernel.setArg(0, budBuffer);
    kernel.setArg(1, kDim);
    kernel.setArg(2, qmax);
    kernel.setArg(3, a);
    kernel.setArg(4, b);
    kernel.setArg(5, kBoxMin);
    kernel.setArg(6, kBoxD);
    kernel.setArg(7, gridBuffer);
    kernel.setArg(8, sign);
    launch(kernel, buds.size());
    grid.cells = readBack(gridBuffer, grid.cells.size());
}

// The pyramid under cell (cx, cy, cz) by its definition, clipped to the grid.
Grid expectedPyramid(int cx, int cy, int cz, int qmax, float a, float b)
{
    Grid grid;
    for (int q = 0; q <= qmax; ++q)
        for (int x = cx - q; x <= cx + q; ++x)
            for (int z = cz - q; z <= cz + q; ++z)
                if (x >= 0 && x < kDim && z >= 0 && z < kDim && cy - q >= 0 && cy - q < kDim)
                    grid.at(x, cy - q, z) += a * std::pow(b, -q);
    return grid;
}

void expectGridsNear(const Grid& actual, const Grid& expected, const char* what)
{
    for (size_t i = 0; i < actual.cells.size(); ++i)
        EXPECT_NEAR(actual.cells[i], expected.cells[i], kTolerance) << what << ", cell " << i;
}

TEST(ShadowPyramid, QmaxZeroTouchesOnlyTheBudsCell)
{
    Grid grid;
    addPyramids(grid, {{1.5f, 3.2f, 4.9f}}, 0, 2.5f, 2.0f, 1.0f);
    Grid expected;
    expected.at(1, 3, 4) = 2.5f;
    expectGridsNear(grid, expected, "sp_qmax 0");
}

TEST(ShadowPyramid, LayersWidenAndFadeDownwards)
{
    // Bud in cell (2, 4, 2): 1 on its cell, 0.5 on the 3x3 below, 0.25 on the
    // 5x5 two layers down; 1 + 9/2 + 25/4 = 11.75 in all.
    Grid grid;
    addPyramids(grid, {{2.5f, 4.5f, 2.5f}}, 2, 1.0f, 2.0f, 1.0f);
    EXPECT_NEAR(grid.at(2, 4, 2), 1.0f, kTolerance);
    EXPECT_NEAR(grid.at(1, 3, 3), 0.5f, kTolerance);
    EXPECT_NEAR(grid.at(0, 2, 4), 0.25f, kTolerance);
    EXPECT_NEAR(grid.at(2, 1, 2), 0.0f, kTolerance) << "below sp_qmax";
    EXPECT_NEAR(grid.at(1, 4, 2), 0.0f, kTolerance) << "beside the bud";
    double total = 0.0;
    for (float c : grid.cells)
        total += c;
    EXPECT_NEAR(total, 11.75, 1e-3);
}

TEST(ShadowPyramid, ClippedAtTheGridsFacesAndFloor)
{
    Grid grid;
    addPyramids(grid, {{0.5f, 1.5f, 4.5f}}, 3, 3.0f, 1.5f, 1.0f);
    expectGridsNear(grid, expectedPyramid(0, 1, 4, 3, 3.0f, 1.5f), "corner bud");
}

TEST(ShadowPyramid, RemovingRestoresTheGrid)
{
    std::vector<glm::vec3> buds = {{2.5f, 4.5f, 2.5f}, {1.2f, 3.7f, 3.3f}, {4.9f, 2.1f, 0.1f}};
    Grid grid;
    addPyramids(grid, buds, 3, 1.0f, 2.0f, 1.0f);
    Grid expected;
    for (const Grid& one : {expectedPyramid(2, 4, 2, 3, 1, 2), expectedPyramid(1, 3, 3, 3, 1, 2),
                            expectedPyramid(4, 2, 0, 3, 1, 2)})
        for (size_t i = 0; i < one.cells.size(); ++i)
            expected.cells[i] += one.cells[i];
    expectGridsNear(grid, expected, "after adding");
    addPyramids(grid, buds, 3, 1.0f, 2.0f, -1.0f);
    expectGridsNear(grid, Grid(), "after removing");
}

TEST(ShadowPyramid, ConcurrentAddsToOneCellAreNotLost)
{
    // Every work-item adds to the same cells at once; a non-atomic update would
    // lose some of the 2000 additions.
    std::vector<glm::vec3> buds(2000, glm::vec3(2.5f, 2.5f, 2.5f));
    Grid grid;
    addPyramids(grid, buds, 1, 1.0f, 2.0f, 1.0f);
    EXPECT_NEAR(grid.at(2, 2, 2), 2000.0f, 1e-2);
    EXPECT_NEAR(grid.at(3, 1, 1), 1000.0f, 1e-2);
}

TEST(ShadowPyramid, FarOutBudsLeaveTheGridAlone)
{
    // Finite but huge coordinates saturate to indexes far outside the grid,
    // with pyramids deep enough to reach back into it if an index wrapped.
    std::vector<glm::vec3> buds = {{1e30f, 2.5f, 2.5f}, {-1e30f, 2.5f, 2.5f}, {2.5f, 3e38f, 2.5f},
                                   {2.5f, -3e38f, 2.5f}, {2.5f, 2.5f, 1e20f}, {-1e10f, -1e10f, -1e10f}};
    Grid grid;
    addPyramids(grid, buds, 8, 1.0f, 2.0f, 1.0f);
    expectGridsNear(grid, Grid(), "far-out buds");
}

TEST(ShadowPyramid, NonFiniteCoordinateCountsAsTheBoxCorner)
{
    float inf = std::numeric_limits<float>::infinity();
    float nan = std::numeric_limits<float>::quiet_NaN();
    Grid grid;
    addPyramids(grid, {{inf, 3.5f, 1.5f}, {2.5f, 4.5f, nan}}, 0, 1.0f, 2.0f, 1.0f);
    Grid expected;
    expected.at(0, 3, 1) = 1.0f;
    expected.at(2, 4, 0) = 1.0f;
    expectGridsNear(grid, expected, "non-finite components");
}

// ------------------------------------------------- grid light and direction

struct BudLight {
    float light;
    glm::vec3 direction;
};

std::vector<BudLight> gridLight(Grid& grid, const std::vector<glm::vec3>& buds, float fullExp, float a)
{
    std::vector<float> budData = packed(buds);
    std::vector<float> light(buds.size(), -7.0f);
    std::vector<float> directions(3 * buds.size(), -7.0f);
    cl::Buffer budBuffer = deviceBuffer(budData);
    cl::Buffer gridBuffer = deviceBuffer(grid.cells);
    cl::Buffer lightBuffer = deviceBuffer(light);
    cl::Buffer directionBuffer = deviceBuffer(directions);
    cl::Kernel& kernel = holder().kernelShadowPropIzracunPopke;
    kernel.setArg(0, budBuffer);
    kernel.setArg(1, kDim);
    kernel.setArg(2, kBoxMin);
    kernel.setArg(3, kBoxD);
    kernel.setArg(4, fullExp);
    kernel.setArg(5, a);
    kernel.setArg(6, gridBuffer);
    kernel.setArg(7, lightBuffer);
    kernel.setArg(8, directionBuffer);
    launch(kernel, buds.size());
    light = readBack(lightBuffer, buds.size());
    directions = readBack(directionBuffer, 3 * buds.size());
    std::vector<BudLight> result;
    for (size_t i = 0; i < buds.size(); ++i)
        result.push_back({light[i], {directions[3 * i], directions[3 * i + 1], directions[3 * i + 2]}});
    return result;
}

TEST(GridLight, LightIsFullExposureLessShadowPlusOwnShare)
{
    Grid grid;
    grid.at(1, 1, 1) = 3.0f;
    grid.at(3, 3, 3) = 20.0f;
    std::vector<BudLight> result = gridLight(grid, {{1.5f, 1.5f, 1.5f}, {3.5f, 3.5f, 3.5f}, {0.5f, 0.5f, 0.5f}},
                                             10.0f, 1.0f);
    EXPECT_NEAR(result[0].light, 10.0f - 3.0f + 1.0f, kTolerance);
    EXPECT_EQ(result[1].light, 0.0f) << "shadow above full exposure clamps to 0";
    EXPECT_NEAR(result[2].light, 11.0f, kTolerance) << "unshaded cell";
}

struct DirectionCase {
    const char* what;
    glm::ivec3 budCell;
    std::vector<std::pair<glm::ivec3, float>> cells;
    glm::vec3 expected;
};

TEST(GridLight, DirectionPointsToTheLeastShadedNeighbour)
{
    std::vector<DirectionCase> cases = {
        {"one lighter neighbour", {2, 2, 2}, {{{2, 2, 2}, 5}, {{1, 3, 3}, 4}}, {-1, 1, 1}},
        {"lightest of several", {2, 2, 2}, {{{2, 2, 2}, 5}, {{3, 2, 2}, 4}, {{2, 1, 2}, 2}}, {0, -1, 0}},
        {"all equal: straight up", {2, 2, 2}, {}, {0, 1, 0}},
        {"all equal at the top layer: no direction", {2, 4, 2}, {}, {0, 0, 0}},
        // Visiting order z = 1 first: (0, 0, 1) is met before (1, 0, 0).
        {"tie: first in visiting order", {2, 2, 2}, {{{2, 2, 2}, 5}, {{3, 2, 2}, 1}, {{2, 2, 3}, 1}}, {0, 0, 1}},
        // (0, -1, 1) is visited before (0, 1, 0), yet up takes every tie.
        {"tie with up: up wins", {2, 2, 2}, {{{2, 2, 2}, 5}, {{2, 1, 3}, 1}, {{2, 3, 2}, 1}}, {0, 1, 0}},
        // (1, 1, 1) ties with the bud's own cell but only up takes a tie.
        {"own cell lightest: no direction", {2, 2, 2}, {{{2, 2, 2}, 0}, {{3, 3, 3}, 0}}, {0, 0, 0}},
    };
    for (const DirectionCase& c : cases) {
        Grid grid;
        // Shade everything so that only the listed cells can be lighter.
        for (int x = 0; x < kDim; ++x)
            for (int y = 0; y < kDim; ++y)
                for (int z = 0; z < kDim; ++z)
                    grid.at(x, y, z) = c.cells.empty() ? 7.0f : (c.budCell == glm::ivec3(x, y, z) ? 0.0f : 9.0f);
        for (const auto& [cell, value] : c.cells)
            grid.at(cell.x, cell.y, cell.z) = value;
        glm::vec3 bud = glm::vec3(c.budCell) + 0.5f;
        BudLight result = gridLight(grid, {bud}, 10.0f, 1.0f)[0];
        EXPECT_EQ(result.direction, c.expected) << c.what;
    }
}

TEST(GridLight, BudOutsideTheGridIsDarkAndLooksAmongInsideNeighbours)
{
    Grid grid;
    // The bud at x = -0.5 is in cell (-1, 2, 2); its inside neighbours have
    // x = 0 and are compared with 0.
    std::vector<BudLight> plain = gridLight(grid, {{-0.5f, 2.5f, 2.5f}}, 10.0f, 1.0f);
    EXPECT_EQ(plain[0].light, 0.0f);
    EXPECT_EQ(plain[0].direction, glm::vec3(0, 0, 0)) << "up, (-1, 3, 2), lies outside";
    grid.at(0, 3, 2) = -1.0f;
    std::vector<BudLight> lighter = gridLight(grid, {{-0.5f, 2.5f, 2.5f}}, 10.0f, 1.0f);
    EXPECT_EQ(lighter[0].light, 0.0f);
    EXPECT_EQ(lighter[0].direction, glm::vec3(1, 1, 0));
}

TEST(GridLight, FarOutBudIsDarkWithoutDirection)
{
    Grid grid;
    grid.at(4, 4, 4) = -5.0f;
    std::vector<BudLight> result = gridLight(grid, {{1e30f, 1e30f, 1e30f}, {-1e30f, 2.5f, 2.5f}}, 10.0f, 1.0f);
    for (const BudLight& r : result) {
        EXPECT_EQ(r.light, 0.0f);
        EXPECT_EQ(r.direction, glm::vec3(0, 0, 0));
    }
}

// ------------------------------------------------------- fill and display

TEST(MemSet, FillsEveryElement)
{
    std::vector<float> data(1000, 3.0f);
    cl::Buffer buffer = deviceBuffer(data);
    cl::Kernel& kernel = holder().kernelMemSet;
    kernel.setArg(0, -2.5f);
    kernel.setArg(1, buffer);
    launch(kernel, 600);
    std::vector<float> result = readBack(buffer, data.size());
    for (size_t i = 0; i < result.size(); ++i)
        ASSERT_EQ(result[i], i < 600 ? -2.5f : 3.0f) << i;
}

TEST(DisplayPoints, ConeLatticeStartsAtTheMinimumCorner)
{
    // dim 2 over [0, 4)^3: lattice coordinates 0 and 2, x fastest. One apex at
    // (2, 2, 2): shadow 1 on its own lattice point, so 1 - max(1 - 0/80, 0) = 0
    // there; without any cone the value would be 1 - (1 + 1/80) = -1/80.
    std::vector<float> apex = {2, 2, 2, 0};
    std::vector<float> out(8 * 4, -7.0f);
    cl::Buffer apexBuffer = deviceBuffer(apex);
    cl::Buffer outBuffer = deviceBuffer(out);
    cl::Kernel& kernel = holder().kernelVboIzStozcev;
    kernel.setArg(0, apexBuffer);
    kernel.setArg(1, 1);
    kernel.setArg(2, outBuffer);
    kernel.setArg(3, 2);
    kernel.setArg(4, f4(0, 0, 0));
    kernel.setArg(5, f4(4, 4, 4));
    launch(kernel, 8);
    out = readBack(outBuffer, out.size());
    for (int gid = 0; gid < 8; ++gid) {
        glm::dvec3 point(2 * (gid % 2), 2 * ((gid / 2) % 2), 2 * (gid / 4));
        double s = std::max(1.0 - (coneShadow({2, 2, 2}, point) - 1.0) / 80.0, 0.0);
        EXPECT_NEAR(out[4 * gid + 0], point.x, kTolerance) << gid;
        EXPECT_NEAR(out[4 * gid + 1], point.y, kTolerance) << gid;
        EXPECT_NEAR(out[4 * gid + 2], point.z, kTolerance) << gid;
        EXPECT_NEAR(out[4 * gid + 3], 1.0 - s, kTolerance) << gid;
    }
    EXPECT_NEAR(out[4 * 7 + 3], 0.0f, kTolerance) << "the apex's own lattice point";

    kernel.setArg(1, 0);
    launch(kernel, 8);
    out = readBack(outBuffer, out.size());
    for (int gid = 0; gid < 8; ++gid)
        EXPECT_NEAR(out[4 * gid + 3], -1.0f / 80.0f, kTolerance) << "no cones, point " << gid;
}

TEST(DisplayPoints, GridCellsAtTheirCentresScaledByAlfa)
{
    // dim 2 over a box from (1, 2, 3) of size 4: step 2, centres at 2 and 4 on x.
    std::vector<float> cells = {1, 2, 3, 4, 5, 6, 7, 8};
    std::vector<float> out(8 * 4, -7.0f);
    cl::Buffer cellBuffer = deviceBuffer(cells);
    cl::Buffer outBuffer = deviceBuffer(out);
    cl::Kernel& kernel = holder().kernelVboIzShadowProp;
    kernel.setArg(0, outBuffer);
    kernel.setArg(1, cellBuffer);
    kernel.setArg(2, 2);
    kernel.setArg(3, f4(1, 2, 3));
    kernel.setArg(4, f4(4, 4, 4));
    kernel.setArg(5, 0.5f);
    launch(kernel, 8);
    out = readBack(outBuffer, out.size());
    for (int gid = 0; gid < 8; ++gid) {
        int x = gid % 2, y = (gid / 2) % 2, z = gid / 4;
        EXPECT_NEAR(out[4 * gid + 0], 2.0f + 2.0f * x, kTolerance) << gid;
        EXPECT_NEAR(out[4 * gid + 1], 3.0f + 2.0f * y, kTolerance) << gid;
        EXPECT_NEAR(out[4 * gid + 2], 4.0f + 2.0f * z, kTolerance) << gid;
        EXPECT_NEAR(out[4 * gid + 3], 0.5f * (gid + 1), kTolerance) << gid;
    }
}

} // namespace

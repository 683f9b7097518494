// Both light models and the compute operations on the real OpenCL device (pocl
// in CI): device grid against CPU grid, batches written back in queue order, the
// device grid's creation, sizes and zeroing, MemSet, the launch split, the cone
// batch, and the display fills through a real OpenGL buffer (Mesa under Xvfb).

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <memory>
#include <random>
#include <string>

#include "environment/computesupport.h"
#include "light_support.h"
#include "model/parameters.h"
#include "support/glcontext.h"
#include "support/treebuilders.h"

namespace {

// Random points (w 0) in the box [lo, hi).
std::vector<glm::vec4> randomPoints(int n, unsigned seed, const glm::vec3& lo, const glm::vec3& hi)
{
    std::mt19937 engine(seed);
    std::uniform_real_distribution<float> unit(0.0f, 1.0f);
    std::vector<glm::vec4> points(n);
    for (glm::vec4& p : points)
        p = glm::vec4(glm::vec3(unit(engine), unit(engine), unit(engine)) * (hi - lo) + lo, 0.0f);
    return points;
}

// Buds over the default box, a few beyond its faces.
std::vector<glm::vec3> scatteredBuds(int n, unsigned seed)
{
    const std::vector<glm::vec4> points = randomPoints(n, seed, {-110, -5, -110}, {110, 205, 110});
    return std::vector<glm::vec3>(points.begin(), points.end());
}

TEST(DeviceGrid, CellsAndLightEqualTheCpuGridsAndComeBackInQueueOrder)
{
    OpenClHolder& holder = lightHolder();
    const std::vector<glm::vec3> buds = scatteredBuds(400, 11);
    std::vector<glm::vec3> queried = scatteredBuds(150, 6);
    queried.insert(queried.end(), buds.begin(), buds.begin() + 50);
    std::vector<Internode> nodes(buds.size(), Internode(nullptr, 0, 0)), asked(queried.size(), nodes[0]);
    for (size_t i = 0; i < buds.size(); ++i)
        nodes[i].position = buds[i];
    auto registerAll = [&] {
        ShadowGrid::instance->depth = 8.6f; // whole layers: nine on both paths
        Environment::instance->clearShadowQueues();
        for (Internode& node : nodes)
            Environment::instance->addBud(&node);
        for (size_t i = 0; i < nodes.size(); i += 3)
            Environment::instance->removeBud(&nodes[i]);
        Environment::instance->applyQueuedShadows();
    };
    freshEnvironment(0);
    ShadowGrid& grid = *ShadowGrid::instance;
    grid.useGpu = false;
    grid.setDim(40);
    registerAll();
    const std::vector<float> cpu(grid.cells.get(), grid.cells.get() + 64000);
    std::vector<float> light;
    for (const glm::vec3& p : queried)
        light.push_back(grid.budLight(nullptr, p, {}, asked[0].optimalDirection));

    StreamCapture out(std::cout);
    freshEnvironment(0);
    grid.setDim(40);
    registerAll();
    Environment::instance->clearBudQueue();
    for (size_t i = 0; i < queried.size(); ++i)
        EXPECT_EQ(grid.budLight(&asked[i], queried[i], {}, asked[i].optimalDirection), 0.0f);
    Environment::instance->computeQueued();
    EXPECT_EQ(out.text(), "ShadowPropSetDim\nMemSet\nCalcShadowProp\nCalcShadowProp\nCalcShadowPropIzracunPopke\n");
    const std::vector<float> device = readDeviceGrid(holder);
    int shaded = 0;
    for (size_t i = 0; i < cpu.size(); ++i) {
        ASSERT_NEAR(device[i], cpu[i], 1e-5) << "cell " << i;
        shaded += cpu[i] > 1e-4f;
    }
    EXPECT_GT(shaded, 1000); // the comparison covered real pyramids
    std::vector<float> unused(queried.size());
    std::vector<glm::vec3> directions(queried.size());
    holder.CalcShadowPropIzracunPopke(queried.data(), int(queried.size()), 40, Environment::instance->boxOrigin,
                                      Environment::instance->boxSize, grid.cMax, grid.a, unused.data(),
                                      directions.data());
    for (size_t i = 0; i < asked.size(); ++i) {
        ASSERT_NEAR(asked[i].resourcesQ, light[i], 1e-5) << i;
        ASSERT_EQ(asked[i].lightExposure, asked[i].resourcesQ);
        ASSERT_EQ(asked[i].optimalDirection, directions[i]) << i;
    }
}

// The launches run one work-group at a time, in batch order. A CPU device
// (pocl) runs a group's items one after another, so there the float sums of
// the grid come out the same bit for bit on every run. On other devices (a
// GPU) the compare-and-swap adds of one group's items land in any order. A
// cell's n terms are all positive, so each run's float sum lies within
// (n - 1) eps / 2 times the cell of the exact sum, and two runs differ by at
// most about (n - 1) eps times the cell; the check allows n eps, n being the
// number of buds. That stays below a, the term each pyramid adds to its bud's
// own cell, so a lost or doubled pyramid still shows there.
TEST(DeviceGrid, PyramidsAddUpTheSameOnEveryRun)
{
    OpenClHolder& holder = lightHolder();
    const bool groupRunsInOrder = (holder.device.getInfo<CL_DEVICE_TYPE>() & CL_DEVICE_TYPE_CPU) != 0;
    // Heavily overlapping pyramids whose values are no binary fractions.
    std::vector<glm::vec3> buds;
    for (const glm::vec4& p : randomPoints(3000, 5, {2, 5, 2}, {6, 9, 6}))
        buds.emplace_back(p);
    const float a = 0.3f, b = 1.7f;
    const int layers = 4;
    const float orderRounding = float(buds.size()) * std::numeric_limits<float>::epsilon();
    std::vector<float> first;
    for (int run = 0; run < 4; ++run) {
        StreamCapture out(std::cout);
        holder.ShadowPropSetDim(8);
        holder.CalcShadowProp(buds.data(), int(buds.size()), 8, layers, a, b, glm::vec3(0.0f), glm::vec3(8.0f),
                              1.0f);
        const std::vector<float> cells = readDeviceGrid(holder);
        if (run == 0) {
            first = cells;
            if (!groupRunsInOrder) {
                ASSERT_LT(orderRounding * *std::max_element(first.begin(), first.end()), a);
            }
        } else if (groupRunsInOrder) {
            ASSERT_EQ(cells, first) << "run " << run;
        } else {
            for (std::size_t i = 0; i < cells.size(); ++i)
                ASSERT_NEAR(cells[i], first[i], orderRounding * first[i]) << "run " << run << ", cell " << i;
        }
    }
}

TEST(DeviceGrid, BatchesBeforeAnyDimensionCreateTheGridOnFirstUse)
{
    OpenClHolder& holder = lightHolder();
    holder.shadowGrid = cl::Buffer();
    holder.shadowGridDim = 0;
    freshEnvironment(0);
    ShadowGrid& grid = *ShadowGrid::instance;
    grid.dim = 12;
    StreamCapture out(std::cout);
    grid.applyQueuedShadowsGpu();
    grid.computeQueuedGpu();
    EXPECT_EQ(out.text(), "") << "empty queues call nothing";

    Internode bud(nullptr, 0, 0);
    bud.position = glm::vec3(0.0f, 50.0f, 0.0f);
    grid.budLight(&bud, bud.position, {}, bud.optimalDirection);
    grid.computeQueuedGpu();
    ASSERT_EQ(holder.shadowGridDim, 12);
    EXPECT_NEAR(bud.resourcesQ, grid.cMax + grid.a, 1e-6); // a zeroed grid

    holder.shadowGrid = cl::Buffer();
    holder.shadowGridDim = 0;
    grid.pendingAdd = {bud.position};
    {
        DebugCapture debug;
        grid.applyQueuedShadowsGpu();
        EXPECT_EQ(DebugCapture::messages(), (std::vector<std::string>{"Start CalcShadowProp: 1", "End CalcShadowProp"}));
    }
    ASSERT_EQ(holder.shadowGridDim, 12);
    EXPECT_NEAR(readDeviceGrid(holder)[cellIndex(grid.cellOf(bud.position), 12)], grid.a, 1e-7);

    grid.dim = 16; // written without setDim: the grid follows the dimension
    grid.applyQueuedShadowsGpu();
    EXPECT_EQ(holder.shadowGridDim, 16);
    EXPECT_EQ(holder.shadowGrid.getInfo<CL_MEM_SIZE>(), 16u * 16u * 16u * sizeof(float));
}

TEST(DeviceGrid, SetDimMakesAZeroedGridAndRefusesBadSizes)
{
    OpenClHolder& holder = lightHolder();
    freshEnvironment(0);
    StreamCapture out(std::cout);
    ShadowGrid::instance->setDim(200);
    ShadowGrid::instance->pendingAdd = scatteredBuds(50, 3);
    ShadowGrid::instance->applyQueuedShadowsGpu();
    const size_t before = out.text().size();
    Environment::instance->reset();
    EXPECT_EQ(out.text().substr(before), "ShadowPropSetDim\nMemSet\n");
    EXPECT_EQ(holder.shadowGrid.getInfo<CL_MEM_SIZE>(), 8000000u * sizeof(float));
    for (float v : readDeviceGrid(holder))
        ASSERT_EQ(v, 0.0f);

    holder.ShadowPropSetDim(8);
    const cl_mem kept = holder.shadowGrid();
    try {
        holder.ShadowPropSetDim(0);
        ADD_FAILURE() << "dim 0 accepted";
    } catch (const char* text) {
        EXPECT_STREQ(text, "dim=0");
    }
    EXPECT_THROW(holder.ShadowPropSetDim(-3), std::string);
    // The smallest dimension whose grid exceeds one device allocation (1292 on
    // pocl's 8 GiB, past a 32-bit int of cells).
    const auto limit = holder.device.getInfo<CL_DEVICE_MAX_MEM_ALLOC_SIZE>();
    int dim = static_cast<int>(std::cbrt(static_cast<double>(limit) / 4.0));
    while (std::uint64_t(dim) * dim * dim * 4 <= limit)
        ++dim;
    try {
        holder.ShadowPropSetDim(dim);
        ADD_FAILURE() << "oversized grid accepted";
    } catch (const std::string& text) {
        EXPECT_NE(text.find(std::to_string(std::uint64_t(dim) * dim * dim * 4)), std::string::npos) << text;
    }
    EXPECT_EQ(holder.shadowGrid(), kept);
    EXPECT_EQ(holder.shadowGridDim, 8);
    EXPECT_EQ(cubeOf(999) * 16, 15952047984u); // the display's largest size: 999^3 records of 16 bytes
}

TEST(MemSet, FillsTheFirstNFloatsAndFromTheHostWhenTheKernelFails)
{
    OpenClHolder& holder = lightHolder();
    for (bool failing : {false, true}) {
        std::vector<float> data(5000, 7.0f);
        cl::Buffer buffer(holder.context, CL_MEM_READ_WRITE | CL_MEM_COPY_HOST_PTR, data.size() * sizeof(float),
                          data.data());
        cl::Kernel working = holder.kernelMemSet;
        if (failing)
            holder.kernelMemSet = cl::Kernel(); // a handle the runtime rejects
        StreamCapture out(std::cout);
        holder.MemSet(0.5f, buffer, 4000);
        holder.kernelMemSet = working;
        EXPECT_EQ(out.text(), failing ? "MemSet\nOpenCL ERRR: \nclSetKernelArg : " + std::to_string(CL_INVALID_KERNEL) + "\n"
                                      : "MemSet\n");
        holder.queue.enqueueReadBuffer(buffer, CL_TRUE, 0, data.size() * sizeof(float), data.data());
        for (size_t i = 0; i < data.size(); ++i)
            ASSERT_EQ(data[i], i < 4000 ? 0.5f : 7.0f) << i << (failing ? " after a failure" : "");
    }
}

TEST(ConeBatch, EveryBudFollowsTheConeSumWhateverTheBatchShape)
{
    OpenClHolder& holder = lightHolder();
    // Bud counts below, at and past the 128-item groups (a remainder launch),
    // apex counts that fill no whole stage of the kernel, and no apex at all.
    for (glm::ivec2 shape : {glm::ivec2(1, 1), {300, 37}, {256, 129}, {129, 1000}, {1000, 301}, {64, 0}}) {
        const std::vector<glm::vec4> buds = randomPoints(shape.x, 21 + shape.x, {-3, -1.5f, -3}, {3, 8, 3});
        const std::vector<glm::vec4> apexes = randomPoints(shape.y, 7 + shape.y, {-3, -1.5f, -3}, {3, 8, 3});
        std::vector<float> light(buds.size(), -1.0f);
        StreamCapture out(std::cout);
        holder.CalcStozci(buds.data(), shape.x, apexes.data(), shape.y, light.data());
        EXPECT_EQ(out.text(), "") << "the cone batch prints nothing";
        for (int i = 0; i < shape.x; ++i)
            ASSERT_NEAR(light[i], coneLight(apexes, glm::vec3(buds[i])), 1e-4) << shape.x << " x " << shape.y;
    }
}

// The tree with one internode next to the buds turned NaN, its direction and
// with it its two buds' positions, as a NaN shoot would leave them.
std::unique_ptr<Tree> withNonFiniteShoot(std::unique_ptr<Tree> tree)
{
    Internode* shoot = nodeAt(tree.get(), std::vector<int>(tree->age - 1, 0));
    shoot->direction.y = std::nanf("");
    for (Internode* bud : shoot->children)
        bud->position = shoot->position + shoot->direction;
    return tree;
}

TEST(ConeBatch, TheLightPassCollectsEveryTipAndWritesEveryYoungBud)
{
    lightHolder();
    struct Row {
        std::unique_ptr<Tree> tree;
        size_t tips, buds;
    };
    // A tip per internode, and a young bud queued for each bud: a non-finite
    // tip or bud is left out, since it would turn every light to 0.
    Row rows[] = {{buildBalancedTree(6), 63, 64},
                  {std::make_unique<Tree>(), 0, 1},
                  {withNonFiniteShoot(buildBalancedTree(6)), 62, 62}};
    for (Row& row : rows) {
        freshEnvironment(2);
        Tree* tree = makeOnlyTree(std::move(row.tree));
        Environment::instance->clearBudQueue();
        Environment::instance->computeLight(tree->root, tree);
        const std::vector<Internode*> queued = Stozci::instance->queryNodes;
        Environment::instance->computeQueued();
        const std::vector<glm::vec4>& tips = Stozci::instance->stozciVOkolju;
        EXPECT_EQ(tips.size(), row.tips);
        ASSERT_EQ(queued.size(), row.buds);
        for (Internode* bud : queued) {
            ASSERT_NEAR(bud->lightExposure, coneLight(tips, bud->position), 1e-4);
            ASSERT_EQ(bud->resourcesQ, bud->lightExposure);
        }
        deleteAllTrees();
    }
}

// A shoot of 200,000 internodes, deeper than a recursive walk's call stack
// allows: the light walk queues its young buds and the batch collects a tip
// per internode.
TEST(ConeBatch, AShootOfAnyDepthGivesEveryTipAndLightsItsYoungBuds)
{
    lightHolder();
    freshEnvironment(2);
    constexpr int chain = 200000;
    Tree* tree = makeOnlyTree(std::make_unique<Tree>());
    Internode* node = tree->root;
    for (int i = 0; i < chain; ++i) {
        node->isBud = false;
        CreateBud(node, identityRotation, 144.31f, tree, 0);
        CreateBud(node, rotation45AboutX, 144.31f, tree, 1);
        node = node->children[0];
    }
    // Only the two buds at the top are young.
    tree->age = 10;
    node->birthIteration = 10;
    node->parent->children[1]->birthIteration = 10;
    Environment::instance->clearBudQueue();
    Environment::instance->computeLight(tree->root, tree);
    const std::vector<Internode*> queued = Stozci::instance->queryNodes;
    Environment::instance->computeQueued();
    const std::vector<glm::vec4>& tips = Stozci::instance->stozciVOkolju;
    ASSERT_EQ(tips.size(), static_cast<size_t>(chain));
    EXPECT_EQ(glm::vec3(tips.back()), node->position);
    ASSERT_EQ(queued.size(), 2u);
    EXPECT_EQ(queued.front(), node);
    for (Internode* bud : queued)
        EXPECT_NEAR(bud->lightExposure, coneLight(tips, bud->position), 1e-4);
    deleteAllTrees();
}

// Fills a fresh OpenGL array buffer of `records` records of junk (as a buffer
// allocated without contents might hold) with `fill` and reads it back.
template <typename Fill>
std::vector<glm::vec4> displayRecords(int records, Fill fill)
{
    OffscreenGlContext context;
    QOpenGLFunctions_3_3_Core* gl = context.gl();
    if (!gl) {
        ADD_FAILURE() << "no OpenGL 3.3 context (is an X server running?)";
        return {};
    }
    std::vector<glm::vec4> data(records, glm::vec4(42.0f));
    GLuint name = 0;
    gl->glGenBuffers(1, &name);
    gl->glBindBuffer(GL_ARRAY_BUFFER, name);
    gl->glBufferData(GL_ARRAY_BUFFER, records * 16, data.data(), GL_DYNAMIC_DRAW);
    gl->glBindBuffer(GL_ARRAY_BUFFER, 0);
    fill(name);
    GLint bytes = 0;
    gl->glBindBuffer(GL_ARRAY_BUFFER, name);
    gl->glGetBufferParameteriv(GL_ARRAY_BUFFER, GL_BUFFER_SIZE, &bytes);
    EXPECT_EQ(bytes, records * 16);
    gl->glGetBufferSubData(GL_ARRAY_BUFFER, 0, records * 16, data.data());
    gl->glDeleteBuffers(1, &name);
    return data;
}

glm::vec3 latticeCell(int i, int dim) { return glm::vec3(i % dim, (i / dim) % dim, i / (dim * dim)); }

TEST(Display, WithoutSharingEveryGridCellIsReadBackToItsCentre)
{
    OpenClHolder& holder = lightHolder();
    if (holder.glSharing)
        GTEST_SKIP() << "this device shares buffers with OpenGL";
    // Box 0..10 in 4 cells per axis (2.5 each); one bud in cell (2, 3, 0).
    freshEnvironment(0);
    Environment::instance->boxOrigin = glm::vec3(0.0f);
    Environment::instance->boxSize = glm::vec3(10.0f);
    ShadowGrid::instance->setDim(4);
    ShadowGrid::instance->pendingAdd = {{6.0f, 9.0f, 1.0f}};
    ShadowGrid::instance->applyQueuedShadowsGpu();
    const std::vector<float> expected = readDeviceGrid(holder);
    StreamCapture out(std::cout);
    StreamCapture err(std::cerr);
    const std::vector<glm::vec4> records = displayRecords(
        64, [&](GLuint name) { holder.CalcVBOShadowProp(name, 4, glm::vec3(0.0f), glm::vec3(10.0f), 0.5f); });
    ASSERT_EQ(records.size(), 64u);
    EXPECT_EQ(out.text(), "CalcVBOShadowProp\n");
    EXPECT_EQ(err.text(), " Opengl+OpenCL NOK");
    int shaded = 0;
    for (int i = 0; i < 64; ++i) {
        ASSERT_EQ(glm::vec3(records[i]), latticeCell(i, 4) * 2.5f + 1.25f) << i;
        ASSERT_NEAR(records[i].w, 0.5f * expected[i], 1e-6) << i;
        shaded += expected[i] > 0.0f;
    }
    EXPECT_EQ(shaded, 1 + 6 + 12 + 16); // layers y = 3..0, clipped at x = 3 and z = 0
}

TEST(Display, ConeFieldSampledOnALatticeFiveUnitsBeyondThePoints)
{
    OpenClHolder& holder = lightHolder();
    if (holder.glSharing)
        GTEST_SKIP() << "this device shares buffers with OpenGL";
    struct Row {
        std::vector<glm::vec4> points;
        int dim;
        glm::vec3 min, max;
    };
    const Row rows[] = {
        {{}, 3, glm::vec3(999994.0f), glm::vec3(-999994.0f)}, // no points: the sentinels
        {{{1, 2, 3, 0}}, 5, {-4, -3, -2}, {6, 7, 8}},
        // Lattice points hundreds of units from an apex, below and aside.
        {{{0, 0, 0, 0}, {30, 420, -43, 0}}, 4, {-5, -5, -48}, {35, 425, 5}},
    };
    for (const Row& row : rows) {
        const int records = row.dim * row.dim * row.dim;
        glm::vec3 fieldMin(0.0f), fieldMax(0.0f);
        StreamCapture out(std::cout);
        StreamCapture err(std::cerr);
        DebugCapture debug;
        const std::vector<glm::vec4> data = displayRecords(records, [&](GLuint name) {
            holder.CalcVboIzStozcev(name, row.points.data(), int(row.points.size()), row.dim, fieldMin, fieldMax);
        });
        ASSERT_EQ(data.size(), size_t(records));
        EXPECT_EQ(out.text(), "CalcVboIzStozcev\nMemSet\n");
        EXPECT_EQ(err.text(), " Opengl,OpenCL shraing not supported. Using bypass.");
        EXPECT_EQ(DebugCapture::messages(), (std::vector<std::string>{"Start CalcVboIzStozcev " +
                                                                      std::to_string(row.points.size()),
                                                                      "End CalcVboIzStozcev"}));
        EXPECT_EQ(fieldMin, row.min);
        EXPECT_EQ(fieldMax, row.max);
        for (int i = 0; i < records; ++i) {
            const glm::vec3 point = row.min + (row.max - row.min) / float(row.dim) * latticeCell(i, row.dim);
            for (int axis = 0; axis < 3; ++axis)
                ASSERT_NEAR(data[i][axis], point[axis], 1e-5 * std::max(1.0f, std::abs(point[axis]))) << i;
            double sum = 0.0; // the shadow less one, scaled: with no points -1/80
            for (const glm::vec4& p : row.points)
                sum += coneShadow(glm::dvec3(p), glm::dvec3(point));
            ASSERT_NEAR(data[i].w, 1.0 - std::max(1.0 - (sum - 1.0) / 80.0, 0.0), 1e-5) << i;
        }
    }
}

} // namespace

// Both light models on the real OpenCL device (pocl in CI): the device grid
// against the CPU grid for the same buds, the queued light batches written back
// in queue order, the device grid's creation, sizes and zeroing, the launch
// split of the cone kernel, and the cone light against the formula evaluated in
// double precision on the host. Device floats are compared with a tolerance.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "environment/computesupport.h"
#include "light_support.h"
#include "support/treebuilders.h"

namespace {

std::vector<float> readGrid(OpenClHolder& holder)
{
    const std::size_t n = cubeOf(holder.shadowGridDim);
    std::vector<float> cells(n);
    holder.queue.enqueueReadBuffer(holder.shadowGrid, CL_TRUE, 0, n * sizeof(float), cells.data());
    return cells;
}

// Buds spread over the default box, a few beyond its faces.
std::vector<glm::vec3> scatteredBuds(int n, unsigned seed)
{
    std::mt19937 engine(seed);
    std::uniform_real_distribution<float> across(-110.0f, 110.0f), up(-5.0f, 205.0f);
    std::vector<glm::vec3> buds(n);
    for (glm::vec3& p : buds)
        p = glm::vec3(across(engine), up(engine), across(engine));
    return buds;
}

// The cone shadow of one apex on one point, in double precision.
double coneShadow(const glm::dvec3& apex, const glm::dvec3& point)
{
    const double r = glm::length(apex - point);
    if (r <= 0.0)
        return 1.0;
    double v = std::pow(std::tanh(1.0 / r), r);
    const double dy = apex.y - point.y;
    if (dy <= 0.0)
        return v;
    const double dR = 2.0 * glm::length(glm::dvec2(apex.x - point.x, apex.z - point.z));
    return v + (dy / 5.0) / std::sinh(dR + dy / 5.0);
}

double coneLight(const std::vector<glm::vec4>& apexes, const glm::vec3& bud)
{
    if (bud.y < -1.0f)
        return 0.0;
    double sum = 0.0;
    for (const glm::vec4& apex : apexes)
        sum += coneShadow(glm::dvec3(apex), glm::dvec3(bud));
    return std::max(1.0 - sum / 80.0, 0.0);
}

// ---------------------------------------------------------------- shadow grid

TEST(DeviceGrid, CellsEqualTheCpuGridForTheSameAdditionsAndRemovals)
{
    OpenClHolder& holder = lightHolder();
    const std::vector<glm::vec3> buds = scatteredBuds(400, 11);
    std::vector<Internode> nodes(buds.size(), Internode(nullptr, 0, 0));
    for (size_t i = 0; i < buds.size(); ++i)
        nodes[i].position = buds[i];

    freshEnvironment(0);
    ShadowGrid& grid = *ShadowGrid::instance;
    grid.useGpu = false;
    grid.setDim(40);
    for (Internode& node : nodes)
        Environment::instance->addBud(&node);
    for (size_t i = 0; i < nodes.size(); i += 3)
        Environment::instance->removeBud(&nodes[i]);
    const std::vector<float> cpu(grid.cells.get(), grid.cells.get() + 40 * 40 * 40);

    StreamCapture out(std::cout);
    freshEnvironment(0);
    ShadowGrid::instance->setDim(40);
    Environment::instance->clearShadowQueues();
    for (Internode& node : nodes)
        Environment::instance->addBud(&node);
    for (size_t i = 0; i < nodes.size(); i += 3)
        Environment::instance->removeBud(&nodes[i]);
    Environment::instance->applyQueuedShadows();
    EXPECT_EQ(out.text(), "ShadowPropSetDim\nMemSet\nCalcShadowProp\nCalcShadowProp\n");

    ASSERT_EQ(holder.shadowGridDim, 40);
    const std::vector<float> device = readGrid(holder);
    int shaded = 0;
    for (size_t i = 0; i < cpu.size(); ++i) {
        ASSERT_NEAR(device[i], cpu[i], 1e-5) << "cell " << i;
        shaded += cpu[i] > 1e-4f;
    }
    EXPECT_GT(shaded, 1000);  // the comparison covered real pyramids
}

TEST(DeviceGrid, QueuedLightMatchesTheCpuLightInQueueOrder)
{
    lightHolder();
    const std::vector<glm::vec3> casters = scatteredBuds(300, 5);
    std::vector<glm::vec3> queried = scatteredBuds(150, 6);
    queried.insert(queried.end(), casters.begin(), casters.begin() + 50);

    freshEnvironment(0);
    ShadowGrid& cpu = *ShadowGrid::instance;
    cpu.useGpu = false;
    cpu.setDim(32);
    for (const glm::vec3& p : casters)
        cpu.propagateShadow(p, 1.0f);
    std::vector<float> expected;
    for (const glm::vec3& p : queried) {
        glm::vec3 unused;
        expected.push_back(cpu.budLight(nullptr, p, {}, unused));
    }

    StreamCapture out(std::cout);
    freshEnvironment(0);
    ShadowGrid& grid = *ShadowGrid::instance;
    grid.setDim(32);
    grid.pendingAdd = casters;
    grid.applyQueuedShadowsGpu();
    std::vector<Internode> nodes(queried.size(), Internode(nullptr, 0, 0));
    grid.clearBudQueue();
    for (size_t i = 0; i < queried.size(); ++i) {
        nodes[i].position = queried[i];
        EXPECT_EQ(grid.budLight(&nodes[i], queried[i], {}, nodes[i].optimalDirection), 0.0f);
    }
    grid.computeQueuedGpu();
    for (size_t i = 0; i < nodes.size(); ++i) {
        ASSERT_NEAR(nodes[i].resourcesQ, expected[i], 1e-5) << i;
        ASSERT_EQ(nodes[i].lightExposure, nodes[i].resourcesQ);
    }
    EXPECT_NE(out.text().find("CalcShadowPropIzracunPopke\n"), std::string::npos);
}

TEST(DeviceGrid, GrowthDirectionLeadsAwayFromAShadowBeside)
{
    lightHolder();
    freshEnvironment(0);
    Environment& environment = *Environment::instance;
    environment.boxOrigin = glm::vec3(0.0f);
    environment.boxSize = glm::vec3(10.0f);
    ShadowGrid& grid = *ShadowGrid::instance;
    StreamCapture out(std::cout);
    grid.setDim(10);
    // A caster in cell (6, 7, 5) shades layer 6 for x 5..7 and layers 5 and 4
    // completely around the bud in cell (5, 5, 5); of the bud's neighbours only
    // the column x = 4 of layer 6 stays clear, and the first of those visited
    // (z from +1 down) is offset (-1, 1, 1).
    grid.pendingAdd = {{6.5f, 7.5f, 5.5f}};
    grid.applyQueuedShadowsGpu();
    Internode bud(nullptr, 0, 0);
    grid.budLight(&bud, {5.5f, 5.5f, 5.5f}, {}, bud.optimalDirection);
    grid.computeQueuedGpu();
    EXPECT_NEAR(bud.lightExposure, 1.1 - 0.1 / (1.7 * 1.7), 1e-6);
    EXPECT_EQ(bud.optimalDirection, glm::vec3(-1.0f, 1.0f, 1.0f));
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

    Internode bud(nullptr, 0, 0);
    bud.position = glm::vec3(0.0f, 50.0f, 0.0f);
    grid.budLight(&bud, bud.position, {}, bud.optimalDirection);
    grid.computeQueuedGpu();
    ASSERT_EQ(holder.shadowGridDim, 12);
    EXPECT_NEAR(bud.resourcesQ, grid.cMax + grid.a, 1e-6);  // a zeroed grid

    holder.shadowGrid = cl::Buffer();
    holder.shadowGridDim = 0;
    grid.pendingAdd = {bud.position};
    grid.applyQueuedShadowsGpu();
    ASSERT_EQ(holder.shadowGridDim, 12);
    const std::vector<float> cells = readGrid(holder);
    EXPECT_NEAR(cells[cellIndex(grid.cellOf(bud.position), 12)], grid.a, 1e-7);

    // A dimension written without setDim would make the kernels index past the
    // grid; the grid follows the dimension instead.
    grid.dim = 16;
    grid.applyQueuedShadowsGpu();
    EXPECT_EQ(holder.shadowGridDim, 16);
    EXPECT_EQ(holder.shadowGrid.getInfo<CL_MEM_SIZE>(), 16u * 16u * 16u * sizeof(float));
}

TEST(DeviceGrid, EmptyQueuesCallNothing)
{
    lightHolder();
    freshEnvironment(0);
    StreamCapture out(std::cout);
    ShadowGrid::instance->applyQueuedShadowsGpu();
    ShadowGrid::instance->computeQueuedGpu();
    EXPECT_EQ(out.text(), "");
}

TEST(DeviceGridDimension, SetDimMakesAZeroedGridOfDimCubedFloats)
{
    OpenClHolder& holder = lightHolder();
    freshEnvironment(0);
    ShadowGrid& grid = *ShadowGrid::instance;
    StreamCapture out(std::cout);
    grid.setDim(200);
    grid.pendingAdd = scatteredBuds(50, 3);
    grid.applyQueuedShadowsGpu();
    std::string before = out.text();
    Environment::instance->reset();
    EXPECT_EQ(out.text().substr(before.size()), "ShadowPropSetDim\nMemSet\n");
    EXPECT_EQ(holder.shadowGrid.getInfo<CL_MEM_SIZE>(), 8000000u * sizeof(float));
    for (float v : readGrid(holder))
        ASSERT_EQ(v, 0.0f);
}

TEST(DeviceGridDimension, InvalidAndOversizedDimensionsLeaveTheGridAlone)
{
    OpenClHolder& holder = lightHolder();
    holder.ShadowPropSetDim(8);
    const cl_mem grid = holder.shadowGrid();
    StreamCapture out(std::cout);

    try {
        holder.ShadowPropSetDim(0);
        ADD_FAILURE() << "dim 0 accepted";
    } catch (const char* text) {
        EXPECT_STREQ(text, "dim=0");
    }
    EXPECT_THROW(holder.ShadowPropSetDim(-3), std::string);

    // Smallest dimension whose grid exceeds one device allocation; on pocl
    // (8 GiB) that is 1292, whose 1292^3 cells no longer fit a 32-bit int.
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
    EXPECT_EQ(holder.shadowGrid(), grid);
    EXPECT_EQ(holder.shadowGridDim, 8);
    EXPECT_EQ(out.text(), "ShadowPropSetDim\nShadowPropSetDim\nShadowPropSetDim\n");
    // The display's 999^3 records of 16 bytes: 997,002,999 * 16.
    EXPECT_EQ(cubeOf(999) * 16, 15952047984u);
}

// ---------------------------------------------------------------- MemSet

TEST(MemSet, FillsTheFirstNFloats)
{
    OpenClHolder& holder = lightHolder();
    std::vector<float> data(10, 7.0f);
    cl::Buffer buffer(holder.context, CL_MEM_READ_WRITE | CL_MEM_COPY_HOST_PTR, data.size() * sizeof(float),
                      data.data());
    StreamCapture out(std::cout);
    holder.MemSet(2.0f, buffer, 6);
    holder.queue.enqueueReadBuffer(buffer, CL_TRUE, 0, data.size() * sizeof(float), data.data());
    EXPECT_EQ(data, (std::vector<float>{2, 2, 2, 2, 2, 2, 7, 7, 7, 7}));
    EXPECT_EQ(out.text(), "MemSet\n");
}

TEST(MemSet, AFailingKernelIsReportedAndTheBufferStillFilled)
{
    OpenClHolder& holder = lightHolder();
    std::vector<float> data(5000, 7.0f);
    cl::Buffer buffer(holder.context, CL_MEM_READ_WRITE | CL_MEM_COPY_HOST_PTR, data.size() * sizeof(float),
                      data.data());
    // A kernel handle that the runtime rejects: a real failure of the launch path.
    cl::Kernel working = holder.kernelMemSet;
    holder.kernelMemSet = cl::Kernel();
    StreamCapture out(std::cout);
    holder.MemSet(0.5f, buffer, data.size());
    holder.kernelMemSet = working;

    EXPECT_EQ(out.text(), "MemSet\nOpenCL ERRR: \nclSetKernelArg : " + std::to_string(CL_INVALID_KERNEL) + "\n");
    holder.queue.enqueueReadBuffer(buffer, CL_TRUE, 0, data.size() * sizeof(float), data.data());
    for (float v : data)
        ASSERT_EQ(v, 0.5f);
}

// ---------------------------------------------------------------- launch split

// Every work-item records the launch it belongs to.
struct LaunchRecord {
    int globalSize, localSize, offset;
    bool operator==(const LaunchRecord& o) const
    {
        return globalSize == o.globalSize && localSize == o.localSize && offset == o.offset;
    }
};

std::vector<LaunchRecord> recordLaunches(int n, int requested, int offset)
{
    OpenClHolder& holder = lightHolder();
    static cl::Program program = [&] {
        cl::Program p(holder.context,
                      "kernel void record(global int* out) {\n"
                      "  size_t g = get_global_id(0);\n"
                      "  out[3 * g] = get_global_size(0);\n"
                      "  out[3 * g + 1] = get_local_size(0);\n"
                      "  out[3 * g + 2] = get_global_offset(0);\n"
                      "}\n");
        p.build(std::vector<cl::Device>{holder.device});
        return p;
    }();
    cl::Kernel kernel(program, "record");
    const std::size_t slots = static_cast<std::size_t>(offset + n + 1);
    std::vector<int> data(3 * slots, -1);
    cl::Buffer buffer(holder.context, CL_MEM_READ_WRITE | CL_MEM_COPY_HOST_PTR, data.size() * sizeof(int),
                      data.data());
    kernel.setArg(0, buffer);
    holder.runKernel1D(kernel, n, requested, offset);
    holder.queue.finish();
    holder.queue.enqueueReadBuffer(buffer, CL_TRUE, 0, data.size() * sizeof(int), data.data());
    std::vector<LaunchRecord> records(slots);
    for (std::size_t i = 0; i < slots; ++i)
        records[i] = {data[3 * i], data[3 * i + 1], data[3 * i + 2]};
    return records;
}

TEST(RunKernel1D, SplitsIntoGroupsOfAtMost128AndOneRemainderLaunch)
{
    struct Part {
        int from, to;
        LaunchRecord launch;
    };
    struct Row {
        int n, requested, offset;
        std::vector<Part> parts;
    };
    const LaunchRecord untouched{-1, -1, -1};
    const Row rows[] = {
        {300, 1024, 0, {{0, 256, {256, 128, 0}}, {256, 300, {44, 44, 256}}}},
        {5, 1024, 0, {{0, 5, {5, 5, 0}}}},
        {256, 128, 0, {{0, 256, {256, 128, 0}}}},
        {100, 32, 10, {{0, 10, untouched}, {10, 106, {96, 32, 10}}, {106, 110, {4, 4, 106}}}},
        {0, 128, 0, {}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.n);
        const std::vector<LaunchRecord> records = recordLaunches(row.n, row.requested, row.offset);
        for (const Part& part : row.parts)
            for (int i = part.from; i < part.to; ++i)
                ASSERT_EQ(records[i], part.launch) << "item " << i;
        EXPECT_EQ(records.back(), untouched);  // nothing beyond n
    }
}

// ---------------------------------------------------------------- cone light

std::vector<glm::vec4> treeCloud(int n, unsigned seed)
{
    std::mt19937 engine(seed);
    std::uniform_real_distribution<float> across(-3.0f, 3.0f), up(-1.5f, 8.0f);
    std::vector<glm::vec4> points(n);
    for (glm::vec4& p : points)
        p = glm::vec4(across(engine), up(engine), across(engine), 0.0f);
    return points;
}

TEST(ConeBatch, EveryBudFollowsTheConeSumWhateverTheBatchShape)
{
    OpenClHolder& holder = lightHolder();
    struct Row {
        int buds, apexes;
    };
    // Bud counts on both sides of the 128-item groups, apex counts that fill
    // no whole stage of the kernel, and a batch with no apex at all.
    for (Row row : {Row{1, 1}, Row{300, 37}, Row{129, 1000}, Row{1000, 301}, Row{64, 0}}) {
        SCOPED_TRACE(std::to_string(row.buds) + " x " + std::to_string(row.apexes));
        const std::vector<glm::vec4> buds = treeCloud(row.buds, 21 + row.buds);
        const std::vector<glm::vec4> apexes = treeCloud(row.apexes, 7 + row.apexes);
        std::vector<float> light(buds.size(), -1.0f);
        holder.CalcStozci(buds.data(), row.buds, apexes.data(), row.apexes, light.data());
        for (int i = 0; i < row.buds; ++i)
            ASSERT_NEAR(light[i], coneLight(apexes, glm::vec3(buds[i])), 1e-4) << "bud " << i;
    }
}

TEST(ConeBatch, BudsAtAnApexNearOneAndBelowTheGround)
{
    OpenClHolder& holder = lightHolder();
    const std::vector<glm::vec4> apexes{{1.0f, 2.0f, 3.0f, 0.0f}};
    const std::vector<glm::vec4> buds{
        {1.0f, 2.0f, 3.0f, 0.0f},    // at the apex: a shadow of exactly 1
        {1.0f, 1.99f, 3.0f, 0.0f},   // 0.01 below it: tanh(100) is 1 in float
        {1.0f, -1.5f, 3.0f, 0.0f},   // below y = -1: no light at all
        {1.0f, -0.5f, 3.0f, 0.0f}};  // above y = -1: lit
    std::vector<float> light(buds.size(), -1.0f);
    holder.CalcStozci(buds.data(), 4, apexes.data(), 1, light.data());
    EXPECT_NEAR(light[0], 1.0 - 1.0 / 80.0, 1e-6);
    EXPECT_NEAR(light[1], coneLight(apexes, glm::vec3(buds[1])), 1e-5);
    EXPECT_EQ(light[2], 0.0f);
    EXPECT_NEAR(light[3], coneLight(apexes, glm::vec3(buds[3])), 1e-5);
}

TEST(ConeBatch, LightPassCollectsEveryTipAndWritesEveryYoungBud)
{
    lightHolder();
    freshEnvironment(2);
    Tree* tree = makeOnlyTree(buildBalancedTree(6));
    Environment::instance->clearBudQueue();
    Environment::instance->computeLight(tree->root, tree);
    const std::vector<Internode*> queued = Stozci::instance->queryNodes;
    Environment::instance->computeQueued();

    const std::vector<glm::vec4>& tips = Stozci::instance->stozciVOkolju;
    EXPECT_EQ(tips.size(), 63u);  // one per internode
    ASSERT_EQ(queued.size(), 64u);
    for (Internode* bud : queued) {
        ASSERT_NEAR(bud->lightExposure, coneLight(tips, bud->position), 1e-4);
        ASSERT_EQ(bud->resourcesQ, bud->lightExposure);
    }
    deleteAllTrees();
}

TEST(ConeBatch, ARootBudAloneKeepsFullLight)
{
    lightHolder();
    freshEnvironment(2);
    Tree* tree = makeOnlyTree(std::make_unique<Tree>());
    Environment::instance->clearBudQueue();
    Environment::instance->computeLight(tree->root, tree);
    Environment::instance->computeQueued();
    EXPECT_TRUE(Stozci::instance->stozciVOkolju.empty());
    EXPECT_EQ(tree->root->resourcesQ, 1.0f);
    EXPECT_EQ(tree->root->lightExposure, 1.0f);
    deleteAllTrees();
}

}  // namespace

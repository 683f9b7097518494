// The light models' batches on the OpenCL device (pocl on the CPU here): the
// cone light of buds x tips, the cone display fill of a lattice x tips, and the
// shadow grid's pyramid additions and light queries. Points fill a tree crown of radius 6 and height 3 to 15 above the
// ground, buds and tips alike, so that every relation (tip above, level, below,
// near, far) occurs in realistic shares. The progress lines the compute
// operations print are kept out of the report.

#include <ctime>
#include <memory>
#include <random>
#include <vector>

#include <QtGlobal>
#include <benchmark/benchmark.h>

#include "environment/environment.h"
#include "environment/openclholder.h"
#include "environment/shadowgrid.h"
#include "environment/stozci.h"
#include "model/internode.h"
#include "support/glcontext.h"
#include "support/streamcapture.h"

namespace {

void dropMessages(QtMsgType, const QMessageLogContext&, const QString&) {}

OpenClHolder& holder()
{
    static OpenClHolder* made = [] {
        qInstallMessageHandler(dropMessages);
        StreamCapture out(std::cout);
        Environment::create();
        return OpenClHolder::create(true, -1, -1);
    }();
    return *made;
}

// CPU seconds of the whole process (pocl's worker threads included).
double processCpuSeconds()
{
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + 1e-9 * static_cast<double>(t.tv_nsec);
}

// The device's CPU time per iteration, in ms, as a counter: on a machine shared
// with other work the wall time grows with the load, this much less. Divided by
// the device's compute units it gives the wall time of an idle machine.
class DeviceCpuTime {
public:
    explicit DeviceCpuTime(benchmark::State& state) : state_(state), start_(processCpuSeconds()) {}
    ~DeviceCpuTime()
    {
        state_.counters["cpu_ms"] = benchmark::Counter(1e3 * (processCpuSeconds() - start_),
                                                       benchmark::Counter::kAvgIterations);
    }

private:
    benchmark::State& state_;
    double start_;
};

std::vector<glm::vec4> crownPoints(int n, unsigned seed)
{
    std::mt19937 engine(seed);
    std::uniform_real_distribution<float> unit(-1.0f, 1.0f);
    std::vector<glm::vec4> points;
    points.reserve(n);
    while (static_cast<int>(points.size()) < n) {
        const glm::vec3 p(unit(engine), unit(engine), unit(engine));
        if (glm::dot(p, p) <= 1.0f)
            points.emplace_back(6.0f * p.x, 9.0f + 6.0f * p.y, 6.0f * p.z, 0.0f);
    }
    return points;
}

void BM_ConeLightBatch(benchmark::State& state)
{
    OpenClHolder& compute = holder();
    const int buds = static_cast<int>(state.range(0));
    const int tips = static_cast<int>(state.range(1));
    const std::vector<glm::vec4> budPoints = crownPoints(buds, 1);
    const std::vector<glm::vec4> tipPoints = crownPoints(tips, 2);
    std::vector<float> light(buds);
    // pocl compiles a kernel per work-group size at its first launch: not timed.
    compute.CalcStozci(budPoints.data(), buds, tipPoints.data(), tips, light.data());
    DeviceCpuTime cpu(state);
    for (auto _ : state) {
        compute.CalcStozci(budPoints.data(), buds, tipPoints.data(), tips, light.data());
        benchmark::DoNotOptimize(light.data());
    }
    state.counters["evaluations/s"] = benchmark::Counter(static_cast<double>(buds) * tips,
                                                         benchmark::Counter::kIsIterationInvariantRate);
}

// The cone shadow sampled on the display lattice (vboDim^3 points) for the
// apexes of a crown, into an OpenGL buffer: the kernel, and on a device without
// buffer sharing the read-back and upload. Needs an X server (xvfb-run).
void BM_ConeDisplayFill(benchmark::State& state)
{
    OpenClHolder& compute = holder();
    static OffscreenGlContext context;
    if (!context.gl()) {
        state.SkipWithError("no OpenGL 3.3 context (run under xvfb-run)");
        return;
    }
    const int dim = static_cast<int>(state.range(0));
    const int tips = static_cast<int>(state.range(1));
    const std::vector<glm::vec4> tipPoints = crownPoints(tips, 2);
    GLuint buffer = 0;
    context.gl()->glGenBuffers(1, &buffer);
    glm::vec3 fieldMin(0.0f), fieldMax(0.0f);
    StreamCapture out(std::cout);
    StreamCapture err(std::cerr);
    compute.CalcVboIzStozcev(buffer, tipPoints.data(), tips, dim, fieldMin, fieldMax);
    {
        DeviceCpuTime cpu(state);
        for (auto _ : state)
            compute.CalcVboIzStozcev(buffer, tipPoints.data(), tips, dim, fieldMin, fieldMax);
    }
    context.gl()->glDeleteBuffers(1, &buffer);
    state.counters["evaluations/s"] = benchmark::Counter(static_cast<double>(dim) * dim * dim * tips,
                                                         benchmark::Counter::kIsIterationInvariantRate);
}

std::vector<glm::vec3> gridBuds(int n)
{
    std::vector<glm::vec3> buds;
    for (const glm::vec4& p : crownPoints(n, 3))
        buds.emplace_back(p);
    return buds;
}

// Pyramid additions of a batch of buds into the 200^3 start-up grid; the grid
// fills up from run to run, which costs the same.
void BM_GridAddBatch(benchmark::State& state)
{
    holder();
    ShadowGrid& grid = *ShadowGrid::instance;
    StreamCapture out(std::cout);
    grid.setDim(200);
    grid.clearShadowQueues();
    grid.pendingAdd = gridBuds(static_cast<int>(state.range(0)));
    grid.applyQueuedShadowsGpu();
    for (auto _ : state)
        grid.applyQueuedShadowsGpu();
    state.counters["buds/s"] =
        benchmark::Counter(static_cast<double>(state.range(0)), benchmark::Counter::kIsIterationInvariantRate);
}

// Light and growth direction of a batch of queued buds, read from a grid that
// holds the same buds' pyramids.
void BM_GridQueryBatch(benchmark::State& state)
{
    holder();
    ShadowGrid& grid = *ShadowGrid::instance;
    StreamCapture out(std::cout);
    const std::vector<glm::vec3> positions = gridBuds(static_cast<int>(state.range(0)));
    grid.setDim(200);
    grid.clearShadowQueues();
    grid.pendingAdd = positions;
    grid.applyQueuedShadowsGpu();
    std::vector<Internode> nodes(positions.size(), Internode(nullptr, 0, 0));
    grid.clearBudQueue();
    for (std::size_t i = 0; i < positions.size(); ++i)
        grid.budLight(&nodes[i], positions[i], {}, nodes[i].optimalDirection);
    grid.computeQueuedGpu();
    for (auto _ : state) {
        grid.computeQueuedGpu();
        benchmark::DoNotOptimize(nodes.data());
    }
    state.counters["buds/s"] =
        benchmark::Counter(static_cast<double>(state.range(0)), benchmark::Counter::kIsIterationInvariantRate);
}

}  // namespace

BENCHMARK(BM_ConeLightBatch)
    ->Args({1000, 2000})
    ->Args({5000, 10000})
    ->Args({10000, 20000})
    ->Unit(benchmark::kMillisecond)
    ->MinTime(2.0)
    ->UseRealTime();
BENCHMARK(BM_ConeDisplayFill)->Args({50, 2000})->Unit(benchmark::kMillisecond)->MinTime(2.0)->UseRealTime();
BENCHMARK(BM_GridAddBatch)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_GridQueryBatch)->Arg(10000)->Unit(benchmark::kMillisecond)->UseRealTime();

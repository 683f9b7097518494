// The light and resource pass alone, and one full growth iteration (bud burst,
// thickness, shedding and the pass), on trees of about 1,000, 10,000 and
// 100,000 internodes. Light comes from the recording stand-in: every young bud
// gets 1, so what is timed is the model, not a light model.

#include <iostream>
#include <memory>
#include <streambuf>

#include <QtGlobal>
#include <benchmark/benchmark.h>

#include "model/growth.h"
#include "model/internode.h"
#include "model/lightpass.h"
#include "model/parameters.h"
#include "model/tree.h"
#include "support/recording_environment.h"
#include "support/treebuilders.h"

namespace {

// Swallows the per-tree and per-iteration lines while a benchmark runs.
class Silence {
public:
    Silence() : saved_(std::cout.rdbuf(&sink_)), savedHandler_(qInstallMessageHandler(&dropMessage)) {}
    ~Silence()
    {
        std::cout.rdbuf(saved_);
        qInstallMessageHandler(savedHandler_);
    }
    Silence(const Silence&) = delete;
    Silence& operator=(const Silence&) = delete;

private:
    struct NullBuffer : std::streambuf {
        int overflow(int c) override { return traits_type::not_eof(c); }
        std::streamsize xsputn(const char*, std::streamsize n) override { return n; }
    };
    static void dropMessage(QtMsgType, const QMessageLogContext&, const QString&) {}

    NullBuffer sink_;
    std::streambuf* saved_;
    QtMessageHandler savedHandler_;
};

void BM_LightAndAllocationPass(benchmark::State& state)
{
    Silence silence;
    RecordingEnvironment::reset(1.0f);
    randomEngine.seed(3);
    Tree* tree = makeOnlyTree(buildTreeOfAbout(static_cast<int>(state.range(0))));
    tree->root->CountAndMarkShedding();
    const int internodes = tree->root->internodeCount;
    for (auto _ : state) {
        recording().lightRequests.clear();
        lightAndAllocationPass();
        benchmark::DoNotOptimize(tree->root->KolicinaResources);
    }
    state.counters["internodes"] = internodes;
    state.counters["nodes/s"] =
        benchmark::Counter(static_cast<double>(2 * internodes + 1) * static_cast<double>(state.iterations()),
                           benchmark::Counter::kIsRate);
    deleteAllTrees();
}
BENCHMARK(BM_LightAndAllocationPass)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

// One growth iteration on a fresh copy of the tree each time: the tree grows
// in every iteration, so the same tree would not stay the same size.
void BM_FullIteration(benchmark::State& state)
{
    Silence silence;
    RecordingEnvironment::reset(1.0f);
    long long grown = 0;
    int before = 0;
    for (auto _ : state) {
        state.PauseTiming();
        randomEngine.seed(3);
        Tree* tree = makeOnlyTree(buildTreeOfAbout(static_cast<int>(state.range(0))));
        // Resources for the first burst, as the previous iteration would have
        // left them.
        lightAndAllocationPass();
        recording().lightRequests.clear();
        tree->root->CountAndMarkShedding();
        before = tree->root->internodeCount;
        state.ResumeTiming();

        runSimulationIteration();

        state.PauseTiming();
        grown += tree->root->internodeCount - before;
        state.ResumeTiming();
    }
    state.counters["internodes"] = before;
    state.counters["grown"] = static_cast<double>(grown) / static_cast<double>(state.iterations());
    deleteAllTrees();
}
BENCHMARK(BM_FullIteration)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

}  // namespace

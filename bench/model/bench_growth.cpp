// One growth iteration (simulationStep) on hand-built trees of about 1,000,
// 10,000 and 100,000 internodes, every young bud lit by the stand-in's
// constant light. The step changes the tree, so a fresh tree is built, outside
// the timed region, for every run.

#include <iostream>
#include <sstream>

#include <benchmark/benchmark.h>

#include "model/growth.h"
#include "model/internode.h"
#include "model/tree.h"
#include "support/recording_environment.h"
#include "support/treebuilders.h"

namespace {

// The step prints two lines; keep them off the terminal while timing.
class QuietCout {
public:
    QuietCout() : previous(std::cout.rdbuf(sink.rdbuf())) {}
    ~QuietCout() { std::cout.rdbuf(previous); }

private:
    std::ostringstream sink;
    std::streambuf* previous;
};

// budResources 0: no bud bursts, the step is its walks and the light pass;
// 1: every bud bursts once, adding one internode per bud.
void runStep(benchmark::State& state, float budResources)
{
    QuietCout quiet;
    int internodes = 0;
    for (auto _ : state) {
        state.PauseTiming();
        RecordingEnvironment::reset(1.0f);
        Tree* tree = makeOnlyTree(buildTreeOfAbout(static_cast<int>(state.range(0))));
        giveBudsResources(tree->root, budResources);
        internodes = tree->root->internodeCount;
        state.ResumeTiming();

        simulationStep();
    }
    deleteAllTrees();
    state.counters["internodes"] = internodes;
    state.counters["nodes/s"] = benchmark::Counter(internodes, benchmark::Counter::kIsIterationInvariantRate);
}

void BM_SimulationStepEveryBudBursts(benchmark::State& state) { runStep(state, 1.0f); }
void BM_SimulationStepNoBurst(benchmark::State& state) { runStep(state, 0.0f); }

} // namespace

BENCHMARK(BM_SimulationStepEveryBudBursts)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SimulationStepNoBurst)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

// Rebuilding the tree vertex data (buildAllTreeGeometry) for hand-built trees
// of about 1,000, 10,000 and 100,000 internodes. The arrays live across the
// runs, as the drawing widget's do, so each run is one rebuild into storage of
// the previous one. No light environment is involved. A rebuild walks every
// tree once and only appends, so its time should grow linearly with the tree.

#include <vector>

#include <benchmark/benchmark.h>

#include "model/internode.h"
#include "model/tree.h"
#include "support/treebuilders.h"
#include "view/vertexdata.h"

namespace {

void BM_BuildAllTreeGeometry(benchmark::State& state)
{
    Tree* tree = makeOnlyTree(buildTreeOfAbout(static_cast<int>(state.range(0))));
    const int internodes = tree->root->internodeCount;

    std::vector<BranchPoint> branchPoints;
    std::vector<LeafPoint> leafPoints;
    std::vector<Internode*> pickTable;
    GeometryAttributes attributes;
    std::vector<CapPoint> capPoints;
    // As the widget does at construction.
    branchPoints.reserve(100000);
    leafPoints.reserve(100000);
    pickTable.reserve(100000);
    attributes.reserve(100000);
    // The first rebuild into fresh storage also pays for growing the arrays and
    // for the first touch of their pages, which the widget pays once; the timed
    // rebuilds are the ones every later change of the trees costs.
    buildAllTreeGeometry(branchPoints, leafPoints, pickTable, attributes, capPoints);

    for (auto _ : state) {
        buildAllTreeGeometry(branchPoints, leafPoints, pickTable, attributes, capPoints);
        benchmark::DoNotOptimize(branchPoints.data());
        benchmark::ClobberMemory();
    }

    state.counters["internodes"] = internodes;
    state.counters["branchPoints"] = static_cast<double>(branchPoints.size());
    state.counters["leaves"] = static_cast<double>(leafPoints.size());
    state.counters["points/s"] = benchmark::Counter(static_cast<double>(branchPoints.size()),
                                                    benchmark::Counter::kIsIterationInvariantRate);
    deleteAllTrees();
}

}  // namespace

BENCHMARK(BM_BuildAllTreeGeometry)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

// The drawing widget on the OpenGL driver at hand (Mesa's software renderer
// under Xvfb here) with the program's own start-up: random engine seeded with
// 3, the cone light model on the OpenCL device (pocl), a 1024 x 768 widget with
// the entry point's surface format (3.3 core, 16 samples asked for), the
// start-up tree grown 3 more times (about 12,000 branch points) and 6 more
// times (about 93,000). Timed: a normal frame (shadow pass and main pass, to
// glFinish); the same frame without shadows, without trees and in a tiny
// window (what the shadow pass, the fill and the geometry stage cost); an id
// pick; and rebuildGeometry(true) (the repaint it ends with is a frame of its
// own and is left out). Wall-clock time: the driver renders on threads of its
// own, so the figures depend on how busy the machine is; the CPU column is the
// whole process's CPU time (the driver's threads included), which a busy
// machine disturbs less. Run under xvfb-run. With TRELIMO_SCREENSHOTS set to a
// folder, the frame of each workload is saved there (bench_view_<n>.png), to
// compare what the frame shows before and after a change of the drawing.

#include <benchmark/benchmark.h>

#include "bench/view/viewscene.h"

#include <set>
#include <vector>

namespace {

using benchview::kHeight;
using benchview::kWidth;
using benchview::scene;
using benchview::ViewScene;

// The workload's frame, once per tree size.
void saveScreenshot(ViewScene& s, int iterations)
{
    static std::set<int> saved;
    const QString folder = qEnvironmentVariable("TRELIMO_SCREENSHOTS");
    if (folder.isEmpty() || !saved.insert(iterations).second)
        return;
    s.widget->grabFramebuffer().save(folder + QStringLiteral("/bench_view_%1.png").arg(iterations));
}

bool prepare(benchmark::State& state)
{
    ViewScene& s = scene();
    if (!s.error.empty()) {
        state.SkipWithError(s.error.c_str());
        return false;
    }
    s.growTo(static_cast<int>(state.range(0)));
    state.counters["branchPoints"] = static_cast<double>(s.widget->branchPoints.size());
    saveScreenshot(s, static_cast<int>(state.range(0)));
    return true;
}

void BM_NormalFrame(benchmark::State& state)
{
    if (!prepare(state))
        return;
    ViewScene& s = scene();
    s.widget->castShadows = true;
    s.frame();  // warm-up: first use of programs and buffers at this size
    for (auto _ : state)
        s.frame();
}

void BM_NormalFrameWithoutShadows(benchmark::State& state)
{
    if (!prepare(state))
        return;
    ViewScene& s = scene();
    s.widget->castShadows = false;
    s.frame();
    for (auto _ : state)
        s.frame();
    s.widget->castShadows = true;
}

// Where a frame's time goes: without any branch point (the clears, ground,
// sky box and ruler: the fill of the 1024 x 768 multisampled target), and in a
// 64 x 48 window (the geometry stage of both branch passes, hardly any fill).
void BM_NormalFrameWithoutTrees(benchmark::State& state)
{
    if (!prepare(state))
        return;
    ViewScene& s = scene();
    std::vector<BranchPoint> kept;
    kept.swap(s.widget->branchPoints);
    s.frame();
    for (auto _ : state)
        s.frame();
    kept.swap(s.widget->branchPoints);
}

void BM_NormalFrameTinyWindow(benchmark::State& state)
{
    if (!prepare(state))
        return;
    ViewScene& s = scene();
    s.widget->resize(64, 48);
    QTest::qWait(20);
    s.frame();
    for (auto _ : state)
        s.frame();
    s.widget->resize(kWidth, kHeight);
    QTest::qWait(20);
}

void BM_IdPick(benchmark::State& state)
{
    if (!prepare(state))
        return;
    WidgetRisanje& widget = *scene().widget;
    // Aimed at the trunk, a third up the window: the search stops at once.
    const glm::vec2 point(kWidth / 2.0f, kHeight * 0.6f);
    widget.requestIdPick(point);
    for (auto _ : state)
        widget.requestIdPick(point);
    state.counters["pickedId"] = widget.pickedId;
}

void BM_RebuildGeometryUpload(benchmark::State& state)
{
    if (!prepare(state))
        return;
    WidgetRisanje& widget = *scene().widget;
    widget.setUpdatesEnabled(false);  // leaves out the closing repaint
    widget.rebuildGeometry(true);
    for (auto _ : state)
        widget.rebuildGeometry(true);
    widget.setUpdatesEnabled(true);
}

// All runs at 3 iterations first, then all at 6: the scene only grows forward.
const bool registered = [] {
    for (int iterations : {3, 6}) {
        for (auto* b : {benchmark::RegisterBenchmark("BM_NormalFrame", BM_NormalFrame),
                        benchmark::RegisterBenchmark("BM_NormalFrameWithoutShadows", BM_NormalFrameWithoutShadows),
                        benchmark::RegisterBenchmark("BM_NormalFrameWithoutTrees", BM_NormalFrameWithoutTrees),
                        benchmark::RegisterBenchmark("BM_NormalFrameTinyWindow", BM_NormalFrameTinyWindow),
                        benchmark::RegisterBenchmark("BM_IdPick", BM_IdPick),
                        benchmark::RegisterBenchmark("BM_RebuildGeometryUpload", BM_RebuildGeometryUpload)})
            b->Arg(iterations)->Unit(benchmark::kMillisecond)->UseRealTime()->MeasureProcessCPUTime();
    }
    return true;
}();

} // namespace

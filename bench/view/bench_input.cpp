// Hover on the start-up workload (seed 3, cone model, the start-up tree grown
// three more times, about 12,000 branch points, 1024 x 768): a burst of mouse
// moves inside one tick, and one hover from the move to the finished frame.
// Mouse moves are window-system events, as a user's are.

#include <benchmark/benchmark.h>

#include <QElapsedTimer>
#include <QEvent>
#include <QTest>
#include <QWindow>

#include <cmath>
#include <vector>

#include "model/internode.h"
#include "support/widgetfixture.h"
#include "view/widgetrisanje.h"

namespace {

using widgettest::TestWidget;

// Counts paints, and among them the id passes (a paint with a pick request).
class PaintWatcher : public QObject {
public:
    explicit PaintWatcher(WidgetRisanje& widget) : widget(widget) { widget.installEventFilter(this); }
    ~PaintWatcher() override { widget.removeEventFilter(this); }
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Paint) {
            ++paints;
            idPasses += widget.pickRequested ? 1 : 0;
        }
        return false;
    }
    WidgetRisanje& widget;
    int paints = 0;
    int idPasses = 0;
};

TestWidget& workload()
{
    static TestWidget* widget = [] {
        auto* w = new TestWidget(1024, 768);
        (**w).setMouseTracking(true);
        for (int i = 0; i < 3; ++i)
            (**w).growOrRestart(false);
        w->waitForTicks(3);
        return w;
    }();
    return *widget;
}

// Window points over two branches of the tree, for hovers that pick.
std::vector<QPoint> pointsOverBranches(WidgetRisanje& w)
{
    w.repaint();
    std::vector<QPoint> points;
    for (std::size_t i = w.pickTable.size() / 3; i < w.pickTable.size() && points.size() < 2; i += 997) {
        const Internode* n = w.pickTable[i];
        const glm::vec3 p = w.projectToScreen(n->position + 0.5f * n->direction, w.camera.mvp);
        if (p.x > 10 && p.y > 10 && p.x < w.width() - 10 && p.y < w.height() - 10)
            points.push_back(QPoint(int(std::lround(p.x)), int(std::lround(p.y))));
    }
    return points;
}

// Runs the event loop until the widget has painted `paints` frames after the
// watcher started, or a second has passed.
void waitForPaints(PaintWatcher& watcher, TestWidget& widget, int paints)
{
    QElapsedTimer clock;
    clock.start();
    while (watcher.paints < paints && clock.elapsed() < 1000)
        widget.waitForTicks(1, 100);
}

void BM_HoverBurstWithinOneTick(benchmark::State& state)
{
    TestWidget& widget = workload();
    WidgetRisanje& w = *widget;
    w.mode = ModeFiltering;
    const int moves = int(state.range(0));
    double idPasses = 0.0;
    int bursts = 0;
    for (auto _ : state) {
        widget.waitForTicks(1);
        PaintWatcher watcher(w);
        // The moves land between two ticks: the timer is held while they arrive.
        w.timer.stop();
        for (int i = 0; i < moves; ++i)
            QTest::mouseMove(w.windowHandle(), QPoint(300 + 7 * i, 200 + 3 * i));
        w.timer.start();
        waitForPaints(watcher, widget, 2);
        idPasses += watcher.idPasses;
        ++bursts;
    }
    state.counters["id_passes_per_burst"] = idPasses / bursts;
    state.counters["branch_points"] = double(w.branchPoints.size());
}
BENCHMARK(BM_HoverBurstWithinOneTick)->Arg(20)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_HoverToFinishedFrame(benchmark::State& state)
{
    TestWidget& widget = workload();
    WidgetRisanje& w = *widget;
    w.mode = int(state.range(0));
    const std::vector<QPoint> points = pointsOverBranches(w);
    if (points.size() < 2) {
        state.SkipWithError("no branch on screen");
        return;
    }
    int picked = 0, hovers = 0;
    std::size_t next = 0;
    for (auto _ : state) {
        widget.waitForTicks(1);
        PaintWatcher watcher(w);
        QElapsedTimer clock;
        clock.start();
        QTest::mouseMove(w.windowHandle(), points[next++ % points.size()]);
        waitForPaints(watcher, widget, 2);  // the id pass, then the frame
        state.SetIterationTime(double(clock.nsecsElapsed()) * 1e-9);
        picked += w.pickedNode(w.pickedId) ? 1 : 0;
        ++hovers;
    }
    state.counters["picked_share"] = double(picked) / hovers;
    state.counters["branch_points"] = double(w.branchPoints.size());
}
BENCHMARK(BM_HoverToFinishedFrame)
    ->Arg(ModeFiltering)
    ->Arg(ModeInformation)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Iterations(20);

}  // namespace

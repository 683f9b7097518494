// Hover on the view workload (seed 3, cone model, the start-up tree grown three
// more times: about 12,000 branch points, 1024 x 768): a burst of mouse moves
// that arrives within one tick, and one hover from the move to the finished
// frame. Moves are window-system events, as a user's are. Wall-clock time; run
// under xvfb-run.
//
// This file is linked after bench_view.cpp, so its benchmarks run after that
// file's: they take over the widget made there when it exists (the trees are
// process-wide), and make the same set-up themselves when run alone.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QOpenGLContext>
#include <QOpenGLFunctions>
#include <QEvent>
#include <QTest>
#include <QWindow>

#include <cmath>
#include <iostream>
#include <sstream>
#include <vector>

#include "bench/view/viewscene.h"
#include "model/internode.h"
#include "model/parameters.h"
#include "view/widgetrisanje.h"

namespace {

constexpr int kWidth = 1024;
constexpr int kHeight = 768;

WidgetRisanje* existingWidget()
{
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* widget = qobject_cast<WidgetRisanje*>(w))
            return widget;
    return nullptr;
}

// The shown widget with the workload's trees, or null when OpenGL could not be
// set up. Restarts from seed 3 at every call, whatever ran before.
WidgetRisanje* workload()
{
    WidgetRisanje* widget = QApplication::instance() ? existingWidget() : nullptr;
    if (!widget) {
        benchview::setUpProcess();
        widget = new WidgetRisanje();  // lives as long as the process
        widget->resize(kWidth, kHeight);
        widget->show();
        if (!QTest::qWaitForWindowExposed(widget) || !widget->glReady)
            return nullptr;
    }
    widget->setMouseTracking(true);  // as the main window's form sets it
    std::ostringstream sink;         // the growth lines are not the benchmark's output
    std::streambuf* saved = std::cout.rdbuf(sink.rdbuf());
    randomEngine.seed(3);
    widget->resetTrees();
    widget->growStep();
    for (int i = 0; i < 3; ++i)
        widget->growStep();
    widget->rebuildGeometry(true);
    std::cout.rdbuf(saved);
    QTest::qWait(30);
    return widget;
}

// Watches the widget: its paints, the mouse moves it receives, its ticks, and
// the ticks that find a move waiting (each runs one hover, one id pass in the
// filtering mode). The timer's own events are seen before its timeout runs
// the tick.
class Watcher : public QObject {
public:
    explicit Watcher(WidgetRisanje& widget) : widget(widget)
    {
        widget.installEventFilter(this);
        widget.timer.installEventFilter(this);
    }
    ~Watcher() override
    {
        widget.removeEventFilter(this);
        widget.timer.removeEventFilter(this);
    }
    bool eventFilter(QObject* object, QEvent* event) override
    {
        if (object == &widget.timer && event->type() == QEvent::Timer) {
            ++ticks;
            hovers += widget.mouseMoved ? 1 : 0;
        } else if (object == &widget && event->type() == QEvent::Paint) {
            ++paints;
        } else if (object == &widget && event->type() == QEvent::MouseMove) {
            ++moves;
        }
        return false;
    }
    // Runs the event loop until `n` more ticks have begun (and the last has run).
    void waitForTicks(int n)
    {
        const int target = ticks + n;
        QElapsedTimer clock;
        clock.start();
        while (ticks < target && clock.elapsed() < 2000)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
        QCoreApplication::processEvents();
    }
    WidgetRisanje& widget;
    int paints = 0;
    int moves = 0;
    int ticks = 0;
    int hovers = 0;
};

// Window points over branches of the tree, for hovers that pick.
std::vector<QPoint> pointsOverBranches(WidgetRisanje& w)
{
    w.renderRequestNow();  // the camera's matrices as drawn
    std::vector<QPoint> points;
    for (std::size_t i = w.pickTable.size() / 3; i < w.pickTable.size() && points.size() < 8; i += 331) {
        const Internode* n = w.pickTable[i];
        const glm::vec3 p = w.projectToScreen(n->position + 0.5f * n->direction, w.camera.mvp);
        if (p.x > 10 && p.y > 10 && p.x < w.width() - 10 && p.y < w.height() - 10)
            points.push_back(QPoint(int(std::lround(p.x)), int(std::lround(p.y))));
    }
    return points;
}

void BM_HoverBurstWithinOneTick(benchmark::State& state)
{
    WidgetRisanje* w = workload();
    if (!w) {
        state.SkipWithError("no OpenGL widget (run under xvfb-run)");
        return;
    }
    w->mode = ModeFiltering;
    const int burst = static_cast<int>(state.range(0));
    long moves = 0, hovers = 0, bursts = 0;
    for (auto _ : state) {
        Watcher watcher(*w);
        watcher.waitForTicks(1);
        const int hoversBefore = watcher.hovers;
        // The moves land between two ticks: the timer is held while they arrive.
        w->timer.stop();
        for (int i = 0; i < burst; ++i)
            QTest::mouseMove(w->windowHandle(), QPoint(300 + 7 * i, 200 + 3 * i), 0);
        w->timer.start();
        watcher.waitForTicks(3);
        moves += watcher.moves;
        hovers += watcher.hovers - hoversBefore;
        ++bursts;
    }
    state.counters["moves_per_burst"] = double(moves) / double(bursts);
    state.counters["id_passes_per_burst"] = double(hovers) / double(bursts);
    state.counters["branchPoints"] = double(w->branchPoints.size());
}

void BM_HoverToFinishedFrame(benchmark::State& state)
{
    WidgetRisanje* w = workload();
    if (!w) {
        state.SkipWithError("no OpenGL widget (run under xvfb-run)");
        return;
    }
    w->mode = static_cast<int>(state.range(0));
    const std::vector<QPoint> points = pointsOverBranches(*w);
    if (points.size() < 2) {
        state.SkipWithError("no branch on screen");
        return;
    }
    int picked = 0, hovers = 0;
    std::size_t next = 0;
    for (auto _ : state) {
        Watcher watcher(*w);
        watcher.waitForTicks(1);
        const int paintsBefore = watcher.paints;
        QElapsedTimer clock;
        clock.start();
        QTest::mouseMove(w->windowHandle(), points[next++ % points.size()], 0);
        // The tick runs the hover (its id pass inside) and then paints the frame.
        while (watcher.paints == paintsBefore && clock.elapsed() < 2000)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
        w->makeCurrent();
        w->context()->functions()->glFinish();
        w->doneCurrent();
        state.SetIterationTime(double(clock.nsecsElapsed()) * 1e-9);
        picked += w->pickedNode(w->pickedId) ? 1 : 0;
        ++hovers;
    }
    state.counters["picked_share"] = double(picked) / hovers;
    state.counters["branchPoints"] = double(w->branchPoints.size());
}

}  // namespace

BENCHMARK(BM_HoverBurstWithinOneTick)->Arg(20)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(20);
BENCHMARK(BM_HoverToFinishedFrame)
    ->Arg(ModeFiltering)
    ->Arg(ModeInformation)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Iterations(30);

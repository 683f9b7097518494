// The pruning and bending tools as the user meets them, on the shared scene
// (the start-up tree grown 3 more times, about 12,000 branch points, 1024 x
// 768): a right-click cut in pruning mode, from the press to the first frame
// composed after it (id pick, cut, light and resource pass, geometry rebuild,
// frame), and a cursor move while a tie's target is chosen (stage 2), from the
// move to the frame the tick draws after the bending preview (frameMs: a
// plain frame of the same view, from its request to its composition). Real
// mouse events on the widget's window; wall-clock time. Run under xvfb-run.

#include <benchmark/benchmark.h>

#include <QElapsedTimer>
#include <QPoint>
#include <QWindow>

#include <cmath>
#include <vector>

#include "bench/view/viewscene.h"
#include "model/internode.h"
#include "model/tree.h"

namespace {

using benchview::scene;
using benchview::ViewScene;

// Counts the frames Qt composes for the widget.
struct FrameWatch {
    int frames = 0;
    QMetaObject::Connection connection;

    explicit FrameWatch(WidgetRisanje& widget)
    {
        connection = QObject::connect(&widget, &QOpenGLWidget::frameSwapped, [this] { ++frames; });
    }
    ~FrameWatch() { QObject::disconnect(connection); }

    // Runs the event loop until a frame more than `seen` was composed.
    bool waitPast(int seen, int timeoutMilliseconds = 5000) const
    {
        QElapsedTimer clock;
        clock.start();
        while (frames <= seen && clock.elapsed() < timeoutMilliseconds)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
        return frames > seen;
    }
};

bool prepare(benchmark::State& state, int mode)
{
    ViewScene& s = scene();
    if (!s.error.empty()) {
        state.SkipWithError(s.error.c_str());
        return false;
    }
    s.growTo(static_cast<int>(state.range(0)));
    s.widget->mode = mode;
    s.widget->updateMatrices();
    QTest::qWait(50);
    state.counters["branchPoints"] = static_cast<double>(s.widget->branchPoints.size());
    return true;
}

QPoint pixelAt(const WidgetRisanje& widget, const glm::vec3& world)
{
    const glm::vec3 p = widget.projectToScreen(world, widget.camera.mvp);
    return QPoint(static_cast<int>(std::lround(p.x)), static_cast<int>(std::lround(p.y)));
}

// Internodes whose middle lies inside the window and whose image is at least
// `minPixels` long, youngest first (small subtrees, the shoots a user trains).
std::vector<Internode*> visibleInternodes(const WidgetRisanje& widget, float minPixels)
{
    std::vector<Internode*> found;
    for (std::size_t id = 1; id < widget.pickTable.size(); ++id) {
        Internode* node = widget.pickTable[id];
        if (node->isBud || node->removed)
            continue;
        const glm::vec3 a = widget.projectToScreen(node->position, widget.camera.mvp);
        const glm::vec3 b = widget.projectToScreen(node->position + node->direction, widget.camera.mvp);
        const QPoint middle = pixelAt(widget, node->position + 0.5f * node->direction);
        if (glm::length(glm::vec2(b) - glm::vec2(a)) >= minPixels && middle.x() > 2 && middle.y() > 2 &&
            middle.x() < widget.width() - 2 && middle.y() < widget.height() - 2)
            found.push_back(node);
    }
    std::stable_sort(found.begin(), found.end(),
                     [](const Internode* l, const Internode* r) { return l->birthIteration > r->birthIteration; });
    return found;
}

void BM_RightClickCutToFrame(benchmark::State& state)
{
    if (!prepare(state, ModePruning))
        return;
    ViewScene& s = scene();
    WidgetRisanje& widget = *s.widget;
    widget.cutImmediately = true;
    QWindow* window = widget.windowHandle();
    FrameWatch watch(widget);
    std::ostringstream sink;  // the light-pass lines are not the benchmark's output

    std::size_t next = 0;
    for (auto _ : state) {
        // Aimed between frames, as a user clicks: the last one was drawn a
        // little while ago.
        const std::vector<Internode*> targets = visibleInternodes(widget, 4.0f);
        if (next >= targets.size()) {
            state.SkipWithError("no visible internode left to cut");
            break;
        }
        Internode* target = targets[next++];
        const QPoint pixel = pixelAt(widget, target->position + 0.5f * target->direction);
        QTest::qWait(30);

        std::streambuf* saved = std::cout.rdbuf(sink.rdbuf());
        const int seen = watch.frames;
        QElapsedTimer clock;
        clock.start();
        QTest::mousePress(window, Qt::RightButton, Qt::NoModifier, pixel);
        const bool framed = watch.waitPast(seen);
        const double seconds = static_cast<double>(clock.nsecsElapsed()) * 1e-9;
        QTest::mouseRelease(window, Qt::RightButton, Qt::NoModifier, pixel);
        std::cout.rdbuf(saved);
        sink.str({});
        if (!framed) {
            state.SkipWithError("no frame after the cut");
            break;
        }
        state.SetIterationTime(seconds);
    }
    state.counters["cutLines"] = static_cast<double>(widget.selection->cutLines.size() / 2);
    s.markChanged();
}

void BM_BendingHoverToFrame(benchmark::State& state)
{
    if (!prepare(state, ModeTying))
        return;
    ViewScene& s = scene();
    WidgetRisanje& widget = *s.widget;
    widget.setMouseTracking(true);
    QWindow* window = widget.windowHandle();
    FrameWatch watch(widget);

    // A young shoot to tie, its target on the ground below the window's middle.
    const QPoint target(widget.width() * 3 / 4, widget.height() - 40);
    for (Internode* node : visibleInternodes(widget, 6.0f)) {
        const QPoint pixel = pixelAt(widget, node->position + 0.5f * node->direction);
        QTest::mouseMove(window, pixel);
        QTest::qWait(30);
        QTest::mousePress(window, Qt::RightButton, Qt::NoModifier, pixel);
        QTest::mouseRelease(window, Qt::RightButton, Qt::NoModifier, pixel);
        if (widget.bendTarget.state == 1 && !widget.bendChain.segments.empty())
            break;
        widget.cancelBending();
    }
    if (widget.bendTarget.state != 1) {
        state.SkipWithError("no young shoot to tie");
        return;
    }
    QTest::mouseMove(window, target);
    QTest::qWait(30);
    QTest::mousePress(window, Qt::RightButton, Qt::NoModifier, target);
    QTest::mouseRelease(window, Qt::RightButton, Qt::NoModifier, target);
    state.counters["segments"] = static_cast<double>(widget.bendChain.segments.size());

    // Beside each timed hover, untimed: a plain frame of the same view from
    // its request to its composition, the frame time the hover is held to.
    double frameSeconds = 0.0;
    int step = 0;
    for (auto _ : state) {
        const QPoint cursor(target.x() - 150 + (step % 2) * 7, target.y() - 200 + (step % 3) * 5);
        ++step;
        QTest::qWait(20);
        const int seen = watch.frames;
        QElapsedTimer clock;
        clock.start();
        QTest::mouseMove(window, cursor);
        const bool framed = watch.waitPast(seen);
        const double seconds = static_cast<double>(clock.nsecsElapsed()) * 1e-9;
        if (!framed) {
            state.SkipWithError("no frame after the move");
            break;
        }
        state.SetIterationTime(seconds);

        QTest::qWait(20);
        const int before = watch.frames;
        QElapsedTimer frameClock;
        frameClock.start();
        widget.update();
        watch.waitPast(before);
        frameSeconds += static_cast<double>(frameClock.nsecsElapsed()) * 1e-9;
    }
    if (step > 0)
        state.counters["frameMs"] = frameSeconds / step * 1e3;
    widget.cancelBending();
    widget.mode = ModePruning;
}

const bool registered = [] {
    benchmark::RegisterBenchmark("BM_RightClickCutToFrame", BM_RightClickCutToFrame)
        ->Arg(3)
        ->Unit(benchmark::kMillisecond)
        ->UseManualTime()
        ->Iterations(8);
    benchmark::RegisterBenchmark("BM_BendingHoverToFrame", BM_BendingHoverToFrame)
        ->Arg(3)
        ->Unit(benchmark::kMillisecond)
        ->UseManualTime()
        ->Iterations(30);
    return true;
}();

} // namespace

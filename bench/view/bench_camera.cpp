// Camera commands in the main window, from the command until no frame is
// pending: the top view from the tool bar and one arrow key on the view (at a
// heading of 33 degrees, so that the step lands between the camera boxes'
// steps and their write-back changes the camera). The scene is the program's
// own start-up (seed 3, cone light model on the OpenCL device) grown 3 and 6
// more times (about 12,000 and 93,000 branch points) in a view of 1024 x 768.
// Reported: the time to the end of the command's last frame (manual time),
// the frames it drew, one normal frame of the same view (paintGL to the end of
// the GPU work, as BM_NormalFrame) and the ratio of the two. Run under
// xvfb-run.
//
// This file is linked first, so its benchmarks run before the other bench_view
// files make their bare widget; its main window is gone when they start.

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QOpenGLContext>
#include <QOpenGLFunctions>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QToolBar>

#include <algorithm>
#include <functional>
#include <iostream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "app/mainwindow.h"
#include "bench/view/viewscene.h"
#include "model/parameters.h"
#include "view/widgetrisanje.h"

namespace {

using benchview::kHeight;
using benchview::kWidth;

// Paint events of the view and the end of the last one.
class FrameWatch : public QObject {
public:
    int frames = 0;
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Paint)
            ++frames;
        return false;
    }
};

struct CameraScene {
    QTemporaryDir config;
    std::unique_ptr<MainWindow> window;
    WidgetRisanje* widget = nullptr;
    int grown = 0;
    std::string error;

    CameraScene()
    {
        // Settings of this run only, with the disclaimer declined.
        qputenv("XDG_CONFIG_HOME", config.path().toUtf8());
        benchview::setUpProcess();
        QSettings(QStringLiteral("Vel Kestrin"), QStringLiteral("Trelimo"))
            .setValue(QStringLiteral("Main/ShowStartupDisclaimer"), false);

        randomEngine.seed(3);
        std::ostringstream sink;  // the start-up's growth lines
        std::streambuf* saved = std::cout.rdbuf(sink.rdbuf());
        window = std::make_unique<MainWindow>();
        window->show();
        widget = window->findChild<WidgetRisanje*>();
        const bool shown = QTest::qWaitForWindowExposed(window.get());
        if (!shown || !widget || !QTest::qWaitFor([this] { return widget->glReady; }))
            error = "the main window did not set up OpenGL (run under xvfb-run)";
        std::cout.rdbuf(saved);
        if (!error.empty())
            return;
        // The view at the size the other bench_view figures use.
        window->resize(window->size() + QSize(kWidth, kHeight) - widget->size());
        QTest::qWait(200);
    }

    void growTo(int iterations)
    {
        std::ostringstream sink;
        std::streambuf* saved = std::cout.rdbuf(sink.rdbuf());
        for (; grown < iterations; ++grown)
            widget->growStep();
        widget->rebuildGeometry(true);
        std::cout.rdbuf(saved);
        QTest::qWait(50);
    }
};

std::unique_ptr<CameraScene>& cameraScene()
{
    static std::unique_ptr<CameraScene> made;
    if (!made)
        made = std::make_unique<CameraScene>();
    return made;
}

// Runs the event loop until nothing has been drawn for 60 ms (the sync runs at
// once, the tick every 10 ms); returns the time from `clock`'s start to the end
// of the GPU work of the last frame drawn, or 0 without one.
double settle(WidgetRisanje& widget, FrameWatch& watch, const QElapsedTimer& clock)
{
    double lastFrameEnd = 0.0;
    int seen = watch.frames;
    QElapsedTimer quiet;
    quiet.start();
    while (quiet.elapsed() < 60) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        if (watch.frames != seen) {
            seen = watch.frames;
            widget.makeCurrent();
            widget.context()->functions()->glFinish();
            widget.doneCurrent();
            lastFrameEnd = static_cast<double>(clock.nsecsElapsed()) * 1e-9;
            quiet.restart();
        }
    }
    return lastFrameEnd;
}

// One normal frame of the current view as BM_NormalFrame times it (paintGL to
// the end of the GPU work), the median of three.
double normalFrameSeconds(WidgetRisanje& widget)
{
    std::vector<double> times;
    for (int i = 0; i < 3; ++i) {
        QElapsedTimer clock;
        clock.start();
        widget.makeCurrent();
        widget.renderRequestNow();
        widget.context()->functions()->glFinish();
        widget.doneCurrent();
        times.push_back(static_cast<double>(clock.nsecsElapsed()) * 1e-9);
    }
    std::sort(times.begin(), times.end());
    return times[1];
}

void runCommand(benchmark::State& state, const std::function<void(CameraScene&)>& before,
                const std::function<void(CameraScene&)>& command)
{
    CameraScene& s = *cameraScene();
    if (!s.error.empty()) {
        state.SkipWithError(s.error.c_str());
        return;
    }
    s.growTo(static_cast<int>(state.range(0)));
    FrameWatch watch;
    s.widget->installEventFilter(&watch);
    int frames = 0;
    double total = 0.0;
    for (auto _ : state) {
        before(s);
        QElapsedTimer settling;
        settling.start();
        settle(*s.widget, watch, settling);
        watch.frames = 0;
        QElapsedTimer clock;
        clock.start();
        command(s);
        const double seconds = settle(*s.widget, watch, clock);
        state.SetIterationTime(seconds);
        total += seconds;
        frames += watch.frames;
    }
    s.widget->removeEventFilter(&watch);
    const double frame = normalFrameSeconds(*s.widget);
    const double iterations = static_cast<double>(state.iterations());
    state.counters["branchPoints"] = static_cast<double>(s.widget->branchPoints.size());
    state.counters["framesPerCommand"] = frames / iterations;
    state.counters["normalFrameMs"] = frame * 1e3;
    state.counters["timesNormalFrame"] = total / iterations / frame;
}

void BM_TopView(benchmark::State& state)
{
    runCommand(
        state, [](CameraScene& s) { s.widget->resetView(); },
        [](CameraScene& s) {
            QAction* top = s.window->findChild<QAction*>(QStringLiteral("actionView_TOP"));
            QWidget* button = s.window->findChild<QToolBar*>(QStringLiteral("mainToolBar"))->widgetForAction(top);
            QTest::mouseClick(button, Qt::LeftButton);
        });
}

void BM_ArrowKey(benchmark::State& state)
{
    runCommand(
        state,
        [](CameraScene& s) {
            s.widget->resetView();
            s.widget->camera.cameraRotationX = 33.0f;
            s.widget->repaint();
        },
        [](CameraScene& s) { QTest::keyClick(s.widget, Qt::Key_Left); });
}

// The main window goes before the other files' benchmarks make their widget.
void BM_CloseMainWindow(benchmark::State& state)
{
    for (auto _ : state)
        cameraScene().reset();
}

const bool registered = [] {
    for (int iterations : {3, 6}) {
        benchmark::RegisterBenchmark("BM_TopView", BM_TopView)
            ->Arg(iterations)
            ->Unit(benchmark::kMillisecond)
            ->UseManualTime()
            ->Iterations(5);
        benchmark::RegisterBenchmark("BM_ArrowKey", BM_ArrowKey)
            ->Arg(iterations)
            ->Unit(benchmark::kMillisecond)
            ->UseManualTime()
            ->Iterations(5);
    }
    benchmark::RegisterBenchmark("BM_CloseMainWindow", BM_CloseMainWindow)->Iterations(1);
    return true;
}();

} // namespace

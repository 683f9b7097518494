// The program as the user meets it, on Mesa (llvmpipe) and pocl; run under
// xvfb-run. Start-up to the first frame with an empty OpenCL kernel cache, in
// process and as a whole process up to its disclaimer, and one growth iteration
// from the menu (step, rebuild, upload and frame) on a scene of about 10,000
// internodes.

#include <benchmark/benchmark.h>

#include <QAction>
#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>
#include <QThread>

#include <iostream>

#include "app/application.h"
#include "app/mainwindow.h"
#include "environment/environment.h"
#include "model/parameters.h"
#include "model/tree.h"
#include "model/internode.h"
#include "view/eventloopfailure.h"
#include "view/surfaceformat.h"
#include "view/widgetrisanje.h"

namespace {

// The kernel cache of this process, emptied wherever a start must build the
// kernels again.
QString kernelCache() { return QString::fromLocal8Bit(qgetenv("POCL_CACHE_DIR")); }

void emptyKernelCache()
{
    QDir(kernelCache()).removeRecursively();
    QDir().mkpath(kernelCache());
}

// Runs the event loop until `swapped`, counted by the view's frameSwapped,
// reaches `frames`.
bool waitForFrames(const int& swapped, int frames, int timeoutMs = 60000)
{
    QElapsedTimer clock;
    clock.start();
    while (swapped < frames && clock.elapsed() < timeoutMs)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    return swapped >= frames;
}

// Keeps the growth lines of every step off standard output while it lives (the
// benchmark's own report goes there afterwards).
class QuietOutput {
public:
    QuietOutput() : saved_(std::cout.rdbuf(nullptr)) {}
    ~QuietOutput() { std::cout.rdbuf(saved_); }
    QuietOutput(const QuietOutput&) = delete;
    QuietOutput& operator=(const QuietOutput&) = delete;

private:
    std::streambuf* saved_;
};

int internodes()
{
    int sum = 0;
    for (const Tree* tree : allTrees)
        sum += tree->root->internodeCount;
    return sum;
}

void BM_StartUpToFirstFrame(benchmark::State& state)
{
    const QuietOutput quiet;
    for (auto _ : state) {
        state.PauseTiming();
        emptyKernelCache();
        state.ResumeTiming();
        {
            MainWindow window;
            auto* view = window.findChild<WidgetRisanje*>();
            int swapped = 0;
            QObject::connect(view, &QOpenGLWidget::frameSwapped, [&] { ++swapped; });
            window.show();
            if (!waitForFrames(swapped, 1) || hasEventLoopFailure()) {
                state.SkipWithError("no first frame");
                break;
            }
            state.PauseTiming();
        }
        state.ResumeTiming();
    }
}
BENCHMARK(BM_StartUpToFirstFrame)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

// The whole program from its start to the disclaimer, which the first turn of
// the event loop shows after the first frame.
void BM_ProcessStartToDisclaimer(benchmark::State& state)
{
    const QString program = QStringLiteral(TRELIMO_PROGRAM);
    for (auto _ : state) {
        state.PauseTiming();
        emptyKernelCache();
        QTemporaryDir config;
        QProcess trelimo;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("XDG_CONFIG_HOME"), config.path());
        trelimo.setProcessEnvironment(environment);
        trelimo.setWorkingDirectory(QFileInfo(program).absolutePath());
        trelimo.setStandardOutputFile(QProcess::nullDevice());
        state.ResumeTiming();
        trelimo.start(program, QStringList());
        bool shown = false;
        QElapsedTimer clock;
        clock.start();
        while (!shown && clock.elapsed() < 60000) {
            QProcess search;
            search.start(QStringLiteral("xdotool"),
                         {QStringLiteral("search"), QStringLiteral("--all"), QStringLiteral("--onlyvisible"),
                          QStringLiteral("--pid"), QString::number(trelimo.processId()), QStringLiteral("--name"),
                          QStringLiteral("^Disclaimer$")});
            search.waitForFinished();
            shown = !search.readAllStandardOutput().trimmed().isEmpty();
        }
        state.PauseTiming();
        trelimo.kill();
        trelimo.waitForFinished();
        if (!shown) {
            state.SkipWithError("no disclaimer");
            break;
        }
        state.ResumeTiming();
    }
}
BENCHMARK(BM_ProcessStartToDisclaimer)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

// Edit > Growth iteration on the seed-3 tree grown until it holds 10,000
// internodes (grown again before every timed iteration).
void BM_GrowthIterationFromMenu(benchmark::State& state)
{
    const int target = static_cast<int>(state.range(0));
    const QuietOutput quiet;
    MainWindow window;
    window.resize(1000, 700);
    auto* view = window.findChild<WidgetRisanje*>();
    int swapped = 0;
    QObject::connect(view, &QOpenGLWidget::frameSwapped, [&] { ++swapped; });
    window.show();
    if (!waitForFrames(swapped, 1)) {
        state.SkipWithError("no first frame");
        return;
    }
    auto* grow = window.findChild<QAction*>(QStringLiteral("actionIzvedi_iteracijo_rasti"));
    int before = 0, after = 0, steps = 0;
    for (auto _ : state) {
        state.PauseTiming();
        randomEngine.seed(3);
        view->resetTrees();
        for (steps = 0; internodes() < target && steps < 200; ++steps)
            view->growStep();
        view->rebuildGeometry(true);
        before = internodes();
        QCoreApplication::processEvents();
        const int frames = swapped + 1;
        state.ResumeTiming();
        grow->trigger();
        waitForFrames(swapped, frames);
        state.PauseTiming();
        after = internodes();
        state.ResumeTiming();
    }
    if (hasEventLoopFailure())
        state.SkipWithError("a failure left the event loop");
    state.counters["internodes_before"] = before;
    state.counters["internodes_after"] = after;
    state.counters["steps_to_reach"] = steps;
}
BENCHMARK(BM_GrowthIterationFromMenu)->Arg(5000)->Arg(10000)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

}  // namespace

int main(int argc, char** argv)
{
    // A kernel cache of this run only, emptied before each start.
    QTemporaryDir cache;
    qputenv("POCL_CACHE_DIR", cache.path().toUtf8());
    QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", config.path().toUtf8());
    Application application(argc, argv);
    installProgramSurfaceFormat();
    Environment::create();
    QDir::setCurrent(QCoreApplication::applicationDirPath());  // tex/ and icons/
    QSettings(QStringLiteral("Vel Kestrin"), QStringLiteral("Trelimo"))
        .setValue(QStringLiteral("Main/ShowStartupDisclaimer"), false);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}

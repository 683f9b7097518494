#pragma once
// The scene every bench_view benchmark draws: the drawing widget on the OpenGL
// driver at hand with the program's own start-up (random engine seeded with 3,
// the cone light model on the OpenCL device, a 1024 x 768 widget with the entry
// point's surface format), grown on to the iteration a benchmark asks for. One
// per process, shared by the benchmark sources of the program.

#include "environment/environment.h"
#include "environment/openclholder.h"
#include "model/parameters.h"
#include "view/surfaceformat.h"
#include "view/widgetrisanje.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QOpenGLContext>
#include <QOpenGLFunctions>
#include <QTest>

#include <iostream>
#include <limits>
#include <memory>
#include <sstream>
#include <string>

namespace benchview {

inline constexpr int kWidth = 1024;
inline constexpr int kHeight = 768;

// What every bench_view scene needs once per process, whichever benchmark runs
// first: the application with the entry point's surface format, the
// environment, and the folder with tex/ as the working directory.
inline void setUpProcess()
{
    if (!QApplication::instance()) {
        static int argc = 1;
        static char name[] = "bench_view";
        static char* argv[] = {name, nullptr};
        new QApplication(argc, argv);  // lives as long as the process
        installProgramSurfaceFormat();
    }
    if (!Environment::instance)
        Environment::create();
    const QString folder = QCoreApplication::applicationDirPath();
    if (QDir(folder).exists(QStringLiteral("tex")))
        QDir::setCurrent(folder);
}

// The widget with its scene, made once; it grows forward to the iteration a
// benchmark asks for and restarts from seed 3 when asked for fewer.
struct ViewScene {
    std::unique_ptr<WidgetRisanje> widget;
    int grown = 0;
    std::string error;

    ViewScene()
    {
        randomEngine.seed(3);
        setUpProcess();

        widget = std::make_unique<WidgetRisanje>();
        widget->resize(kWidth, kHeight);
        widget->show();
        if (!QTest::qWaitForWindowExposed(widget.get()) || !widget->glReady)
            error = "the widget did not set up OpenGL (run under xvfb-run)";
        QTest::qWait(20);
    }

    // For benchmarks that change the trees: the next growTo starts again from seed 3.
    void markChanged() { grown = std::numeric_limits<int>::max(); }

    ~ViewScene()
    {
        widget.reset();
        delete OpenClHolder::instance;
    }

    void growTo(int iterations)
    {
        // The growth lines are not the benchmark's output.
        std::ostringstream sink;
        std::streambuf* saved = std::cout.rdbuf(sink.rdbuf());
        if (iterations < grown) {
            randomEngine.seed(3);
            widget->resetTrees();
            widget->growStep();
            grown = 0;
        }
        for (; grown < iterations; ++grown)
            widget->growStep();
        widget->rebuildGeometry(true);
        std::cout.rdbuf(saved);
        QTest::qWait(20);
    }

    // One frame as paintGL draws it, to the end of the GPU work.
    void frame()
    {
        widget->makeCurrent();
        widget->renderRequestNow();
        widget->context()->functions()->glFinish();
        widget->doneCurrent();
    }
};

inline ViewScene& scene()
{
    static ViewScene made;
    return made;
}

} // namespace benchview

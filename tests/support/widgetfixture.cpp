#include "support/widgetfixture.h"

#include "environment/environment.h"
#include "environment/opencl.h"
#include "environment/openclholder.h"
#include "support/streamcapture.h"
#include "support/xserver.h"
#include "view/eventloopfailure.h"
#include "view/utils.h"
#include "view/surfaceformat.h"
#include "view/widgetrisanje.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QOpenGLContext>
#include <QOpenGLFunctions_3_3_Core>
#include <QTest>

#include <exception>
#include <iostream>
#include <sstream>

namespace widgettest {

void setUpProcess()
{
    static bool done = false;
    if (done)
        return;
    done = true;
    if (!QApplication::instance()) {
        // Windows of tests running beside this one would otherwise overlap
        // this one's on a shared server and show in its screen grabs.
        static PrivateXServer server;
        static int argc = 1;
        static char name[] = "trelimo_widget_test";
        static char* argv[] = {name, nullptr};
        new QApplication(argc, argv);  // lives as long as the process
    }
    installProgramSurfaceFormat();
    if (!Environment::instance)
        Environment::create();
    // The renderer reads its textures from "tex/" in the working directory;
    // the build copies them beside the test programs.
    const QString folder = QCoreApplication::applicationDirPath();
    if (QDir(folder).exists(QStringLiteral("tex")))
        QDir::setCurrent(folder);
}

void processEventsFor(int milliseconds) { QTest::qWait(milliseconds); }

std::string takeStoredFailure()
{
    std::exception_ptr failure = takeEventLoopFailure();
    if (!failure)
        return {};
    try {
        std::rethrow_exception(failure);
    } catch (const char* text) {
        return text;
    } catch (const std::string& text) {
        return text;
    } catch (const cl::Error& error) {
        return std::string("OpenCL: ") + error.what() + " " + std::to_string(error.err());
    } catch (const std::exception& error) {
        return error.what();
    } catch (...) {
        return "unknown failure";
    }
}

std::vector<std::string> errorLines(const std::function<void()>& work)
{
    std::string text;
    {
        StreamCapture err(std::cerr);
        work();
        text = err.text();
    }
    std::vector<std::string> lines;
    std::istringstream stream(text);
    std::string line;
    while (std::getline(stream, line))
        if (line.rfind("ERROR: ", 0) == 0)
            lines.push_back(line);
    return lines;
}

std::vector<std::string> pendingGlErrors(WidgetRisanje& widget)
{
    std::vector<std::string> errors;
    if (!widget.context())
        return errors;
    widget.makeCurrent();
    auto* gl = widget.context()->versionFunctions<QOpenGLFunctions_3_3_Core>();
    if (gl) {
        // Bounded: a lost context may report an error forever.
        for (int i = 0; i < 16; ++i) {
            const GLenum error = gl->glGetError();
            if (error == GL_NO_ERROR)
                break;
            errors.push_back(glErrorText(error));
        }
    }
    widget.doneCurrent();
    return errors;
}

TestWidget::TestWidget(int width, int height)
{
    setUpProcess();
    takeEventLoopFailure();  // a failure of an earlier widget is not ours
    widget_ = new WidgetRisanje();
    // As the main window's form sets it up.
    widget_->setMouseTracking(true);
    widget_->setFocusPolicy(Qt::StrongFocus);
    widget_->resize(width, height);
    widget_->show();
    if (!QTest::qWaitForWindowExposed(widget_))
        failure_ = "the widget's window was never exposed";
    // The first paint happens after exposure; let it through.
    processEventsFor(20);
    if (const std::string stored = takeStoredFailure(); !stored.empty())
        failure_ = stored;
    else if (!widget_->glReady && failure_.empty())
        failure_ = "OpenGL set-up did not finish";
}

TestWidget::~TestWidget()
{
    delete widget_;
    delete OpenClHolder::instance;
    takeEventLoopFailure();
}

bool TestWidget::ready() const { return widget_->glReady && failure_.empty(); }

bool TestWidget::waitForTicks(int ticks, int timeoutMilliseconds)
{
    int seen = 0;
    // Connected after the widget's own slot, so it runs once the tick is done.
    const QMetaObject::Connection connection =
        QObject::connect(&widget_->timer, &QTimer::timeout, [&seen] { ++seen; });
    QElapsedTimer clock;
    clock.start();
    while (seen < ticks && clock.elapsed() < timeoutMilliseconds)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    QObject::disconnect(connection);
    return seen >= ticks;
}

QImage TestWidget::grab() const { return widget_->grabFramebuffer(); }

std::vector<std::string> TestWidget::paintAndCollectErrors()
{
    // grabFramebuffer renders at once; a repaint() may be deferred by Qt.
    std::vector<std::string> lines = errorLines([this] { widget_->grabFramebuffer(); });
    for (const std::string& error : pendingGlErrors(*widget_))
        lines.push_back("queued: " + error);
    return lines;
}

} // namespace widgettest

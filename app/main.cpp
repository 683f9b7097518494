// The entry point of both programs, trelimo and trelimo-console: brings the
// program up in a fixed order, runs the event loop, and is the one place where a
// failure nothing else handled is reported to the user.

#include <exception>

#include <QCoreApplication>
#include <QGLFormat>
#include <QMessageBox>
#include <QTextCodec>
#include <QTranslator>

#include "app/application.h"
#include "app/failuremessage.h"
#include "app/mainwindow.h"
#include "environment/environment.h"
#include "model/parameters.h"
#include "view/eventloopfailure.h"
#include "view/surfaceformat.h"

namespace {

// Steps 5 to 10 of the start-up: everything they and the event loop throw
// reaches main's handlers, with the window already gone.
int runGuardedProgram(Application& application)
{
    QTextCodec::setCodecForLocale(QTextCodec::codecForName("utf8"));

    // Always English, whatever the system locale; never deleted.
    auto* translator = new QTranslator();
    const QString languageCode = QStringLiteral("en");
    translator->load(QStringLiteral(":/tr/tr/localization_strings_") + languageCode);
    QCoreApplication::installTranslator(translator);

    installProgramSurfaceFormat();

    Environment::create();

    MainWindow window;
    window.show();
    // The drawing widget initialises OpenGL while the window is shown; a
    // failure there must not be followed by the event loop.
    const int status = hasEventLoopFailure() ? -1 : application.exec();
    if (std::exception_ptr failure = takeEventLoopFailure())
        std::rethrow_exception(failure);
    return status;
}

}  // namespace

int main(int argc, char* argv[])
{
    randomEngine.seed(3);
    Application application(argc, argv);
    QCoreApplication::setApplicationVersion(QStringLiteral("0.1"));

    if (!(QGLFormat::openGLVersionFlags() & QGLFormat::OpenGL_Version_3_3)) {
        // Before the translator: the text stays untranslated.
        QMessageBox box(QMessageBox::Critical, QString(), QObject::tr("OpenGL 3.3 required!\nApplication will exit."));
        box.exec();
        return -1;
    }

    try {
        return runGuardedProgram(application);
    } catch (...) {
        QMessageBox::critical(nullptr, QStringLiteral("Error!"), failureMessage(std::current_exception()),
                              QMessageBox::Ok);
        return -1;
    }
}

// The built program driven as a user drives it: started with a fresh settings
// folder on an X server of its own, given keys through xdotool, read through its
// standard output, its windows and its exit status.

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QMessageBox>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTemporaryFile>
#include <QThread>

#include <gtest/gtest.h>

#include "support/xserver.h"

#include <cstdio>
#include <functional>
#include <map>
#include <string>

namespace {

const QString programPath = QStringLiteral(TRELIMO_PROGRAM);

// Runs a helper tool to its end; its standard output.
QByteArray runTool(const QString& program, const QStringList& arguments, int timeoutMs = 20000)
{
    QProcess tool;
    tool.start(program, arguments);
    if (!tool.waitForFinished(timeoutMs))
        tool.kill();
    return tool.readAllStandardOutput();
}

void pause(int ms) { QThread::msleep(static_cast<unsigned long>(ms)); }

// Polls `condition` every 100 ms until it holds or `timeoutMs` has passed: a
// loaded machine may take its time to close a box or repaint a window.
bool waitUntil(const std::function<bool()>& condition, int timeoutMs = 10000)
{
    QElapsedTimer clock;
    clock.start();
    while (!condition()) {
        if (clock.elapsed() > timeoutMs)
            return false;
        pause(100);
    }
    return true;
}

// One run of trelimo with its own settings folder.
class Program {
public:
    explicit Program(const QString& configHome, const std::map<QString, QString>& environment = {},
                     const QString& workingDirectory = QFileInfo(programPath).absolutePath())
    {
        errorFile_.open();
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), configHome);
        env.insert(QStringLiteral("LANG"), QStringLiteral("C.UTF-8"));
        for (const auto& [name, value] : environment)
            env.insert(name, value);
        process_.setProcessEnvironment(env);
        process_.setWorkingDirectory(workingDirectory);
        // Read back from a file: the pipe would only be drained while waiting on it.
        process_.setStandardErrorFile(errorFile_.fileName());
        process_.start(programPath, QStringList());
        started_ = process_.waitForStarted(10000);
    }

    ~Program()
    {
        if (process_.state() != QProcess::NotRunning) {
            process_.kill();
            process_.waitForFinished(5000);
        }
    }

    bool started() const { return started_; }

    // Everything written to standard output so far.
    const QString& output()
    {
        output_ += QString::fromUtf8(process_.readAllStandardOutput());
        return output_;
    }

    QString errors()
    {
        QFile file(errorFile_.fileName());
        return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
    }

    // Waits until standard output, from `from` on, matches `pattern`; the match.
    QRegularExpressionMatch waitForOutput(const QString& pattern, int from = 0, int timeoutMs = 30000)
    {
        const QRegularExpression expression(pattern);
        QElapsedTimer clock;
        clock.start();
        for (;;) {
            QRegularExpressionMatch match = expression.match(output(), from);
            if (match.hasMatch() || clock.elapsed() > timeoutMs || process_.state() == QProcess::NotRunning)
                return match;
            process_.waitForReadyRead(100);
        }
    }

    // The program's visible windows whose name is exactly `title`. (An untitled
    // window's name is only in _NET_WM_NAME, which xdotool's name search skips.)
    QStringList windows(const QString& title)
    {
        const QString pid = QString::number(process_.processId());
        const QStringList ids = QString::fromUtf8(runTool(QStringLiteral("xdotool"),
                                                          {QStringLiteral("search"), QStringLiteral("--onlyvisible"),
                                                           QStringLiteral("--pid"), pid}))
                                    .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        QStringList named;
        for (const QString& id : ids) {
            const QByteArray name = runTool(QStringLiteral("xdotool"), {QStringLiteral("getwindowname"), id});
            if (QString::fromUtf8(name).trimmed() == title)
                named << id;
        }
        return named;
    }

    // Waits for a visible window of the program named `title`; its id or "".
    QString waitForWindow(const QString& title, int timeoutMs = 30000)
    {
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < timeoutMs && process_.state() != QProcess::NotRunning) {
            const QStringList found = windows(title);
            if (!found.isEmpty())
                return found.first();
            pause(100);
        }
        return QString();
    }

    // Focuses `window` and types the xdotool key names, one after the other.
    static void keys(const QString& window, const QStringList& names)
    {
        runTool(QStringLiteral("xdotool"), {QStringLiteral("windowfocus"), QStringLiteral("--sync"), window});
        for (const QString& name : names) {
            runTool(QStringLiteral("xdotool"), {QStringLiteral("key"), QStringLiteral("--clearmodifiers"), name});
            pause(300);
        }
    }

    // Waits for the end; the exit status, or -1000 on a time-out.
    int exitStatus(int timeoutMs = 30000)
    {
        if (!process_.waitForFinished(timeoutMs))
            return -1000;
        output();
        return process_.exitStatus() == QProcess::NormalExit ? process_.exitCode() : -1000;
    }

private:
    QProcess process_;
    bool started_ = false;
    QString output_;
    QTemporaryFile errorFile_;
};

// What the X server shows of a window.
QImage capture(const QString& window)
{
    return QImage::fromData(runTool(QStringLiteral("import"), {QStringLiteral("-window"), window,
                                                              QStringLiteral("png:-")}),
                            "PNG")
        .convertToFormat(QImage::Format_RGB32);
}

// A critical box as this process draws it for `title` and `text`, on the same X
// server with the same style and fonts as the program's.
QImage referenceCriticalBox(const QString& title, const QString& text)
{
    QMessageBox box(QMessageBox::Critical, title, text, QMessageBox::Ok);
    box.show();
    QApplication::processEvents();
    pause(200);
    QApplication::processEvents();
    return box.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

// The box's icon and message: everything above the button row, which differs
// only in the focus frame of the active window.
bool sameMessage(const QImage& shown, const QImage& expected)
{
    if (shown.size() != expected.size())
        return false;
    const QRect upper(0, 0, shown.width(), shown.height() / 2);
    return shown.copy(upper) == expected.copy(upper);
}

class Session : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(config.isValid()); }

    // The start-up disclaimer already declined, as an earlier run leaves it.
    void declineDisclaimer()
    {
        QDir(config.path()).mkpath(QStringLiteral("Vel Kestrin"));
        QFile file(config.path() + QStringLiteral("/Vel Kestrin/Trelimo.conf"));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("[Main]\nShowStartupDisclaimer=false\n");
    }

    QString settingsText()
    {
        QFile file(config.path() + QStringLiteral("/Vel Kestrin/Trelimo.conf"));
        return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
    }

    QTemporaryDir config;
};

const QString mainTitle = QStringLiteral("Trelimo");
const QString disclaimerTitle = QStringLiteral("Disclaimer");

TEST_F(Session, StartUpLinesAndTheDisclaimerUntilDeclined)
{
    // Ticking "Do not show again" keeps the box away from every later start;
    // closing it unticked lets it come again.
    for (bool tick : {false, true}) {
        SCOPED_TRACE(tick ? "ticked" : "unticked");
        {
            Program program(config.path());
            ASSERT_TRUE(program.started());
            const QString box = program.waitForWindow(disclaimerTitle);
            ASSERT_FALSE(box.isEmpty()) << program.output().toStdString();
            program.waitForOutput(QStringLiteral("Number of internodes: \\d+ Sim iteration took"));
            const QString& out = program.output();
            EXPECT_TRUE(out.contains(QRegularExpression(QStringLiteral("^0\\. Platforma Name: "),
                                                        QRegularExpression::MultilineOption)))
                << out.toStdString();
            EXPECT_TRUE(out.contains(QRegularExpression(QStringLiteral("^SS$"), QRegularExpression::MultilineOption)));
            EXPECT_TRUE(out.contains(QRegularExpression(QStringLiteral("tree: 0x[0-9a-f]+ Lighting index: 1\n"))));
            // The seconds are the machine's: a cold kernel cache may take one.
            const QRegularExpression firstStep(QStringLiteral("Number of internodes: 42 Sim iteration took \\d+s\\.\n"));
            EXPECT_TRUE(out.contains(firstStep));
            // The check box comes before the button in the box's tab order.
            Program::keys(box, tick ? QStringList{QStringLiteral("shift+Tab"), QStringLiteral("space"),
                                                  QStringLiteral("Return")}
                                    : QStringList{QStringLiteral("Return")});
            const QString window = program.waitForWindow(mainTitle);
            ASSERT_FALSE(window.isEmpty());
            // The main window shows before the box has gone: File > Exit must not reach the box.
            EXPECT_TRUE(waitUntil([&] { return program.windows(disclaimerTitle).isEmpty(); }));
            Program::keys(window, {QStringLiteral("alt+f"), QStringLiteral("Return")});  // File > Exit
            EXPECT_EQ(program.exitStatus(), 0);
        }
        EXPECT_EQ(settingsText().contains(QStringLiteral("ShowStartupDisclaimer=false")), tick);

        Program again(config.path());
        const QString window = again.waitForWindow(mainTitle);
        ASSERT_FALSE(window.isEmpty());
        // The disclaimer follows the first frame at once when it comes at all.
        again.waitForOutput(QStringLiteral("Number of internodes: "));
        if (tick) {
            // Edit > Growth iteration, answered only after the disclaimer's
            // moment has passed, and never while a box holds the window.
            const int from = again.output().size();
            Program::keys(window, {QStringLiteral("alt+e"), QStringLiteral("Return")});
            EXPECT_TRUE(again.waitForOutput(QStringLiteral(" generation time: "), from).hasMatch());
            EXPECT_TRUE(again.windows(disclaimerTitle).isEmpty());
        } else {
            EXPECT_FALSE(again.waitForWindow(disclaimerTitle, 10000).isEmpty());
        }
    }
}

TEST_F(Session, MenusGrowAndOpenTheirWindows)
{
    declineDisclaimer();
    Program program(config.path());
    const QString window = program.waitForWindow(mainTitle);
    ASSERT_FALSE(window.isEmpty());
    program.waitForOutput(QStringLiteral("Number of internodes: 42 "));
    pause(500);

    // Edit > Growth iteration: the iteration's line and the widget's line agree.
    const int from = program.output().size();
    Program::keys(window, {QStringLiteral("alt+e"), QStringLiteral("Return")});
    const QRegularExpressionMatch timing =
        program.waitForOutput(QStringLiteral(" generation time: ([0-9.e+-]+)s, num internodes: (\\d+)\n"), from);
    ASSERT_TRUE(timing.hasMatch()) << program.output().mid(from).toStdString();
    const QRegularExpressionMatch growth =
        QRegularExpression(QStringLiteral("Number of internodes: (\\d+) Sim iteration took \\d+s\\.\n"))
            .match(program.output(), from);
    ASSERT_TRUE(growth.hasMatch());
    EXPECT_EQ(growth.captured(1), timing.captured(2));
    EXPECT_GT(growth.captured(1).toInt(), 42);
    EXPECT_GE(timing.captured(1).toDouble(), 0.0);

    // View > the last entry, the histogram: one dialog however often it is asked for.
    const QString histogramTitle = QStringLiteral("Light interception histogram");
    for (int request = 0; request < 3; ++request) {
        Program::keys(window, {QStringLiteral("alt+v"), QStringLiteral("Up"), QStringLiteral("Return")});
        ASSERT_FALSE(program.waitForWindow(histogramTitle, 10000).isEmpty());
        EXPECT_EQ(program.windows(histogramTitle).size(), 1);
        if (request == 1) {
            Program::keys(program.windows(histogramTitle).first(), {QStringLiteral("Escape")});
            EXPECT_TRUE(waitUntil([&] { return program.windows(histogramTitle).isEmpty(); }));
        }
    }

    // View > Invert colours, twice: the view changes and comes back.
    const QStringList invert = {QStringLiteral("alt+v"), QStringLiteral("Down"), QStringLiteral("Down"),
                                QStringLiteral("Down"), QStringLiteral("Down"), QStringLiteral("Return")};
    const QImage plain = capture(window);
    Program::keys(window, invert);
    EXPECT_TRUE(waitUntil([&] { return capture(window) != plain; })) << "the view did not change";
    Program::keys(window, invert);
    EXPECT_TRUE(waitUntil([&] { return capture(window) == plain; })) << "the view did not come back";

    // Help > About and Help > Help: modal boxes that close with a key.
    for (const auto& [entry, title] : {std::pair<QStringList, QString>{{QStringLiteral("alt+h"), QStringLiteral("Return")},
                                                                      QStringLiteral("About")},
                                       {{QStringLiteral("alt+h"), QStringLiteral("Down"), QStringLiteral("Return")},
                                        QStringLiteral("Help")}}) {
        Program::keys(window, entry);
        const QString box = program.waitForWindow(title, 20000);
        ASSERT_FALSE(box.isEmpty()) << title.toStdString();
        Program::keys(box, {QStringLiteral("Escape")});
        EXPECT_TRUE(waitUntil([&] { return program.windows(title).isEmpty(); })) << title.toStdString();
    }

    Program::keys(window, {QStringLiteral("alt+f"), QStringLiteral("Return")});
    EXPECT_EQ(program.exitStatus(), 0);
}

struct FailingStart {
    const char* name;
    std::map<QString, QString> environment;
    bool withoutTextures;
    QString title;
    // The expected message, from the run's own standard error where the
    // failure's wording comes from the platform.
    std::function<QString(Program&)> message;
};

TEST_F(Session, FailingStartsEndAfterTheirBox)
{
    declineDisclaimer();
    QTemporaryDir noVendors, noTextures;
    const std::vector<FailingStart> starts = {
        {"no textures", {}, true, QStringLiteral("Error!"),
         [](Program&) { return QStringLiteral("Critical error: Does not exist tex/woodInMladWood.jpg"); }},
        {"no OpenCL platform", {{QStringLiteral("OCL_ICD_VENDORS"), noVendors.path()}}, false,
         QStringLiteral("Error!"),
         [](Program& program) {
             // The compute module reports the failed call on standard error and
             // throws the same text, its line end included.
             const QRegularExpressionMatch line =
                 QRegularExpression(QStringLiteral("(OpenCL ERRR: clGetPlatformIDs[^\n]*\n)")).match(program.errors());
             return QStringLiteral("Critical error: ") + line.captured(1);
         }},
        {"OpenGL below 3.3", {{QStringLiteral("MESA_GL_VERSION_OVERRIDE"), QStringLiteral("3.2")}}, false,
         QStringLiteral("trelimo"),  // an untitled box carries the program's name
         [](Program&) { return QStringLiteral("OpenGL 3.3 required!\nApplication will exit."); }},
    };
    for (const FailingStart& start : starts) {
        SCOPED_TRACE(start.name);
        Program program(config.path(), start.environment,
                        start.withoutTextures ? noTextures.path() : QFileInfo(programPath).absolutePath());
        const QString box = program.waitForWindow(start.title);
        ASSERT_FALSE(box.isEmpty()) << program.errors().toStdString();
        // The main window has gone by the time the box shows.
        EXPECT_TRUE(waitUntil([&] { return program.windows(mainTitle).isEmpty(); }));
        const QString title = start.title == QLatin1String("trelimo") ? QString() : start.title;
        // Polled: the box may show before it has painted its text.
        const QImage expected = referenceCriticalBox(title, start.message(program));
        EXPECT_TRUE(waitUntil([&] { return sameMessage(capture(box), expected); })) << start.message(program).toStdString();
        Program::keys(box, {QStringLiteral("Return")});
        EXPECT_EQ(program.exitStatus(), 255);
    }
}

}  // namespace

int main(int argc, char** argv)
{
    PrivateXServer server;
    if (!server.running()) {
        std::fprintf(stderr, "Xvfb did not start\n");
        return 1;
    }
    QApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}

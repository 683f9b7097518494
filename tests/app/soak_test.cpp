// A seeded random run of the main window through real Qt events: growing,
// restarting, the season commands, cuts, ties, spreaders, weights, planting,
// mode changes, every reachable parameter at its ends and at 0, growth curves
// that compile and that do not, camera moves and display switches. After each
// operation no failure may have left the event loop and no node may sit at a
// position that is not finite. Built with AddressSanitizer too (label asan),
// where a freed node read by any of these is reported at once.
//
// TRELIMO_SOAK_OPERATIONS (default 300) and TRELIMO_SOAK_SEED (default 1) set
// the length and the seed; the run prints its figures at the end. The default
// run must also have cut, applied a tool and planted at least once each.

#include <chrono>
#include <cmath>
#include <cstdio>
#include <functional>
#include <map>
#include <random>
#include <string>
#include <vector>

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QDoubleSpinBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QToolBar>
#include <QToolBox>
#include <QWheelEvent>
#include <QtTest>

#include "app/application.h"
#include "app/failuremessage.h"
#include "app/mainwindow.h"
#include "environment/environment.h"
#include "model/internode.h"
#include "model/tree.h"
#include "support/streamcapture.h"
#include "view/camerastate.h"
#include "view/eventloopfailure.h"
#include "view/surfaceformat.h"
#include "view/widgetrisanje.h"
#include "support/xserver.h"

namespace {

int environmentNumber(const char* name, int fallback)
{
    const QByteArray value = qgetenv(name);
    bool ok = false;
    const int number = value.toInt(&ok);
    return ok ? number : fallback;
}

// Walks every node of every tree (on a stack: a shoot may be long).
template <class Visit>
void forEachNode(Visit&& visit)
{
    std::vector<const Internode*> pending;
    for (const Tree* tree : allTrees)
        pending.push_back(tree->root);
    while (!pending.empty()) {
        const Internode* node = pending.back();
        pending.pop_back();
        visit(*node);
        for (const Internode* child : node->children)
            if (child)
                pending.push_back(child);
    }
}

bool everyNodeFinite()
{
    bool finite = true;
    forEachNode([&](const Internode& node) {
        for (int axis = 0; axis < 3; ++axis)
            finite = finite && std::isfinite(node.position[axis]) && std::isfinite(node.direction[axis]);
    });
    return finite;
}

// Nodes that are internodes now (not buds, not cut stubs).
int internodesOfAllTrees()
{
    int count = 0;
    forEachNode([&](const Internode& node) { count += !node.isBud && !node.removed ? 1 : 0; });
    return count;
}

class Soak {
public:
    Soak(MainWindow& window, unsigned seed) : window_(window), widget_(*window.findChild<WidgetRisanje*>()),
                                              random_(seed)
    {
        // Every operation, by name, with how often it is drawn.
        operations_ = {
            {"grow", 12, [this] { clickToolBar("actionIzvedi_iteracijo_rasti"); }},
            {"restart", 1, [this] { clickToolBar("actionZnova"); }},
            {"clear", 1, [this] { clickButton("page_4", "pushButtonClear"); }},
            {"generate", 2, [this] { seasons(pick(0, 2)); clickButton("page_4", "pushButtonGenerirja"); }},
            {"clear and generate", 2, [this] { seasons(pick(0, 3)); clickButton("page_4", "pushButtonClearAndGen"); }},
            {"mode", 6, [this] { chooseMode(pick(0, 9)); }},
            {"right click", 14, [this] { rightClick(somewhere()); }},
            {"cut", 4, [this] {
                 chooseMode(ModePruning);
                 rightClick(onATree());
             }},
            {"plant", 1, [this] {
                 // On a tree or anywhere: the sky refuses, the ground and a tree take one.
                 chooseMode(ModePlanting);
                 rightClick(somewhere());
             }},
            {"tie, spread or weigh", 4, [this] {
                 // The three stages in a row: pick a shoot, choose the target, confirm.
                 // Thin shoots are hard to hit: a few tries for the pick.
                 chooseMode(pick(ModeTying, ModeWeighting));
                 for (int attempt = 0; attempt < 8 && widget_.bendTarget.state == 0; ++attempt)
                     rightClick(onATree(true));
                 for (int stage = 1; stage < 3; ++stage) {
                     hover();
                     rightClick(somewhere());
                 }
             }},
            {"hover", 10, [this] { hover(); }},
            {"drag", 2, [this] { drag(); }},
            {"wheel", 2, [this] { wheel(); }},
            {"keys", 2, [this] { keys(); }},
            {"parameter", 6, [this] { parameter(false); }},
            {"camera box", 2, [this] { parameter(true); }},
            {"growth curve", 2, [this] { growthCurve(); }},
            {"apply cuts", 2, [this] { clickButton("page_5", "pushButtonApplyRezanje"); }},
            {"immediate cuts", 1, [this] { clickBox("page_5", "checkBoxReziTakoj"); }},
            {"saws", 1, [this] { clickBox("page_5", "checkBoxPrikazagic"); }},
            {"growth behaviour", 1,
             [this] { clickBox("page_4", pick(0, 1) ? "checkBoxProbabilistic" : "checkBoxDeterministic"); }},
            {"environment display", 1, [this] { clickBox("pageEnvParams", "checkBoxPrikazRisanjaSenc"); }},
            {"information", 1, [this] { comboStep("page_6", "comboBoxTipPrikazaInformaijc"); }},
            {"view", 3, [this] {
                 const char* presets[] = {"actionVIEW_0", "actionView_TOP", "actionShrani_pogled",
                                          "actionNalozi_pogled"};
                 clickToolBar(presets[pick(0, 3)]);
             }},
            {"histogram", 1, [this] { clickToolBar("actionShow_histogram"); }},
        };
        for (const Operation& operation : operations_)
            weightSum_ += operation.weight;
    }

    // Runs `count` operations; an empty text, or what went wrong and where.
    std::string run(int count)
    {
        for (int step = 0; step < count; ++step) {
            // Trees of a few thousand internodes keep the run to minutes.
            if (internodesOfAllTrees() > 3000)
                clickToolBar("actionZnova");
            // Most of the typed curves grow nothing, and a scene without a tree
            // leaves the tools and cuts nothing to work on for the rest of the
            // run: after a while without one, the start curve is typed back.
            barrenSteps_ = internodesOfAllTrees() == 0 ? barrenSteps_ + 1 : 0;
            if (barrenSteps_ > kBarrenSteps) {
                typeCurve(kStartCurve);
                clickToolBar("actionZnova");
                barrenSteps_ = 0;
            }
            const Operation& operation = draw();
            ++performed_[operation.name];
            const std::size_t treesBefore = allTrees.size();
            const int internodesBefore = internodesOfAllTrees();
            const std::size_t toolsBefore = appliedTools();
            {
                StreamCapture out(std::cout);  // the growth lines of thousands of steps
                operation.run();
                QTest::qWait(pick(0, 2) * 12);  // now and then a tick of the view's timer
            }
            if (hasEventLoopFailure())
                return "step " + std::to_string(step) + " (" + operation.name + "): " +
                       failureMessage(takeEventLoopFailure()).toStdString();
            if (!everyNodeFinite())
                return "step " + std::to_string(step) + " (" + operation.name + "): a node is not finite";
            // Fewer internodes on as many trees: a cut (restarts aside).
            if (allTrees.size() == treesBefore && internodesOfAllTrees() < internodesBefore &&
                operation.name.find("clear") == std::string::npos && operation.name != "restart")
                ++cuts_;
            tools_ += appliedTools() > toolsBefore ? 1 : 0;
            planted_ += allTrees.size() > treesBefore ? 1 : 0;
            largest_ = std::max(largest_, internodesOfAllTrees());
            mostTrees_ = std::max(mostTrees_, static_cast<int>(allTrees.size()));
        }
        return {};
    }

    // The figures that show the run reached the trees: cuts, applied tools and
    // planted trees, each named if none came.
    std::string missing() const
    {
        std::string names;
        for (const auto& [name, figure] : {std::pair{"cuts", cuts_}, {"applied tools", tools_}, {"plantings", planted_}})
            if (figure == 0)
                names += names.empty() ? name : std::string(", ") + name;
        return names;
    }

    void report(int count, double seconds) const
    {
        std::printf("soak: %d operations in %.1f s; largest scene %d internodes, at most %d trees; %d cuts, %d ties, "
                    "spreaders or weights applied, %d trees planted\n",
                    count, seconds, largest_, mostTrees_, cuts_, tools_, planted_);
        for (const auto& [name, times] : performed_)
            std::printf("soak:   %-20s %d\n", name.c_str(), times);
    }

private:
    struct Operation {
        std::string name;
        int weight;
        std::function<void()> run;
    };

    std::size_t appliedTools() const
    {
        const Attachments& tools = widget_.attachments;
        return tools.ties.size() + tools.spreaders.size() + tools.weights.size();
    }

    int pick(int low, int high) { return std::uniform_int_distribution<int>(low, high)(random_); }

    const Operation& draw()
    {
        int ticket = pick(0, weightSum_ - 1);
        for (const Operation& operation : operations_) {
            if (ticket < operation.weight)
                return operation;
            ticket -= operation.weight;
        }
        return operations_.back();
    }

    template <class Control>
    Control* find(const char* name)
    {
        return window_.findChild<Control*>(QString::fromLatin1(name));
    }

    QPoint anywhere() { return QPoint(pick(0, widget_.width() - 1), pick(0, widget_.height() - 1)); }

    void clickToolBar(const char* name)
    {
        QWidget* button = find<QToolBar>("mainToolBar")->widgetForAction(find<QAction>(name));
        QTest::mouseClick(button, Qt::LeftButton);
    }

    void openPage(const char* page)
    {
        auto* toolBox = find<QToolBox>("toolBox");
        const int index = toolBox->indexOf(find<QWidget>(page));
        if (toolBox->currentIndex() == index)
            return;
        for (QAbstractButton* title : toolBox->findChildren<QAbstractButton*>())
            if (title->isVisible() && title->text() == toolBox->itemText(index))
                QTest::mouseClick(title, Qt::LeftButton);
        QTest::qWait(0);
    }

    void clickButton(const char* page, const char* name)
    {
        openPage(page);
        if (auto* button = find<QPushButton>(name); button->isEnabled())
            QTest::mouseClick(button, Qt::LeftButton);
    }

    void clickBox(const char* page, const char* name)
    {
        openPage(page);
        QTest::mouseClick(find<QCheckBox>(name), Qt::LeftButton, {}, QPoint(4, find<QCheckBox>(name)->height() / 2));
    }

    void type(QWidget* box, const QString& text)
    {
        QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(box, text);
        QTest::keyClick(box, Qt::Key_Enter);
    }

    void seasons(int count)
    {
        openPage("page_4");
        type(find<QSpinBox>("spinBoxNSezon"), QString::number(count));
    }

    void comboStep(const char* page, const char* name)
    {
        openPage(page);
        QTest::keyClick(find<QComboBox>(name), pick(0, 1) ? Qt::Key_Down : Qt::Key_Up);
    }

    void chooseMode(int target)
    {
        auto* mode = find<QComboBox>("comboBoxMode");
        while (mode->currentIndex() != target)
            QTest::keyClick(mode, mode->currentIndex() < target ? Qt::Key_Down : Qt::Key_Up);
    }

    // Half the clicks aim at an internode the view shows, so that the tools
    // find branches to work on.
    QPoint somewhere() { return pick(0, 1) ? onATree() : anywhere(); }

    // The middle of a shown internode, or anywhere when none is on screen.
    // The tools bend only shoots of their tree's last two iterations: with
    // `bendable` the aim is at one of those.
    QPoint onATree(bool bendable = false)
    {
        std::vector<const Internode*> targets;
        for (std::size_t id = 1; id < widget_.pickTable.size(); ++id) {
            const Internode* node = widget_.pickTable[id];
            const Tree* tree = WidgetRisanje::treeOf(node);
            if (!bendable || (tree && !BornBeforeLastIteration(node, tree)))
                targets.push_back(node);
        }
        if (targets.empty())
            return anywhere();
        const Internode* node = targets[static_cast<std::size_t>(pick(0, static_cast<int>(targets.size()) - 1))];
        const glm::vec3 middle = node->position + 0.5f * node->direction;
        const glm::vec3 at = projectToScreen(middle, widget_.camera.mvp, widget_.width(), widget_.height());
        if (!isFinitePoint(at) || at.x < 0 || at.y < 0 || at.x >= widget_.width() || at.y >= widget_.height())
            return anywhere();
        return QPoint(static_cast<int>(at.x), static_cast<int>(at.y));
    }

    void rightClick(QPoint at)
    {
        QTest::mouseMove(&widget_, at);
        QTest::qWait(12);
        QTest::mouseClick(&widget_, Qt::RightButton, {}, at);
    }

    void hover()
    {
        QTest::mouseMove(&widget_, somewhere());
        QTest::qWait(12);
    }

    void drag()
    {
        const QPoint from = anywhere();
        QTest::mousePress(&widget_, Qt::LeftButton, {}, from);
        QMouseEvent move(QEvent::MouseMove, anywhere(), Qt::NoButton, Qt::LeftButton,
                         pick(0, 1) ? Qt::ControlModifier : Qt::NoModifier);
        QApplication::sendEvent(&widget_, &move);
        QTest::qWait(12);
        QTest::mouseRelease(&widget_, Qt::LeftButton, {}, move.pos());
    }

    void wheel()
    {
        const QPoint at = anywhere();
        QWheelEvent event(at, widget_.mapToGlobal(at), QPoint(), QPoint(0, pick(0, 1) ? 120 : -120), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(&widget_, &event);
    }

    void keys()
    {
        const Qt::Key keys[] = {Qt::Key_Left, Qt::Key_Right, Qt::Key_Up, Qt::Key_Down, Qt::Key_PageUp,
                                Qt::Key_PageDown};
        QTest::keyClick(&widget_, keys[pick(0, 5)]);
    }

    // A reachable parameter box (a model one or a camera one) at its minimum,
    // its maximum, 0 or in between.
    void parameter(bool camera)
    {
        struct Box {
            const char* page;
            const char* name;
        };
        const Box boxes[] = {
            {"page_4", "doubleSpinBoxPragRezanja"}, {"page_4", "doubleSpinBoxTropism"},
            {"page_4", "doubleSpinBoxRandom"},      {"page_4", "doubleSpinBoxDebelineN1"},
            {"page_4", "doubleSpinBoxDeelineN2"},   {"pageEnvParams", "doubleSpinBoxPrikazAlfa"},
            {"page", "doubleSpinBoxCamLocX"},       {"page", "doubleSpinBoxCamLocY"},
            {"page", "doubleSpinBoxCamLocZ"},       {"page", "doubleSpinBoxCamRotX"},
            {"page", "doubleSpinBoxCamRotY"},       {"page", "doubleSpinBoxCamZoom"},
            {"page", "doubleSpinBoxCamObjRotX"},    {"page", "doubleSpinBoxCamObjRotY"},
        };
        const int cameraBoxes = 8, modelBoxes = static_cast<int>(std::size(boxes)) - cameraBoxes;
        const Box& box = camera ? boxes[pick(modelBoxes, modelBoxes + cameraBoxes - 1)] : boxes[pick(0, modelBoxes - 1)];
        openPage(box.page);
        auto* spin = find<QDoubleSpinBox>(box.name);
        const double low = spin->minimum(), high = spin->maximum();
        const double values[] = {low, high, std::clamp(0.0, low, high),
                                 low + (high - low) * std::uniform_real_distribution<double>(0, 1)(random_)};
        type(spin, spin->textFromValue(values[pick(0, 3)]));
    }

    void growthCurve()
    {
        const char* curves[] = {kStartCurve, "5", "x*x", "0", "-3", "1/0", "sqrt(-x)", "3*x+",
                                "sin(", "", "inf", "1e30*x"};
        typeCurve(curves[pick(0, static_cast<int>(std::size(curves)) - 1)]);
    }

    void typeCurve(const char* curve)
    {
        openPage("pageEnvParams");
        auto* edit = find<QLineEdit>("lineEditRastnaKrivulja");
        QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(edit, Qt::Key_Delete);
        QTest::keyClicks(edit, QString::fromLatin1(curve));
    }

    static constexpr const char* kStartCurve = "40*tanh(0.2/(x-1))+2.0";
    static constexpr int kBarrenSteps = 20;

    MainWindow& window_;
    WidgetRisanje& widget_;
    std::mt19937 random_;
    std::vector<Operation> operations_;
    int weightSum_ = 0;
    std::map<std::string, int> performed_;
    int largest_ = 0;
    int mostTrees_ = 0;
    int cuts_ = 0;
    int tools_ = 0;
    int planted_ = 0;
    int barrenSteps_ = 0;
};

}  // namespace

int main(int argc, char** argv)
{
    QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", config.path().toUtf8());
    PrivateXServer server;
    if (!server.running()) {
        std::fprintf(stderr, "Xvfb did not start\n");
        return 1;
    }
    Application application(argc, argv);
    installProgramSurfaceFormat();
    Environment::create();
    QDir::setCurrent(QCoreApplication::applicationDirPath());
    QSettings(QStringLiteral("Vel Kestrin"), QStringLiteral("Trelimo"))
        .setValue(QStringLiteral("Main/ShowStartupDisclaimer"), false);

    const int defaultOperations = 300;
    const unsigned defaultSeed = 1;
    const int count = environmentNumber("TRELIMO_SOAK_OPERATIONS", defaultOperations);
    const unsigned seed = static_cast<unsigned>(environmentNumber("TRELIMO_SOAK_SEED", defaultSeed));
    std::string failure;
    const auto start = std::chrono::steady_clock::now();
    {
        MainWindow window;
        window.resize(1000, 700);
        window.show();
        window.activateWindow();
        if (!QTest::qWaitForWindowActive(&window)) {
            std::fprintf(stderr, "the main window did not become active\n");
            return 1;
        }
        QTest::qWait(50);
        if (hasEventLoopFailure()) {
            std::fprintf(stderr, "start-up failed: %s\n", qPrintable(failureMessage(takeEventLoopFailure())));
            return 1;
        }
        Soak soak(window, seed);
        failure = soak.run(count);
        soak.report(count, std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
        // Another seed or length may fairly miss one; the default run must not.
        if (failure.empty() && count == defaultOperations && seed == defaultSeed && !soak.missing().empty())
            failure = "the end: no " + soak.missing();
    }
    if (!failure.empty()) {
        std::fprintf(stderr, "soak failed at %s (seed %u)\n", failure.c_str(), seed);
        return 1;
    }
    return 0;
}

// The main window in process, on the real renderer (Mesa) and the real OpenCL
// device (pocl), on an X server of its own, driven through real Qt events on its
// controls: the fill from the model, what each reachable control writes, the
// controls taken out of reach, the season commands, the histogram, the tree
// views, the growth curve, the dock's pages at the default size, the camera
// controls, and failures leaving the event loop. Run in the sanitizer build too
// (label asan).

#include <cmath>
#include <functional>
#include <new>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QDockWidget>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>
#include <QScrollArea>
#include <QScrollBar>
#include <QSettings>
#include <QSpinBox>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTimer>
#include <QTranslator>
#include <QToolBar>
#include <QToolBox>
#include <QTreeView>
#include <QtTest>

#include "app/application.h"
#include "app/dialoghistogram.h"
#include "app/failuremessage.h"
#include "app/mainwindow.h"
#include "app/treemodel.h"
#include "environment/environment.h"
#include "environment/opencl.h"
#include "environment/openclholder.h"
#include "environment/shadowgrid.h"
#include "model/growthcurve.h"
#include "model/internode.h"
#include "model/parameters.h"
#include "model/tree.h"
#include "support/paintcounter.h"
#include "support/screenshot.h"
#include "support/streamcapture.h"
#include "support/treebuilders.h"
#include "view/eventloopfailure.h"
#include "view/surfaceformat.h"
#include "view/vertexdata.h"
#include "view/widgetrisanje.h"
#include "support/xserver.h"

namespace {

const QString disclaimerKey = QStringLiteral("Main/ShowStartupDisclaimer");

void setDisclaimerShown(bool shown)
{
    QSettings settings(QStringLiteral("Vel Kestrin"), QStringLiteral("Trelimo"));
    if (shown)
        settings.remove(disclaimerKey);
    else
        settings.setValue(disclaimerKey, false);
}

template <class Control>
Control* control(QWidget& window, const char* name)
{
    auto* found = window.findChild<Control*>(QString::fromLatin1(name));
    if (!found)
        qFatal("no control %s", name);
    return found;
}

WidgetRisanje& view(QWidget& window) { return *window.findChild<WidgetRisanje*>(); }

// The window as the entry point shows it, OpenGL set up and the first tree grown.
struct ShownWindow {
    MainWindow window;
    ShownWindow()
    {
        window.show();
        window.activateWindow();
        if (!QTest::qWaitForWindowActive(&window))
            qFatal("main window not active");
        QTRY_VERIFY_WITH_TIMEOUT(view(window).glReady || hasEventLoopFailure(), 30000);
        // The start-up timers have run once the removed pages are deleted:
        // both wait for the event loop's first turn.
        QTRY_VERIFY(!window.findChild<QWidget*>(QStringLiteral("pageOther")));
    }
};

// Puts every model and grid parameter back as it was when it goes.
class ParameterSnapshot {
public:
    ParameterSnapshot()
        : floats_{&thicknessExponentN2, &thicknessFactorN1, &tropismWeight, &randomWeight, &sheddingThreshold,
                  &elongationFactor, &bhLambda, &wMin, &prioWMax, &prioDo, &ShadowGrid::instance->cMax,
                  &ShadowGrid::instance->a, &ShadowGrid::instance->b, &ShadowGrid::instance->depth,
                  &ShadowGrid::instance->displayAlpha}
    {
        for (float* value : floats_)
            saved_.push_back(*value);
        probabilistic_ = probabilisticGrowth;
        curve_ = growthCurveExpression;
    }
    ~ParameterSnapshot()
    {
        for (std::size_t i = 0; i < floats_.size(); ++i)
            *floats_[i] = saved_[i];
        probabilisticGrowth = probabilistic_;
        growthCurveExpression = curve_;
    }
    ParameterSnapshot(const ParameterSnapshot&) = delete;
    ParameterSnapshot& operator=(const ParameterSnapshot&) = delete;

private:
    std::vector<float*> floats_;
    std::vector<float> saved_;
    bool probabilistic_;
    std::string curve_;
};

// Replaces a spin box's text by `text` through the keyboard and commits it.
void typeInto(QWidget* box, const QString& text)
{
    QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(box, text);
    QTest::keyClick(box, Qt::Key_Enter);
}

void clickToolBar(MainWindow& window, QAction* action)
{
    QWidget* button = window.findChild<QToolBar*>(QStringLiteral("mainToolBar"))->widgetForAction(action);
    QTest::mouseClick(button, Qt::LeftButton);
}

QAction* action(MainWindow& window, const char* name)
{
    return window.findChild<QAction*>(QString::fromLatin1(name));
}

// Opens the tool box page holding `page`, with a click on its title.
void openPage(MainWindow& window, const char* page)
{
    auto* toolBox = window.findChild<QToolBox*>(QStringLiteral("toolBox"));
    const int index = toolBox->indexOf(window.findChild<QWidget*>(QString::fromLatin1(page)));
    for (QAbstractButton* title : toolBox->findChildren<QAbstractButton*>())
        if (title->text() == toolBox->itemText(index) && title->isVisible())
            QTest::mouseClick(title, Qt::LeftButton);
    QTRY_COMPARE(toolBox->currentIndex(), index);
}

int countOf(const std::string& text, const std::string& piece)
{
    int n = 0;
    for (std::size_t at = text.find(piece); at != std::string::npos; at = text.find(piece, at + 1))
        ++n;
    return n;
}

// The value a spin box shows for `value`: rounded to its decimals, then held
// in its range.
double shownValue(const QDoubleSpinBox* box, double value)
{
    const double scale = std::pow(10.0, box->decimals());
    return std::clamp(std::round(value * scale) / scale, box->minimum(), box->maximum());
}

// Every node of every tree.
std::set<const Internode*> liveNodes()
{
    std::set<const Internode*> nodes;
    for (Tree* tree : allTrees)
        for (Internode* node : collectNodes(tree->root))
            nodes.insert(node);
    return nodes;
}

// The view draws the trees as they are: its pick table holds live nodes only,
// and its arrays are what a rebuild from the trees gives now.
void checkViewFollowsTheTrees(WidgetRisanje& widget)
{
    std::vector<BranchPoint> branches;
    std::vector<LeafPoint> leaves;
    std::vector<Internode*> picks;
    GeometryAttributes attributes;
    std::vector<CapPoint> caps;
    buildAllTreeGeometry(branches, leaves, picks, attributes, caps);
    QCOMPARE(widget.pickTable.size(), picks.size());
    QCOMPARE(widget.branchPoints.size(), branches.size());
    QCOMPARE(widget.branchVertexCount, static_cast<int>(branches.size()));
    const std::set<const Internode*> live = liveNodes();
    for (Internode* node : widget.pickTable)
        QVERIFY(live.count(node) == 1);
}

// True when none of the widget lies outside one of the widgets holding it (the
// page's scroll area, the tool box, the dock, the window), which would cut it.
bool shownWhole(QWidget* widget)
{
    for (QWidget* holder = widget->parentWidget(); holder; holder = holder->parentWidget())
        if (!holder->rect().contains(QRect(widget->mapTo(holder, QPoint(0, 0)), widget->size())))
            return false;
    return true;
}

// What of a shown dock page cannot be read whole: a named control cut off, or
// a text narrower than it needs.
QStringList cutControls(QWidget* page)
{
    QStringList cut;
    for (QWidget* widget : page->findChildren<QWidget*>()) {
        const QString name = widget->objectName();
        if (name.isEmpty() || name.startsWith(QStringLiteral("qt_")) || !widget->isVisible())
            continue;
        const bool hasText = qobject_cast<QLabel*>(widget) || qobject_cast<QAbstractButton*>(widget);
        if (!shownWhole(widget))
            cut << name + QStringLiteral(" cut off");
        else if (hasText && widget->width() < widget->sizeHint().width())
            cut << QStringLiteral("%1 %2 px wide, needs %3")
                       .arg(name)
                       .arg(widget->width())
                       .arg(widget->sizeHint().width());
    }
    return cut;
}

}  // namespace

class MainWindowTest : public QObject {
    Q_OBJECT

private slots:
    void fillShowsTheModelThroughTheControls()
    {
        // Values off the start ones, some needing the box's rounding: each box
        // shows the value as it rounds and clamps it, and its slot writes that
        // back into the model.
        struct Row {
            const char* name;
            float* value;
        };
        ShadowGrid& grid = *ShadowGrid::instance;
        const std::vector<Row> rows = {
            {"doubleSpinBoxCMAX", &grid.cMax},          {"doubleSpinBoxShadowA", &grid.a},
            {"doubleSpinBoxShadowB", &grid.b},          {"doubleSpinBoxBHLambda", &bhLambda},
            {"doubleSpinBoxDebelineN1", &thicknessFactorN1}, {"doubleSpinBoxDeelineN2", &thicknessExponentN2},
            {"doubleSpinBoxTropism", &tropismWeight},   {"doubleSpinBoxRandom", &randomWeight},
            {"doubleSpinBoxPragRezanja", &sheddingThreshold}, {"doubleSpinBoxWMin", &wMin},
            {"doubleSpinBoxPrioWMAX", &prioWMax},       {"doubleSpinBoxPrioDo", &prioDo},
            {"doubleSpinBoxPrirastDolzineVejGledeNaPrirastDebeline", &elongationFactor},
            {"doubleSpinBoxPrikazAlfa", &grid.displayAlpha},
        };
        const ParameterSnapshot snapshot;
        for (std::size_t i = 0; i < rows.size(); ++i)
            *rows[i].value = 0.123456f + 0.1f * static_cast<float>(i % 7);
        const std::vector<float> chosen = [&] {
            std::vector<float> values;
            for (const Row& row : rows)
                values.push_back(*row.value);
            return values;
        }();
        grid.depth = 6.7f;  // an integer box: truncated
        Environment& environment = *Environment::instance;
        const glm::vec3 origin = environment.boxOrigin, far = environment.boxOrigin + environment.boxSize;

        {
            MainWindow window;  // not shown: the removed pages still exist
            for (std::size_t i = 0; i < rows.size(); ++i) {
                auto* box = control<QDoubleSpinBox>(window, rows[i].name);
                const double expected = shownValue(box, chosen[i]);
                QVERIFY2(std::abs(box->value() - expected) < 1e-9, rows[i].name);
                QCOMPARE(*rows[i].value, static_cast<float>(expected));
            }
            QCOMPARE(control<QSpinBox>(window, "spinBoxQMAX")->value(), 6);
            QCOMPARE(grid.depth, 6.0f);
            QCOMPARE(control<QSpinBox>(window, "spinBoxSencaDim")->value(), grid.dim);
            // The environment box keeps both corners through the six boxes.
            const char* corners[2][3] = {{"risanjeSPBBoxMinX", "risanjeSPBBoxMinY", "risanjeSPBBoxMinZ"},
                                         {"risanjeSPBBoxMaxX", "risanjeSPBBoxMaxY", "risanjeSPBBoxMaxZ"}};
            for (int axis = 0; axis < 3; ++axis) {
                QCOMPARE(control<QDoubleSpinBox>(window, corners[0][axis])->value(),
                         shownValue(control<QDoubleSpinBox>(window, corners[0][axis]), origin[axis]));
                QCOMPARE(control<QDoubleSpinBox>(window, corners[1][axis])->value(),
                         shownValue(control<QDoubleSpinBox>(window, corners[1][axis]), far[axis]));
                QVERIFY(std::abs(environment.boxOrigin[axis] + environment.boxSize[axis] - far[axis]) < 1e-3f);
            }
            const WidgetRisanje& widget = view(window);
            QCOMPARE(control<QComboBox>(window, "comboBoxMode")->currentIndex(), widget.mode);
            QCOMPARE(control<QCheckBox>(window, "checkBoxReziTakoj")->isChecked(), widget.cutImmediately);
            QCOMPARE(control<QPushButton>(window, "pushButtonApplyRezanje")->isEnabled(), !widget.cutImmediately);
            QCOMPARE(control<QCheckBox>(window, "checkBoxProbabilistic")->isChecked(), probabilisticGrowth);
            QCOMPARE(control<QCheckBox>(window, "checkBoxDeterministic")->isChecked(), !probabilisticGrowth);
            QCOMPARE(control<QComboBox>(window, "comboBoxTipRastiProl")->currentIndex(), prolepticGrowth ? 0 : 1);
            QCOMPARE(control<QComboBox>(window, "comboBoxVrstaVirov")->currentIndex(), environment.type);
            QCOMPARE(action(window, "actionMe_i_senco_na_drevo")->isChecked(), widget.castShadows);
            QCOMPARE(action(window, "actionPrikaz_metra")->isChecked(), widget.showRuler);
            auto* curve = control<QLineEdit>(window, "lineEditRastnaKrivulja");
            QCOMPARE(curve->text().toStdString(), growthCurveExpression);
            QCOMPARE(curve->styleSheet(), QStringLiteral("QLineEdit{}"));
        }
    }

    void reachableControlsWriteTheModel()
    {
        const ParameterSnapshot snapshot;
        ShownWindow shown;
        MainWindow& window = shown.window;
        WidgetRisanje& widget = view(window);
        struct Row {
            const char* page;
            const char* name;
            std::function<double()> value;
        };
        const std::vector<Row> rows = {
            {"page_4", "doubleSpinBoxPragRezanja", [] { return sheddingThreshold; }},
            {"page_4", "doubleSpinBoxTropism", [] { return tropismWeight; }},
            {"page_4", "doubleSpinBoxRandom", [] { return randomWeight; }},
            {"page_4", "doubleSpinBoxDebelineN1", [] { return thicknessFactorN1; }},
            {"page_4", "doubleSpinBoxDeelineN2", [] { return thicknessExponentN2; }},
            {"pageEnvParams", "doubleSpinBoxPrikazAlfa", [] { return ShadowGrid::instance->displayAlpha; }},
            {"page", "doubleSpinBoxCamLocX", [&] { return widget.camera.location.x; }},
            {"page", "doubleSpinBoxCamLocY", [&] { return widget.camera.location.y; }},
            {"page", "doubleSpinBoxCamLocZ", [&] { return widget.camera.location.z; }},
            {"page", "doubleSpinBoxCamRotX", [&] { return widget.camera.cameraRotationX; }},
            {"page", "doubleSpinBoxCamRotY", [&] { return widget.camera.cameraRotationY; }},
            {"page", "doubleSpinBoxCamZoom", [&] { return widget.camera.zoom; }},
            {"page", "doubleSpinBoxCamObjRotX", [&] { return widget.camera.objectRotationX; }},
            {"page", "doubleSpinBoxCamObjRotY", [&] { return widget.camera.objectRotationY; }},
        };
        for (const Row& row : rows) {
            openPage(window, row.page);
            auto* box = control<QDoubleSpinBox>(window, row.name);
            // The far ends first, then a plain value the start values do not hold.
            for (double target : {box->minimum(), box->maximum(), 0.0, 0.25}) {
                if (target < box->minimum() || target > box->maximum())
                    continue;
                typeInto(box, box->textFromValue(target));
                QVERIFY2(box->value() == target, row.name);
                QVERIFY2(static_cast<float>(row.value()) == static_cast<float>(target), row.name);
            }
        }

        openPage(window, "page_4");
        for (auto [name, probabilistic] : {std::pair<const char*, bool>{"checkBoxDeterministic", false},
                                          {"checkBoxProbabilistic", true}}) {
            QTest::mouseClick(control<QCheckBox>(window, name), Qt::LeftButton);
            QCOMPARE(probabilisticGrowth, probabilistic);
        }
        openPage(window, "page_5");
        auto* immediate = control<QCheckBox>(window, "checkBoxReziTakoj");
        for (int click = 0; click < 2; ++click) {
            QTest::mouseClick(immediate, Qt::LeftButton);
            QCOMPARE(widget.cutImmediately, immediate->isChecked());
            QCOMPARE(control<QPushButton>(window, "pushButtonApplyRezanje")->isEnabled(), !immediate->isChecked());
        }
        auto* mode = control<QComboBox>(window, "comboBoxMode");
        mode->setFocus();
        // A bend waiting for its confirm does not outlive its mode.
        widget.bendTarget.state = 2;
        for (auto key : {Qt::Key_Up, Qt::Key_Up, Qt::Key_Down}) {
            QTest::keyClick(mode, key);
            QCOMPARE(widget.mode, mode->currentIndex());
        }
        QCOMPARE(widget.mode, ModeWeighting);
        QCOMPARE(widget.bendTarget.state, 0);
    }

    void removedAndHiddenControlsAreOutOfReach()
    {
        ShownWindow shown;
        MainWindow& window = shown.window;
        // The four removed pages are gone with their controls.
        for (const char* name : {"pageBBOX", "risanjeSPBBoxMinX", "pageSpreminjanjeVirov", "risanjeCellDim",
                                 "pageOther", "comboBoxModelAlokacijeVirov", "doubleSpinBoxVelikostZagic",
                                 "pageupogibanjevej", "doubleSpinBoxUpogibanjeEndX"})
            QVERIFY2(!window.findChild<QObject*>(QString::fromLatin1(name)), name);

        // The two hidden layouts' controls live on, unseen, and Tab never lands
        // on one of them while their page is open.
        const std::vector<const char*> hiddenNames = {"comboBoxVrstaVirov", "spinBoxQMAX", "doubleSpinBoxCMAX",
                                                      "doubleSpinBoxShadowA", "doubleSpinBoxShadowB",
                                                      "spinBoxSencaDim", "pushButtonSencaClear"};
        std::set<QWidget*> hidden;
        for (const char* name : hiddenNames) {
            auto* widget = control<QWidget>(window, name);
            QVERIFY2(!widget->isVisible(), name);
            hidden.insert(widget);
        }
        openPage(window, "pageEnvParams");
        auto* curve = control<QLineEdit>(window, "lineEditRastnaKrivulja");
        curve->setFocus();
        QTRY_COMPARE(QApplication::focusWidget(), curve);
        std::set<QWidget*> reached;
        for (int tab = 0; tab < 60; ++tab) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            reached.insert(QApplication::focusWidget());
        }
        QVERIFY(reached.count(control<QWidget>(window, "doubleSpinBoxPrikazAlfa")) == 1);
        for (QWidget* widget : hidden)
            QVERIFY2(reached.count(widget) == 0, qPrintable(widget->objectName()));
    }

    void refusedGridSizeKeepsTheGrid()
    {
        ShownWindow shown;
        MainWindow& window = shown.window;
        ShadowGrid& grid = *ShadowGrid::instance;
        const int before = grid.dim;
        // The size box and its button are hidden, but a refused size must still
        // not end the program: the old grid stays and the status bar says why.
        typeInto(control<QSpinBox>(window, "spinBoxSencaDim"), QStringLiteral("0"));
        QTest::keyClick(control<QPushButton>(window, "pushButtonSencaClear"), Qt::Key_Space);
        QCOMPARE(grid.dim, before);
        QCOMPARE(OpenClHolder::instance->shadowGridDim, before);
        QVERIFY(!hasEventLoopFailure());
        QVERIFY(!window.findChild<QStatusBar*>()->currentMessage().isEmpty());
    }

    void seasonCommandsGrowAndTheViewFollows()
    {
        ShownWindow shown;
        MainWindow& window = shown.window;
        WidgetRisanje& widget = view(window);
        openPage(window, "page_4");
        struct Row {
            const char* button;
            int seasons;
            bool restarts;
        };
        for (const Row& row : std::vector<Row>{{"pushButtonGenerirja", 0, false},
                                               {"pushButtonGenerirja", 2, false},
                                               {"pushButtonClearAndGen", 0, true},
                                               {"pushButtonClearAndGen", 3, true}}) {
            const QByteArray label = QByteArray(row.button) + " " + QByteArray::number(row.seasons);
            typeInto(control<QSpinBox>(window, "spinBoxNSezon"), QString::number(row.seasons));
            const int ageBefore = allTrees.front()->age;
            std::string printed;
            {
                StreamCapture out(std::cout);
                QTest::mouseClick(control<QPushButton>(window, row.button), Qt::LeftButton);
                printed = out.text();
            }
            QVERIFY2(countOf(printed, "Number of internodes: ") == row.seasons, label.constData());
            QCOMPARE(allTrees.size(), std::size_t{1});
            QCOMPARE(allTrees.front()->age, (row.restarts ? 0 : ageBefore) + row.seasons);
            checkViewFollowsTheTrees(widget);
            // A hover in navigation mode reads the pick table, at the next tick.
            widget.mode = ModeNavigation;
            QTest::mouseMove(&widget, widget.rect().center());
            QTest::mouseMove(&widget, widget.rect().center() + QPoint(3, 5));
            QSignalSpy ticks(&widget.timer, &QTimer::timeout);
            QVERIFY(ticks.wait());
            QVERIFY(!widget.mouseMoved);
            QVERIFY(!hasEventLoopFailure());
        }
    }

    void histogramDialogIsMadeOnce()
    {
        ShownWindow shown;
        MainWindow& window = shown.window;
        DialogHistogram* first = nullptr;
        for (int request = 0; request < 3; ++request) {
            clickToolBar(window, action(window, "actionShow_histogram"));
            const auto dialogs = window.findChildren<DialogHistogram*>();
            QCOMPARE(dialogs.size(), 1);
            QTRY_VERIFY(dialogs.first()->isVisible());
            if (!first)
                first = dialogs.first();
            QCOMPARE(dialogs.first(), first);
            if (request == 1) {
                QTest::keyClick(first, Qt::Key_Escape);  // closing only hides it
                QTRY_VERIFY(!first->isVisible());
            }
        }
    }

    void treeViewsLetGoOfFreedTrees()
    {
        ShownWindow shown;
        MainWindow& window = shown.window;
        // The command has no menu entry or button: only its action reaches it.
        action(window, "actionShow_tree")->trigger();
        QCOMPARE(static_cast<QAbstractItemModel*>(&sharedTreeModel), treeView->model());
        QCOMPARE(sharedTreeModel.root, allTrees.front()->root);
        QVERIFY(sharedTreeModel.rowCount() > 0);
        treeView->expandAll();
        const PaintCounter viewPaints(treeView->viewport());
        for (const char* command : {"actionIzvedi_iteracijo_rasti", "actionZnova"}) {
            const int paintsBefore = viewPaints.paints;
            clickToolBar(window, action(window, command));
            treeView->viewport()->update();
            QTRY_VERIFY(viewPaints.paints > paintsBefore);  // the open view reads the model again
            const bool rootAlive = sharedTreeModel.root == allTrees.front()->root;
            QVERIFY2(rootAlive || !sharedTreeModel.root, command);
        }
        QVERIFY(!sharedTreeModel.root);  // the restart freed the shown tree
        QCOMPARE(sharedTreeModel.rowCount(), 0);
    }

    void growthCurveTextIsStoredAndMarked()
    {
        const ParameterSnapshot snapshot;
        ShownWindow shown;
        MainWindow& window = shown.window;
        openPage(window, "pageEnvParams");
        auto* curve = control<QLineEdit>(window, "lineEditRastnaKrivulja");
        struct Row {
            QString text;
            bool compiles;
        };
        for (const Row& row : {Row{QStringLiteral("3*x+1"), true}, Row{QStringLiteral("3*x+"), false},
                               Row{QStringLiteral("sqrt(x"), false},
                               Row{QStringLiteral("40*tanh(0.2/(x-1))+2.0"), true}}) {
            QTest::keyClick(curve, Qt::Key_A, Qt::ControlModifier);
            QTest::keyClicks(curve, row.text);
            QCOMPARE(QString::fromStdString(growthCurveExpression), row.text);
            QCOMPARE(curve->styleSheet().contains(QStringLiteral("orange")), !row.compiles);
        }
    }

    // At the window's default size, in English on this system's fonts (wider
    // than those the form was laid out with), every page of the dock reads
    // whole without scrolling sideways, and the growth-curve box keeps the
    // dock's font through its three style sheets: as the window opens, and
    // after it shrank and grew back, with the dock's width dragged by hand or not.
    void dockReadsWholeAtTheDefaultSize_data()
    {
        QTest::addColumn<int>("handDrag");  // pixels the dock's edge is dragged left, 0: none
        QTest::addColumn<bool>("shrunk");   // 200 x 150 and back to the default size
        QTest::newRow("as the window opens") << 0 << false;
        QTest::newRow("after 200 x 150 and back") << 0 << true;
        QTest::newRow("widened by hand, then 200 x 150 and back") << 30 << true;
    }

    void dockReadsWholeAtTheDefaultSize()
    {
        QFETCH(int, handDrag);
        QFETCH(bool, shrunk);
        const ParameterSnapshot snapshot;
        QTranslator english;
        QVERIFY(english.load(QStringLiteral(":/tr/tr/localization_strings_en")));
        QCoreApplication::installTranslator(&english);
        ShownWindow shown;
        MainWindow& window = shown.window;
        QCOMPARE(window.size(), QSize(725, 648));
        auto* dock = control<QDockWidget>(window, "dockWidget");
        const QString row =
            QString::fromLatin1(QTest::currentDataTag()).replace(QRegularExpression(QStringLiteral("[^A-Za-z0-9]+")),
                                                                 QStringLiteral("_"));
        int width = dock->width();
        if (handDrag != 0) {
            // The separator between the view and the dock, dragged with the mouse.
            const QWidget* central = window.centralWidget();
            const QPoint from((central->geometry().right() + dock->geometry().left()) / 2,
                              dock->geometry().center().y());
            QWindow* handle = window.windowHandle();
            QTest::mousePress(handle, Qt::LeftButton, Qt::NoModifier, from);
            QTest::mouseMove(handle, from - QPoint(handDrag / 2, 0));
            QTest::mouseMove(handle, from - QPoint(handDrag, 0));
            QTest::mouseRelease(handle, Qt::LeftButton, Qt::NoModifier, from - QPoint(handDrag, 0));
            QTRY_COMPARE(dock->width(), width + handDrag);
            width = dock->width();
        }
        if (shrunk) {
            window.resize(200, 150);
            QTRY_VERIFY(dock->width() < width);
            window.resize(725, 648);
            QTRY_COMPARE(window.size(), QSize(725, 648));
            QTRY_COMPARE(dock->width(), width);
        }
        auto* toolBox = control<QToolBox>(window, "toolBox");
        // "Growth", the page with the longest labels, opened first, straight
        // from the start page.
        const std::vector<const char*> pages = {"page_4", "page", "page_6", "pageEnvParams", "page_5"};
        QCOMPARE(toolBox->count(), static_cast<int>(pages.size()));
        for (const char* name : pages) {
            openPage(window, name);
            // The page's layout and its scroll area settle through posted events.
            QCoreApplication::sendPostedEvents();
            auto* page = control<QWidget>(window, name);
            auto* area = qobject_cast<QScrollArea*>(page->parentWidget()->parentWidget());
            QVERIFY2(area && area->widget() == page, name);
            widgettest::keepScreenshot(window.grab().toImage(),
                                       QStringLiteral("dock_%1_%2").arg(row).arg(QLatin1String(name)));
            QVERIFY2(!area->horizontalScrollBar()->isVisible(), name);
            const QStringList cut = cutControls(page);
            QVERIFY2(cut.isEmpty(), qPrintable(QLatin1String(name) + QStringLiteral(": ") + cut.join(", ")));
        }
        // The wider dock leaves the view most of the window.
        QVERIFY(view(window).width() >= window.width() / 2);

        openPage(window, "pageEnvParams");
        auto* curve = control<QLineEdit>(window, "lineEditRastnaKrivulja");
        const double dockSize = control<QLabel>(window, "label_48")->font().pointSizeF();
        struct Style {
            QString typed;  // null: as the window opens
            QString styleSheet;
        };
        for (const Style& style : {Style{QString(), QStringLiteral("QLineEdit{}")},
                                   Style{QStringLiteral("3*x+1"), QStringLiteral("QLineEdit{background: white;}")},
                                   Style{QStringLiteral("3*x+"), QStringLiteral("QLineEdit{background: orange;}")}}) {
            if (!style.typed.isNull()) {
                QTest::keyClick(curve, Qt::Key_A, Qt::ControlModifier);
                QTest::keyClicks(curve, style.typed);
            }
            QCOMPARE(curve->styleSheet(), style.styleSheet);
            QCOMPARE(curve->font().pointSizeF(), dockSize);
        }
        widgettest::keepScreenshot(window.grab().toImage(), QStringLiteral("dock_%1_curve_orange").arg(row));
    }

    // A camera command shows its result in one frame: the boxes' write-back
    // draws once at most, and not at all when it leaves the camera as drawn.
    void cameraControlsFollowTheViewInOneFrame()
    {
        ShownWindow shown;
        MainWindow& window = shown.window;
        WidgetRisanje& widget = view(window);
        openPage(window, "page");
        const std::vector<std::pair<const char*, std::function<double()>>> boxes = {
            {"doubleSpinBoxCamLocX", [&] { return widget.camera.location.x; }},
            {"doubleSpinBoxCamLocY", [&] { return widget.camera.location.y; }},
            {"doubleSpinBoxCamLocZ", [&] { return widget.camera.location.z; }},
            {"doubleSpinBoxCamRotX", [&] { return widget.camera.cameraRotationX; }},
            {"doubleSpinBoxCamRotY", [&] { return widget.camera.cameraRotationY; }},
            {"doubleSpinBoxCamZoom", [&] { return widget.camera.zoom; }},
            {"doubleSpinBoxCamObjRotX", [&] { return widget.camera.objectRotationX; }},
            {"doubleSpinBoxCamObjRotY", [&] { return widget.camera.objectRotationY; }},
        };
        struct Row {
            const char* name;
            std::function<void()> prepare;  // not counted
            std::function<void()> command;
            int frames;
        };
        auto turn = [&] { control<QDoubleSpinBox>(window, "doubleSpinBoxCamRotX")->setValue(33.0); };
        const std::vector<Row> rows = {
            {"top view", nullptr, [&] { clickToolBar(window, action(window, "actionView_TOP")); }, 1},
            {"start view", nullptr, [&] { clickToolBar(window, action(window, "actionVIEW_0")); }, 1},
            // Steps along a heading of 33 degrees land between the boxes' steps.
            {"arrow key", turn, [&] { QTest::keyClick(&widget, Qt::Key_Left); }, 1},
            {"wheel",
             turn,
             [&] {
                 const QPoint at(40, 40);
                 QWheelEvent event(at, widget.mapToGlobal(at), QPoint(), QPoint(0, 120), Qt::NoButton, Qt::NoModifier,
                                   Qt::NoScrollPhase, false);
                 QApplication::sendEvent(&widget, &event);
             },
             1},
            // The recalled view is drawn, then its rounded write-back once more.
            {"recall an unrounded view",
             [&] {
                 widget.camera.location.x = 1.23456f;
                 widget.saveView();
             },
             [&] { clickToolBar(window, action(window, "actionNalozi_pogled")); }, 2},
        };
        PaintCounter paints(&widget);
        for (const Row& row : rows) {
            if (row.prepare)
                row.prepare();
            waitForQuiet(paints);
            paints.paints = 0;
            row.command();
            // The write-back runs once the event loop is free.
            QTRY_VERIFY2(sameView(widget.camera, widget.drawnCamera), row.name);
            waitForQuiet(paints);
            QVERIFY2(paints.paints == row.frames,
                     qPrintable(QStringLiteral("%1: %2 frames").arg(row.name).arg(paints.paints)));
            for (const auto& box : boxes) {
                auto* spinBox = control<QDoubleSpinBox>(window, box.first);
                QVERIFY2(static_cast<float>(box.second()) == static_cast<float>(spinBox->value()), box.first);
            }
        }
    }

    void failureBeforeTheLoopLeavesBoxesWorking()
    {
        // A failure stored while no loop runs must not keep the next loop, the
        // entry point's error box among them, from running.
        storeEventLoopFailure(std::make_exception_ptr(std::string("early")));
        QMessageBox box(QMessageBox::Critical, QStringLiteral("Error!"), QStringLiteral("shown"));
        bool wasShown = false;
        QTimer::singleShot(200, &box, [&] {
            wasShown = box.isVisible();
            box.accept();
        });
        box.exec();
        QVERIFY(wasShown);
        QVERIFY(takeEventLoopFailure() != nullptr);
    }

    void throwWhileTheDisclaimerRunsEndsTheLoops()
    {
        setDisclaimerShown(true);
        int status = 0;
        QString message;
        {
            // Something fails while the disclaimer's own loop runs.
            QTimer failing;
            QObject::connect(&failing, &QTimer::timeout, [] {
                auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
                if (box && box->windowTitle() == QStringLiteral("Disclaimer"))
                    throw std::string("failure while the disclaimer runs");
            });
            failing.start(20);
            // As the entry point runs the window.
            MainWindow window;
            window.show();
            status = hasEventLoopFailure() ? -1 : QApplication::exec();
            message = failureMessage(takeEventLoopFailure());
        }
        setDisclaimerShown(false);
        QCOMPARE(status, -1);
        QCOMPARE(message, QStringLiteral("Critical error: failure while the disclaimer runs"));
    }

    void failureMessagesByThrownType()
    {
        int object = 0;
        const std::bad_alloc noMemory;
        const std::runtime_error runtime("runtime failure");
        const cl::Error withText(CL_OUT_OF_RESOURCES, "clEnqueueNDRangeKernel");
        const cl::Error withoutText(CL_OUT_OF_RESOURCES);
        const std::vector<std::pair<std::exception_ptr, QString>> rows = {
            {std::make_exception_ptr("thrown text"), QStringLiteral("Critical error: thrown text")},
            {std::make_exception_ptr(std::string("thrown string")), QStringLiteral("Critical error: thrown string")},
            {std::make_exception_ptr(withText), QStringLiteral("Critical OpenCL error: ") + withText.what()},
            {std::make_exception_ptr(withoutText), QStringLiteral("Critical OpenCL error: empty")},
            {std::make_exception_ptr(&object), QStringLiteral("Critical unknown error")},
            {std::make_exception_ptr(noMemory), QStringLiteral("Critical error: ") + noMemory.what()},
            {std::make_exception_ptr(runtime), QStringLiteral("Critical error: runtime failure")},
            {std::make_exception_ptr(7), QStringLiteral("Critical unknown error")},
        };
        for (const auto& [failure, text] : rows)
            QCOMPARE(failureMessage(failure), text);
    }
};

int main(int argc, char** argv)
{
    // Settings in a folder of this run, with the disclaimer declined: the box
    // would stop every test but the one about it.
    QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", config.path().toUtf8());
    PrivateXServer server;
    if (!server.running())
        qFatal("Xvfb did not start");
    Application application(argc, argv);
    installProgramSurfaceFormat();
    Environment::create();
    QDir::setCurrent(QCoreApplication::applicationDirPath());  // tex/ and icons/ lie here
    setDisclaimerShown(false);
    MainWindowTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "mainwindow_test.moc"

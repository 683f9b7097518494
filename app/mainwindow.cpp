#include "app/mainwindow.h"

#include <algorithm>
#include <exception>
#include <new>
#include <string>

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDockWidget>
#include <QDoubleSpinBox>
#include <QIcon>
#include <QLayout>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QSettings>
#include <QSpinBox>
#include <QStatusBar>
#include <QToolBar>
#include <QToolBox>
#include <QTreeView>

#include "app/dialoghelp.h"
#include "app/dialoghistogram.h"
#include "app/dockwidth.h"
#include "app/mainwindowform.h"
#include "app/treemodel.h"
#include "app/waitcursor.h"
#include "environment/environment.h"
#include "environment/openclholder.h"
#include "environment/shadowgrid.h"
#include "model/parameters.h"
#include "model/tree.h"
#include "view/widgetrisanje.h"

QTreeView* treeView = nullptr;

namespace {

// Hides every widget of a layout taken out of its page, nested layouts included,
// so that none of them is drawn or reached by Tab; they stay alive.
void hideLayoutWidgets(QLayout* layout)
{
    for (int i = 0; i < layout->count(); ++i) {
        QLayoutItem* item = layout->itemAt(i);
        if (QWidget* widget = item->widget())
            widget->hide();
        else if (QLayout* inner = item->layout())
            hideLayoutWidgets(inner);
    }
}

// The four removed pages die at the next turn of the event loop: their pointers
// in the form must not be followed after the constructor.
void forgetRemovedPages(MainWindowForm* ui)
{
    ui->pageSpreminjanjeVirov = nullptr;
    ui->risanjeCheckBoxUpostevaj = nullptr;
    ui->risanjeSpinBoxId = nullptr;
    ui->risanjeComboBoxOs = nullptr;
    ui->risanjeComboboxMode = nullptr;
    ui->risanjeEfektX = nullptr;
    ui->risanjeEfektY = nullptr;
    ui->risanjeEfektZ = nullptr;
    ui->risanjeCellDim = nullptr;
    ui->risanjePushButtonClear = nullptr;
    ui->pageBBOX = nullptr;
    ui->risanjeCheckBoxPrikazi = nullptr;
    ui->risanjeSPBBoxMinX = nullptr;
    ui->risanjeSPBBoxMinY = nullptr;
    ui->risanjeSPBBoxMinZ = nullptr;
    ui->risanjeSPBBoxMaxX = nullptr;
    ui->risanjeSPBBoxMaxY = nullptr;
    ui->risanjeSPBBoxMaxZ = nullptr;
    ui->pageOther = nullptr;
    ui->comboBoxModelAlokacijeVirov = nullptr;
    ui->doubleSpinBoxBHLambda = nullptr;
    ui->doubleSpinBoxPrioWMAX = nullptr;
    ui->doubleSpinBoxWMin = nullptr;
    ui->doubleSpinBoxPrioDo = nullptr;
    ui->checkBoxApicalControl = nullptr;
    ui->comboBoxTipRastiProl = nullptr;
    ui->doubleSpinBoxPrirastDolzineVejGledeNaPrirastDebeline = nullptr;
    ui->checkBoxPrikazNamigov = nullptr;
    ui->doubleSpinBoxVelikostZagic = nullptr;
    ui->pageupogibanjevej = nullptr;
    ui->doubleSpinBoxUpogibanjeUtezOptimal = nullptr;
    ui->doubleSpinBoxUpogibanjeUtezSmooth = nullptr;
    ui->doubleSpinBoxUpogibanjeUtezEnergy = nullptr;
    ui->doubleSpinBoxUpogibanjeUtezKonecOrientacija = nullptr;
    ui->doubleSpinBoxUpogibanjeEndX = nullptr;
    ui->doubleSpinBoxUpogibanjeEndY = nullptr;
    ui->doubleSpinBoxUpogibanjeEndZ = nullptr;
    ui->pushButtonAppleUpogibanje = nullptr;
    ui->pushButtonUpogibanjeCancel = nullptr;
}

// The pages were laid out for a narrower system font than some systems have
// (Debian's DejaVu Sans among them): the dock opens as wide as its widest page
// needs, so that no page is cut or scrolls sideways at the window's default
// size. Its minimum stays the form's, so the user may still narrow it. Gives
// the width it opened with.
int openDockForWidestPage(QMainWindow* window, const MainWindowForm* ui)
{
    int widest = 0;
    for (int i = 0; i < ui->toolBox->count(); ++i) {
        QWidget* page = ui->toolBox->widget(i);
        // The layouts' cached sizes may predate the texts and the dock's font.
        if (QLayout* layout = page->layout())
            layout->activate();
        widest = std::max(widest, page->minimumSizeHint().width());
    }
    // Docked, the dock has no frame: a page has only the contents' margins and
    // the tool box's frame around it.
    const QMargins margins = ui->verticalLayout_5->contentsMargins();
    const int width = widest + margins.left() + margins.right() + 2 * ui->toolBox->frameWidth();
    const int opened = std::max(width, ui->dockWidget->minimumWidth());
    window->resizeDocks({ui->dockWidget}, {opened}, Qt::Horizontal);
    return opened;
}

Environment& environment() { return *Environment::instance; }
ShadowGrid& shadowGrid() { return *ShadowGrid::instance; }

}  // namespace

MainWindow::MainWindow(QWidget* parent) : QMainWindow(parent), ui(new MainWindowForm), histogramDialog(nullptr)
{
    ui->setupUi(this);
    WidgetRisanje* view = ui->widget;

    ui->mainToolBar->addAction(ui->actionZnova);
    ui->mainToolBar->addAction(ui->actionIzvedi_iteracijo_rasti);
    ui->mainToolBar->addSeparator();
    ui->mainToolBar->addAction(ui->actionVIEW_0);
    ui->mainToolBar->addAction(ui->actionView_TOP);
    ui->mainToolBar->addSeparator();
    ui->mainToolBar->addAction(ui->actionShrani_pogled);
    ui->mainToolBar->addAction(ui->actionNalozi_pogled);
    ui->mainToolBar->addSeparator();
    ui->mainToolBar->addSeparator();
    ui->mainToolBar->addAction(ui->actionShow_histogram);

    // From files beside the program; a missing file leaves the action without an image.
    ui->actionShow_histogram->setIcon(QIcon(QStringLiteral("icons/histogram.png")));
    ui->actionVIEW_0->setIcon(QIcon(QStringLiteral("icons/view_reset.png")));
    ui->actionView_TOP->setIcon(QIcon(QStringLiteral("icons/view_up.png")));
    ui->actionIzvedi_iteracijo_rasti->setIcon(QIcon(QStringLiteral("icons/chronometer.png")));
    ui->actionNalozi_pogled->setIcon(QIcon(QStringLiteral("icons/viewLoad.png")));
    ui->actionZnova->setIcon(QIcon(QStringLiteral("icons/undo_256.png")));
    ui->actionShrani_pogled->setIcon(QIcon(QStringLiteral("icons/viewSave.png")));
    ui->actionInvert_colours->setIcon(QIcon(QStringLiteral("tex/woodInMladWoodInvert.jpg")));
    ui->actionPrikaz_metra->setIcon(QIcon(QStringLiteral("tex/ravnilo.png")));

    view->statusMessageCallback = [this](const QString& text) { showStatusMessage(text); };
    // The tree views hold plain node pointers: every change of the trees drops them.
    view->treesChangedCallback = [] { sharedTreeModel.TreesChanged(); };

    // Fill: every spin box whose value changes writes the value back through its
    // slot, rounded and clamped to the box.
    Environment& env = environment();
    ShadowGrid& grid = shadowGrid();
    ui->risanjeSPBBoxMinX->setValue(env.boxOrigin.x);
    ui->risanjeSPBBoxMinY->setValue(env.boxOrigin.y);
    ui->risanjeSPBBoxMinZ->setValue(env.boxOrigin.z);
    ui->risanjeSPBBoxMaxX->setValue(env.boxOrigin.x + env.boxSize.x);
    ui->risanjeSPBBoxMaxY->setValue(env.boxOrigin.y + env.boxSize.y);
    ui->risanjeSPBBoxMaxZ->setValue(env.boxOrigin.z + env.boxSize.z);
    ui->risanjeSpinBoxId->setValue(env.selectedLayer);
    ui->risanjeCellDim->setValue(env.markerDim);
    ui->risanjeCheckBoxPrikazi->setChecked(env.showBox);
    ui->risanjeCheckBoxUpostevaj->setChecked(env.useMarkers);
    ui->spinBoxQMAX->setValue(static_cast<int>(grid.depth));
    ui->doubleSpinBoxCMAX->setValue(grid.cMax);
    ui->doubleSpinBoxShadowA->setValue(grid.a);
    ui->doubleSpinBoxShadowB->setValue(grid.b);
    ui->doubleSpinBoxBHLambda->setValue(bhLambda);
    ui->doubleSpinBoxDebelineN1->setValue(thicknessFactorN1);
    ui->doubleSpinBoxDeelineN2->setValue(thicknessExponentN2);
    ui->doubleSpinBoxTropism->setValue(tropismWeight);
    ui->doubleSpinBoxRandom->setValue(randomWeight);
    ui->comboBoxVrstaVirov->setCurrentIndex(env.type);
    ui->spinBoxSencaDim->setValue(grid.dim);
    ui->checkBoxPrikazRisanjaSenc->setChecked(env.showEnvironment);
    ui->doubleSpinBoxPragRezanja->setValue(sheddingThreshold);
    if (allocationModel >= 0 && allocationModel <= 2)
        ui->comboBoxModelAlokacijeVirov->setCurrentIndex(allocationModel);
    ui->comboBoxTipRastiProl->setCurrentIndex(prolepticGrowth ? 0 : 1);
    ui->doubleSpinBoxWMin->setValue(wMin);
    ui->doubleSpinBoxPrioWMAX->setValue(prioWMax);
    ui->doubleSpinBoxPrioDo->setValue(prioDo);
    ui->checkBoxApicalControl->setChecked(apicalControl);
    ui->doubleSpinBoxPrirastDolzineVejGledeNaPrirastDebeline->setValue(elongationFactor);
    ui->comboBoxMode->setCurrentIndex(view->mode);
    ui->checkBoxReziTakoj->setChecked(view->cutImmediately);
    ui->comboBoxTipPrikazaInformaijc->setCurrentIndex(view->infoDisplayType);
    ui->doubleSpinBoxUpogibanjeUtezEnergy->setValue(view->bendChain.weightEnergy);
    ui->doubleSpinBoxUpogibanjeUtezKonecOrientacija->setValue(view->bendChain.weightEndOrientation);
    ui->doubleSpinBoxUpogibanjeUtezOptimal->setValue(view->bendChain.weightOptimal);
    ui->doubleSpinBoxUpogibanjeUtezSmooth->setValue(view->bendChain.weightSmooth);
    ui->doubleSpinBoxUpogibanjeEndX->setValue(view->bendTarget.endPoint.x);
    ui->doubleSpinBoxUpogibanjeEndY->setValue(view->bendTarget.endPoint.y);
    ui->doubleSpinBoxUpogibanjeEndZ->setValue(view->bendTarget.endPoint.z);
    ui->lineEditRastnaKrivulja->setText(QString::fromStdString(growthCurveExpression));
    // Plain whatever the test compilation found.
    ui->lineEditRastnaKrivulja->setStyleSheet(QStringLiteral("QLineEdit{}"));
    ui->doubleSpinBoxPrikazAlfa->setValue(grid.displayAlpha);

    // Pages not offered. Their controls die at the next turn of the event loop;
    // only the display switches below still read them (and their own slots
    // during the fill).
    for (QWidget* page : {static_cast<QWidget*>(ui->pageSpreminjanjeVirov), static_cast<QWidget*>(ui->pageBBOX),
                          static_cast<QWidget*>(ui->pageOther), static_cast<QWidget*>(ui->pageupogibanjevej)}) {
        const int index = ui->toolBox->indexOf(page);
        if (index >= 0)
            ui->toolBox->removeItem(index);
        page->deleteLater();
    }

    // Layouts not offered: the environment type (switching it without a reset
    // would leave the new model empty) and the shadow grid's values. Taken out
    // of the page and hidden, their controls live on unseen and unreachable.
    for (QLayout* layout : {static_cast<QLayout*>(ui->gridLayoutTipOkolja),
                            static_cast<QLayout*>(ui->gridLayoutShadowPropSpaceMarkers)}) {
        ui->verticalLayout_6->removeItem(layout);
        layout->setGeometry(QRect(0, 0, 0, 0));
        hideLayoutWidgets(layout);
    }
    new DockWidthKeeper(this, ui->dockWidget, openDockForWidestPage(this, ui));

    ui->checkBoxPrikazNamigov->setChecked(view->showHints);
    ui->checkBoxPrikazagic->setChecked(view->showSaws);
    ui->doubleSpinBoxVelikostZagic->setValue(view->sawSize);
    ui->actionInvert_colours->setChecked(view->invertColours);
    ui->actionPrikaz_metra->setChecked(view->showRuler);
    ui->actionPrikaz_od_zacetka_sezone->setChecked(view->showFromSeasonStart);
    ui->actionMe_i_senco_na_drevo->setChecked(view->castShadows);
    forgetRemovedPages(ui);

    connect(
        view, &WidgetRisanje::CameraUpdatedFromMouseKeyboards, this,
        [this, view] {
            view->cameraSyncPending = true;
            cameraSyncTimer.start();
        },
        Qt::DirectConnection);

    if (probabilisticGrowth)
        ui->checkBoxProbabilistic->setChecked(true);
    else
        ui->checkBoxDeterministic->setChecked(true);

    cameraSyncTimer.setSingleShot(true);
    connect(&cameraSyncTimer, &QTimer::timeout, this, [this] { syncCameraWidgets(); }, Qt::DirectConnection);
    cameraSyncTimer.start(0);
    disclaimerTimer.setSingleShot(true);
    connect(&disclaimerTimer, &QTimer::timeout, this, [this] { showStartupDisclaimer(); }, Qt::DirectConnection);
    disclaimerTimer.start(0);
}

MainWindow::~MainWindow()
{
    delete OpenClHolder::instance;
    delete ui;
    treeView = nullptr;
}

void MainWindow::showStatusMessage(const QString& text) { ui->statusBar->showMessage(text, 2000); }

void MainWindow::repaintView() { ui->widget->repaint(); }

void MainWindow::refreshEnvironmentDisplay()
{
    if (environment().showEnvironment)
        ui->widget->updateEnvironmentVbo(true);
}

void MainWindow::syncCameraWidgets()
{
    // Each box whose value changes writes its rounded, clamped value back; the
    // result is drawn once at the end, not once per box.
    {
        const QScopedValueRollback<bool> quiet(syncingCamera, true);
        const CameraState& camera = ui->widget->camera;
        ui->doubleSpinBoxCamLocX->setValue(camera.location.x);
        ui->doubleSpinBoxCamLocY->setValue(camera.location.y);
        ui->doubleSpinBoxCamLocZ->setValue(camera.location.z);
        ui->doubleSpinBoxCamRotX->setValue(camera.cameraRotationX);
        ui->doubleSpinBoxCamRotY->setValue(camera.cameraRotationY);
        ui->doubleSpinBoxCamZoom->setValue(camera.zoom);
        ui->doubleSpinBoxCamObjRotX->setValue(camera.objectRotationX);
        ui->doubleSpinBoxCamObjRotY->setValue(camera.objectRotationY);
    }
    ui->widget->repaintIfCameraMoved();
}

void MainWindow::showStartupDisclaimer()
{
    QSettings settings(QStringLiteral("Vel Kestrin"), QStringLiteral("Trelimo"));
    const QString key = QStringLiteral("Main/ShowStartupDisclaimer");
    if (!settings.value(key, true).toBool())
        return;
    // Kept as a hidden child of the window after it closes.
    auto* box = new QMessageBox(this);
    box->setIcon(QMessageBox::Warning);
    box->setWindowTitle(tr("Disclaimer"));
    box->setText(tr("This application is work in progress. It is provided “as is” without any representations or "
                    "warranties, express or implied. "));
    auto* doNotShowAgain = new QCheckBox(QStringLiteral("Do not show again"), box);
    box->setCheckBox(doNotShowAgain);
    box->exec();
    if (doNotShowAgain->isChecked())
        settings.setValue(key, false);
}

void MainWindow::generateSeasons()
{
    for (int round = 0; round < ui->spinBoxNSezon->value(); ++round) {
        ui->widget->growStep();
        ui->widget->rebuildGeometry(true);
        repaint();
    }
}

// Menu and tool-bar actions.

void MainWindow::on_actionIzvedi_iteracijo_rasti_triggered()
{
    WaitCursor wait;
    ui->widget->growOrRestart(false);
    refreshEnvironmentDisplay();
}

void MainWindow::on_actionZnova_triggered()
{
    WaitCursor wait;
    ui->widget->growOrRestart(true);
    refreshEnvironmentDisplay();
}

void MainWindow::on_actionVIEW_0_triggered() { ui->widget->resetView(); }
void MainWindow::on_actionView_TOP_triggered() { ui->widget->topView(); }
void MainWindow::on_actionShrani_pogled_triggered() { ui->widget->saveView(); }
void MainWindow::on_actionNalozi_pogled_triggered() { ui->widget->loadView(); }

void MainWindow::on_actionInvert_colours_triggered()
{
    ui->widget->invertColours = ui->actionInvert_colours->isChecked();
    repaintView();
}

void MainWindow::on_actionPrikaz_metra_triggered() { ui->widget->showRuler = ui->actionPrikaz_metra->isChecked(); }

void MainWindow::on_actionPrikaz_od_zacetka_sezone_triggered()
{
    ui->widget->showFromSeasonStart = ui->actionPrikaz_od_zacetka_sezone->isChecked();
    repaintView();
}

void MainWindow::on_actionMe_i_senco_na_drevo_triggered()
{
    ui->widget->castShadows = ui->actionMe_i_senco_na_drevo->isChecked();
    repaintView();
}

void MainWindow::on_actionShow_histogram_triggered()
{
    // One dialog for the window's life: closing it only hides it.
    if (!histogramDialog) {
        histogramDialog = new DialogHistogram(this);
        histogramDialog->setAttribute(Qt::WA_DeleteOnClose, false);
    }
    histogramDialog->show();
}

void MainWindow::on_actionShow_tree_triggered()
{
    // Every view shares the one model, which ends on the last tree's root.
    for (Tree* tree : allTrees) {
        treeView = new QTreeView(this);
        sharedTreeModel.SetRoot(tree->root);
        treeView->setModel(&sharedTreeModel);
        treeView->setWindowTitle(QObject::tr("Simple Tree Model"));
        treeView->setWindowFlags(Qt::Window);
        treeView->show();
    }
}

void MainWindow::on_actionPomo_triggered()
{
    DialogHelp help(nullptr);
    help.exec();
}

void MainWindow::on_actionO_triggered()
{
    QMessageBox about(this);
    about.setWindowTitle(QStringLiteral("About"));
    about.setText(QCoreApplication::applicationName() + QLatin1Char(' ') + QCoreApplication::applicationVersion() +
                  QLatin1Char(' ') + QObject::tr("A simulator of tree growth and tree training."));
    about.exec();
}

void MainWindow::on_actionExit_triggered() { QCoreApplication::exit(0); }

// Buttons.

void MainWindow::on_pushButtonClear_clicked()
{
    ui->widget->growOrRestart(true);
    refreshEnvironmentDisplay();
}

void MainWindow::on_pushButtonGenerirja_clicked()
{
    WaitCursor wait;
    generateSeasons();
}

void MainWindow::on_pushButtonClearAndGen_clicked()
{
    WaitCursor wait;
    ui->widget->resetTrees();
    // The reset freed every tree: the geometry and the pick table must follow it
    // even when no season is grown.
    ui->widget->rebuildGeometry(true);
    generateSeasons();
}

void MainWindow::on_pushButtonApplyRezanje_clicked() { ui->widget->applyPruning(); }
void MainWindow::on_pushButtonAppleUpogibanje_clicked() { ui->widget->applyBending(); }
void MainWindow::on_pushButtonUpogibanjeCancel_clicked() { ui->widget->cancelBending(); }

void MainWindow::on_pushButtonSencaClear_clicked()
{
    ShadowGrid& grid = shadowGrid();
    const int oldDim = grid.dim;
    QString refusal;
    try {
        grid.setDim(ui->spinBoxSencaDim->value());
    } catch (const char* text) {
        refusal = QString::fromUtf8(text);
    } catch (const std::string& text) {
        refusal = QString::fromStdString(text);
    } catch (const std::bad_alloc&) {
        refusal = tr("not enough memory");
    }
    if (!refusal.isEmpty()) {
        // A size refused by the device may have cost the old grid already.
        if (grid.useGpu && OpenClHolder::instance && OpenClHolder::instance->shadowGridDim != oldDim)
            grid.setDim(oldDim);
        showStatusMessage(tr("Shadow grid size refused (%1); it stays %2.").arg(refusal).arg(oldDim));
    }
    repaintView();
}

void MainWindow::on_risanjePushButtonClear_clicked()
{
    Environment& env = environment();
    env.markerDim = ui->risanjeCellDim->value();
    const std::size_t count = static_cast<std::size_t>(env.markerDim) * env.markerDim * env.markerDim;
    env.markers.reset(new float[count]());
    repaintView();
}

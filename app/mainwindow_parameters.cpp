// The main window's parameter slots: check boxes, combo boxes, spin boxes and
// the growth-curve line edit write the model's process-wide parameters, the
// environment, the shadow grid and the drawing widget's members directly. None
// starts a recomputation: the model and the view read the values at their next
// step or frame.

#include "app/mainwindow.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QSpinBox>

#include "app/mainwindowform.h"
#include "app/waitcursor.h"
#include "environment/environment.h"
#include "environment/shadowgrid.h"
#include "model/growthcurve.h"
#include "model/parameters.h"
#include "view/widgetrisanje.h"

namespace {

Environment& environment() { return *Environment::instance; }
ShadowGrid& shadowGrid() { return *ShadowGrid::instance; }

}  // namespace

// Check boxes.

void MainWindow::on_checkBoxProbabilistic_clicked() { probabilisticGrowth = ui->checkBoxProbabilistic->isChecked(); }
void MainWindow::on_checkBoxDeterministic_clicked() { probabilisticGrowth = !ui->checkBoxDeterministic->isChecked(); }
void MainWindow::on_checkBoxApicalControl_clicked() { apicalControl = ui->checkBoxApicalControl->isChecked(); }

void MainWindow::on_checkBoxPrikazRisanjaSenc_clicked(bool checked)
{
    WaitCursor wait;
    environment().showEnvironment = checked;
    ui->widget->updateEnvironmentVbo(checked);
    repaintView();
}

void MainWindow::on_checkBoxPrikazNamigov_clicked(bool)
{
    ui->widget->showHints = ui->checkBoxPrikazNamigov->isChecked();
}

void MainWindow::on_checkBoxPrikazagic_clicked(bool)
{
    ui->widget->showSaws = ui->checkBoxPrikazagic->isChecked();
    repaintView();
}

void MainWindow::on_checkBoxReziTakoj_clicked(bool checked)
{
    ui->widget->cutImmediately = checked;
    repaintView();
}

void MainWindow::on_risanjeCheckBoxPrikazi_clicked()
{
    environment().showBox = ui->risanjeCheckBoxPrikazi->isChecked();
    repaintView();
}

void MainWindow::on_risanjeCheckBoxUpostevaj_clicked()
{
    environment().useMarkers = ui->risanjeCheckBoxUpostevaj->isChecked();
    repaintView();
}

// Combo boxes.

void MainWindow::on_comboBoxMode_activated(int index)
{
    ui->widget->setMode(index);
    repaintView();
}

void MainWindow::on_comboBoxTipPrikazaInformaijc_activated(int index)
{
    ui->widget->infoDisplayType = index;
    repaintView();
}

void MainWindow::on_comboBoxModelAlokacijeVirov_activated(int index)
{
    if (index >= 0 && index <= 2)
        allocationModel = index;
}

void MainWindow::on_comboBoxTipRastiProl_activated(int)
{
    prolepticGrowth = ui->comboBoxTipRastiProl->currentIndex() == 0;
}

void MainWindow::on_comboBoxVrstaVirov_activated(int index) { environment().type = index; }

// Real-valued spin boxes.

void MainWindow::setCameraValue(float& field, double value)
{
    field = static_cast<float>(value);
    if (!syncingCamera)
        repaintView();
}

void MainWindow::on_doubleSpinBoxCamLocX_valueChanged(double value)
{
    setCameraValue(ui->widget->camera.location.x, value);
}

void MainWindow::on_doubleSpinBoxCamLocY_valueChanged(double value)
{
    setCameraValue(ui->widget->camera.location.y, value);
}

void MainWindow::on_doubleSpinBoxCamLocZ_valueChanged(double value)
{
    setCameraValue(ui->widget->camera.location.z, value);
}

void MainWindow::on_doubleSpinBoxCamRotX_valueChanged(double value)
{
    setCameraValue(ui->widget->camera.cameraRotationX, value);
}

void MainWindow::on_doubleSpinBoxCamRotY_valueChanged(double value)
{
    setCameraValue(ui->widget->camera.cameraRotationY, value);
}

void MainWindow::on_doubleSpinBoxCamObjRotX_valueChanged(double value)
{
    setCameraValue(ui->widget->camera.objectRotationX, value);
}

void MainWindow::on_doubleSpinBoxCamObjRotY_valueChanged(double value)
{
    setCameraValue(ui->widget->camera.objectRotationY, value);
}

void MainWindow::on_doubleSpinBoxCamZoom_valueChanged(double value)
{
    ui->widget->camera.zoom = value;
    if (!syncingCamera)
        repaintView();
}

void MainWindow::on_doubleSpinBoxVelikostZagic_valueChanged(double value)
{
    ui->widget->sawSize = static_cast<float>(value);
    repaintView();
}

void MainWindow::on_doubleSpinBoxUpogibanjeEndX_valueChanged(double value)
{
    ui->widget->bendTarget.endPoint.x = static_cast<float>(value);
    ui->widget->updateBendingPreview();
    repaintView();
}

void MainWindow::on_doubleSpinBoxUpogibanjeEndY_valueChanged(double value)
{
    ui->widget->bendTarget.endPoint.y = static_cast<float>(value);
    ui->widget->updateBendingPreview();
    repaintView();
}

void MainWindow::on_doubleSpinBoxUpogibanjeEndZ_valueChanged(double value)
{
    ui->widget->bendTarget.endPoint.z = static_cast<float>(value);
    ui->widget->updateBendingPreview();
    repaintView();
}

void MainWindow::on_doubleSpinBoxUpogibanjeUtezOptimal_valueChanged(double value)
{
    ui->widget->bendChain.weightOptimal = static_cast<float>(value);
    ui->widget->updateBendingPreview();
    repaintView();
}

void MainWindow::on_doubleSpinBoxUpogibanjeUtezKonecOrientacija_valueChanged(double value)
{
    ui->widget->bendChain.weightEndOrientation = static_cast<float>(value);
    ui->widget->updateBendingPreview();
    repaintView();
}

void MainWindow::on_doubleSpinBoxUpogibanjeUtezEnergy_valueChanged(double value)
{
    ui->widget->bendChain.weightEnergy = static_cast<float>(value);
    ui->widget->updateBendingPreview();
    repaintView();
}

void MainWindow::on_doubleSpinBoxUpogibanjeUtezSmooth_valueChanged(double value)
{
    ui->widget->bendChain.weightSmooth = static_cast<float>(value);
    ui->widget->updateBendingPreview();
    repaintView();
}

void MainWindow::on_doubleSpinBoxPrikazAlfa_valueChanged(double value)
{
    shadowGrid().displayAlpha = static_cast<float>(value);
    repaintView();
}

void MainWindow::on_doubleSpinBoxCMAX_valueChanged(double value) { shadowGrid().cMax = static_cast<float>(value); }
void MainWindow::on_doubleSpinBoxShadowA_valueChanged(double value) { shadowGrid().a = static_cast<float>(value); }
void MainWindow::on_doubleSpinBoxShadowB_valueChanged(double value) { shadowGrid().b = static_cast<float>(value); }
void MainWindow::on_doubleSpinBoxBHLambda_valueChanged(double value) { bhLambda = static_cast<float>(value); }

void MainWindow::on_doubleSpinBoxDebelineN1_valueChanged(double value)
{
    thicknessFactorN1 = static_cast<float>(value);
}

void MainWindow::on_doubleSpinBoxDeelineN2_valueChanged(double value)
{
    thicknessExponentN2 = static_cast<float>(value);
}

void MainWindow::on_doubleSpinBoxTropism_valueChanged(double value) { tropismWeight = static_cast<float>(value); }
void MainWindow::on_doubleSpinBoxRandom_valueChanged(double value) { randomWeight = static_cast<float>(value); }

void MainWindow::on_doubleSpinBoxPragRezanja_valueChanged(double value)
{
    sheddingThreshold = static_cast<float>(value);
}

void MainWindow::on_doubleSpinBoxPrirastDolzineVejGledeNaPrirastDebeline_valueChanged(double value)
{
    elongationFactor = static_cast<float>(value);
}

void MainWindow::on_doubleSpinBoxWMin_valueChanged(double value) { wMin = static_cast<float>(value); }
void MainWindow::on_doubleSpinBoxPrioWMAX_valueChanged(double value) { prioWMax = static_cast<float>(value); }
void MainWindow::on_doubleSpinBoxPrioDo_valueChanged(double value) { prioDo = static_cast<float>(value); }

// The far corner of the environment box moves; the near corner stays.
void MainWindow::on_risanjeSPBBoxMaxX_valueChanged(double value)
{
    environment().boxSize.x = static_cast<float>(value - environment().boxOrigin.x);
    repaintView();
}

void MainWindow::on_risanjeSPBBoxMaxY_valueChanged(double value)
{
    environment().boxSize.y = static_cast<float>(value - environment().boxOrigin.y);
    repaintView();
}

void MainWindow::on_risanjeSPBBoxMaxZ_valueChanged(double value)
{
    environment().boxSize.z = static_cast<float>(value - environment().boxOrigin.z);
    repaintView();
}

// The near corner moves; the far corner stays.
void MainWindow::on_risanjeSPBBoxMinX_valueChanged(double value)
{
    Environment& env = environment();
    env.boxSize.x = static_cast<float>(env.boxOrigin.x - value + env.boxSize.x);
    env.boxOrigin.x = static_cast<float>(value);
    repaintView();
}

void MainWindow::on_risanjeSPBBoxMinY_valueChanged(double value)
{
    Environment& env = environment();
    env.boxSize.y = static_cast<float>(env.boxOrigin.y - value + env.boxSize.y);
    env.boxOrigin.y = static_cast<float>(value);
    repaintView();
}

void MainWindow::on_risanjeSPBBoxMinZ_valueChanged(double value)
{
    Environment& env = environment();
    env.boxSize.z = static_cast<float>(env.boxOrigin.z - value + env.boxSize.z);
    env.boxOrigin.z = static_cast<float>(value);
    repaintView();
}

// Integer spin boxes.

void MainWindow::on_spinBoxQMAX_valueChanged(int) { shadowGrid().depth = static_cast<float>(ui->spinBoxQMAX->value()); }

void MainWindow::on_risanjeSpinBoxId_valueChanged(int value)
{
    environment().selectedLayer = value;
    repaintView();
}

// Line edit.

void MainWindow::on_lineEditRastnaKrivulja_textChanged(const QString& text)
{
    growthCurveExpression = text.toUtf8().toStdString();
    // A test compilation only: the light pass evaluates the curve and reports it.
    bool compiled = false;
    evaluateGrowthCurve(growthCurveExpression, 0.0, compiled);
    ui->lineEditRastnaKrivulja->setStyleSheet(compiled ? QStringLiteral("QLineEdit{background: white;}")
                                                       : QStringLiteral("QLineEdit{background: orange;}"));
}

// Connected by name, without effect.

void MainWindow::on_checkBoxReziTakoj_clicked() {}
void MainWindow::on_doubleSpinBoxWMin_editingFinished() {}
void MainWindow::on_doubleSpinBoxCamObjRotX_editingFinished() {}
void MainWindow::on_doubleSpinBoxCamObjRotY_editingFinished() {}
void MainWindow::on_risanjeComboboxMode_activated(int) {}
void MainWindow::on_risanjeEfektX_valueChanged(int) {}
void MainWindow::on_risanjeEfektY_valueChanged(int) {}
void MainWindow::on_risanjeEfektZ_valueChanged(int) {}

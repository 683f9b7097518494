#pragma once
// The program's one top-level window. Its form gives the widgets; the window
// completes the tool bar, fills every control from the model, the environment
// and the drawing widget, shows the start-up disclaimer once, keeps the camera
// controls in step with the view, and carries out every command and parameter
// change through slots that the form connects by object name.
//
//   mainwindow.cpp             construction, timers, disclaimer, commands (menus,
//                              tool bar, buttons)
//   mainwindow_parameters.cpp  check boxes, combo boxes, spin boxes, growth curve

#include <QMainWindow>
#include <QString>
#include <QTimer>

class DialogHistogram;
class QTreeView;
struct MainWindowForm;

// The last tree view made by the tree-view command (a child of the window; null
// until the first one).
extern QTreeView* treeView;

class MainWindow : public QMainWindow {
    Q_OBJECT

public:
    explicit MainWindow(QWidget* parent = nullptr);
    ~MainWindow() override;

    // Run by the two single-shot start-up timers.
    void showStartupDisclaimer();
    void syncCameraWidgets();

private:
    // The drawing widget's status callable: the text stays 2000 ms.
    void showStatusMessage(const QString& text);
    // Growth iterations without a restart, as many as the season box holds
    // (read again before every round).
    void generateSeasons();
    // Refills the environment display when it is shown.
    void refreshEnvironmentDisplay();
    void repaintView();

    // The camera boxes' slots: the box's value into the camera; a repaint
    // unless the sync is writing them.
    void setCameraValue(float& field, double value);

    QTimer disclaimerTimer;
    QTimer cameraSyncTimer;
    MainWindowForm* ui;
    DialogHistogram* histogramDialog;
    bool syncingCamera = false;

private slots:
    // Menu and tool-bar actions.
    void on_actionIzvedi_iteracijo_rasti_triggered();
    void on_actionZnova_triggered();
    void on_actionVIEW_0_triggered();
    void on_actionView_TOP_triggered();
    void on_actionShrani_pogled_triggered();
    void on_actionNalozi_pogled_triggered();
    void on_actionInvert_colours_triggered();
    void on_actionPrikaz_metra_triggered();
    void on_actionPrikaz_od_zacetka_sezone_triggered();
    void on_actionMe_i_senco_na_drevo_triggered();
    void on_actionShow_histogram_triggered();
    void on_actionShow_tree_triggered();
    void on_actionPomo_triggered();
    void on_actionO_triggered();
    void on_actionExit_triggered();

    // Buttons.
    void on_pushButtonClear_clicked();
    void on_pushButtonGenerirja_clicked();
    void on_pushButtonClearAndGen_clicked();
    void on_pushButtonApplyRezanje_clicked();
    void on_pushButtonAppleUpogibanje_clicked();
    void on_pushButtonUpogibanjeCancel_clicked();
    void on_pushButtonSencaClear_clicked();
    void on_risanjePushButtonClear_clicked();

    // Check boxes.
    void on_checkBoxProbabilistic_clicked();
    void on_checkBoxDeterministic_clicked();
    void on_checkBoxApicalControl_clicked();
    void on_checkBoxPrikazRisanjaSenc_clicked(bool checked);
    void on_checkBoxPrikazNamigov_clicked(bool checked);
    void on_checkBoxPrikazagic_clicked(bool checked);
    void on_checkBoxReziTakoj_clicked(bool checked);
    void on_risanjeCheckBoxPrikazi_clicked();
    void on_risanjeCheckBoxUpostevaj_clicked();

    // Combo boxes.
    void on_comboBoxMode_activated(int index);
    void on_comboBoxTipPrikazaInformaijc_activated(int index);
    void on_comboBoxModelAlokacijeVirov_activated(int index);
    void on_comboBoxTipRastiProl_activated(int index);
    void on_comboBoxVrstaVirov_activated(int index);

    // Real-valued spin boxes.
    void on_doubleSpinBoxCamLocX_valueChanged(double value);
    void on_doubleSpinBoxCamLocY_valueChanged(double value);
    void on_doubleSpinBoxCamLocZ_valueChanged(double value);
    void on_doubleSpinBoxCamRotX_valueChanged(double value);
    void on_doubleSpinBoxCamRotY_valueChanged(double value);
    void on_doubleSpinBoxCamObjRotX_valueChanged(double value);
    void on_doubleSpinBoxCamObjRotY_valueChanged(double value);
    void on_doubleSpinBoxCamZoom_valueChanged(double value);
    void on_doubleSpinBoxVelikostZagic_valueChanged(double value);
    void on_doubleSpinBoxUpogibanjeEndX_valueChanged(double value);
    void on_doubleSpinBoxUpogibanjeEndY_valueChanged(double value);
    void on_doubleSpinBoxUpogibanjeEndZ_valueChanged(double value);
    void on_doubleSpinBoxUpogibanjeUtezOptimal_valueChanged(double value);
    void on_doubleSpinBoxUpogibanjeUtezKonecOrientacija_valueChanged(double value);
    void on_doubleSpinBoxUpogibanjeUtezEnergy_valueChanged(double value);
    void on_doubleSpinBoxUpogibanjeUtezSmooth_valueChanged(double value);
    void on_doubleSpinBoxPrikazAlfa_valueChanged(double value);
    void on_doubleSpinBoxCMAX_valueChanged(double value);
    void on_doubleSpinBoxShadowA_valueChanged(double value);
    void on_doubleSpinBoxShadowB_valueChanged(double value);
    void on_doubleSpinBoxBHLambda_valueChanged(double value);
    void on_doubleSpinBoxDebelineN1_valueChanged(double value);
    void on_doubleSpinBoxDeelineN2_valueChanged(double value);
    void on_doubleSpinBoxTropism_valueChanged(double value);
    void on_doubleSpinBoxRandom_valueChanged(double value);
    void on_doubleSpinBoxPragRezanja_valueChanged(double value);
    void on_doubleSpinBoxPrirastDolzineVejGledeNaPrirastDebeline_valueChanged(double value);
    void on_doubleSpinBoxWMin_valueChanged(double value);
    void on_doubleSpinBoxPrioWMAX_valueChanged(double value);
    void on_doubleSpinBoxPrioDo_valueChanged(double value);
    void on_risanjeSPBBoxMaxX_valueChanged(double value);
    void on_risanjeSPBBoxMaxY_valueChanged(double value);
    void on_risanjeSPBBoxMaxZ_valueChanged(double value);
    void on_risanjeSPBBoxMinX_valueChanged(double value);
    void on_risanjeSPBBoxMinY_valueChanged(double value);
    void on_risanjeSPBBoxMinZ_valueChanged(double value);

    // Integer spin boxes.
    void on_spinBoxQMAX_valueChanged(int value);
    void on_risanjeSpinBoxId_valueChanged(int value);

    // Line edit.
    void on_lineEditRastnaKrivulja_textChanged(const QString& text);

    // Connected by name, without effect.
    void on_checkBoxReziTakoj_clicked();
    void on_doubleSpinBoxWMin_editingFinished();
    void on_doubleSpinBoxCamObjRotX_editingFinished();
    void on_doubleSpinBoxCamObjRotY_editingFinished();
    void on_risanjeComboboxMode_activated(int index);
    void on_risanjeEfektX_valueChanged(int value);
    void on_risanjeEfektY_valueChanged(int value);
    void on_risanjeEfektZ_valueChanged(int value);
};

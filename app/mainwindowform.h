#pragma once
// The main window's fixed widget tree: the drawing widget in the centre, menus,
// tool bar, status bar and the parameter dock with its tool box pages. setupUi
// builds it once on the window and connects the window's on_<object>_<signal>
// slots by object name; the main window gives it its behaviour.
//
// The structure owns nothing: every object belongs to its Qt parent and so to the
// window. The pointers are valid while the window lives, except those into the
// pages the main window removes and deletes after setupUi.

class QAction;
class QButtonGroup;
class QCheckBox;
class QComboBox;
class QDockWidget;
class QDoubleSpinBox;
class QGridLayout;
class QHBoxLayout;
class QLabel;
class QLineEdit;
class QMainWindow;
class QMenu;
class QMenuBar;
class QPushButton;
class QSpacerItem;
class QSpinBox;
class QStatusBar;
class QToolBar;
class QToolBox;
class QVBoxLayout;
class QWidget;
class WidgetRisanje;

// Fields in the order of creation, the button group last.
struct MainWindowForm {
    // Actions.
    QAction* actionO = nullptr;
    QAction* actionIzvedi_iteracijo_rasti = nullptr;
    QAction* actionZnova = nullptr;
    QAction* actionVIEW_0 = nullptr;
    QAction* actionShow_tree = nullptr;
    QAction* actionView_TOP = nullptr;
    QAction* actionShrani_pogled = nullptr;
    QAction* actionNalozi_pogled = nullptr;
    QAction* actionInvert_colours = nullptr;
    QAction* actionPrikaz_metra = nullptr;
    QAction* actionPrikaz_od_zacetka_sezone = nullptr;
    QAction* actionMe_i_senco_na_drevo = nullptr;
    QAction* actionExit = nullptr;
    QAction* actionPomo = nullptr;
    QAction* actionShow_histogram = nullptr;

    // Central area, tool bar and status bar.
    QWidget* centralWidget = nullptr;
    QVBoxLayout* verticalLayout = nullptr;
    WidgetRisanje* widget = nullptr;
    QToolBar* mainToolBar = nullptr;
    QStatusBar* statusBar = nullptr;

    // Dock and mode selector.
    QDockWidget* dockWidget = nullptr;
    QWidget* dockWidgetContents = nullptr;
    QVBoxLayout* verticalLayout_5 = nullptr;
    QGridLayout* gridLayout_6 = nullptr;
    QLabel* label_40 = nullptr;
    QComboBox* comboBoxMode = nullptr;
    QToolBox* toolBox = nullptr;

    // Page "Pogled": camera.
    QWidget* page = nullptr;
    QVBoxLayout* verticalLayout_11 = nullptr;
    QGridLayout* gridLayout_5 = nullptr;
    QLabel* label_51 = nullptr;
    QLabel* label_41 = nullptr;
    QDoubleSpinBox* doubleSpinBoxCamLocX = nullptr;
    QLabel* label_47 = nullptr;
    QDoubleSpinBox* doubleSpinBoxCamLocY = nullptr;
    QLabel* label_50 = nullptr;
    QDoubleSpinBox* doubleSpinBoxCamLocZ = nullptr;
    QLabel* label_52 = nullptr;
    QLabel* label_53 = nullptr;
    QDoubleSpinBox* doubleSpinBoxCamRotX = nullptr;
    QLabel* label_54 = nullptr;
    QDoubleSpinBox* doubleSpinBoxCamRotY = nullptr;
    QLabel* label_56 = nullptr;
    QLabel* label_55 = nullptr;
    QDoubleSpinBox* doubleSpinBoxCamZoom = nullptr;
    QLabel* label_57 = nullptr;
    QLabel* label_58 = nullptr;
    QDoubleSpinBox* doubleSpinBoxCamObjRotX = nullptr;
    QLabel* label_60 = nullptr;
    QDoubleSpinBox* doubleSpinBoxCamObjRotY = nullptr;
    QSpacerItem* verticalSpacer = nullptr;

    // Page "Informacije".
    QWidget* page_6 = nullptr;
    QVBoxLayout* verticalLayout_8 = nullptr;
    QGridLayout* gridLayout_7 = nullptr;
    QLabel* label_26 = nullptr;
    QComboBox* comboBoxTipPrikazaInformaijc = nullptr;
    QSpacerItem* verticalSpacer_2 = nullptr;

    // Page "Bbox".
    QWidget* pageBBOX = nullptr;
    QVBoxLayout* verticalLayout_4 = nullptr;
    QWidget* widget_2 = nullptr;
    QWidget* layoutWidget = nullptr;
    QGridLayout* gridLayout_4 = nullptr;
    QCheckBox* risanjeCheckBoxPrikazi = nullptr;
    QLabel* label = nullptr;
    QDoubleSpinBox* risanjeSPBBoxMinX = nullptr;
    QDoubleSpinBox* risanjeSPBBoxMinY = nullptr;
    QDoubleSpinBox* risanjeSPBBoxMinZ = nullptr;
    QLabel* label_3 = nullptr;
    QDoubleSpinBox* risanjeSPBBoxMaxX = nullptr;
    QDoubleSpinBox* risanjeSPBBoxMaxY = nullptr;
    QDoubleSpinBox* risanjeSPBBoxMaxZ = nullptr;

    // Page "Ročno spreminjanje virov".
    QWidget* pageSpreminjanjeVirov = nullptr;
    QVBoxLayout* verticalLayout_2 = nullptr;
    QGridLayout* gridLayout_3 = nullptr;
    QCheckBox* risanjeCheckBoxUpostevaj = nullptr;
    QLabel* label_4 = nullptr;
    QSpinBox* risanjeSpinBoxId = nullptr;
    QLabel* label_5 = nullptr;
    QComboBox* risanjeComboBoxOs = nullptr;
    QLabel* label_7 = nullptr;
    QComboBox* risanjeComboboxMode = nullptr;
    QLabel* label_8 = nullptr;
    QHBoxLayout* horizontalLayout_2 = nullptr;
    QSpinBox* risanjeEfektX = nullptr;
    QSpinBox* risanjeEfektY = nullptr;
    QSpinBox* risanjeEfektZ = nullptr;
    QLabel* label_6 = nullptr;
    QSpinBox* risanjeCellDim = nullptr;
    QPushButton* risanjePushButtonClear = nullptr;
    QSpacerItem* verticalSpacer_3 = nullptr;

    // Page "Okolje": growth curve, environment display, shadow grid.
    QWidget* pageEnvParams = nullptr;
    QVBoxLayout* verticalLayout_6 = nullptr;
    QLabel* label_48 = nullptr;
    QLineEdit* lineEditRastnaKrivulja = nullptr;
    QCheckBox* checkBoxPrikazRisanjaSenc = nullptr;
    QGridLayout* gridLayout = nullptr;
    QLabel* label_49 = nullptr;
    QDoubleSpinBox* doubleSpinBoxPrikazAlfa = nullptr;
    QGridLayout* gridLayoutTipOkolja = nullptr;
    QLabel* label_23 = nullptr;
    QComboBox* comboBoxVrstaVirov = nullptr;
    QGridLayout* gridLayoutShadowPropSpaceMarkers = nullptr;
    QLabel* label_9 = nullptr;
    QLabel* label_14 = nullptr;
    QSpinBox* spinBoxQMAX = nullptr;
    QLabel* label_17 = nullptr;
    QDoubleSpinBox* doubleSpinBoxCMAX = nullptr;
    QLabel* label_16 = nullptr;
    QDoubleSpinBox* doubleSpinBoxShadowA = nullptr;
    QLabel* label_15 = nullptr;
    QDoubleSpinBox* doubleSpinBoxShadowB = nullptr;
    QLabel* label_2 = nullptr;
    QSpinBox* spinBoxSencaDim = nullptr;
    QPushButton* pushButtonSencaClear = nullptr;
    QSpacerItem* verticalSpacer_4 = nullptr;

    // Page "Rast": growth parameters and commands.
    QWidget* page_4 = nullptr;
    QVBoxLayout* verticalLayout_7 = nullptr;
    QGridLayout* gridLayout_2 = nullptr;
    QLabel* label_31 = nullptr;
    QLabel* label_32 = nullptr;
    QDoubleSpinBox* doubleSpinBoxPragRezanja = nullptr;
    QLabel* label_38 = nullptr;
    QLabel* label_20 = nullptr;
    QDoubleSpinBox* doubleSpinBoxTropism = nullptr;
    QLabel* label_22 = nullptr;
    QDoubleSpinBox* doubleSpinBoxRandom = nullptr;
    QLabel* label_12 = nullptr;
    QDoubleSpinBox* doubleSpinBoxDebelineN1 = nullptr;
    QLabel* label_13 = nullptr;
    QDoubleSpinBox* doubleSpinBoxDeelineN2 = nullptr;
    QLabel* label_24 = nullptr;
    QHBoxLayout* horizontalLayout = nullptr;
    QCheckBox* checkBoxProbabilistic = nullptr;
    QCheckBox* checkBoxDeterministic = nullptr;
    QLabel* label_18 = nullptr;
    QSpinBox* spinBoxNSezon = nullptr;
    QPushButton* pushButtonClear = nullptr;
    QPushButton* pushButtonGenerirja = nullptr;
    QPushButton* pushButtonClearAndGen = nullptr;
    QSpacerItem* verticalSpacer_5 = nullptr;

    // Page "Urejanje drevesa" and its own tool box.
    QWidget* page_5 = nullptr;
    QVBoxLayout* verticalLayout_3 = nullptr;
    QToolBox* toolBox_2 = nullptr;

    // Page "Rezanje".
    QWidget* pageRezanje = nullptr;
    QVBoxLayout* verticalLayout_9 = nullptr;
    QGridLayout* gridLayout_8 = nullptr;
    QCheckBox* checkBoxPrikazagic = nullptr;
    QCheckBox* checkBoxReziTakoj = nullptr;
    QPushButton* pushButtonApplyRezanje = nullptr;
    QSpacerItem* verticalSpacer_6 = nullptr;

    // Page "Upogibanje vej".
    QWidget* pageupogibanjevej = nullptr;
    QVBoxLayout* verticalLayout_10 = nullptr;
    QGridLayout* gridLayout_9 = nullptr;
    QLabel* label_42 = nullptr;
    QDoubleSpinBox* doubleSpinBoxUpogibanjeUtezOptimal = nullptr;
    QLabel* label_43 = nullptr;
    QDoubleSpinBox* doubleSpinBoxUpogibanjeUtezSmooth = nullptr;
    QLabel* label_44 = nullptr;
    QDoubleSpinBox* doubleSpinBoxUpogibanjeUtezEnergy = nullptr;
    QLabel* label_45 = nullptr;
    QDoubleSpinBox* doubleSpinBoxUpogibanjeUtezKonecOrientacija = nullptr;
    QLabel* label_46 = nullptr;
    QDoubleSpinBox* doubleSpinBoxUpogibanjeEndX = nullptr;
    QDoubleSpinBox* doubleSpinBoxUpogibanjeEndY = nullptr;
    QDoubleSpinBox* doubleSpinBoxUpogibanjeEndZ = nullptr;
    QPushButton* pushButtonAppleUpogibanje = nullptr;
    QPushButton* pushButtonUpogibanjeCancel = nullptr;
    QSpacerItem* verticalSpacer_7 = nullptr;

    // Page "Page": resource allocation and display odds and ends, placed by hand.
    QWidget* pageOther = nullptr;
    QLabel* label_10 = nullptr;
    QLabel* label_33 = nullptr;
    QComboBox* comboBoxModelAlokacijeVirov = nullptr;
    QLabel* label_11 = nullptr;
    QDoubleSpinBox* doubleSpinBoxBHLambda = nullptr;
    QLabel* label_34 = nullptr;
    QLabel* label_36 = nullptr;
    QDoubleSpinBox* doubleSpinBoxPrioWMAX = nullptr;
    QLabel* label_35 = nullptr;
    QDoubleSpinBox* doubleSpinBoxWMin = nullptr;
    QLabel* label_37 = nullptr;
    QDoubleSpinBox* doubleSpinBoxPrioDo = nullptr;
    QCheckBox* checkBoxApicalControl = nullptr;
    QLabel* label_19 = nullptr;
    QComboBox* comboBoxTipRastiProl = nullptr;
    QLabel* label_39 = nullptr;
    QDoubleSpinBox* doubleSpinBoxPrirastDolzineVejGledeNaPrirastDebeline = nullptr;
    QCheckBox* checkBoxPrikazNamigov = nullptr;
    QLabel* label_28 = nullptr;
    QDoubleSpinBox* doubleSpinBoxVelikostZagic = nullptr;

    // Menus.
    QMenuBar* menuBar = nullptr;
    QMenu* menuDatoteka = nullptr;
    QMenu* menuUredi = nullptr;
    QMenu* menuHg = nullptr;
    QMenu* menuPogled = nullptr;

    // Made while the page "Rast" is built: the two growth-behaviour boxes.
    QButtonGroup* buttonGroup = nullptr;

    // Builds the whole tree on `window`, sets the texts, makes the one explicit
    // connection and connects the window's slots by name. Called once.
    void setupUi(QMainWindow* window);
    // Sets every visible text through the "MainWindow" translation context.
    void retranslateUi(QMainWindow* window);
};

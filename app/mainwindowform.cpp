#include "app/mainwindowform.h"

#include <QAction>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDockWidget>
#include <QDoubleSpinBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QSpacerItem>
#include <QSpinBox>
#include <QStatusBar>
#include <QToolBar>
#include <QToolBox>
#include <QVBoxLayout>

#include "view/widgetrisanje.h"

namespace {

QString tr(const char* text) { return QCoreApplication::translate("MainWindow", text); }

template <typename T>
T* named(T* object, const char* name)
{
    object->setObjectName(QString::fromUtf8(name));
    return object;
}

QAction* makeAction(QMainWindow* window, const char* name, const char* icon, bool checkable)
{
    QAction* action = named(new QAction(window), name);
    action->setCheckable(checkable);
    if (icon) {
        QIcon image;
        image.addFile(QString::fromUtf8(icon), QSize(), QIcon::Normal, QIcon::Off);
        action->setIcon(image);
    }
    return action;
}

QLabel* makeLabel(QWidget* parent, const char* name, bool bold = false)
{
    QLabel* label = named(new QLabel(parent), name);
    if (bold) {
        // Only the weight is set, so the label keeps the dock's point size.
        QFont font;
        font.setBold(true);
        font.setWeight(75);
        label->setFont(font);
    }
    return label;
}

QDoubleSpinBox* makeDoubleBox(QWidget* parent, const char* name, double minimum, double maximum, double step,
                              int decimals, double value = 0.0)
{
    QDoubleSpinBox* box = named(new QDoubleSpinBox(parent), name);
    box->setDecimals(decimals);
    box->setRange(minimum, maximum);
    box->setSingleStep(step);
    box->setValue(value);
    return box;
}

QSpinBox* makeSpinBox(QWidget* parent, const char* name, int minimum, int maximum, int value = 0)
{
    QSpinBox* box = named(new QSpinBox(parent), name);
    box->setRange(minimum, maximum);
    box->setValue(value);
    return box;
}

// A page's own layout: spacing 6 and margins 11.
QVBoxLayout* makePageLayout(QWidget* page, const char* name)
{
    QVBoxLayout* layout = named(new QVBoxLayout(page), name);
    layout->setSpacing(6);
    layout->setContentsMargins(11, 11, 11, 11);
    return layout;
}

// A grid nested in a page layout. A margin of -1 keeps the default.
QGridLayout* makeGrid(const char* name, int spacing, int topMargin = -1)
{
    QGridLayout* grid = named(new QGridLayout(), name);
    grid->setSpacing(spacing);
    if (topMargin >= 0)
        grid->setContentsMargins(-1, topMargin, -1, -1);
    return grid;
}

QSpacerItem* makeSpacer() { return new QSpacerItem(20, 40, QSizePolicy::Minimum, QSizePolicy::Expanding); }

void setItems(QComboBox* box, std::initializer_list<const char*> items)
{
    box->clear();
    QStringList texts;
    for (const char* item : items)
        texts << tr(item);
    box->insertItems(0, texts);
}

} // namespace

void MainWindowForm::setupUi(QMainWindow* window)
{
    if (window->objectName().isEmpty())
        window->setObjectName(QString::fromUtf8("MainWindow"));
    window->resize(725, 648);
    QIcon windowIcon;
    windowIcon.addFile(QString::fromUtf8(":/tex/tex/leaf3.png"), QSize(), QIcon::Normal, QIcon::Off);
    window->setWindowIcon(windowIcon);

    actionO = makeAction(window, "actionO", nullptr, false);
    actionIzvedi_iteracijo_rasti =
        makeAction(window, "actionIzvedi_iteracijo_rasti", ":/icons/icons/chronometer.png", false);
    actionZnova = makeAction(window, "actionZnova", ":/icons/icons/undo_256.png", false);
    actionVIEW_0 = makeAction(window, "actionVIEW_0", ":/icons/icons/view_reset.png", false);
    actionShow_tree = makeAction(window, "actionShow_tree", nullptr, false);
    actionView_TOP = makeAction(window, "actionView_TOP", ":/icons/icons/view_up.png", false);
    actionShrani_pogled = makeAction(window, "actionShrani_pogled", ":/icons/icons/viewSave.png", false);
    actionNalozi_pogled = makeAction(window, "actionNalozi_pogled", ":/icons/icons/viewLoad.png", false);
    actionInvert_colours = makeAction(window, "actionInvert_colours", ":/tex/tex/woodInMladWood.jpg", true);
    actionPrikaz_metra = makeAction(window, "actionPrikaz_metra", ":/tex/tex/ravnilo.png", true);
    actionPrikaz_od_zacetka_sezone = makeAction(window, "actionPrikaz_od_zacetka_sezone", nullptr, true);
    actionMe_i_senco_na_drevo = makeAction(window, "actionMe_i_senco_na_drevo", nullptr, true);
    actionExit = makeAction(window, "actionExit", nullptr, false);
    actionPomo = makeAction(window, "actionPomo", nullptr, false);
    // A file path, resolved against the working directory.
    actionShow_histogram = makeAction(window, "actionShow_histogram", "icons/histogram.png", false);

    centralWidget = named(new QWidget(window), "centralWidget");
    verticalLayout = makePageLayout(centralWidget, "verticalLayout");
    widget = named(new WidgetRisanje(centralWidget), "widget");
    widget->setMouseTracking(true);
    widget->setFocusPolicy(Qt::StrongFocus);
    verticalLayout->addWidget(widget);
    window->setCentralWidget(centralWidget);

    mainToolBar = named(new QToolBar(window), "mainToolBar");
    mainToolBar->setMovable(true);
    window->addToolBar(Qt::TopToolBarArea, mainToolBar);
    statusBar = named(new QStatusBar(window), "statusBar");
    window->setStatusBar(statusBar);

    dockWidget = named(new QDockWidget(window), "dockWidget");
    dockWidget->setMinimumSize(QSize(236, 354));
    QFont dockFont;
    dockFont.setPointSize(7);
    dockWidget->setFont(dockFont);
    dockWidgetContents = named(new QWidget(), "dockWidgetContents");
    verticalLayout_5 = makePageLayout(dockWidgetContents, "verticalLayout_5");
    gridLayout_6 = named(new QGridLayout(), "gridLayout_6");
    gridLayout_6->setSpacing(6);
    gridLayout_6->setContentsMargins(-1, 7, -1, -1);
    label_40 = makeLabel(dockWidgetContents, "label_40");
    gridLayout_6->addWidget(label_40, 0, 0);
    comboBoxMode = named(new QComboBox(dockWidgetContents), "comboBoxMode");
    gridLayout_6->addWidget(comboBoxMode, 0, 1);
    verticalLayout_5->addLayout(gridLayout_6);
    toolBox = named(new QToolBox(dockWidgetContents), "toolBox");

    // Page "Pogled": camera location, rotation, zoom and object rotation.
    page = named(new QWidget(), "page");
    verticalLayout_11 = makePageLayout(page, "verticalLayout_11");
    gridLayout_5 = makeGrid("gridLayout_5", 6);
    label_51 = makeLabel(page, "label_51");
    gridLayout_5->addWidget(label_51, 0, 0, 1, 2);
    label_41 = makeLabel(page, "label_41");
    gridLayout_5->addWidget(label_41, 1, 0);
    doubleSpinBoxCamLocX = makeDoubleBox(page, "doubleSpinBoxCamLocX", -99999, 99999, 1, 2);
    gridLayout_5->addWidget(doubleSpinBoxCamLocX, 1, 1);
    label_47 = makeLabel(page, "label_47");
    gridLayout_5->addWidget(label_47, 2, 0);
    doubleSpinBoxCamLocY = makeDoubleBox(page, "doubleSpinBoxCamLocY", -99999, 99999, 1, 2);
    gridLayout_5->addWidget(doubleSpinBoxCamLocY, 2, 1);
    label_50 = makeLabel(page, "label_50");
    gridLayout_5->addWidget(label_50, 3, 0);
    doubleSpinBoxCamLocZ = makeDoubleBox(page, "doubleSpinBoxCamLocZ", -99999, 99999, 1, 2);
    gridLayout_5->addWidget(doubleSpinBoxCamLocZ, 3, 1);
    label_52 = makeLabel(page, "label_52");
    gridLayout_5->addWidget(label_52, 4, 0, 1, 2);
    label_53 = makeLabel(page, "label_53");
    gridLayout_5->addWidget(label_53, 5, 0);
    doubleSpinBoxCamRotX = makeDoubleBox(page, "doubleSpinBoxCamRotX", -99999, 99999, 1, 2);
    gridLayout_5->addWidget(doubleSpinBoxCamRotX, 5, 1);
    label_54 = makeLabel(page, "label_54");
    gridLayout_5->addWidget(label_54, 6, 0);
    doubleSpinBoxCamRotY = makeDoubleBox(page, "doubleSpinBoxCamRotY", -99999, 99999, 1, 2);
    gridLayout_5->addWidget(doubleSpinBoxCamRotY, 6, 1);
    label_56 = makeLabel(page, "label_56");
    gridLayout_5->addWidget(label_56, 7, 0);
    label_55 = makeLabel(page, "label_55");
    gridLayout_5->addWidget(label_55, 8, 0);
    doubleSpinBoxCamZoom = makeDoubleBox(page, "doubleSpinBoxCamZoom", -99999, 99999, 1, 2);
    gridLayout_5->addWidget(doubleSpinBoxCamZoom, 8, 1);
    label_57 = makeLabel(page, "label_57");
    gridLayout_5->addWidget(label_57, 9, 0);
    label_58 = makeLabel(page, "label_58");
    gridLayout_5->addWidget(label_58, 10, 0);
    doubleSpinBoxCamObjRotX = makeDoubleBox(page, "doubleSpinBoxCamObjRotX", -9999, 9999, 1, 2);
    gridLayout_5->addWidget(doubleSpinBoxCamObjRotX, 10, 1);
    label_60 = makeLabel(page, "label_60");
    gridLayout_5->addWidget(label_60, 11, 0);
    doubleSpinBoxCamObjRotY = makeDoubleBox(page, "doubleSpinBoxCamObjRotY", -9999, 9999, 1, 2);
    gridLayout_5->addWidget(doubleSpinBoxCamObjRotY, 11, 1);
    verticalLayout_11->addLayout(gridLayout_5);
    verticalSpacer = makeSpacer();
    verticalLayout_11->addItem(verticalSpacer);
    toolBox->addItem(page, tr("Pogled"));

    // Page "Informacije": what the info panel shows.
    page_6 = named(new QWidget(), "page_6");
    verticalLayout_8 = makePageLayout(page_6, "verticalLayout_8");
    gridLayout_7 = makeGrid("gridLayout_7", 6);
    label_26 = makeLabel(page_6, "label_26");
    gridLayout_7->addWidget(label_26, 0, 0);
    comboBoxTipPrikazaInformaijc = named(new QComboBox(page_6), "comboBoxTipPrikazaInformaijc");
    gridLayout_7->addWidget(comboBoxTipPrikazaInformaijc, 1, 0);
    verticalLayout_8->addLayout(gridLayout_7);
    verticalSpacer_2 = makeSpacer();
    verticalLayout_8->addItem(verticalSpacer_2);
    toolBox->addItem(page_6, tr("Informacije"));

    // Page "Bbox": the environment's bounding box, on a plain widget placed by hand.
    pageBBOX = named(new QWidget(), "pageBBOX");
    verticalLayout_4 = makePageLayout(pageBBOX, "verticalLayout_4");
    widget_2 = named(new QWidget(pageBBOX), "widget_2");
    layoutWidget = named(new QWidget(widget_2), "layoutWidget");
    layoutWidget->setGeometry(QRect(70, 100, 134, 194));
    gridLayout_4 = named(new QGridLayout(layoutWidget), "gridLayout_4");
    gridLayout_4->setSpacing(6);
    gridLayout_4->setContentsMargins(0, 0, 0, 0);
    risanjeCheckBoxPrikazi = named(new QCheckBox(layoutWidget), "risanjeCheckBoxPrikazi");
    gridLayout_4->addWidget(risanjeCheckBoxPrikazi, 0, 0, 1, 2);
    label = makeLabel(layoutWidget, "label");
    gridLayout_4->addWidget(label, 1, 0);
    risanjeSPBBoxMinX = makeDoubleBox(layoutWidget, "risanjeSPBBoxMinX", -10000, 10000, 1, 2, -5);
    gridLayout_4->addWidget(risanjeSPBBoxMinX, 1, 1);
    risanjeSPBBoxMinY = makeDoubleBox(layoutWidget, "risanjeSPBBoxMinY", -10000, 10000, 1, 2, 0);
    gridLayout_4->addWidget(risanjeSPBBoxMinY, 2, 1);
    risanjeSPBBoxMinZ = makeDoubleBox(layoutWidget, "risanjeSPBBoxMinZ", -10000, 10000, 1, 2, -5);
    gridLayout_4->addWidget(risanjeSPBBoxMinZ, 3, 1);
    label_3 = makeLabel(layoutWidget, "label_3");
    gridLayout_4->addWidget(label_3, 4, 0);
    risanjeSPBBoxMaxX = makeDoubleBox(layoutWidget, "risanjeSPBBoxMaxX", -10000, 10000, 1, 2, 5);
    gridLayout_4->addWidget(risanjeSPBBoxMaxX, 4, 1);
    risanjeSPBBoxMaxY = makeDoubleBox(layoutWidget, "risanjeSPBBoxMaxY", -10000, 10000, 1, 2, 15);
    gridLayout_4->addWidget(risanjeSPBBoxMaxY, 5, 1);
    risanjeSPBBoxMaxZ = makeDoubleBox(layoutWidget, "risanjeSPBBoxMaxZ", -10000, 10000, 1, 2, 5);
    gridLayout_4->addWidget(risanjeSPBBoxMaxZ, 6, 1);
    verticalLayout_4->addWidget(widget_2);
    toolBox->addItem(pageBBOX, tr("Bbox"));

    // Page "Ročno spreminjanje virov": the marker grid.
    pageSpreminjanjeVirov = named(new QWidget(), "pageSpreminjanjeVirov");
    verticalLayout_2 = makePageLayout(pageSpreminjanjeVirov, "verticalLayout_2");
    gridLayout_3 = makeGrid("gridLayout_3", 6);
    risanjeCheckBoxUpostevaj = named(new QCheckBox(pageSpreminjanjeVirov), "risanjeCheckBoxUpostevaj");
    gridLayout_3->addWidget(risanjeCheckBoxUpostevaj, 0, 0, 1, 2);
    label_4 = makeLabel(pageSpreminjanjeVirov, "label_4");
    gridLayout_3->addWidget(label_4, 1, 0);
    risanjeSpinBoxId = makeSpinBox(pageSpreminjanjeVirov, "risanjeSpinBoxId", 0, 99, 5);
    gridLayout_3->addWidget(risanjeSpinBoxId, 1, 1);
    label_5 = makeLabel(pageSpreminjanjeVirov, "label_5");
    label_5->setEnabled(false);
    QFont smallFont;
    smallFont.setPointSize(7);
    label_5->setFont(smallFont);
    gridLayout_3->addWidget(label_5, 2, 0);
    risanjeComboBoxOs = named(new QComboBox(pageSpreminjanjeVirov), "risanjeComboBoxOs");
    risanjeComboBoxOs->setEnabled(false);
    gridLayout_3->addWidget(risanjeComboBoxOs, 2, 1);
    label_7 = makeLabel(pageSpreminjanjeVirov, "label_7");
    gridLayout_3->addWidget(label_7, 3, 0);
    risanjeComboboxMode = named(new QComboBox(pageSpreminjanjeVirov), "risanjeComboboxMode");
    gridLayout_3->addWidget(risanjeComboboxMode, 3, 1);
    label_8 = makeLabel(pageSpreminjanjeVirov, "label_8");
    gridLayout_3->addWidget(label_8, 4, 0);
    horizontalLayout_2 = named(new QHBoxLayout(), "horizontalLayout_2");
    horizontalLayout_2->setSpacing(6);
    horizontalLayout_2->setContentsMargins(-1, 9, -1, -1);
    risanjeEfektX = makeSpinBox(pageSpreminjanjeVirov, "risanjeEfektX", 0, 22);
    horizontalLayout_2->addWidget(risanjeEfektX);
    risanjeEfektY = makeSpinBox(pageSpreminjanjeVirov, "risanjeEfektY", 0, 22);
    horizontalLayout_2->addWidget(risanjeEfektY);
    risanjeEfektZ = makeSpinBox(pageSpreminjanjeVirov, "risanjeEfektZ", 1, 22, 1);
    horizontalLayout_2->addWidget(risanjeEfektZ);
    gridLayout_3->addLayout(horizontalLayout_2, 5, 0, 1, 2);
    label_6 = makeLabel(pageSpreminjanjeVirov, "label_6");
    gridLayout_3->addWidget(label_6, 6, 0);
    risanjeCellDim = makeSpinBox(pageSpreminjanjeVirov, "risanjeCellDim", 2, 100, 2);
    gridLayout_3->addWidget(risanjeCellDim, 6, 1);
    risanjePushButtonClear = named(new QPushButton(pageSpreminjanjeVirov), "risanjePushButtonClear");
    gridLayout_3->addWidget(risanjePushButtonClear, 7, 0, 1, 2);
    verticalLayout_2->addLayout(gridLayout_3);
    verticalSpacer_3 = makeSpacer();
    verticalLayout_2->addItem(verticalSpacer_3);
    toolBox->addItem(pageSpreminjanjeVirov, tr("Ročno spreminjanje virov"));

    // Page "Okolje": growth curve, environment display and the shadow grid.
    pageEnvParams = named(new QWidget(), "pageEnvParams");
    verticalLayout_6 = makePageLayout(pageEnvParams, "verticalLayout_6");
    label_48 = makeLabel(pageEnvParams, "label_48");
    verticalLayout_6->addWidget(label_48);
    lineEditRastnaKrivulja = named(new QLineEdit(pageEnvParams), "lineEditRastnaKrivulja");
    // The window gives this box style sheets of its own, and a widget with a
    // style sheet no longer inherits its parents' font: it keeps the dock's
    // font only as one of its own (kept across style sheet changes).
    lineEditRastnaKrivulja->setFont(dockFont);
    verticalLayout_6->addWidget(lineEditRastnaKrivulja);
    checkBoxPrikazRisanjaSenc = named(new QCheckBox(pageEnvParams), "checkBoxPrikazRisanjaSenc");
    verticalLayout_6->addWidget(checkBoxPrikazRisanjaSenc);
    gridLayout = makeGrid("gridLayout", 6, 0);
    label_49 = makeLabel(pageEnvParams, "label_49");
    gridLayout->addWidget(label_49, 0, 0);
    doubleSpinBoxPrikazAlfa = makeDoubleBox(pageEnvParams, "doubleSpinBoxPrikazAlfa", 0, 99.99, 0.01, 2);
    gridLayout->addWidget(doubleSpinBoxPrikazAlfa, 0, 1);
    verticalLayout_6->addLayout(gridLayout);
    gridLayoutTipOkolja = makeGrid("gridLayoutTipOkolja", 6, 0);
    label_23 = makeLabel(pageEnvParams, "label_23");
    gridLayoutTipOkolja->addWidget(label_23, 0, 0);
    comboBoxVrstaVirov = named(new QComboBox(pageEnvParams), "comboBoxVrstaVirov");
    gridLayoutTipOkolja->addWidget(comboBoxVrstaVirov, 0, 1);
    verticalLayout_6->addLayout(gridLayoutTipOkolja);
    gridLayoutShadowPropSpaceMarkers = makeGrid("gridLayoutShadowPropSpaceMarkers", 3);
    gridLayoutShadowPropSpaceMarkers->setSizeConstraint(QLayout::SetDefaultConstraint);
    label_9 = makeLabel(pageEnvParams, "label_9", true);
    gridLayoutShadowPropSpaceMarkers->addWidget(label_9, 4, 0);
    label_14 = makeLabel(pageEnvParams, "label_14");
    gridLayoutShadowPropSpaceMarkers->addWidget(label_14, 7, 0);
    spinBoxQMAX = makeSpinBox(pageEnvParams, "spinBoxQMAX", 0, 99);
    gridLayoutShadowPropSpaceMarkers->addWidget(spinBoxQMAX, 7, 1);
    label_17 = makeLabel(pageEnvParams, "label_17");
    gridLayoutShadowPropSpaceMarkers->addWidget(label_17, 8, 0);
    doubleSpinBoxCMAX = makeDoubleBox(pageEnvParams, "doubleSpinBoxCMAX", 0, 99.99, 0.1, 3);
    gridLayoutShadowPropSpaceMarkers->addWidget(doubleSpinBoxCMAX, 8, 1);
    label_16 = makeLabel(pageEnvParams, "label_16");
    gridLayoutShadowPropSpaceMarkers->addWidget(label_16, 9, 0);
    doubleSpinBoxShadowA = makeDoubleBox(pageEnvParams, "doubleSpinBoxShadowA", 0, 99.99, 0.1, 3);
    gridLayoutShadowPropSpaceMarkers->addWidget(doubleSpinBoxShadowA, 9, 1);
    label_15 = makeLabel(pageEnvParams, "label_15");
    gridLayoutShadowPropSpaceMarkers->addWidget(label_15, 10, 0);
    doubleSpinBoxShadowB = makeDoubleBox(pageEnvParams, "doubleSpinBoxShadowB", 0, 99.99, 0.1, 3);
    gridLayoutShadowPropSpaceMarkers->addWidget(doubleSpinBoxShadowB, 10, 1);
    label_2 = makeLabel(pageEnvParams, "label_2");
    gridLayoutShadowPropSpaceMarkers->addWidget(label_2, 11, 0);
    spinBoxSencaDim = makeSpinBox(pageEnvParams, "spinBoxSencaDim", 0, 999);
    gridLayoutShadowPropSpaceMarkers->addWidget(spinBoxSencaDim, 11, 1);
    pushButtonSencaClear = named(new QPushButton(pageEnvParams), "pushButtonSencaClear");
    gridLayoutShadowPropSpaceMarkers->addWidget(pushButtonSencaClear, 12, 0, 1, 2);
    verticalLayout_6->addLayout(gridLayoutShadowPropSpaceMarkers);
    verticalSpacer_4 = makeSpacer();
    verticalLayout_6->addItem(verticalSpacer_4);
    toolBox->addItem(pageEnvParams, tr("Okolje"));

    // Page "Rast": growth parameters and the growth commands.
    page_4 = named(new QWidget(), "page_4");
    verticalLayout_7 = makePageLayout(page_4, "verticalLayout_7");
    gridLayout_2 = makeGrid("gridLayout_2", 6, 0);
    gridLayout_2->setHorizontalSpacing(0);
    gridLayout_2->setVerticalSpacing(3);
    label_31 = makeLabel(page_4, "label_31", true);
    gridLayout_2->addWidget(label_31, 6, 0, 1, 2);
    label_32 = makeLabel(page_4, "label_32");
    gridLayout_2->addWidget(label_32, 7, 0);
    doubleSpinBoxPragRezanja = makeDoubleBox(page_4, "doubleSpinBoxPragRezanja", -99, 99.99, 0.1, 3);
    gridLayout_2->addWidget(doubleSpinBoxPragRezanja, 7, 1);
    label_38 = makeLabel(page_4, "label_38", true);
    gridLayout_2->addWidget(label_38, 8, 0);
    label_20 = makeLabel(page_4, "label_20");
    gridLayout_2->addWidget(label_20, 9, 0);
    doubleSpinBoxTropism = makeDoubleBox(page_4, "doubleSpinBoxTropism", -1, 1, 0.1, 3);
    gridLayout_2->addWidget(doubleSpinBoxTropism, 9, 1);
    label_22 = makeLabel(page_4, "label_22");
    gridLayout_2->addWidget(label_22, 10, 0);
    doubleSpinBoxRandom = makeDoubleBox(page_4, "doubleSpinBoxRandom", -1, 99.99, 0.1, 2);
    gridLayout_2->addWidget(doubleSpinBoxRandom, 10, 1);
    label_12 = makeLabel(page_4, "label_12");
    gridLayout_2->addWidget(label_12, 11, 0);
    doubleSpinBoxDebelineN1 = makeDoubleBox(page_4, "doubleSpinBoxDebelineN1", 0, 99.99, 0.1, 3);
    gridLayout_2->addWidget(doubleSpinBoxDebelineN1, 11, 1);
    label_13 = makeLabel(page_4, "label_13");
    gridLayout_2->addWidget(label_13, 12, 0);
    doubleSpinBoxDeelineN2 = makeDoubleBox(page_4, "doubleSpinBoxDeelineN2", 0, 99.99, 0.1, 3);
    gridLayout_2->addWidget(doubleSpinBoxDeelineN2, 12, 1);
    label_24 = makeLabel(page_4, "label_24", true);
    gridLayout_2->addWidget(label_24, 13, 0);
    horizontalLayout = named(new QHBoxLayout(), "horizontalLayout");
    horizontalLayout->setSpacing(6);
    horizontalLayout->setContentsMargins(-1, 0, -1, -1);
    checkBoxProbabilistic = named(new QCheckBox(page_4), "checkBoxProbabilistic");
    // Exclusive (the default): once one box is ticked, exactly one stays ticked.
    buttonGroup = named(new QButtonGroup(window), "buttonGroup");
    buttonGroup->addButton(checkBoxProbabilistic);
    horizontalLayout->addWidget(checkBoxProbabilistic);
    checkBoxDeterministic = named(new QCheckBox(page_4), "checkBoxDeterministic");
    buttonGroup->addButton(checkBoxDeterministic);
    horizontalLayout->addWidget(checkBoxDeterministic);
    gridLayout_2->addLayout(horizontalLayout, 14, 0, 1, 2);
    label_18 = makeLabel(page_4, "label_18");
    gridLayout_2->addWidget(label_18, 19, 0);
    spinBoxNSezon = makeSpinBox(page_4, "spinBoxNSezon", 0, 99, 3);
    gridLayout_2->addWidget(spinBoxNSezon, 19, 1);
    pushButtonClear = named(new QPushButton(page_4), "pushButtonClear");
    gridLayout_2->addWidget(pushButtonClear, 20, 0);
    pushButtonGenerirja = named(new QPushButton(page_4), "pushButtonGenerirja");
    gridLayout_2->addWidget(pushButtonGenerirja, 20, 1);
    pushButtonClearAndGen = named(new QPushButton(page_4), "pushButtonClearAndGen");
    gridLayout_2->addWidget(pushButtonClearAndGen, 21, 0, 1, 2);
    verticalSpacer_5 = makeSpacer();
    gridLayout_2->addItem(verticalSpacer_5, 22, 1);
    verticalLayout_7->addLayout(gridLayout_2);
    toolBox->addItem(page_4, tr("Rast"));

    // Page "Urejanje drevesa": a tool box of its own, pruning and bending.
    page_5 = named(new QWidget(), "page_5");
    verticalLayout_3 = makePageLayout(page_5, "verticalLayout_3");
    toolBox_2 = named(new QToolBox(page_5), "toolBox_2");

    pageRezanje = named(new QWidget(), "pageRezanje");
    verticalLayout_9 = makePageLayout(pageRezanje, "verticalLayout_9");
    gridLayout_8 = makeGrid("gridLayout_8", 6);
    checkBoxPrikazagic = named(new QCheckBox(pageRezanje), "checkBoxPrikazagic");
    gridLayout_8->addWidget(checkBoxPrikazagic, 1, 0, 1, 2);
    checkBoxReziTakoj = named(new QCheckBox(pageRezanje), "checkBoxReziTakoj");
    gridLayout_8->addWidget(checkBoxReziTakoj, 3, 0, 1, 2);
    pushButtonApplyRezanje = named(new QPushButton(pageRezanje), "pushButtonApplyRezanje");
    gridLayout_8->addWidget(pushButtonApplyRezanje, 4, 0, 1, 2);
    verticalLayout_9->addLayout(gridLayout_8);
    verticalSpacer_6 = makeSpacer();
    verticalLayout_9->addItem(verticalSpacer_6);
    toolBox_2->addItem(pageRezanje, tr("Rezanje"));

    pageupogibanjevej = named(new QWidget(), "pageupogibanjevej");
    verticalLayout_10 = makePageLayout(pageupogibanjevej, "verticalLayout_10");
    gridLayout_9 = makeGrid("gridLayout_9", 6);
    label_42 = makeLabel(pageupogibanjevej, "label_42");
    gridLayout_9->addWidget(label_42, 0, 0);
    doubleSpinBoxUpogibanjeUtezOptimal =
        makeDoubleBox(pageupogibanjevej, "doubleSpinBoxUpogibanjeUtezOptimal", 0, 99.99, 0.1, 3);
    gridLayout_9->addWidget(doubleSpinBoxUpogibanjeUtezOptimal, 0, 1);
    label_43 = makeLabel(pageupogibanjevej, "label_43");
    gridLayout_9->addWidget(label_43, 1, 0);
    doubleSpinBoxUpogibanjeUtezSmooth =
        makeDoubleBox(pageupogibanjevej, "doubleSpinBoxUpogibanjeUtezSmooth", 0, 99.99, 0.1, 3);
    gridLayout_9->addWidget(doubleSpinBoxUpogibanjeUtezSmooth, 1, 1);
    label_44 = makeLabel(pageupogibanjevej, "label_44");
    gridLayout_9->addWidget(label_44, 2, 0);
    doubleSpinBoxUpogibanjeUtezEnergy =
        makeDoubleBox(pageupogibanjevej, "doubleSpinBoxUpogibanjeUtezEnergy", 0, 99.99, 0.1, 3);
    gridLayout_9->addWidget(doubleSpinBoxUpogibanjeUtezEnergy, 2, 1);
    label_45 = makeLabel(pageupogibanjevej, "label_45");
    gridLayout_9->addWidget(label_45, 3, 0);
    doubleSpinBoxUpogibanjeUtezKonecOrientacija =
        makeDoubleBox(pageupogibanjevej, "doubleSpinBoxUpogibanjeUtezKonecOrientacija", 0, 99.99, 0.1, 3);
    gridLayout_9->addWidget(doubleSpinBoxUpogibanjeUtezKonecOrientacija, 3, 1);
    label_46 = makeLabel(pageupogibanjevej, "label_46");
    gridLayout_9->addWidget(label_46, 5, 0, 3, 1);
    doubleSpinBoxUpogibanjeEndX = makeDoubleBox(pageupogibanjevej, "doubleSpinBoxUpogibanjeEndX", -999, 999, 1, 2);
    gridLayout_9->addWidget(doubleSpinBoxUpogibanjeEndX, 5, 1);
    doubleSpinBoxUpogibanjeEndY = makeDoubleBox(pageupogibanjevej, "doubleSpinBoxUpogibanjeEndY", -999, 999, 1, 2);
    gridLayout_9->addWidget(doubleSpinBoxUpogibanjeEndY, 6, 1);
    doubleSpinBoxUpogibanjeEndZ = makeDoubleBox(pageupogibanjevej, "doubleSpinBoxUpogibanjeEndZ", -999, 999, 1, 2);
    gridLayout_9->addWidget(doubleSpinBoxUpogibanjeEndZ, 7, 1);
    pushButtonAppleUpogibanje = named(new QPushButton(pageupogibanjevej), "pushButtonAppleUpogibanje");
    gridLayout_9->addWidget(pushButtonAppleUpogibanje, 9, 0, 1, 2);
    pushButtonUpogibanjeCancel = named(new QPushButton(pageupogibanjevej), "pushButtonUpogibanjeCancel");
    gridLayout_9->addWidget(pushButtonUpogibanjeCancel, 10, 0, 1, 2);
    verticalLayout_10->addLayout(gridLayout_9);
    verticalSpacer_7 = makeSpacer();
    verticalLayout_10->addItem(verticalSpacer_7);
    toolBox_2->addItem(pageupogibanjevej, tr("Upogibanje vej"));

    verticalLayout_3->addWidget(toolBox_2);
    toolBox->addItem(page_5, tr("Urejanje drevesa"));

    // Page "Page": no layout, every child at a fixed place.
    pageOther = named(new QWidget(), "pageOther");
    auto place = [](QWidget* child, int x, int y, int w, int h) { child->setGeometry(QRect(x, y, w, h)); };
    label_10 = makeLabel(pageOther, "label_10", true);
    place(label_10, 8, 18, 92, 10);
    label_33 = makeLabel(pageOther, "label_33");
    place(label_33, 8, 31, 184, 10);
    comboBoxModelAlokacijeVirov = named(new QComboBox(pageOther), "comboBoxModelAlokacijeVirov");
    place(comboBoxModelAlokacijeVirov, 8, 44, 184, 22);
    label_11 = makeLabel(pageOther, "label_11", true);
    place(label_11, 8, 69, 92, 23);
    doubleSpinBoxBHLambda = makeDoubleBox(pageOther, "doubleSpinBoxBHLambda", 0, 99.99, 0.1, 3);
    place(doubleSpinBoxBHLambda, 100, 69, 92, 23);
    label_34 = makeLabel(pageOther, "label_34", true);
    place(label_34, 8, 95, 184, 10);
    label_36 = makeLabel(pageOther, "label_36");
    place(label_36, 8, 108, 92, 23);
    doubleSpinBoxPrioWMAX = makeDoubleBox(pageOther, "doubleSpinBoxPrioWMAX", 0, 99.99, 0.1, 3);
    place(doubleSpinBoxPrioWMAX, 100, 108, 92, 23);
    label_35 = makeLabel(pageOther, "label_35");
    place(label_35, 8, 134, 92, 23);
    doubleSpinBoxWMin = makeDoubleBox(pageOther, "doubleSpinBoxWMin", 0, 99.99, 0.1, 3);
    place(doubleSpinBoxWMin, 100, 134, 92, 23);
    label_37 = makeLabel(pageOther, "label_37");
    place(label_37, 8, 160, 92, 23);
    doubleSpinBoxPrioDo = makeDoubleBox(pageOther, "doubleSpinBoxPrioDo", 0, 1, 0.1, 3);
    place(doubleSpinBoxPrioDo, 100, 160, 92, 23);
    checkBoxApicalControl = named(new QCheckBox(pageOther), "checkBoxApicalControl");
    place(checkBoxApicalControl, 8, 186, 184, 16);
    label_19 = makeLabel(pageOther, "label_19");
    place(label_19, 11, 212, 99, 22);
    comboBoxTipRastiProl = named(new QComboBox(pageOther), "comboBoxTipRastiProl");
    place(comboBoxTipRastiProl, 110, 212, 99, 22);
    label_39 = makeLabel(pageOther, "label_39");
    place(label_39, 11, 237, 99, 30);
    doubleSpinBoxPrirastDolzineVejGledeNaPrirastDebeline =
        makeDoubleBox(pageOther, "doubleSpinBoxPrirastDolzineVejGledeNaPrirastDebeline", 0, 99.99, 1, 2);
    place(doubleSpinBoxPrirastDolzineVejGledeNaPrirastDebeline, 110, 240, 99, 23);
    checkBoxPrikazNamigov = named(new QCheckBox(pageOther), "checkBoxPrikazNamigov");
    place(checkBoxPrikazNamigov, 20, 270, 208, 19);
    label_28 = makeLabel(pageOther, "label_28");
    place(label_28, 20, 290, 81, 18);
    doubleSpinBoxVelikostZagic = makeDoubleBox(pageOther, "doubleSpinBoxVelikostZagic", 0.01, 100, 1, 2);
    place(doubleSpinBoxVelikostZagic, 109, 290, 81, 18);
    toolBox->addItem(pageOther, tr("Page"));

    verticalLayout_5->addWidget(toolBox);
    dockWidget->setWidget(dockWidgetContents);
    window->addDockWidget(Qt::RightDockWidgetArea, dockWidget);

    menuBar = named(new QMenuBar(window), "menuBar");
    menuBar->setGeometry(QRect(0, 0, 725, 24));
    menuDatoteka = named(new QMenu(menuBar), "menuDatoteka");
    menuUredi = named(new QMenu(menuBar), "menuUredi");
    menuHg = named(new QMenu(menuBar), "menuHg");
    menuPogled = named(new QMenu(menuBar), "menuPogled");
    window->setMenuBar(menuBar);

    // The main window adds the tool-bar buttons behind this separator.
    mainToolBar->addSeparator();
    menuBar->addAction(menuDatoteka->menuAction());
    menuBar->addAction(menuUredi->menuAction());
    menuBar->addAction(menuPogled->menuAction());
    menuBar->addAction(menuHg->menuAction());
    menuDatoteka->addAction(actionExit);
    menuUredi->addSeparator();
    menuUredi->addAction(actionIzvedi_iteracijo_rasti);
    menuUredi->addAction(actionZnova);
    for (int i = 0; i < 6; ++i)
        menuUredi->addSeparator();
    menuPogled->addAction(actionView_TOP);
    menuPogled->addAction(actionVIEW_0);
    menuPogled->addAction(actionShrani_pogled);
    menuPogled->addAction(actionNalozi_pogled);
    menuPogled->addSeparator();
    menuPogled->addAction(actionInvert_colours);
    menuPogled->addAction(actionPrikaz_metra);
    menuPogled->addAction(actionPrikaz_od_zacetka_sezone);
    menuPogled->addAction(actionMe_i_senco_na_drevo);
    menuPogled->addSeparator();
    menuPogled->addAction(actionShow_histogram);
    menuHg->addAction(actionO);
    menuHg->addAction(actionPomo);

    retranslateUi(window);

    QObject::connect(checkBoxReziTakoj, &QCheckBox::toggled, pushButtonApplyRezanje, &QPushButton::setDisabled);

    toolBox->setCurrentIndex(7);
    toolBox_2->setCurrentIndex(0);

    // Last, so that nothing the form did above reaches a slot of the window.
    QMetaObject::connectSlotsByName(window);
}

void MainWindowForm::retranslateUi(QMainWindow* window)
{
    window->setWindowTitle(tr("Trelimo"));
    actionO->setText(tr("&O..."));
    actionIzvedi_iteracijo_rasti->setText(tr("&Izvedi iteracijo rasti"));
    actionZnova->setText(tr("&Znova rasti"));
    actionVIEW_0->setText(tr("&Reset view"));
    actionShow_tree->setText(tr("&Show tree"));
    actionView_TOP->setText(tr("&View TOP"));
    actionShrani_pogled->setText(tr("&Shrani pogled"));
    actionNalozi_pogled->setText(tr("&Nalozi pogled"));
    actionInvert_colours->setText(tr("&Invert colours"));
    actionPrikaz_metra->setText(tr("&Prikaz metra"));
    actionPrikaz_od_zacetka_sezone->setText(tr("Prikaz &od zacetka sezone"));
    actionMe_i_senco_na_drevo->setText(tr("&Meči senco na drevo"));
    actionExit->setText(tr("&Exit"));
    actionPomo->setText(tr("&Pomoč..."));
    actionShow_histogram->setText(tr("Show light interception histogram"));

    dockWidget->setWindowTitle(tr("&Parametri"));
    label_40->setText(tr("Mode"));
    setItems(comboBoxMode, {"Premikanje", "Filtriranje", "Prikaz informacij", "Merjenje dolžine", "Merjenje kotov",
                            "Sajenje dreves", "Privezovanje", "Raztezanje", "Utezi", "Rezanje"});

    label_51->setText(tr("Lokacija kamere"));
    label_41->setText(tr("X"));
    label_47->setText(tr("Y"));
    label_50->setText(tr("Z"));
    label_52->setText(tr("Rotacija kamere"));
    label_53->setText(tr("X"));
    label_54->setText(tr("Y"));
    label_56->setText(tr("Zoom kamere"));
    label_55->setText(tr("Zoom kamere"));
    label_57->setText(tr("Rotacija objekta"));
    label_58->setText(tr("X"));
    label_60->setText(tr("Y"));
    toolBox->setItemText(toolBox->indexOf(page), tr("Pogled"));

    label_26->setText(tr("Prikaz informacij:"));
    setItems(comboBoxTipPrikazaInformaijc,
             {"Normalizirani vhodni viri iz okolja", "Vhodni viri iz okolja", "Vhodni viri popkov iz okolja",
              "Dobljeni viri iz baze norm", "Dobljeni viri iz base"});
    toolBox->setItemText(toolBox->indexOf(page_6), tr("Informacije"));

    risanjeCheckBoxPrikazi->setText(tr("Prikazi BBOX"));
    label->setText(tr("Min BBOX"));
    label_3->setText(tr("Max:"));
    toolBox->setItemText(toolBox->indexOf(pageBBOX), tr("Bbox"));

    risanjeCheckBoxUpostevaj->setText(tr("Upoštevaj pri rasti"));
    label_4->setText(tr("Izbrana os z"));
    label_5->setText(tr("Os urejanja:"));
    setItems(risanjeComboBoxOs, {"X", "Y", "Z"});
    label_7->setText(tr("Nacin"));
    setItems(risanjeComboboxMode, {"Dodajaj", "Odvzemaj"});
    label_8->setText(tr("Efekt okrog"));
    label_6->setText(tr("Dim celic X,Y,Z"));
    risanjePushButtonClear->setText(tr("Spremeni dim"));
    toolBox->setItemText(toolBox->indexOf(pageSpreminjanjeVirov), tr("Ročno spreminjanje virov"));

    label_48->setText(tr("<html><body>alfa za Q=f(x);<br/>x je starost drevesa</body></html>"));
    checkBoxPrikazRisanjaSenc->setText(tr("Prikaz okolja"));
    label_49->setText(tr("Prikaz alfa"));
    label_23->setText(tr("Tip okolja:"));
    setItems(comboBoxVrstaVirov, {"Svetloba", "Prostor", "Cone"});
    label_9->setText(tr("Senca:"));
    label_14->setText(tr("Qmax:"));
    label_17->setText(tr("Cmax"));
    label_16->setText(tr("a:"));
    label_15->setText(tr("b:"));
    label_2->setText(tr("Dim:"));
    pushButtonSencaClear->setText(tr("Spremeni dim"));
    toolBox->setItemText(toolBox->indexOf(pageEnvParams), tr("Okolje"));

    label_31->setText(tr("Samodejno rezanje"));
    label_32->setText(tr("Prag:"));
    label_38->setText(tr("Rast:"));
    label_20->setText(tr("Tropism:"));
    label_22->setText(tr("Rand"));
    label_12->setText(tr("Debeline N1:"));
    label_13->setText(tr("Debeline N2:"));
    label_24->setText(tr("Growth behavior"));
    checkBoxProbabilistic->setText(tr("Probabilistic"));
    checkBoxDeterministic->setText(tr("Deterministic"));
    label_18->setText(tr("Sezon:"));
    pushButtonClear->setText(tr("Clear"));
    pushButtonGenerirja->setText(tr("Generiraj"));
    pushButtonClearAndGen->setText(tr("Clear && Gen"));
    toolBox->setItemText(toolBox->indexOf(page_4), tr("Rast"));

    checkBoxPrikazagic->setText(tr("Prikaz žagic"));
    checkBoxReziTakoj->setText(tr("Takojšnje rezanje"));
    pushButtonApplyRezanje->setText(tr("Obreži izbrano"));
    toolBox_2->setItemText(toolBox_2->indexOf(pageRezanje), tr("Rezanje"));

    label_42->setText(tr("utez optimal"));
    label_43->setText(tr("smooth"));
    label_44->setText(tr("energija"));
    label_45->setText(tr("orientacija konec"));
    label_46->setText(tr("Koordinate\nkončne\ntočke"));
    pushButtonAppleUpogibanje->setText(tr("OK"));
    pushButtonUpogibanjeCancel->setText(tr("Prekliči"));
    toolBox_2->setItemText(toolBox_2->indexOf(pageupogibanjevej), tr("Upogibanje vej"));
    toolBox->setItemText(toolBox->indexOf(page_5), tr("Urejanje drevesa"));

    label_10->setText(tr("Viri"));
    label_33->setText(tr("Model alokacije virov:"));
    setItems(comboBoxModelAlokacijeVirov, {"Brez", "BH", "Prioritetni"});
    label_11->setText(tr("BH model λ:"));
    label_34->setText(tr("Priority model:"));
    label_36->setText(tr("Wmax"));
    label_35->setText(tr("Wmin"));
    label_37->setText(tr("padanje do[κ]"));
    checkBoxApicalControl->setText(tr("Apical control"));
    label_19->setText(tr("Tip"));
    setItems(comboBoxTipRastiProl, {"Proleptično", "Sileptično"});
    label_39->setText(tr("Prirast dolžine \nvej glede na \nprirast debeline"));
    checkBoxPrikazNamigov->setText(tr("Prikaz namigov"));
    label_28->setText(tr("Velikost žagic"));
    toolBox->setItemText(toolBox->indexOf(pageOther), tr("Page"));

    menuDatoteka->setTitle(tr("Datote&ka"));
    menuUredi->setTitle(tr("&Uredi"));
    menuHg->setTitle(tr("Po&moč"));
    menuPogled->setTitle(tr("Po&gled"));
}

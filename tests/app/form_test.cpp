// The main window's form built on a plain QMainWindow: every object by name and
// class, the controls' settings and places, pages, menus, sizes, the one
// explicit connection, the connection by name, and the texts with and without
// the translations from the resource bundle. The expected values are the
// form's documented layout, written out here.

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDockWidget>
#include <QDoubleSpinBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QSpacerItem>
#include <QSpinBox>
#include <QTextDocument>
#include <QStatusBar>
#include <QToolBar>
#include <QToolBox>
#include <QTranslator>
#include <QVBoxLayout>

#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "app/mainwindowform.h"
#include "view/widgetrisanje.h"

namespace {

// A layout item as a layout reports it: its widget, layout or spacer.
struct Ref {
    const void* p;
    Ref(QWidget* w) : p(static_cast<QObject*>(w)) {}
    Ref(QLayout* l) : p(static_cast<QObject*>(l)) {}
    Ref(QSpacerItem* s) : p(s) {}
};
const void* identify(QLayoutItem* item)
{
    if (item->widget())
        return static_cast<QObject*>(item->widget());
    if (item->layout())
        return static_cast<QObject*>(item->layout());
    return item->spacerItem();
}

struct Built {
    QMainWindow window;
    MainWindowForm form;
    Built() { form.setupUi(&window); }
};

// The text an object shows.
QString shownText(QObject* object)
{
    if (auto* a = qobject_cast<QAction*>(object))
        return a->text();
    if (auto* l = qobject_cast<QLabel*>(object))
        return l->text();
    if (auto* b = qobject_cast<QAbstractButton*>(object))
        return b->text();
    if (auto* m = qobject_cast<QMenu*>(object))
        return m->title();
    return qobject_cast<QWidget*>(object)->windowTitle();
}

#define O(field) {f.field, #field}

TEST(FormTest, EveryObjectHasItsNameAndClass)
{
    Built b;
    const MainWindowForm& f = b.form;
    const std::vector<std::pair<const char*, std::vector<std::pair<QObject*, const char*>>>> classes = {
        {"QAction",
         {O(actionO), O(actionIzvedi_iteracijo_rasti), O(actionZnova), O(actionVIEW_0), O(actionShow_tree),
          O(actionView_TOP), O(actionShrani_pogled), O(actionNalozi_pogled), O(actionInvert_colours),
          O(actionPrikaz_metra), O(actionPrikaz_od_zacetka_sezone), O(actionMe_i_senco_na_drevo), O(actionExit),
          O(actionPomo), O(actionShow_histogram)}},
        {"QWidget",
         {O(centralWidget), O(dockWidgetContents), O(page), O(page_6), O(pageBBOX), O(widget_2), O(layoutWidget),
          O(pageSpreminjanjeVirov), O(pageEnvParams), O(page_4), O(page_5), O(pageRezanje), O(pageupogibanjevej),
          O(pageOther)}},
        {"WidgetRisanje", {O(widget)}},
        {"QToolBar", {O(mainToolBar)}},
        {"QStatusBar", {O(statusBar)}},
        {"QDockWidget", {O(dockWidget)}},
        {"QToolBox", {O(toolBox), O(toolBox_2)}},
        {"QMenuBar", {O(menuBar)}},
        {"QMenu", {O(menuDatoteka), O(menuUredi), O(menuHg), O(menuPogled)}},
        {"QButtonGroup", {O(buttonGroup)}},
        {"QVBoxLayout",
         {O(verticalLayout), O(verticalLayout_5), O(verticalLayout_11), O(verticalLayout_8), O(verticalLayout_4),
          O(verticalLayout_2), O(verticalLayout_6), O(verticalLayout_7), O(verticalLayout_3), O(verticalLayout_9),
          O(verticalLayout_10)}},
        {"QGridLayout",
         {O(gridLayout_6), O(gridLayout_5), O(gridLayout_7), O(gridLayout_4), O(gridLayout_3), O(gridLayout),
          O(gridLayoutTipOkolja), O(gridLayoutShadowPropSpaceMarkers), O(gridLayout_2), O(gridLayout_8),
          O(gridLayout_9)}},
        {"QHBoxLayout", {O(horizontalLayout_2), O(horizontalLayout)}},
        {"QLabel",
         {O(label_40), O(label_51), O(label_41), O(label_47), O(label_50), O(label_52), O(label_53), O(label_54),
          O(label_56), O(label_55), O(label_57), O(label_58), O(label_60), O(label_26), O(label), O(label_3),
          O(label_4), O(label_5), O(label_7), O(label_8), O(label_6), O(label_48), O(label_49), O(label_23),
          O(label_9), O(label_14), O(label_17), O(label_16), O(label_15), O(label_2), O(label_31), O(label_32),
          O(label_38), O(label_20), O(label_22), O(label_12), O(label_13), O(label_24), O(label_18), O(label_42),
          O(label_43), O(label_44), O(label_45), O(label_46), O(label_10), O(label_33), O(label_11), O(label_34),
          O(label_36), O(label_35), O(label_37), O(label_19), O(label_39), O(label_28)}},
        {"QComboBox",
         {O(comboBoxMode), O(comboBoxTipPrikazaInformaijc), O(risanjeComboBoxOs), O(risanjeComboboxMode),
          O(comboBoxVrstaVirov), O(comboBoxModelAlokacijeVirov), O(comboBoxTipRastiProl)}},
        {"QLineEdit", {O(lineEditRastnaKrivulja)}},
        {"QCheckBox",
         {O(risanjeCheckBoxPrikazi), O(risanjeCheckBoxUpostevaj), O(checkBoxPrikazRisanjaSenc),
          O(checkBoxProbabilistic), O(checkBoxDeterministic), O(checkBoxPrikazagic), O(checkBoxReziTakoj),
          O(checkBoxApicalControl), O(checkBoxPrikazNamigov)}},
        {"QPushButton",
         {O(risanjePushButtonClear), O(pushButtonSencaClear), O(pushButtonClear), O(pushButtonGenerirja),
          O(pushButtonClearAndGen), O(pushButtonApplyRezanje), O(pushButtonAppleUpogibanje),
          O(pushButtonUpogibanjeCancel)}},
        {"QSpinBox",
         {O(risanjeSpinBoxId), O(risanjeEfektX), O(risanjeEfektY), O(risanjeEfektZ), O(risanjeCellDim),
          O(spinBoxQMAX), O(spinBoxSencaDim), O(spinBoxNSezon)}},
        {"QDoubleSpinBox",
         {O(doubleSpinBoxCamLocX), O(doubleSpinBoxCamLocY), O(doubleSpinBoxCamLocZ), O(doubleSpinBoxCamRotX),
          O(doubleSpinBoxCamRotY), O(doubleSpinBoxCamZoom), O(doubleSpinBoxCamObjRotX), O(doubleSpinBoxCamObjRotY),
          O(risanjeSPBBoxMinX), O(risanjeSPBBoxMinY), O(risanjeSPBBoxMinZ), O(risanjeSPBBoxMaxX),
          O(risanjeSPBBoxMaxY), O(risanjeSPBBoxMaxZ), O(doubleSpinBoxPrikazAlfa), O(doubleSpinBoxCMAX),
          O(doubleSpinBoxShadowA), O(doubleSpinBoxShadowB), O(doubleSpinBoxPragRezanja), O(doubleSpinBoxTropism),
          O(doubleSpinBoxRandom), O(doubleSpinBoxDebelineN1), O(doubleSpinBoxDeelineN2),
          O(doubleSpinBoxUpogibanjeUtezOptimal), O(doubleSpinBoxUpogibanjeUtezSmooth),
          O(doubleSpinBoxUpogibanjeUtezEnergy), O(doubleSpinBoxUpogibanjeUtezKonecOrientacija),
          O(doubleSpinBoxUpogibanjeEndX), O(doubleSpinBoxUpogibanjeEndY), O(doubleSpinBoxUpogibanjeEndZ),
          O(doubleSpinBoxBHLambda), O(doubleSpinBoxPrioWMAX), O(doubleSpinBoxWMin), O(doubleSpinBoxPrioDo),
          O(doubleSpinBoxPrirastDolzineVejGledeNaPrirastDebeline), O(doubleSpinBoxVelikostZagic)}},
    };
    std::multiset<std::string> expectedNames;
    for (const auto& [className, objects] : classes)
        for (const auto& [object, name] : objects) {
            ASSERT_NE(object, nullptr) << name;
            EXPECT_EQ(object->objectName(), name);
            EXPECT_STREQ(object->metaObject()->className(), className) << name;
            expectedNames.insert(name);
        }
    EXPECT_EQ(b.window.objectName(), "MainWindow");

    // Nothing else of ours under the window carries a name (Qt's own parts are "qt_...").
    std::multiset<std::string> found;
    for (QObject* object : b.window.findChildren<QObject*>()) {
        const QString name = object->objectName();
        if (!name.isEmpty() && !name.startsWith("qt_") && name != "_layout")
            found.insert(name.toStdString());
    }
    EXPECT_EQ(found, expectedNames);

    // A name chosen before the form is kept.
    QMainWindow named;
    named.setObjectName("Other");
    MainWindowForm other;
    other.setupUi(&named);
    EXPECT_EQ(named.objectName(), "Other");
}

TEST(FormTest, SpinBoxesHaveTheirRangesStepsDecimalsAndStartValues)
{
    Built b;
    const MainWindowForm& f = b.form;
    struct Real {
        QDoubleSpinBox* box;
        double minimum, maximum, step;
        int decimals;
        double start;
    };
    const double big = 99999, obj = 9999, def = 99.99;
    const std::vector<Real> reals = {
        {f.doubleSpinBoxCamLocX, -big, big, 1, 2, 0}, {f.doubleSpinBoxCamLocY, -big, big, 1, 2, 0},
        {f.doubleSpinBoxCamLocZ, -big, big, 1, 2, 0}, {f.doubleSpinBoxCamRotX, -big, big, 1, 2, 0},
        {f.doubleSpinBoxCamRotY, -big, big, 1, 2, 0}, {f.doubleSpinBoxCamZoom, -big, big, 1, 2, 0},
        {f.doubleSpinBoxCamObjRotX, -obj, obj, 1, 2, 0}, {f.doubleSpinBoxCamObjRotY, -obj, obj, 1, 2, 0},
        {f.risanjeSPBBoxMinX, -10000, 10000, 1, 2, -5}, {f.risanjeSPBBoxMinY, -10000, 10000, 1, 2, 0},
        {f.risanjeSPBBoxMinZ, -10000, 10000, 1, 2, -5}, {f.risanjeSPBBoxMaxX, -10000, 10000, 1, 2, 5},
        {f.risanjeSPBBoxMaxY, -10000, 10000, 1, 2, 15}, {f.risanjeSPBBoxMaxZ, -10000, 10000, 1, 2, 5},
        {f.doubleSpinBoxPrikazAlfa, 0, def, 0.01, 2, 0}, {f.doubleSpinBoxCMAX, 0, def, 0.1, 3, 0},
        {f.doubleSpinBoxShadowA, 0, def, 0.1, 3, 0}, {f.doubleSpinBoxShadowB, 0, def, 0.1, 3, 0},
        {f.doubleSpinBoxPragRezanja, -99, def, 0.1, 3, 0}, {f.doubleSpinBoxTropism, -1, 1, 0.1, 3, 0},
        {f.doubleSpinBoxRandom, -1, def, 0.1, 2, 0}, {f.doubleSpinBoxDebelineN1, 0, def, 0.1, 3, 0},
        {f.doubleSpinBoxDeelineN2, 0, def, 0.1, 3, 0}, {f.doubleSpinBoxUpogibanjeUtezOptimal, 0, def, 0.1, 3, 0},
        {f.doubleSpinBoxUpogibanjeUtezSmooth, 0, def, 0.1, 3, 0},
        {f.doubleSpinBoxUpogibanjeUtezEnergy, 0, def, 0.1, 3, 0},
        {f.doubleSpinBoxUpogibanjeUtezKonecOrientacija, 0, def, 0.1, 3, 0},
        {f.doubleSpinBoxUpogibanjeEndX, -999, 999, 1, 2, 0}, {f.doubleSpinBoxUpogibanjeEndY, -999, 999, 1, 2, 0},
        {f.doubleSpinBoxUpogibanjeEndZ, -999, 999, 1, 2, 0}, {f.doubleSpinBoxBHLambda, 0, def, 0.1, 3, 0},
        {f.doubleSpinBoxPrioWMAX, 0, def, 0.1, 3, 0}, {f.doubleSpinBoxWMin, 0, def, 0.1, 3, 0},
        {f.doubleSpinBoxPrioDo, 0, 1, 0.1, 3, 0},
        {f.doubleSpinBoxPrirastDolzineVejGledeNaPrirastDebeline, 0, def, 1, 2, 0},
        {f.doubleSpinBoxVelikostZagic, 0.01, 100, 1, 2, 0.01},
    };
    for (const Real& r : reals) {
        SCOPED_TRACE(r.box->objectName().toStdString());
        EXPECT_DOUBLE_EQ(r.box->minimum(), r.minimum);
        EXPECT_DOUBLE_EQ(r.box->maximum(), r.maximum);
        EXPECT_DOUBLE_EQ(r.box->singleStep(), r.step);
        EXPECT_EQ(r.box->decimals(), r.decimals);
        EXPECT_DOUBLE_EQ(r.box->value(), r.start);
    }
    struct Whole {
        QSpinBox* box;
        int minimum, maximum, start;
    };
    const std::vector<Whole> wholes = {
        {f.risanjeSpinBoxId, 0, 99, 5}, {f.risanjeEfektX, 0, 22, 0},  {f.risanjeEfektY, 0, 22, 0},
        {f.risanjeEfektZ, 1, 22, 1},    {f.risanjeCellDim, 2, 100, 2}, {f.spinBoxQMAX, 0, 99, 0},
        {f.spinBoxSencaDim, 0, 999, 0}, {f.spinBoxNSezon, 0, 99, 3},
    };
    for (const Whole& w : wholes) {
        SCOPED_TRACE(w.box->objectName().toStdString());
        EXPECT_EQ(w.box->minimum(), w.minimum);
        EXPECT_EQ(w.box->maximum(), w.maximum);
        EXPECT_EQ(w.box->singleStep(), 1);
        EXPECT_EQ(w.box->value(), w.start);
    }
}

TEST(FormTest, LayoutsHoldTheirItemsInPlace)
{
    Built b;
    const MainWindowForm& f = b.form;
    struct Cell {
        QGridLayout* grid;
        Ref item;
        int row, column, rowSpan, columnSpan;
    };
    const std::vector<Cell> cells = {
        {f.gridLayout_6, f.label_40, 0, 0, 1, 1}, {f.gridLayout_6, f.comboBoxMode, 0, 1, 1, 1},
        {f.gridLayout_5, f.label_51, 0, 0, 1, 2}, {f.gridLayout_5, f.label_41, 1, 0, 1, 1},
        {f.gridLayout_5, f.doubleSpinBoxCamLocX, 1, 1, 1, 1}, {f.gridLayout_5, f.label_47, 2, 0, 1, 1},
        {f.gridLayout_5, f.doubleSpinBoxCamLocY, 2, 1, 1, 1}, {f.gridLayout_5, f.label_50, 3, 0, 1, 1},
        {f.gridLayout_5, f.doubleSpinBoxCamLocZ, 3, 1, 1, 1}, {f.gridLayout_5, f.label_52, 4, 0, 1, 2},
        {f.gridLayout_5, f.label_53, 5, 0, 1, 1}, {f.gridLayout_5, f.doubleSpinBoxCamRotX, 5, 1, 1, 1},
        {f.gridLayout_5, f.label_54, 6, 0, 1, 1}, {f.gridLayout_5, f.doubleSpinBoxCamRotY, 6, 1, 1, 1},
        {f.gridLayout_5, f.label_56, 7, 0, 1, 1}, {f.gridLayout_5, f.label_55, 8, 0, 1, 1},
        {f.gridLayout_5, f.doubleSpinBoxCamZoom, 8, 1, 1, 1}, {f.gridLayout_5, f.label_57, 9, 0, 1, 1},
        {f.gridLayout_5, f.label_58, 10, 0, 1, 1}, {f.gridLayout_5, f.doubleSpinBoxCamObjRotX, 10, 1, 1, 1},
        {f.gridLayout_5, f.label_60, 11, 0, 1, 1}, {f.gridLayout_5, f.doubleSpinBoxCamObjRotY, 11, 1, 1, 1},
        {f.gridLayout_7, f.label_26, 0, 0, 1, 1}, {f.gridLayout_7, f.comboBoxTipPrikazaInformaijc, 1, 0, 1, 1},
        {f.gridLayout_4, f.risanjeCheckBoxPrikazi, 0, 0, 1, 2}, {f.gridLayout_4, f.label, 1, 0, 1, 1},
        {f.gridLayout_4, f.risanjeSPBBoxMinX, 1, 1, 1, 1}, {f.gridLayout_4, f.risanjeSPBBoxMinY, 2, 1, 1, 1},
        {f.gridLayout_4, f.risanjeSPBBoxMinZ, 3, 1, 1, 1}, {f.gridLayout_4, f.label_3, 4, 0, 1, 1},
        {f.gridLayout_4, f.risanjeSPBBoxMaxX, 4, 1, 1, 1}, {f.gridLayout_4, f.risanjeSPBBoxMaxY, 5, 1, 1, 1},
        {f.gridLayout_4, f.risanjeSPBBoxMaxZ, 6, 1, 1, 1},
        {f.gridLayout_3, f.risanjeCheckBoxUpostevaj, 0, 0, 1, 2}, {f.gridLayout_3, f.label_4, 1, 0, 1, 1},
        {f.gridLayout_3, f.risanjeSpinBoxId, 1, 1, 1, 1}, {f.gridLayout_3, f.label_5, 2, 0, 1, 1},
        {f.gridLayout_3, f.risanjeComboBoxOs, 2, 1, 1, 1}, {f.gridLayout_3, f.label_7, 3, 0, 1, 1},
        {f.gridLayout_3, f.risanjeComboboxMode, 3, 1, 1, 1}, {f.gridLayout_3, f.label_8, 4, 0, 1, 1},
        {f.gridLayout_3, f.horizontalLayout_2, 5, 0, 1, 2}, {f.gridLayout_3, f.label_6, 6, 0, 1, 1},
        {f.gridLayout_3, f.risanjeCellDim, 6, 1, 1, 1}, {f.gridLayout_3, f.risanjePushButtonClear, 7, 0, 1, 2},
        {f.gridLayout, f.label_49, 0, 0, 1, 1}, {f.gridLayout, f.doubleSpinBoxPrikazAlfa, 0, 1, 1, 1},
        {f.gridLayoutTipOkolja, f.label_23, 0, 0, 1, 1}, {f.gridLayoutTipOkolja, f.comboBoxVrstaVirov, 0, 1, 1, 1},
        {f.gridLayoutShadowPropSpaceMarkers, f.label_9, 4, 0, 1, 1},
        {f.gridLayoutShadowPropSpaceMarkers, f.label_14, 7, 0, 1, 1},
        {f.gridLayoutShadowPropSpaceMarkers, f.spinBoxQMAX, 7, 1, 1, 1},
        {f.gridLayoutShadowPropSpaceMarkers, f.label_17, 8, 0, 1, 1},
        {f.gridLayoutShadowPropSpaceMarkers, f.doubleSpinBoxCMAX, 8, 1, 1, 1},
        {f.gridLayoutShadowPropSpaceMarkers, f.label_16, 9, 0, 1, 1},
        {f.gridLayoutShadowPropSpaceMarkers, f.doubleSpinBoxShadowA, 9, 1, 1, 1},
        {f.gridLayoutShadowPropSpaceMarkers, f.label_15, 10, 0, 1, 1},
        {f.gridLayoutShadowPropSpaceMarkers, f.doubleSpinBoxShadowB, 10, 1, 1, 1},
        {f.gridLayoutShadowPropSpaceMarkers, f.label_2, 11, 0, 1, 1},
        {f.gridLayoutShadowPropSpaceMarkers, f.spinBoxSencaDim, 11, 1, 1, 1},
        {f.gridLayoutShadowPropSpaceMarkers, f.pushButtonSencaClear, 12, 0, 1, 2},
        {f.gridLayout_2, f.label_31, 6, 0, 1, 2}, {f.gridLayout_2, f.label_32, 7, 0, 1, 1},
        {f.gridLayout_2, f.doubleSpinBoxPragRezanja, 7, 1, 1, 1}, {f.gridLayout_2, f.label_38, 8, 0, 1, 1},
        {f.gridLayout_2, f.label_20, 9, 0, 1, 1}, {f.gridLayout_2, f.doubleSpinBoxTropism, 9, 1, 1, 1},
        {f.gridLayout_2, f.label_22, 10, 0, 1, 1}, {f.gridLayout_2, f.doubleSpinBoxRandom, 10, 1, 1, 1},
        {f.gridLayout_2, f.label_12, 11, 0, 1, 1}, {f.gridLayout_2, f.doubleSpinBoxDebelineN1, 11, 1, 1, 1},
        {f.gridLayout_2, f.label_13, 12, 0, 1, 1}, {f.gridLayout_2, f.doubleSpinBoxDeelineN2, 12, 1, 1, 1},
        {f.gridLayout_2, f.label_24, 13, 0, 1, 1}, {f.gridLayout_2, f.horizontalLayout, 14, 0, 1, 2},
        {f.gridLayout_2, f.label_18, 19, 0, 1, 1}, {f.gridLayout_2, f.spinBoxNSezon, 19, 1, 1, 1},
        {f.gridLayout_2, f.pushButtonClear, 20, 0, 1, 1}, {f.gridLayout_2, f.pushButtonGenerirja, 20, 1, 1, 1},
        {f.gridLayout_2, f.pushButtonClearAndGen, 21, 0, 1, 2}, {f.gridLayout_2, f.verticalSpacer_5, 22, 1, 1, 1},
        {f.gridLayout_8, f.checkBoxPrikazagic, 1, 0, 1, 2}, {f.gridLayout_8, f.checkBoxReziTakoj, 3, 0, 1, 2},
        {f.gridLayout_8, f.pushButtonApplyRezanje, 4, 0, 1, 2},
        {f.gridLayout_9, f.label_42, 0, 0, 1, 1}, {f.gridLayout_9, f.doubleSpinBoxUpogibanjeUtezOptimal, 0, 1, 1, 1},
        {f.gridLayout_9, f.label_43, 1, 0, 1, 1}, {f.gridLayout_9, f.doubleSpinBoxUpogibanjeUtezSmooth, 1, 1, 1, 1},
        {f.gridLayout_9, f.label_44, 2, 0, 1, 1}, {f.gridLayout_9, f.doubleSpinBoxUpogibanjeUtezEnergy, 2, 1, 1, 1},
        {f.gridLayout_9, f.label_45, 3, 0, 1, 1},
        {f.gridLayout_9, f.doubleSpinBoxUpogibanjeUtezKonecOrientacija, 3, 1, 1, 1},
        {f.gridLayout_9, f.label_46, 5, 0, 3, 1}, {f.gridLayout_9, f.doubleSpinBoxUpogibanjeEndX, 5, 1, 1, 1},
        {f.gridLayout_9, f.doubleSpinBoxUpogibanjeEndY, 6, 1, 1, 1},
        {f.gridLayout_9, f.doubleSpinBoxUpogibanjeEndZ, 7, 1, 1, 1},
        {f.gridLayout_9, f.pushButtonAppleUpogibanje, 9, 0, 1, 2},
        {f.gridLayout_9, f.pushButtonUpogibanjeCancel, 10, 0, 1, 2},
    };
    std::map<QGridLayout*, int> perGrid;
    for (const Cell& c : cells) {
        SCOPED_TRACE(c.grid->objectName().toStdString() + " item " + std::to_string(perGrid[c.grid]));
        ++perGrid[c.grid];
        int found = -1;
        for (int i = 0; i < c.grid->count(); ++i)
            if (identify(c.grid->itemAt(i)) == c.item.p)
                found = i;
        ASSERT_GE(found, 0);
        int row, column, rowSpan, columnSpan;
        c.grid->getItemPosition(found, &row, &column, &rowSpan, &columnSpan);
        EXPECT_EQ(std::vector<int>({row, column, rowSpan, columnSpan}),
                  std::vector<int>({c.row, c.column, c.rowSpan, c.columnSpan}));
    }
    for (const auto& [grid, count] : perGrid)
        EXPECT_EQ(grid->count(), count) << grid->objectName().toStdString();

    const std::vector<std::pair<QBoxLayout*, std::vector<Ref>>> boxes = {
        {f.verticalLayout, {f.widget}},
        {f.verticalLayout_5, {f.gridLayout_6, f.toolBox}},
        {f.verticalLayout_11, {f.gridLayout_5, f.verticalSpacer}},
        {f.verticalLayout_8, {f.gridLayout_7, f.verticalSpacer_2}},
        {f.verticalLayout_4, {f.widget_2}},
        {f.verticalLayout_2, {f.gridLayout_3, f.verticalSpacer_3}},
        {f.verticalLayout_6,
         {f.label_48, f.lineEditRastnaKrivulja, f.checkBoxPrikazRisanjaSenc, f.gridLayout, f.gridLayoutTipOkolja,
          f.gridLayoutShadowPropSpaceMarkers, f.verticalSpacer_4}},
        {f.verticalLayout_7, {f.gridLayout_2}},
        {f.verticalLayout_3, {f.toolBox_2}},
        {f.verticalLayout_9, {f.gridLayout_8, f.verticalSpacer_6}},
        {f.verticalLayout_10, {f.gridLayout_9, f.verticalSpacer_7}},
        {f.horizontalLayout_2, {f.risanjeEfektX, f.risanjeEfektY, f.risanjeEfektZ}},
        {f.horizontalLayout, {f.checkBoxProbabilistic, f.checkBoxDeterministic}},
    };
    for (const auto& [box, items] : boxes) {
        SCOPED_TRACE(box->objectName().toStdString());
        ASSERT_EQ(box->count(), static_cast<int>(items.size()));
        for (int i = 0; i < box->count(); ++i)
            EXPECT_EQ(identify(box->itemAt(i)), items[i].p) << "item " << i;
    }

    // Each page lays itself out with its own layout; pageOther places its children by hand.
    for (auto [pageWidget, layout] : std::vector<std::pair<QWidget*, QLayout*>>{
             {f.centralWidget, f.verticalLayout}, {f.dockWidgetContents, f.verticalLayout_5},
             {f.page, f.verticalLayout_11}, {f.page_6, f.verticalLayout_8}, {f.pageBBOX, f.verticalLayout_4},
             {f.layoutWidget, f.gridLayout_4}, {f.pageSpreminjanjeVirov, f.verticalLayout_2},
             {f.pageEnvParams, f.verticalLayout_6}, {f.page_4, f.verticalLayout_7}, {f.page_5, f.verticalLayout_3},
             {f.pageRezanje, f.verticalLayout_9}, {f.pageupogibanjevej, f.verticalLayout_10},
             {f.pageOther, nullptr}})
        EXPECT_EQ(pageWidget->layout(), layout) << pageWidget->objectName().toStdString();

    for (QSpacerItem* spacer : {f.verticalSpacer, f.verticalSpacer_2, f.verticalSpacer_3, f.verticalSpacer_4,
                                f.verticalSpacer_5, f.verticalSpacer_6, f.verticalSpacer_7}) {
        EXPECT_EQ(spacer->sizeHint(), QSize(20, 40));
        EXPECT_EQ(spacer->sizePolicy().horizontalPolicy(), QSizePolicy::Minimum);
        EXPECT_EQ(spacer->sizePolicy().verticalPolicy(), QSizePolicy::Expanding);
    }
}

TEST(FormTest, LayoutSpacingAndMargins)
{
    Built b;
    const MainWindowForm& f = b.form;
    struct Spacing {
        QLayout* layout;
        int horizontal, vertical;
        QMargins margins;
    };
    const QMargins page(11, 11, 11, 11), none(0, 0, 0, 0);
    const std::vector<Spacing> table = {
        {f.verticalLayout, 6, 6, page},        {f.verticalLayout_5, 6, 6, page},
        {f.verticalLayout_11, 6, 6, page},     {f.verticalLayout_8, 6, 6, page},
        {f.verticalLayout_4, 6, 6, page},      {f.verticalLayout_2, 6, 6, page},
        {f.verticalLayout_6, 6, 6, page},      {f.verticalLayout_7, 6, 6, page},
        {f.verticalLayout_3, 6, 6, page},      {f.verticalLayout_9, 6, 6, page},
        {f.verticalLayout_10, 6, 6, page},     {f.gridLayout_6, 6, 6, QMargins(0, 7, 0, 0)},
        {f.gridLayout_5, 6, 6, none},          {f.gridLayout_7, 6, 6, none},
        {f.gridLayout_4, 6, 6, none},          {f.gridLayout_3, 6, 6, none},
        {f.horizontalLayout_2, 6, 6, QMargins(0, 9, 0, 0)},
        {f.gridLayout, 6, 6, none},            {f.gridLayoutTipOkolja, 6, 6, none},
        {f.gridLayoutShadowPropSpaceMarkers, 3, 3, none},
        {f.gridLayout_2, 0, 3, none},          {f.horizontalLayout, 6, 6, none},
        {f.gridLayout_8, 6, 6, none},          {f.gridLayout_9, 6, 6, none},
    };
    for (const Spacing& s : table) {
        SCOPED_TRACE(s.layout->objectName().toStdString());
        if (auto* grid = qobject_cast<QGridLayout*>(s.layout)) {
            EXPECT_EQ(grid->horizontalSpacing(), s.horizontal);
            EXPECT_EQ(grid->verticalSpacing(), s.vertical);
        } else {
            EXPECT_EQ(s.layout->spacing(), s.horizontal);
        }
        EXPECT_EQ(s.layout->contentsMargins(), s.margins);
    }
    // The stated top margins, kept apart from the defaults a nested layout resolves to 0.
    int left, top, right, bottom;
    f.gridLayout_6->getContentsMargins(&left, &top, &right, &bottom);
    EXPECT_EQ(top, 7);
    EXPECT_EQ(f.gridLayoutShadowPropSpaceMarkers->sizeConstraint(), QLayout::SetDefaultConstraint);
}

TEST(FormTest, WindowDockMenusAndToolBar)
{
    Built b;
    const MainWindowForm& f = b.form;
    QMainWindow& w = b.window;
    EXPECT_EQ(w.size(), QSize(725, 648));
    EXPECT_EQ(f.menuBar->geometry(), QRect(0, 0, 725, 24));
    EXPECT_EQ(f.dockWidget->minimumSize(), QSize(236, 354));
    EXPECT_EQ(w.centralWidget(), f.centralWidget);
    EXPECT_EQ(w.statusBar(), f.statusBar);
    EXPECT_EQ(w.menuBar(), f.menuBar);
    EXPECT_EQ(f.dockWidget->widget(), f.dockWidgetContents);
    EXPECT_EQ(w.dockWidgetArea(f.dockWidget), Qt::RightDockWidgetArea);
    EXPECT_EQ(w.toolBarArea(f.mainToolBar), Qt::TopToolBarArea);
    EXPECT_TRUE(f.mainToolBar->isMovable());
    EXPECT_TRUE(f.widget->hasMouseTracking());
    EXPECT_EQ(f.widget->focusPolicy(), Qt::StrongFocus);
    EXPECT_EQ(f.widget->parentWidget(), f.centralWidget);
    EXPECT_EQ(f.layoutWidget->geometry(), QRect(70, 100, 134, 194));

    // The tool bar holds one separator, which the main window puts its buttons behind.
    ASSERT_EQ(f.mainToolBar->actions().size(), 1);
    EXPECT_TRUE(f.mainToolBar->actions()[0]->isSeparator());

    const QList<QAction*> bar = f.menuBar->actions();
    EXPECT_EQ(bar, QList<QAction*>({f.menuDatoteka->menuAction(), f.menuUredi->menuAction(),
                                    f.menuPogled->menuAction(), f.menuHg->menuAction()}));
    QAction* const separator = nullptr;
    const std::vector<std::pair<QMenu*, std::vector<QAction*>>> menus = {
        {f.menuDatoteka, {f.actionExit}},
        {f.menuUredi,
         {separator, f.actionIzvedi_iteracijo_rasti, f.actionZnova, separator, separator, separator, separator,
          separator, separator}},
        {f.menuPogled,
         {f.actionView_TOP, f.actionVIEW_0, f.actionShrani_pogled, f.actionNalozi_pogled, separator,
          f.actionInvert_colours, f.actionPrikaz_metra, f.actionPrikaz_od_zacetka_sezone,
          f.actionMe_i_senco_na_drevo, separator, f.actionShow_histogram}},
        {f.menuHg, {f.actionO, f.actionPomo}},
    };
    for (const auto& [menu, entries] : menus) {
        SCOPED_TRACE(menu->objectName().toStdString());
        const QList<QAction*> actions = menu->actions();
        ASSERT_EQ(actions.size(), static_cast<int>(entries.size()));
        for (int i = 0; i < actions.size(); ++i) {
            if (entries[i])
                EXPECT_EQ(actions[i], entries[i]) << "entry " << i;
            else
                EXPECT_TRUE(actions[i]->isSeparator()) << "entry " << i;
        }
        EXPECT_TRUE(menu->separatorsCollapsible());
    }
    for (QWidget* holder : f.actionShow_tree->associatedWidgets())
        EXPECT_EQ(qobject_cast<QMenu*>(holder), nullptr);

    const std::set<QAction*> checkable = {f.actionInvert_colours, f.actionPrikaz_metra,
                                          f.actionPrikaz_od_zacetka_sezone, f.actionMe_i_senco_na_drevo};
    for (QAction* action : w.findChildren<QAction*>(QString(), Qt::FindDirectChildrenOnly)) {
        SCOPED_TRACE(action->objectName().toStdString());
        EXPECT_EQ(action->isCheckable(), checkable.count(action) == 1);
        EXPECT_FALSE(action->isChecked());
        EXPECT_TRUE(action->shortcut().isEmpty());
    }
}

TEST(FormTest, ToolBoxPagesFontsAndStartStates)
{
    Built b;
    const MainWindowForm& f = b.form;
    struct Page {
        QToolBox* box;
        QWidget* page;
        const char* title;
    };
    const std::vector<Page> pages = {
        {f.toolBox, f.page, "Pogled"},
        {f.toolBox, f.page_6, "Informacije"},
        {f.toolBox, f.pageBBOX, "Bbox"},
        {f.toolBox, f.pageSpreminjanjeVirov, "Ročno spreminjanje virov"},
        {f.toolBox, f.pageEnvParams, "Okolje"},
        {f.toolBox, f.page_4, "Rast"},
        {f.toolBox, f.page_5, "Urejanje drevesa"},
        {f.toolBox, f.pageOther, "Page"},
        {f.toolBox_2, f.pageRezanje, "Rezanje"},
        {f.toolBox_2, f.pageupogibanjevej, "Upogibanje vej"},
    };
    std::map<QToolBox*, int> index;
    for (const Page& p : pages) {
        const int i = index[p.box]++;
        EXPECT_EQ(p.box->widget(i), p.page) << p.title;
        EXPECT_EQ(p.box->itemText(i), QString::fromUtf8(p.title));
    }
    EXPECT_EQ(f.toolBox->count(), 8);
    EXPECT_EQ(f.toolBox_2->count(), 2);
    EXPECT_EQ(f.toolBox->currentIndex(), 7);
    EXPECT_EQ(f.toolBox_2->currentIndex(), 0);

    // Every control inherits the dock's 7-point font; the bold labels set only the weight.
    const std::set<QLabel*> bold = {f.label_9, f.label_31, f.label_38, f.label_24, f.label_10, f.label_11, f.label_34};
    for (QLabel* label : f.dockWidgetContents->findChildren<QLabel*>()) {
        SCOPED_TRACE(label->objectName().toStdString());
        EXPECT_EQ(label->font().pointSize(), 7);
        EXPECT_EQ(label->font().bold(), bold.count(label) == 1);
        EXPECT_EQ(label->font().weight(), bold.count(label) ? 75 : QFont::Normal);
    }
    EXPECT_EQ(f.dockWidget->font().pointSize(), 7);
    EXPECT_EQ(f.doubleSpinBoxCamLocX->font().pointSize(), 7);

    // Only the axis label and box of the marker page start disabled; boxes start unticked.
    for (QWidget* w : b.window.findChildren<QWidget*>()) {
        if (w->objectName().isEmpty() || w->objectName().startsWith("qt_"))
            continue;
        const bool disabled = w == f.label_5 || w == f.risanjeComboBoxOs;
        EXPECT_EQ(w->testAttribute(Qt::WA_Disabled), disabled) << w->objectName().toStdString();
        if (auto* box = qobject_cast<QCheckBox*>(w)) {
            EXPECT_FALSE(box->isChecked()) << w->objectName().toStdString();
        }
        if (auto* combo = qobject_cast<QComboBox*>(w)) {
            EXPECT_EQ(combo->currentIndex(), 0) << w->objectName().toStdString();
        }
    }
    EXPECT_TRUE(f.lineEditRastnaKrivulja->text().isEmpty());
    EXPECT_EQ(f.label_48->textFormat(), Qt::AutoText);
    EXPECT_TRUE(Qt::mightBeRichText(f.label_48->text()));
}

TEST(FormTest, PruningBoxDisablesThePruneButtonAndGrowthBoxesExcludeEachOther)
{
    Built b;
    const MainWindowForm& f = b.form;
    for (bool ticked : {true, false, true, false}) {
        f.checkBoxReziTakoj->setChecked(ticked);
        EXPECT_EQ(f.pushButtonApplyRezanje->isEnabled(), !ticked);
    }

    EXPECT_TRUE(f.buttonGroup->exclusive());
    EXPECT_EQ(f.buttonGroup->parent(), &b.window);
    EXPECT_EQ(f.buttonGroup->buttons(), QList<QAbstractButton*>({f.checkBoxProbabilistic, f.checkBoxDeterministic}));
    // Clicks: tick one, then the other, then the ticked one again.
    struct Step {
        QCheckBox* clicked;
        bool probabilistic, deterministic;
    };
    for (const Step& s : {Step{f.checkBoxProbabilistic, true, false}, Step{f.checkBoxDeterministic, false, true},
                          Step{f.checkBoxDeterministic, false, true}, Step{f.checkBoxProbabilistic, true, false}}) {
        s.clicked->click();
        EXPECT_EQ(f.checkBoxProbabilistic->isChecked(), s.probabilistic);
        EXPECT_EQ(f.checkBoxDeterministic->isChecked(), s.deterministic);
    }
}

// Records the slots that the connection by name reaches.
class RecordingWindow : public QMainWindow {
    Q_OBJECT

public:
    std::vector<std::string> calls;

public slots:
    void on_comboBoxMode_currentIndexChanged(int) { calls.push_back("comboBoxMode"); }
    void on_toolBox_currentChanged(int) { calls.push_back("toolBox"); }
    void on_doubleSpinBoxVelikostZagic_valueChanged(double) { calls.push_back("doubleSpinBoxVelikostZagic"); }
    void on_spinBoxNSezon_valueChanged(int) { calls.push_back("spinBoxNSezon"); }
    void on_actionPomo_triggered() { calls.push_back("actionPomo"); }
};

TEST(FormTest, SlotsAreConnectedByNameOnlyAfterTheFormIsBuilt)
{
    RecordingWindow window;
    MainWindowForm form;
    form.setupUi(&window);
    EXPECT_TRUE(window.calls.empty());

    form.comboBoxMode->setCurrentIndex(3);
    form.toolBox->setCurrentIndex(1);
    form.doubleSpinBoxVelikostZagic->setValue(2.0);
    form.spinBoxNSezon->setValue(4);
    form.actionPomo->trigger();
    EXPECT_EQ(window.calls, std::vector<std::string>({"comboBoxMode", "toolBox", "doubleSpinBoxVelikostZagic",
                                                      "spinBoxNSezon", "actionPomo"}));
}

// Texts: each shown text with its source and its English translation (equal
// where the English file has no translation for it).
struct Text {
    QObject* object;
    const char* source;
    const char* english;
};

std::vector<Text> shownTexts(QMainWindow& w, const MainWindowForm& f)
{
    return {
        {&w, "Trelimo", "Trelimo"},
        {f.actionO, "&O...", "&About"},
        {f.actionIzvedi_iteracijo_rasti, "&Izvedi iteracijo rasti", "&Growth iteration"},
        {f.actionZnova, "&Znova rasti", "&Grow again"},
        {f.actionVIEW_0, "&Reset view", "&Reset view"},
        {f.actionShow_tree, "&Show tree", "&Show tree"},
        {f.actionView_TOP, "&View TOP", "&View TOP"},
        {f.actionShrani_pogled, "&Shrani pogled", "Store view"},
        {f.actionNalozi_pogled, "&Nalozi pogled", "&Recall stored view"},
        {f.actionInvert_colours, "&Invert colours", "&Invert colours"},
        {f.actionPrikaz_metra, "&Prikaz metra", "Display the ruler"},
        {f.actionPrikaz_od_zacetka_sezone, "Prikaz &od zacetka sezone", "&Show the tree before arrangement"},
        {f.actionMe_i_senco_na_drevo, "&Meči senco na drevo", "&Show shadows"},
        {f.actionExit, "&Exit", "&Exit"},
        {f.actionPomo, "&Pomoč...", "Help"},
        {f.actionShow_histogram, "Show light interception histogram", "Show light interception histogram"},
        {f.dockWidget, "&Parametri", "Parameters"},
        {f.label_40, "Mode", "Mode"},
        {f.label_51, "Lokacija kamere", "Camera location"},
        {f.label_41, "X", "X"},
        {f.label_47, "Y", "Y"},
        {f.label_50, "Z", "Z"},
        {f.label_52, "Rotacija kamere", "Camera rotation"},
        {f.label_53, "X", "X"},
        {f.label_54, "Y", "Y"},
        {f.label_56, "Zoom kamere", "Camera zoom"},
        {f.label_55, "Zoom kamere", "Camera zoom"},
        {f.label_57, "Rotacija objekta", "Object rotation"},
        {f.label_58, "X", "X"},
        {f.label_60, "Y", "Y"},
        {f.label_26, "Prikaz informacij:", "Information display:"},
        {f.risanjeCheckBoxPrikazi, "Prikazi BBOX", "Display BBOX"},
        {f.label, "Min BBOX", "Min BBOX"},
        {f.label_3, "Max:", "Max:"},
        {f.risanjeCheckBoxUpostevaj, "Upoštevaj pri rasti", "Upoštevaj pri rasti"},
        {f.label_4, "Izbrana os z", "Izbrana os z"},
        {f.label_5, "Os urejanja:", "Os urejanja:"},
        {f.label_7, "Nacin", "Nacin"},
        {f.label_8, "Efekt okrog", "Efekt okrog"},
        {f.label_6, "Dim celic X,Y,Z", "Dim celic X,Y,Z"},
        {f.risanjePushButtonClear, "Spremeni dim", "Spremeni dim"},
        {f.label_48, "<html><body>alfa za Q=f(x);<br/>x je starost drevesa</body></html>",
         "<html><body>alpha for Q=f(x);<br/>x is age of tree</body></html>"},
        {f.checkBoxPrikazRisanjaSenc, "Prikaz okolja", "Display environment"},
        {f.label_49, "Prikaz alfa", "Alpha factor"},
        {f.label_23, "Tip okolja:", "Type of environment:"},
        {f.label_9, "Senca:", "Senca:"},
        {f.label_14, "Qmax:", "Qmax:"},
        {f.label_17, "Cmax", "Cmax"},
        {f.label_16, "a:", "a:"},
        {f.label_15, "b:", "b:"},
        {f.label_2, "Dim:", "Dim:"},
        {f.pushButtonSencaClear, "Spremeni dim", "Spremeni dim"},
        {f.label_31, "Samodejno rezanje", "Auto pruning"},
        {f.label_32, "Prag:", "Threshold:"},
        {f.label_38, "Rast:", "Growth:"},
        {f.label_20, "Tropism:", "Tropism:"},
        {f.label_22, "Rand", "Rand"},
        {f.label_12, "Debeline N1:", "Thickness for one child:"},
        {f.label_13, "Debeline N2:", "Thickness for two childs:"},
        {f.label_24, "Growth behavior", "Growth behavior"},
        {f.checkBoxProbabilistic, "Probabilistic", "Probabilistic"},
        {f.checkBoxDeterministic, "Deterministic", "Deterministic"},
        {f.label_18, "Sezon:", "Seasons:"},
        {f.pushButtonClear, "Clear", "Clear"},
        {f.pushButtonGenerirja, "Generiraj", "Generate"},
        {f.pushButtonClearAndGen, "Clear && Gen", "Clear && Gen"},
        {f.checkBoxPrikazagic, "Prikaz žagic", "Show saws"},
        {f.checkBoxReziTakoj, "Takojšnje rezanje", "Imediate pruning"},
        {f.pushButtonApplyRezanje, "Obreži izbrano", "Prune selected"},
        {f.label_42, "utez optimal", "Optimal weigth"},
        {f.label_43, "smooth", "smooth"},
        {f.label_44, "energija", "Energy"},
        {f.label_45, "orientacija konec", "end orientation"},
        {f.label_46, "Koordinate\nkončne\ntočke", "Koordinate\nkončne\ntočke"},
        {f.pushButtonAppleUpogibanje, "OK", "OK"},
        {f.pushButtonUpogibanjeCancel, "Prekliči", "Cancel"},
        {f.label_10, "Viri", "Resources"},
        {f.label_33, "Model alokacije virov:", "Growth allocation model:"},
        {f.label_11, "BH model λ:", "BH model λ:"},
        {f.label_34, "Priority model:", "Priority model:"},
        {f.label_36, "Wmax", "Wmax"},
        {f.label_35, "Wmin", "Wmin"},
        {f.label_37, "padanje do[κ]", "padanje do[κ]"},
        {f.checkBoxApicalControl, "Apical control", "Apical control"},
        {f.label_19, "Tip", "Type"},
        {f.label_39, "Prirast dolžine \nvej glede na \nprirast debeline", "Prirast dolžine \nvej glede na \nprirast debeline"},
        {f.checkBoxPrikazNamigov, "Prikaz namigov", "Display tips"},
        {f.label_28, "Velikost žagic", "Size of saws"},
        {f.menuDatoteka, "Datote&ka", "&File"},
        {f.menuUredi, "&Uredi", "&Edit"},
        {f.menuPogled, "Po&gled", "&View"},
        {f.menuHg, "Po&moč", "&Help"},
    };
}

using Items = std::vector<std::pair<const char*, const char*>>;  // source, English

std::vector<std::pair<QComboBox*, Items>> comboItems(const MainWindowForm& f)
{
    return {
        {f.comboBoxMode,
         {{"Premikanje", "Navigation"}, {"Filtriranje", "Filtering"}, {"Prikaz informacij", "Information display"},
          {"Merjenje dolžine", "Length measurement"}, {"Merjenje kotov", "Angle measurement"},
          {"Sajenje dreves", "Plantation"}, {"Privezovanje", "Tying"}, {"Raztezanje", "Spreading"},
          {"Utezi", "Weighting"}, {"Rezanje", "Cut"}}},
        {f.comboBoxTipPrikazaInformaijc,
         {{"Normalizirani vhodni viri iz okolja", "Normalized input resources"},
          {"Vhodni viri iz okolja", "Input resources"}, {"Vhodni viri popkov iz okolja", "But input resources"},
          {"Dobljeni viri iz baze norm", "Normalized allocated resources"},
          {"Dobljeni viri iz base", "Allocated resrouces"}}},
        {f.risanjeComboBoxOs, {{"X", "X"}, {"Y", "Y"}, {"Z", "Z"}}},
        {f.risanjeComboboxMode, {{"Dodajaj", "Dodajaj"}, {"Odvzemaj", "Odvzemaj"}}},
        {f.comboBoxVrstaVirov, {{"Svetloba", "Light"}, {"Prostor", "Space"}, {"Cone", "Cone"}}},
        {f.comboBoxModelAlokacijeVirov, {{"Brez", "W/O"}, {"BH", "BH"}, {"Prioritetni", "Priority"}}},
        {f.comboBoxTipRastiProl, {{"Proleptično", "Proleptic"}, {"Sileptično", "Syleptic"}}},
    };
}

const Items pageTitles = {
    {"Pogled", "View"},        {"Informacije", "Information"},
    {"Bbox", "Bbox"},          {"Ročno spreminjanje virov", "Ročno spreminjanje virov"},
    {"Okolje", "Environment"}, {"Rast", "Growth"},
    {"Urejanje drevesa", "Tree edit"}, {"Page", "Page"},
    {"Rezanje", "Cut"},        {"Upogibanje vej", "Bending"},
};

// Builds the form with the English translation installed (or none) and checks
// every text it shows.
void expectTexts(bool english)
{
    QTranslator translator;
    if (english) {
        // The entry point's way: the name without ".qm" and default arguments.
        ASSERT_TRUE(translator.load(":/tr/tr/localization_strings_en"));
        QCoreApplication::installTranslator(&translator);
    }
    Built b;
    QCoreApplication::removeTranslator(&translator);
    auto pick = [english](const char* source, const char* translation) {
        return QString::fromUtf8(english ? translation : source);
    };
    for (const Text& t : shownTexts(b.window, b.form))
        EXPECT_EQ(shownText(t.object), pick(t.source, t.english)) << t.object->objectName().toStdString();
    for (const auto& [combo, items] : comboItems(b.form)) {
        SCOPED_TRACE(combo->objectName().toStdString());
        ASSERT_EQ(combo->count(), static_cast<int>(items.size()));
        for (int i = 0; i < combo->count(); ++i)
            EXPECT_EQ(combo->itemText(i), pick(items[i].first, items[i].second));
    }
    std::vector<QString> titles;
    for (QToolBox* box : {b.form.toolBox, b.form.toolBox_2})
        for (int i = 0; i < box->count(); ++i)
            titles.push_back(box->itemText(i));
    ASSERT_EQ(titles.size(), pageTitles.size());
    for (std::size_t i = 0; i < titles.size(); ++i)
        EXPECT_EQ(titles[i], pick(pageTitles[i].first, pageTitles[i].second));
}

TEST(FormTest, SourceTextsWithoutTranslation) { expectTexts(false); }

TEST(FormTest, EnglishTextsWithTheInstalledTranslation) { expectTexts(true); }

TEST(FormTest, SlovenianTranslationFile)
{
    QTranslator translator;
    ASSERT_TRUE(translator.load(":/tr/tr/localization_strings_sl"));
    QCoreApplication::installTranslator(&translator);
    Built b;
    QCoreApplication::removeTranslator(&translator);
    const MainWindowForm& f = b.form;
    const std::vector<std::pair<QString, const char*>> shown = {
        {f.pushButtonClearAndGen->text(), "Počisti in ponvno generiraj"},
        {f.comboBoxVrstaVirov->itemText(2), "Stožci"},
        {f.label_40->text(), "Način"},
        {f.label_7->text(), "Način"},
        {f.pushButtonAppleUpogibanje->text(), "Vredu"},
        {f.checkBoxPrikazagic->text(), "Prikaz žagic"},
        {f.label_20->text(), "Tropizem:"},
        {f.label_43->text(), "Mehko"},
        // Not in the file: the source text.
        {f.menuDatoteka->title(), "Datote&ka"},
    };
    for (const auto& [text, expected] : shown)
        EXPECT_EQ(text, QString::fromUtf8(expected));
}

} // namespace

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}

#include "form_test.moc"

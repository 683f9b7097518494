#include "app/dialoghistogram.h"

#include <QCoreApplication>
#include <QHBoxLayout>

#include "app/painthistogram.h"
#include "model/histogramstore.h"

void DialogHistogramForm::setupUi(QDialog* dialog)
{
    if (dialog->objectName().isEmpty())
        dialog->setObjectName(QString::fromUtf8("DialogHistogram"));
    dialog->resize(713, 503);
    horizontalLayout = new QHBoxLayout(dialog);
    horizontalLayout->setObjectName(QString::fromUtf8("horizontalLayout"));
    widget = new PaintHistogram(dialog);
    widget->setObjectName(QString::fromUtf8("widget"));
    horizontalLayout->addWidget(widget);
    dialog->setWindowTitle(QCoreApplication::translate("DialogHistogram", "Light interception histogram"));
    QMetaObject::connectSlotsByName(dialog);
}

DialogHistogram::DialogHistogram(QWidget* parent) : QDialog(parent), ui(new DialogHistogramForm)
{
    ui->setupUi(this);
    // The light pass notifies once per tree; a hidden dialog paints nothing.
    histogramStore().onChanged = [this] { repaint(); };
}

DialogHistogram::~DialogHistogram()
{
    // The store outlives the dialog: leave no callable pointing at it.
    histogramStore().onChanged = nullptr;
    delete ui;
}

#pragma once
// The light-interception histogram dialog. While it exists it repaints itself
// at every change of the histogram store.

#include <QDialog>

class QHBoxLayout;
class PaintHistogram;

// The dialog's form: pointers into the dialog's Qt children, owning nothing.
struct DialogHistogramForm {
    QHBoxLayout* horizontalLayout = nullptr;
    PaintHistogram* widget = nullptr;

    void setupUi(QDialog* dialog);
};

class DialogHistogram : public QDialog {
    Q_OBJECT

public:
    explicit DialogHistogram(QWidget* parent = nullptr);
    ~DialogHistogram() override;

private:
    DialogHistogramForm* ui;
};

#pragma once
// The bar chart of the light-interception histogram: one bar per exposure
// class, in per cent of all young buds, drawn from the process-wide store.

#include <QWidget>

class PaintHistogram : public QWidget {
    Q_OBJECT

public:
    explicit PaintHistogram(QWidget* parent = nullptr);
    ~PaintHistogram() override;

protected:
    void paintEvent(QPaintEvent* event) override;
};

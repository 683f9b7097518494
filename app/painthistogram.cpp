#include "app/painthistogram.h"

#include <algorithm>
#include <cmath>

#include <QPainter>

#include "model/histogramstore.h"

PaintHistogram::PaintHistogram(QWidget* parent) : QWidget(parent) {}

PaintHistogram::~PaintHistogram() = default;

void PaintHistogram::paintEvent(QPaintEvent*)
{
    const int* bins = histogramStore().bins;
    constexpr int classes = HistogramStore::binCount;

    float largest = static_cast<float>(bins[0]);
    float total = 0.0f;
    for (int k = 0; k < classes; ++k) {
        largest = std::max(largest, static_cast<float>(bins[k]));
        total += static_cast<float>(bins[k]);
    }
    // With no young buds at all there are no percentages: the scale would be
    // 0/0, and a NaN converted to a pixel coordinate is undefined.
    const bool empty = total == 0.0f;
    // The scale's top in whole per cent, and the count that reaches it.
    const float topPercent = empty ? 0.0f : std::ceil(largest * 100.0f / total);
    const float topCount = topPercent * (total / 100.0f);

    const int w = width();
    const int h = height();
    QPainter painter(this);
    painter.fillRect(QRect(0, 0, w, h), QBrush(Qt::white, Qt::SolidPattern));

    const float plotWidth = static_cast<float>(w - 45);
    const float plotHeight = static_cast<float>(h - 30);
    const int slot = static_cast<int>(plotWidth / 10.0f);
    painter.translate(35, 0);

    for (int k = 0; k < classes; ++k) {
        const int x = 5 + k * slot;
        if (!empty) {
            const float barHeight = static_cast<float>(bins[k]) / topCount * plotHeight;
            const QColor barPen(0, 0, 128);
            const QBrush barBrush(QColor(255, (255 * k) / 10, 0), Qt::SolidPattern);
            painter.setPen(barPen);
            painter.setBrush(barBrush);
            const int top = static_cast<int>(plotHeight - barHeight + 5.0f);
            // A bar shorter than the 10-pixel margin is not drawn at all.
            const int height = std::max(static_cast<int>(barHeight) - 10, 0);
            const QRect bar(x, top, slot - 10, height);
            painter.fillRect(bar, barBrush);
            const float percent = static_cast<float>(bins[k]) / total * 100.0f;
            painter.drawText(bar, Qt::AlignCenter, QString::number(percent, 'f', 1) + " %");
        }

        painter.setPen(QColor(128, 128, 128));
        const float lower = static_cast<float>(k) * 0.1f;
        const float upper = static_cast<float>(k + 1) * 0.1f;
        const QString label = QString::number(lower, 'g', 6) + "-" + QString::number(upper, 'g', 6);
        painter.drawText(QRect(x - 5, static_cast<int>(plotHeight) - 5, slot, 15), Qt::AlignHCenter | Qt::AlignTop,
                         label);
    }

    painter.setPen(QColor(64, 64, 64));
    const int baseLine = static_cast<int>(plotHeight - 5.0f);
    painter.drawLine(5, 0, 5, static_cast<int>(plotHeight));
    painter.drawLine(0, baseLine, 10, baseLine);
    painter.drawLine(0, baseLine, static_cast<int>(plotWidth), baseLine);
    painter.drawLine(0, 5, 10, 5);

    painter.resetTransform();
    const int scaleTop = empty ? 0 : static_cast<int>(std::round(topCount * 100.0f / total));
    painter.drawText(QRect(0, 0, 32, 10), Qt::AlignRight | Qt::AlignVCenter, QString::number(scaleTop) + " %");
    painter.drawText(QRect(0, static_cast<int>(plotHeight - 10.0f), 32, 10), Qt::AlignRight | Qt::AlignVCenter,
                     "0 %");

    painter.resetTransform();
    painter.drawText(QRect(0, h - 15, w, 15), Qt::AlignCenter, "Light interception");
    painter.rotate(-90.0);
    painter.drawText(QRect(-h, 10, h, 10), Qt::AlignCenter, "Leaf frequency (%)");
}

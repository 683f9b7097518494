#include "noise.h"
#include "textures.h"

#include <QPainter>
#include <QPainterPath>

#include <cmath>

namespace texgen {

namespace {

QColor toColour(const glm::vec3& c) { return QColor::fromRgbF(c.r, c.g, c.b); }

// Seven-segment digit in a box of width w and height h with its top left at
// (x, y); segments a to g as on a display.
void drawDigit(QPainter& painter, int digit, int x, int y, int w, int h)
{
    static const char* const segments[10] = {"abcdef", "bc", "abged", "abgcd", "fgbc",
                                             "afgcd", "afgedc", "abc", "abcdefg", "abcdfg"};
    const int t = 2;
    const int m = h / 2;
    for (const char* s = segments[digit]; *s; ++s) {
        switch (*s) {
        case 'a': painter.fillRect(x, y, w, t, Qt::black); break;
        case 'b': painter.fillRect(x + w - t, y, t, m, Qt::black); break;
        case 'c': painter.fillRect(x + w - t, y + m, t, h - m, Qt::black); break;
        case 'd': painter.fillRect(x, y + h - t, w, t, Qt::black); break;
        case 'e': painter.fillRect(x, y + m, t, h - m, Qt::black); break;
        case 'f': painter.fillRect(x, y, t, m, Qt::black); break;
        case 'g': painter.fillRect(x, y + m - t / 2, w, t, Qt::black); break;
        default: break;
        }
    }
}

} // namespace

glm::vec3 legendColour(float value)
{
    if (value < 0.25f)
        return {0.0f, value / 0.25f, 1.0f};
    if (value < 0.5f)
        return {0.0f, 1.0f, (0.5f - value) / 0.25f};
    if (value < 0.75f)
        return {(value - 0.5f) / 0.25f, 1.0f, 0.0f};
    return {1.0f, (1.0f - value) / 0.25f, 0.0f};
}

QImage buildLegend()
{
    QImage image(32, 256, QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y) {
        const float v = 1.0f - (y + 0.5f) / image.height();
        for (int x = 0; x < image.width(); ++x)
            image.setPixel(x, y, toRgb(legendColour(v)));
    }
    return image;
}

QImage buildSaw()
{
    QImage image(256, 256, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);

    // Blade: the toothed edge on the middle row, tapering towards the tip at
    // the left, with its teeth hanging below the edge.
    const int edge = 128;
    QPainterPath blade;
    blade.moveTo(18, edge);
    for (int x = 18; x < 188; x += 10) {
        blade.lineTo(x + 7, edge + 9);
        blade.lineTo(x + 10, edge);
    }
    blade.lineTo(190, 72);
    blade.lineTo(18, 104);
    blade.closeSubpath();
    painter.setPen(QPen(toColour({0.2f, 0.21f, 0.23f}), 2));
    painter.setBrush(toColour({0.58f, 0.6f, 0.64f}));
    painter.drawPath(blade);
    painter.setPen(QPen(toColour({0.78f, 0.8f, 0.83f}), 3));
    painter.drawLine(24, edge - 5, 186, edge - 5);

    // Handle: a wooden grip with a hole for the fingers.
    QPainterPath handle;
    handle.addRoundedRect(QRectF(182, 58, 62, 98), 22, 22);
    QPainterPath hole;
    hole.addRoundedRect(QRectF(202, 78, 24, 56), 10, 10);
    painter.setPen(QPen(toColour({0.18f, 0.08f, 0.04f}), 2));
    painter.setBrush(toColour({0.46f, 0.22f, 0.1f}));
    painter.drawPath(handle.subtracted(hole));
    painter.setBrush(toColour({0.3f, 0.3f, 0.32f}));
    for (int y : {84, 128})
        painter.drawEllipse(QPointF(191, y), 4, 4);
    painter.end();
    return image;
}

QImage buildRuler()
{
    // 64 texels per unit: 1 unit across (u), 10 along (v).
    const int perUnit = 64;
    QImage image(perUnit, 10 * perUnit, QImage::Format_ARGB32);
    image.fill(toRgb({0.34f, 0.29f, 0.06f}));
    QPainter painter(&image);
    const int height = image.height();
    painter.fillRect(0, 0, 1, height, Qt::black);
    painter.fillRect(perUnit - 1, 0, 1, height, Qt::black);
    for (int k = 0; k <= 100; ++k) {
        // Row of v = k / 100; the mark at v = 0 is the bottom row.
        const int row = std::min(height - 1, height - k * height / 100);
        const int length = k % 10 == 0 ? 38 : (k % 5 == 0 ? 26 : 13);
        const int thickness = k % 10 == 0 ? 2 : 1;
        painter.fillRect(0, std::min(row, height - thickness), length, thickness, Qt::black);
        if (k % 10 == 0 && k > 0 && k < 100)
            drawDigit(painter, k / 10, 44, row - 8, 10, 16);
    }
    painter.end();
    return image;
}

QImage buildRope()
{
    // Three strands that turn once round the rope every 0.75 units of length:
    // stripes of constant 3 u + 4 v, which repeat in u and in v.
    const int size = 64;
    QImage image(size, size, QImage::Format_RGB32);
    for (int y = 0; y < size; ++y) {
        const float v = 1.0f - (y + 0.5f) / size;
        for (int x = 0; x < size; ++x) {
            const float u = (x + 0.5f) / size;
            const float s = 3.0f * u + 4.0f * v;
            const float across = s - std::floor(s);
            const float profile = std::pow(std::sin(3.14159265f * across), 0.6f);
            const float fibre = periodicFbm(u * 16.0f, v * 16.0f, 16, 16, 2, 51);
            const glm::vec3 colour = glm::vec3(0.34f, 0.27f, 0.16f) * (0.35f + 0.65f * profile) * (0.85f + 0.3f * fibre);
            image.setPixel(x, y, toRgb(colour));
        }
    }
    return image;
}

} // namespace texgen

#pragma once
// How far an image drawn here lies from a committed one. The generators draw
// with QPainter and the maths library, whose last bits differ between CPUs: an
// antialiased edge pixel may come out a level apart on another machine. A
// changed drawing moves many pixels by many levels.

#include <QImage>

#include <algorithm>
#include <cstdlib>

struct ImageDifference {
    int largest = 0;  // the largest difference of one channel, in levels
    int pixels = 0;   // pixels with any channel apart
};

// Both images as ARGB32; they must have the same size.
inline ImageDifference differenceOf(const QImage& a, const QImage& b)
{
    const QImage p = a.convertToFormat(QImage::Format_ARGB32);
    const QImage q = b.convertToFormat(QImage::Format_ARGB32);
    ImageDifference d;
    for (int y = 0; y < p.height(); ++y)
        for (int x = 0; x < p.width(); ++x) {
            const QRgb u = p.pixel(x, y), v = q.pixel(x, y);
            const int largest = std::max({std::abs(qRed(u) - qRed(v)), std::abs(qGreen(u) - qGreen(v)),
                                          std::abs(qBlue(u) - qBlue(v)), std::abs(qAlpha(u) - qAlpha(v))});
            d.largest = std::max(d.largest, largest);
            d.pixels += largest > 0 ? 1 : 0;
        }
    return d;
}

// A few levels in a few pixels (one in a thousand, at least 8): what rounding
// on another CPU gives, and far less than any change of the drawing.
inline bool withinRounding(const ImageDifference& d, const QImage& image)
{
    const int area = image.width() * image.height();
    return d.largest <= 4 && d.pixels <= std::max(8, area / 1000);
}

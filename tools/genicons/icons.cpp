#include "icons.h"

#include <QPainter>
#include <QPainterPath>
#include <QtMath>

namespace icongen {

namespace {

const QColor outline(40, 40, 48);
const QColor blue(40, 110, 210);
const QColor green(40, 150, 60);

// A transparent image of `size` pixels and a painter drawing on a 64-unit grid.
struct Canvas {
    QImage image;
    QPainter painter;

    explicit Canvas(int size = 64) : image(size, size, QImage::Format_ARGB32)
    {
        image.fill(Qt::transparent);
        painter.begin(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.scale(size / 64.0, size / 64.0);
    }
    QImage finish()
    {
        painter.end();
        return image;
    }
};

// A filled triangle with its tip at `tip`, pointing along the unit `direction`.
void arrowHead(QPainter& painter, QPointF tip, QPointF direction, double length, double halfWidth,
               const QColor& colour)
{
    const QPointF back = tip - direction * length;
    const QPointF side(-direction.y() * halfWidth, direction.x() * halfWidth);
    QPainterPath head;
    head.moveTo(tip);
    head.lineTo(back + side);
    head.lineTo(back - side);
    head.closeSubpath();
    painter.setPen(Qt::NoPen);
    painter.fillPath(head, colour);
}

// A straight thick arrow from `from` to `to`.
void straightArrow(QPainter& painter, QPointF from, QPointF to, double width, const QColor& colour)
{
    const QPointF d = to - from;
    const QPointF unit = d / std::hypot(d.x(), d.y());
    const double head = width * 2.2;
    painter.setPen(QPen(colour, width, Qt::SolidLine, Qt::FlatCap));
    painter.drawLine(from, to - unit * (head * 0.9));
    arrowHead(painter, to, unit, head, width * 1.6, colour);
}

// A camera body in the upper left, its lens and view finder.
void drawCamera(QPainter& painter)
{
    painter.setPen(QPen(outline, 2.0));
    painter.setBrush(QColor(90, 96, 110));
    painter.drawRoundedRect(QRectF(17, 9, 12, 7), 2, 2);
    painter.drawRoundedRect(QRectF(4, 14, 44, 28), 5, 5);
    painter.setBrush(QColor(200, 215, 235));
    painter.drawEllipse(QPointF(26, 28), 10, 10);
    painter.setBrush(QColor(40, 60, 100));
    painter.drawEllipse(QPointF(26, 28), 5, 5);
}

// A round badge in the lower right with an arrow up (out) or down (in).
void drawBadge(QPainter& painter, bool up, const QColor& colour)
{
    painter.setPen(QPen(Qt::white, 2.5));
    painter.setBrush(colour);
    painter.drawEllipse(QPointF(46, 46), 15, 15);
    const QPointF top(46, 36), bottom(46, 57);
    straightArrow(painter, up ? bottom : top, up ? top : bottom, 4.0, Qt::white);
}

} // namespace

QImage buildHistogram()
{
    Canvas canvas;
    QPainter& p = canvas.painter;
    const double heights[5] = {0.35, 0.7, 0.95, 0.55, 0.25};
    p.setPen(QPen(outline, 1.5));
    for (int k = 0; k < 5; ++k) {
        const double h = 50.0 * heights[k];
        p.setBrush(QColor(255, 40 + 50 * k, 0));
        p.drawRect(QRectF(10 + 10.5 * k, 56 - h, 9, h));
    }
    p.setPen(QPen(outline, 3.0, Qt::SolidLine, Qt::SquareCap));
    p.drawLine(QPointF(6, 4), QPointF(6, 58));
    p.drawLine(QPointF(6, 58), QPointF(62, 58));
    return canvas.finish();
}

QImage buildViewReset()
{
    Canvas canvas;
    QPainter& p = canvas.painter;
    const QPointF centre(32, 32);
    const double radius = 19.0;
    // Counter-clockwise from 150 degrees round to the top, where the head
    // points left into the gap; Qt's arc angles are in sixteenths of a degree.
    const double start = 150.0, span = 300.0, headLength = 13.0;
    p.setPen(QPen(blue, 7.0, Qt::SolidLine, Qt::FlatCap));
    p.setBrush(Qt::NoBrush);
    const double headDegrees = qRadiansToDegrees(headLength * 0.8 / radius);
    p.drawArc(QRectF(centre.x() - radius, centre.y() - radius, 2 * radius, 2 * radius), int(start * 16),
              int((span - headDegrees) * 16));
    const double end = qDegreesToRadians(start + span);
    const QPointF tip = centre + QPointF(std::cos(end), -std::sin(end)) * radius;
    // Counter-clockwise tangent in image coordinates (y grows downwards).
    const QPointF tangent(-std::sin(end), -std::cos(end));
    arrowHead(p, tip, tangent, headLength, 9.0, blue);
    p.setPen(QPen(outline, 2.0));
    p.setBrush(QColor(250, 200, 40));
    p.drawEllipse(centre, 7, 7);
    return canvas.finish();
}

QImage buildViewUp()
{
    Canvas canvas;
    QPainter& p = canvas.painter;
    // The ground as a parallelogram with a grid, seen at a slant.
    const QPointF a(4, 50), b(44, 50), c(60, 36), d(20, 36);
    QPainterPath ground;
    ground.moveTo(a);
    ground.lineTo(b);
    ground.lineTo(c);
    ground.lineTo(d);
    ground.closeSubpath();
    p.fillPath(ground, QColor(110, 180, 80));
    p.setPen(QPen(QColor(60, 110, 40), 1.2));
    for (int i = 1; i < 4; ++i) {
        const double t = i / 4.0;
        p.drawLine(a + (b - a) * t, d + (c - d) * t);
        p.drawLine(a + (d - a) * t, b + (c - b) * t);
    }
    p.setPen(QPen(outline, 2.0));
    p.setBrush(Qt::NoBrush);
    p.drawPath(ground);
    straightArrow(p, QPointF(32, 3), QPointF(32, 44), 7.0, blue);
    return canvas.finish();
}

QImage buildChronometer()
{
    Canvas canvas;
    QPainter& p = canvas.painter;
    const QPointF centre(32, 36);
    p.setPen(QPen(outline, 2.0));
    p.setBrush(QColor(150, 155, 165));
    p.drawRoundedRect(QRectF(27, 2, 10, 7), 2, 2);
    p.drawRect(QRectF(30, 8, 4, 4));
    p.save();
    p.translate(centre);
    p.rotate(45);
    p.drawRoundedRect(QRectF(-3, -30, 6, 6), 1.5, 1.5);
    p.restore();
    p.setPen(QPen(outline, 3.5));
    p.setBrush(QColor(245, 245, 240));
    p.drawEllipse(centre, 25, 25);
    for (int i = 0; i < 12; ++i) {
        const double angle = qDegreesToRadians(30.0 * i);
        const QPointF dir(std::sin(angle), -std::cos(angle));
        p.setPen(QPen(outline, i % 3 == 0 ? 2.5 : 1.5, Qt::SolidLine, Qt::FlatCap));
        p.drawLine(centre + dir * (i % 3 == 0 ? 16.0 : 18.5), centre + dir * 21.0);
    }
    const double hand = qDegreesToRadians(60.0);
    p.setPen(QPen(QColor(210, 30, 30), 3.0, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(centre, centre + QPointF(std::sin(hand), -std::cos(hand)) * 18.0);
    p.setPen(Qt::NoPen);
    p.setBrush(outline);
    p.drawEllipse(centre, 3, 3);
    return canvas.finish();
}

QImage buildViewLoad()
{
    Canvas canvas;
    drawCamera(canvas.painter);
    drawBadge(canvas.painter, true, green);
    return canvas.finish();
}

QImage buildUndo()
{
    Canvas canvas(256);
    QPainter& p = canvas.painter;
    // A hook: from the lower right up and over to the left, ending in a head
    // that points down and back.
    const QColor orange(235, 130, 20);
    QPainterPath hook;
    hook.moveTo(52, 56);
    hook.cubicTo(62, 30, 44, 12, 28, 14);
    hook.cubicTo(20, 15, 15, 19, 13, 24);
    p.setPen(QPen(QColor(150, 70, 0), 11.0, Qt::SolidLine, Qt::RoundCap));
    p.drawPath(hook);
    p.setPen(QPen(orange, 7.0, Qt::SolidLine, Qt::RoundCap));
    p.drawPath(hook);
    const QPointF tip(9, 40);
    const QPointF from(15, 21);
    const QPointF d = tip - from;
    const QPointF unit = d / std::hypot(d.x(), d.y());
    const QPointF back = tip - unit * 20.0;
    const QPointF side(-unit.y() * 13.0, unit.x() * 13.0);
    QPainterPath head;
    head.moveTo(tip);
    head.lineTo(back + side);
    head.lineTo(back - side);
    head.closeSubpath();
    p.setPen(QPen(QColor(150, 70, 0), 2.0));
    p.setBrush(orange);
    p.drawPath(head);
    return canvas.finish();
}

QImage buildViewSave()
{
    Canvas canvas;
    drawCamera(canvas.painter);
    drawBadge(canvas.painter, false, blue);
    return canvas.finish();
}

const std::vector<IconFile>& iconFiles()
{
    static const std::vector<IconFile> files = {
        {"histogram.png", buildHistogram}, {"view_reset.png", buildViewReset}, {"view_up.png", buildViewUp},
        {"chronometer.png", buildChronometer}, {"viewLoad.png", buildViewLoad}, {"undo_256.png", buildUndo},
        {"viewSave.png", buildViewSave},
    };
    return files;
}

} // namespace icongen

#pragma once
// Counts the paint events a widget receives: one per frame it draws for the
// window (picks served at once draw no paint event).

#include <QEvent>
#include <QObject>
#include <QWidget>

class PaintCounter : public QObject {
public:
    PaintCounter() = default;
    explicit PaintCounter(QWidget* widget) { widget->installEventFilter(this); }
    int paints = 0;

    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Paint)
            ++paints;
        return false;
    }
};

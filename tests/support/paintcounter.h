#pragma once
// Counts the paint events a widget receives: one per frame it draws for the
// window (picks served at once draw no paint event).

#include <QElapsedTimer>
#include <QEvent>
#include <QObject>
#include <QTest>
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

// Runs the event loop until `counter` has seen no frame for `quietMs`: every
// frame a command causes is counted however slowly the machine draws.
inline void waitForQuiet(const PaintCounter& counter, int quietMs = 100)
{
    QElapsedTimer quiet;
    quiet.start();
    int seen = counter.paints;
    while (quiet.elapsed() < quietMs) {
        QTest::qWait(10);
        if (counter.paints != seen) {
            seen = counter.paints;
            quiet.restart();
        }
    }
}

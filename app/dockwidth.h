#pragma once
// Keeps the main window's dock at the width it should have: as wide as its
// widest page needs, or as the user dragged it. A window made smaller squeezes
// the dock down to its minimum, and when the window grows again the main
// window's layout gives all the new room to the view; this puts the dock back
// once the window has room for it beside the view's minimum.

#include <QObject>
#include <QTimer>

class QDockWidget;
class QEvent;
class QMainWindow;

class DockWidthKeeper : public QObject {
public:
    // Watches `window` and its `dock`, whose wanted width is `width` until the
    // user drags the dock's edge. A child of the window.
    DockWidthKeeper(QMainWindow* window, QDockWidget* dock, int width);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void restoreWidth();

    QMainWindow* window;
    QDockWidget* dock;
    int wanted;
    // A left button is held on the window itself: its separators take such
    // drags, so the dock's width is then the user's.
    bool dragging = false;
    // The window's layout runs after the window's own resize event: the width
    // is put back once that is done, when the event loop is next free.
    QTimer restoreTimer;
};

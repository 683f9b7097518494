#include "app/dockwidth.h"

#include <algorithm>

#include <QDockWidget>
#include <QEvent>
#include <QMainWindow>
#include <QMouseEvent>

DockWidthKeeper::DockWidthKeeper(QMainWindow* window, QDockWidget* dock, int width)
    : QObject(window), window(window), dock(dock), wanted(width)
{
    restoreTimer.setSingleShot(true);
    restoreTimer.setInterval(0);
    connect(&restoreTimer, &QTimer::timeout, this, [this] { restoreWidth(); });
    window->installEventFilter(this);
    dock->installEventFilter(this);
}

bool DockWidthKeeper::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == window) {
        switch (event->type()) {
        case QEvent::MouseButtonPress:
            dragging = static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton;
            break;
        case QEvent::MouseButtonRelease:
            dragging = false;
            break;
        case QEvent::Resize:
            restoreTimer.start();
            break;
        default:
            break;
        }
    } else if (watched == dock && event->type() == QEvent::Resize && dragging && !dock->isFloating()) {
        wanted = dock->width();
    }
    return false;
}

void DockWidthKeeper::restoreWidth()
{
    if (dock->isFloating() || !dock->isVisible() || dock->width() == wanted)
        return;
    // The dock and the view share the window's width; the view keeps its minimum.
    QWidget* view = window->centralWidget();
    const int room = dock->width() + (view ? view->width() : 0);
    const int viewMinimum = view ? std::max(view->minimumWidth(), view->minimumSizeHint().width()) : 0;
    if (room - viewMinimum < wanted)
        return;
    window->resizeDocks({dock}, {wanted}, Qt::Horizontal);
}

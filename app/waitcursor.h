#pragma once
// The wait cursor for the span of a long command on the GUI thread, restored
// however the command ends.

#include <QCursor>
#include <QGuiApplication>

struct WaitCursor {
    WaitCursor() { QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor)); }
    ~WaitCursor() { QGuiApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

#pragma once
// The seven tool-bar icons the main window loads from "icons/", drawn with
// QPainter on a transparent square; each builder draws on a 64-unit grid
// scaled to its image size.

#include <QImage>

#include <vector>

namespace icongen {

// Bars in the histogram dialog's red-to-yellow ramp over two axes.
QImage buildHistogram();
// A circular arrow round a dot: back to the start view.
QImage buildViewReset();
// An arrow pointing down onto a ground plane: the view from above.
QImage buildViewUp();
// A stopwatch: one growth iteration.
QImage buildChronometer();
// A camera with an arrow out of its tray: recall the stored view.
QImage buildViewLoad();
// A hooked arrow turning back: grow again from the start.
QImage buildUndo();
// A camera with an arrow into its tray: store the view.
QImage buildViewSave();

struct IconFile {
    const char* name;  // under icons/
    QImage (*build)();
};
// Every file with its builder, in the order the main window loads them.
const std::vector<IconFile>& iconFiles();

} // namespace icongen

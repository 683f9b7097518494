#pragma once
// Frames worth looking at, kept for a person to look at after a test run.

#include <QImage>
#include <QString>
#include <QtGlobal>

namespace widgettest {

// Saves `image` as <name>.png in the folder that TRELIMO_SCREENSHOTS names;
// does nothing when it is not set.
inline void keepScreenshot(const QImage& image, const QString& name)
{
    const QString folder = qEnvironmentVariable("TRELIMO_SCREENSHOTS");
    if (!folder.isEmpty())
        image.save(folder + "/" + name + ".png");
}

} // namespace widgettest

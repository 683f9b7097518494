#pragma once
// Shared set-up for tests of the drawing widget on the real renderer (Mesa under
// xvfb-run) and the real OpenCL device (pocl): the process as the entry point
// prepares it, a shown top-level WidgetRisanje with its start-up scene, and
// helpers to wait for its tick, read its pixels and catch OpenGL error lines.
//
// Link trelimo_widgetfixture; it brings the view, the embedded resources and
// Qt Test. Run the test under xvfb-run (the xcb platform).

#include <functional>
#include <string>
#include <vector>

#include <QImage>
#include <QString>

#include "support/screenshot.h"

class WidgetRisanje;

namespace widgettest {

// Once per process: a QApplication, the entry point's default surface format
// (OpenGL 3.3 core profile, 16 samples), Environment::create(), and the
// working directory set to the test program's folder, where tex/ lies.
void setUpProcess();

// Runs Qt's event loop for about `milliseconds` (timers, paints, input).
void processEventsFor(int milliseconds);


// The text of the failure stored by runGuarded (a thrown character string,
// std::string, cl::Error or std::exception), or "" when none is stored. The
// store is empty afterwards.
std::string takeStoredFailure();

// The lines beginning with "ERROR: " that `work` wrote to standard error:
// every OpenGL error check prints such a line.
std::vector<std::string> errorLines(const std::function<void()>& work);

// The OpenGL errors still queued on the widget's context (read with glGetError
// until none is left), as GLU texts; the context is made current for the read.
std::vector<std::string> pendingGlErrors(WidgetRisanje& widget);

// A top-level drawing widget of the given size, with mouse tracking on and a
// strong focus policy as in the main window, shown and exposed: OpenGL set
// up, textures and programs loaded, OpenCL created and the start-up tree grown
// (unless set-up failed: see ready()). Destroying it also releases the OpenCL
// holder, as the main window does.
class TestWidget {
public:
    explicit TestWidget(int width = 640, int height = 480);
    ~TestWidget();
    TestWidget(const TestWidget&) = delete;
    TestWidget& operator=(const TestWidget&) = delete;

    WidgetRisanje& operator*() const { return *widget_; }
    WidgetRisanje* operator->() const { return widget_; }
    WidgetRisanje* get() const { return widget_; }

    // True when OpenGL set-up finished; otherwise failure() says why.
    bool ready() const;
    const std::string& failure() const { return failure_; }

    // Runs the event loop until the widget's timer has ticked `ticks` more
    // times; false on a time-out.
    bool waitForTicks(int ticks = 1, int timeoutMilliseconds = 5000);

    // The widget's framebuffer as it was last drawn (grabFramebuffer).
    QImage grab() const;

    // One normal frame, drawn at once (through grabFramebuffer: Qt may defer a
    // repaint() that follows a composition within one display frame), with
    // standard error watched: the "ERROR: " lines of the frame plus any OpenGL
    // error left queued after it.
    std::vector<std::string> paintAndCollectErrors();

private:
    WidgetRisanje* widget_ = nullptr;
    std::string failure_;
};

} // namespace widgettest

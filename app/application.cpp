#include "app/application.h"

#include <exception>

#include "view/eventloopfailure.h"

Application::Application(int& argc, char** argv) : QApplication(argc, argv) {}

bool Application::notify(QObject* receiver, QEvent* event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (...) {
        // Also reached from a modal box's own loop (disclaimer, About, Help):
        // the store ends that loop and the main one.
        storeEventLoopFailure(std::current_exception());
        return false;
    }
}

#include "view/eventloopfailure.h"

#include <QCoreApplication>
#include <QThread>

namespace {
std::exception_ptr storedFailure;
}

void storeEventLoopFailure(std::exception_ptr failure)
{
    if (!storedFailure)
        storedFailure = std::move(failure);
    // exit() ends the nested loops of modal boxes too. With no loop running it
    // would still leave Qt's quit flag set, and the next loop, the entry point's
    // error box among them, would return at once without showing anything: the
    // entry point looks at the store before it starts the main loop instead.
    if (QThread::currentThread()->loopLevel() > 0)
        QCoreApplication::exit(-1);
}

std::exception_ptr takeEventLoopFailure()
{
    std::exception_ptr failure = std::move(storedFailure);
    storedFailure = nullptr;
    return failure;
}

bool hasEventLoopFailure() { return static_cast<bool>(storedFailure); }

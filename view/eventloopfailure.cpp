#include "view/eventloopfailure.h"

#include <QCoreApplication>

namespace {
std::exception_ptr storedFailure;
}

void storeEventLoopFailure(std::exception_ptr failure)
{
    if (!storedFailure)
        storedFailure = std::move(failure);
    // exit() ends the nested loops of modal boxes too; before the main loop
    // runs it does nothing, so the entry point also looks at the store.
    QCoreApplication::exit(-1);
}

std::exception_ptr takeEventLoopFailure()
{
    std::exception_ptr failure = std::move(storedFailure);
    storedFailure = nullptr;
    return failure;
}

bool hasEventLoopFailure() { return static_cast<bool>(storedFailure); }

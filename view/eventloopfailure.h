#pragma once
// Qt 5 cannot carry an exception through its event dispatch: one thrown from an
// event handler, a slot or an OpenGL callback must be caught before it reaches
// Qt. It is stored here, every running event loop is told to end with -1, and
// the entry point rethrows it where its handlers report it.

#include <exception>
#include <utility>

// Keeps the first failure (later ones are dropped: the first one explains the
// end) and asks every running event loop to return -1.
void storeEventLoopFailure(std::exception_ptr failure);
// The stored failure, or null; the store is empty afterwards.
std::exception_ptr takeEventLoopFailure();
// True while a failure is stored.
bool hasEventLoopFailure();

// Runs `work`, storing anything it throws.
template <class Work>
void runGuarded(Work&& work)
{
    try {
        std::forward<Work>(work)();
    } catch (...) {
        storeEventLoopFailure(std::current_exception());
    }
}

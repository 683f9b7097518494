#pragma once
// The text the entry point shows in its "Error!" box for a failure that reached
// it: thrown texts and OpenCL errors as the thrower worded them, any other
// standard exception by its description, anything else as unknown.

#include <exception>

#include <QString>

QString failureMessage(std::exception_ptr failure);

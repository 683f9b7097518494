#pragma once
// Reporting of OpenCL failures: the English text of a status code, and the
// report that ends the program through the entry point.

#include "environment/opencl.h"

#include <string>

struct OpenClHolder;

// The text of an OpenCL 1.1 status code; "Unknown" for any code outside the table.
std::string openClErrorString(int code);

// Writes "OpenCL ERRR: <call> : <code> <text>" and an empty line to standard
// error, then throws the same line (with its line break) as a std::string.
[[noreturn]] void raiseOpenClError(const OpenClHolder& holder, const cl::Error& error);

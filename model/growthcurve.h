#pragma once
// The user's growth curve Q = f(x): a text expression in one variable "x",
// evaluated at a tree's age + 1 by the light pass and test-compiled by the main
// window whenever the text changes.

#include <string>

// Value of `text` at `x`. `ok` tells whether the text compiled; when it did not,
// the result is NaN. Never throws. Numbers are read with a "." decimal point
// whatever the user's locale. Constants: pi, epsilon, inf. Besides the parser's
// own functions: ceil, floor, round, roundn(x, n), trunc, frac, pow(x, y),
// clamp(lo, x, hi), sgn, logn(x, n), root(x, n), hypot, erf, erfc, expm1,
// log1p, and the operator % (remainder); log is the natural logarithm.
double evaluateGrowthCurve(std::string text, double x, bool& ok);

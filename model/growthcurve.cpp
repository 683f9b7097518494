#include "model/growthcurve.h"

#include <limits>

#include <muParser.h>

double evaluateGrowthCurve(std::string text, double x, bool& ok)
{
    ok = false;
    double variable = x;
    try {
        // A fresh parser per call: the text may change between any two calls,
        // and a pass evaluates it only once per tree.
        mu::Parser parser;
        parser.DefineVar("x", &variable);
        parser.DefineConst("pi", 3.141592653589793238462643383279502);
        // A tolerance for comparisons written in a curve, not the machine
        // epsilon.
        parser.DefineConst("epsilon", 0.0000000001);
        parser.DefineConst("inf", std::numeric_limits<double>::infinity());
        parser.SetExpr(text);
        // The parser reads the text on the first evaluation, so a text that
        // does not compile only shows here.
        const double value = parser.Eval();
        // The parser also takes a comma-separated list and returns its last
        // value, so "0,5*x" (a decimal comma) would quietly mean x. A curve is
        // one expression.
        if (parser.GetNumResults() != 1)
            return std::numeric_limits<double>::quiet_NaN();
        ok = true;
        return value;
    } catch (...) {
        return std::numeric_limits<double>::quiet_NaN();
    }
}

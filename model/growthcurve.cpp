#include "model/growthcurve.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include <muParser.h>

namespace {

// The standard functions a curve may use beyond those the parser knows (its
// own include sin ... tanh, exp, log (natural), ln, log2, log10, sqrt, abs,
// min, max, avg, sum), with the usual argument order and meaning.

double fraction(double x) { return x - std::trunc(x); }

// x rounded to n decimal places (n truncated to a whole number in 0 to 15).
double roundToPlaces(double x, double n)
{
    const double places = std::clamp(std::floor(n), 0.0, 15.0);
    const double scale = std::pow(10.0, places);
    return std::round(x * scale) / scale;
}

double clampBetween(double lo, double x, double hi) { return x < lo ? lo : (x > hi ? hi : x); }

double signOf(double x) { return x > 0.0 ? 1.0 : (x < 0.0 ? -1.0 : 0.0); }

double logarithmToBase(double x, double base) { return std::log(x) / std::log(base); }

// The real n-th root: a negative x has one for an odd whole n only.
double rootOf(double x, double n)
{
    if (x >= 0.0)
        return std::pow(x, 1.0 / n);
    const bool oddWhole = std::trunc(n) == n && std::fmod(n, 2.0) != 0.0;
    return oddWhole ? -std::pow(-x, 1.0 / n) : std::numeric_limits<double>::quiet_NaN();
}

double ceilOf(double x) { return std::ceil(x); }
double floorOf(double x) { return std::floor(x); }
double roundOf(double x) { return std::round(x); }
double truncOf(double x) { return std::trunc(x); }
double power(double x, double y) { return std::pow(x, y); }
double hypotOf(double x, double y) { return std::hypot(x, y); }
double erfOf(double x) { return std::erf(x); }
double erfcOf(double x) { return std::erfc(x); }
double expm1Of(double x) { return std::expm1(x); }
double log1pOf(double x) { return std::log1p(x); }
double remainderOf(double x, double y) { return std::fmod(x, y); }

void defineStandardFunctions(mu::Parser& parser)
{
    parser.DefineFun("ceil", ceilOf);
    parser.DefineFun("floor", floorOf);
    parser.DefineFun("round", roundOf);
    parser.DefineFun("roundn", roundToPlaces);
    parser.DefineFun("trunc", truncOf);
    parser.DefineFun("frac", fraction);
    parser.DefineFun("pow", power);
    parser.DefineFun("clamp", clampBetween);
    parser.DefineFun("sgn", signOf);
    parser.DefineFun("logn", logarithmToBase);
    parser.DefineFun("root", rootOf);
    parser.DefineFun("hypot", hypotOf);
    parser.DefineFun("erf", erfOf);
    parser.DefineFun("erfc", erfcOf);
    parser.DefineFun("expm1", expm1Of);
    parser.DefineFun("log1p", log1pOf);
    // x % y: the remainder of x / y, binding as * and / do.
    parser.DefineOprt("%", remainderOf, mu::prMUL_DIV, mu::oaLEFT);
}

}  // namespace

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
        defineStandardFunctions(parser);
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

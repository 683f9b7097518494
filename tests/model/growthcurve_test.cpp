// The growth curve: what compiles, what it evaluates to (the standard functions
// included), and that neither an odd text nor the user's locale breaks it.

#include <algorithm>
#include <cmath>
#include <limits>
#include <locale>
#include <string>

#include <gtest/gtest.h>

#include "model/growthcurve.h"

namespace {

// Numbers as a German user's locale writes them.
struct CommaDecimal : std::numpunct<char> {
    char do_decimal_point() const override { return ','; }
    char do_thousands_sep() const override { return '.'; }
    std::string do_grouping() const override { return "\3"; }
};

TEST(GrowthCurve, CompilingTextsEvaluateAtXWhateverTheLocale)
{
    const double pi = std::acos(-1.0);
    const double inf = std::numeric_limits<double>::infinity();
    struct Row { const char* text; double x, expected; };
    const Row rows[] = {
        // The start-up curve: 0.2 / 0 is +inf and tanh(+inf) is 1, so 40 + 2; about 9.895 at 2.
        {"40*tanh(0.2/(x-1))+2.0", 1.0, 42.0},
        {"40*tanh(0.2/(x-1))+2.0", 2.0, 40.0 * std::tanh(0.2) + 2.0},
        {"40*tanh(0.2/(x-1))+2.0", 0.0, 40.0 * std::tanh(-0.2) + 2.0},
        {"x^2 - 1", 3.0, 8.0}, {"0.25*x", 10.0, 2.5}, {"2*pi*x", 0.5, pi}, {"epsilon", 0.0, 1e-10},
        {"inf", 0.0, inf}, {"-inf", 0.0, -inf}, {"  5  ", 9.0, 5.0},
    };
    const std::locale previous = std::locale::global(std::locale::classic());
    for (const bool comma : {false, true}) {
        std::locale::global(comma ? std::locale(std::locale::classic(), new CommaDecimal) : std::locale::classic());
        for (const Row& row : rows) {
            SCOPED_TRACE(testing::Message() << row.text << " at " << row.x << (comma ? ", decimal comma" : ""));
            bool ok = false;
            const double value = evaluateGrowthCurve(row.text, row.x, ok);
            EXPECT_TRUE(ok);
            if (std::isinf(row.expected))
                EXPECT_EQ(value, row.expected);
            else
                EXPECT_NEAR(value, row.expected, 1e-12 * std::max(1.0, std::fabs(row.expected)));
        }
    }
    std::locale::global(previous);
}

// The standard functions beyond the parser's own, as the C++ library computes them.
TEST(GrowthCurve, StandardFunctionsMeanWhatTheLibraryMeans)
{
    struct Row { const char* text; double x, expected; };
    const Row rows[] = {
        {"ceil(x)", 2.3, std::ceil(2.3)}, {"ceil(x)", -2.3, std::ceil(-2.3)},
        {"floor(x)", 2.7, std::floor(2.7)}, {"floor(x)", -2.3, std::floor(-2.3)},
        {"round(x)", 2.5, std::round(2.5)}, {"round(x)", -2.5, std::round(-2.5)}, {"round(x)", 2.49, std::round(2.49)},
        {"roundn(x, 2)", 3.14159, std::round(314.159) / 100.0}, {"roundn(x, 0)", -1.5, std::round(-1.5)},
        {"roundn(x, 3.7)", 2.71828, std::round(2718.28) / 1000.0},
        {"trunc(x)", -2.7, std::trunc(-2.7)}, {"trunc(x)", 2.7, std::trunc(2.7)},
        {"frac(x)", -2.75, -2.75 - std::trunc(-2.75)}, {"frac(x)", 5.25, 5.25 - std::trunc(5.25)},
        {"pow(x, 3)", 2.0, std::pow(2.0, 3.0)}, {"pow(2, x)", 0.5, std::pow(2.0, 0.5)},
        {"clamp(0, x, 1)", 1.7, 1.0}, {"clamp(0, x, 1)", -0.3, 0.0}, {"clamp(0, x, 1)", 0.4, 0.4},
        {"sgn(x)", -4.0, -1.0}, {"sgn(x)", 0.0, 0.0}, {"sgn(x)", 0.1, 1.0},
        {"logn(x, 8)", 1235.0, std::log(1235.0) / std::log(8.0)}, {"logn(x, 2)", 1024.0, std::log2(1024.0)},
        {"root(x, 3)", 27.0, std::cbrt(27.0)}, {"root(x, 3)", -8.0, std::cbrt(-8.0)},
        {"root(x, 4)", 16.0, std::pow(16.0, 0.25)},
        {"hypot(x, 4)", 3.0, std::hypot(3.0, 4.0)},
        {"erf(x)", 0.5, std::erf(0.5)}, {"erfc(x)", 0.5, std::erfc(0.5)},
        {"expm1(x)", 1e-10, std::expm1(1e-10)}, {"log1p(x)", 1e-10, std::log1p(1e-10)},
        {"x%2", 5.0, std::fmod(5.0, 2.0)}, {"x % 3", 7.5, std::fmod(7.5, 3.0)}, {"x % 3", -7.5, std::fmod(-7.5, 3.0)},
        {"2 + x % 3 * 2", 7.0, 2.0 + std::fmod(7.0, 3.0) * 2.0}, {"x % 4 % 3", 11.0, std::fmod(std::fmod(11.0, 4.0), 3.0)},
        {"log(x)", 10.0, std::log(10.0)},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(testing::Message() << row.text << " at " << row.x);
        bool ok = false;
        const double value = evaluateGrowthCurve(row.text, row.x, ok);
        EXPECT_TRUE(ok);
        EXPECT_NEAR(value, row.expected, 1e-14 * std::max(1.0, std::fabs(row.expected)));
    }
    bool ok = false;
    EXPECT_TRUE(std::isnan(evaluateGrowthCurve("root(x, 4)", -16.0, ok)));
    EXPECT_TRUE(ok);
}

TEST(GrowthCurve, TextThatDoesNotCompileGivesNaNAndNotOk)
{
    // A decimal comma must not pass as a list of two values.
    for (const char* text : {"40*tanh(0.2/(x-1))+", "", "   ", "(x", "x)", "y + 1", "2 ** 3", "40*foo(x)", "1,5",
                             "0,5*x", "40*tanh(0,2/(x-1))+2"}) {
        SCOPED_TRACE(text);
        bool ok = true;
        double value = 0.0;
        EXPECT_NO_THROW(value = evaluateGrowthCurve(text, 2.0, ok));
        EXPECT_FALSE(ok);
        EXPECT_TRUE(std::isnan(value));
    }
}

}  // namespace

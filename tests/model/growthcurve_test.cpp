// The growth curve: what compiles, what it evaluates to, and that neither an
// odd text nor the user's locale breaks it.

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

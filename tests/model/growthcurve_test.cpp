// The growth curve: what compiles, what it evaluates to, and that neither an
// odd text nor the user's locale breaks it.

#include <cmath>
#include <limits>
#include <locale>
#include <string>

#include <gtest/gtest.h>

#include "model/growthcurve.h"

namespace {

struct CurveCase {
    const char* text;
    double x;
    double expected;
};

class CompilingCurve : public ::testing::TestWithParam<CurveCase> {};

TEST_P(CompilingCurve, EvaluatesAtX)
{
    const CurveCase& c = GetParam();
    bool ok = false;
    const double value = evaluateGrowthCurve(c.text, c.x, ok);
    EXPECT_TRUE(ok);
    if (std::isinf(c.expected))
        EXPECT_EQ(value, c.expected);
    else
        EXPECT_NEAR(value, c.expected, 1e-12 * std::max(1.0, std::fabs(c.expected)));
}

const double pi = std::acos(-1.0);

INSTANTIATE_TEST_SUITE_P(
    Texts, CompilingCurve,
    ::testing::Values(
        // The start-up curve: 0.2 / 0 is +inf and tanh(+inf) is 1, so 40 + 2.
        CurveCase{"40*tanh(0.2/(x-1))+2.0", 1.0, 42.0},
        CurveCase{"40*tanh(0.2/(x-1))+2.0", 2.0, 40.0 * std::tanh(0.2) + 2.0},
        // Below x = 1 the curve turns negative: 40 * tanh(-0.2) + 2.
        CurveCase{"40*tanh(0.2/(x-1))+2.0", 0.0, 40.0 * std::tanh(-0.2) + 2.0},
        CurveCase{"x*2", 3.5, 7.0},
        CurveCase{"x^2 - 1", 3.0, 8.0},
        CurveCase{"pi", 0.0, pi},
        CurveCase{"2*pi*x", 0.5, pi},
        CurveCase{"epsilon", 0.0, 1e-10},
        CurveCase{"inf", 0.0, std::numeric_limits<double>::infinity()},
        CurveCase{"-inf", 0.0, -std::numeric_limits<double>::infinity()},
        CurveCase{"  5  ", 9.0, 5.0}));

TEST(GrowthCurve, DefaultIsAboutTenAtTwo)
{
    // The value the main window's users see at the second iteration.
    bool ok = false;
    EXPECT_NEAR(evaluateGrowthCurve("40*tanh(0.2/(x-1))+2.0", 2.0, ok), 9.895, 0.001);
    EXPECT_TRUE(ok);
}

class FailingCurve : public ::testing::TestWithParam<const char*> {};

TEST_P(FailingCurve, GivesNaNAndNotOk)
{
    bool ok = true;
    double value = 0.0;
    EXPECT_NO_THROW(value = evaluateGrowthCurve(GetParam(), 2.0, ok));
    EXPECT_FALSE(ok);
    EXPECT_TRUE(std::isnan(value));
}

INSTANTIATE_TEST_SUITE_P(Texts, FailingCurve,
                         ::testing::Values("40*tanh(0.2/(x-1))+", "", "   ", "(x", "x)", "y + 1", "tanh(",
                                           "2 ** 3", "40*foo(x)",
                                           // A decimal comma must not pass as a list of two values.
                                           "1,5", "0,5*x", "40*tanh(0,2/(x-1))+2"));

TEST(GrowthCurve, OkFollowsEachCallNotTheFirst)
{
    bool ok = false;
    evaluateGrowthCurve("x", 1.0, ok);
    EXPECT_TRUE(ok);
    evaluateGrowthCurve("x+", 1.0, ok);
    EXPECT_FALSE(ok);
    evaluateGrowthCurve("x", 1.0, ok);
    EXPECT_TRUE(ok);
}

// A locale that writes and reads numbers with a decimal comma, as a German
// user's would.
struct CommaDecimal : std::numpunct<char> {
    char do_decimal_point() const override { return ','; }
    char do_thousands_sep() const override { return '.'; }
    std::string do_grouping() const override { return "\3"; }
};

TEST(GrowthCurve, ReadsDecimalPointWhateverTheLocale)
{
    const std::locale previous = std::locale::global(std::locale(std::locale::classic(), new CommaDecimal));
    bool ok = false;
    const double atTwo = evaluateGrowthCurve("40*tanh(0.2/(x-1))+2.0", 2.0, ok);
    const bool defaultOk = ok;
    const double scaled = evaluateGrowthCurve("0.25*x", 10.0, ok);
    const bool scaledOk = ok;
    std::locale::global(previous);

    EXPECT_TRUE(defaultOk);
    EXPECT_NEAR(atTwo, 40.0 * std::tanh(0.2) + 2.0, 1e-12);
    EXPECT_TRUE(scaledOk);
    EXPECT_DOUBLE_EQ(scaled, 2.5);
}

}  // namespace

#include "block/NumberText.h"
#include "support/StrictNumber.h"

#include "CLocaleScope.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <locale.h>
#include <random>

namespace tessel {
namespace {

using namespace numtext;

TEST(NumberText, FixedAndPaddedForms) {
    EXPECT_EQ(fixed3(12.5), "12.500");
    EXPECT_EQ(fixed3(1e300).size(), 301u + 4u) << "no cap on the digits before the point";
    EXPECT_EQ(decimal5(7), "    7");
    EXPECT_EQ(decimal5(123456), "123456");
}

// printf in the C locale is the reference for "%1.3f" and "%.15g", whatever the process locale.
TEST(NumberText, MatchesPrintfInTheCLocaleOverASweep) {
    const testing::CLocaleScope cLocale;
    ASSERT_TRUE(cLocale.active());
    std::mt19937_64 random(7);
    std::uniform_real_distribution<double> mantissa(-10.0, 10.0);
    std::uniform_int_distribution<int> exponent(-8, 12);
    char ref[512];
    for (int i = 0; i < 20000; ++i) {
        const double value =
            i < 4000 ? (i - 2000) * 0.0005 : mantissa(random) * std::pow(10.0, exponent(random));
        std::snprintf(ref, sizeof ref, "%1.3f", value);
        ASSERT_EQ(fixed3(value), ref) << value;
        std::snprintf(ref, sizeof ref, "%.15g", value);
        ASSERT_EQ(shortestReal(value), ref) << value;
    }
}

TEST(NumberText, ShortestRealKeepsFifteenDigitsAndAPoint) {
    EXPECT_EQ(shortestReal(3.048), "3.048");
    EXPECT_EQ(shortestReal(10.0), "10");
    EXPECT_EQ(shortestReal(0.5), "0.5");
    EXPECT_EQ(shortestReal(0.1 + 0.2), "0.3");
    EXPECT_EQ(shortestReal(1e300), "1e+300");
}

// Here, where the block tests run a second time under a decimal-comma locale.
TEST(StrictNumber, OnlyAWholeNumberIsANumber) {
    EXPECT_EQ(strictInteger("314159"), 314159);
    EXPECT_EQ(strictInteger("-42"), -42);
    EXPECT_EQ(strictInteger("+7"), 7);
    for (const char* bad : {"", "?", "12a", " 12", "1.5", "--1", "+-1", "2147483648", "++1"})
        EXPECT_FALSE(strictInteger(bad).has_value()) << bad;
    EXPECT_EQ(strictInteger("-2147483648"), std::numeric_limits<std::int32_t>::min());

    EXPECT_EQ(strictReal("12.5"), 12.5);
    EXPECT_EQ(strictReal("-1.5"), -1.5);
    EXPECT_EQ(strictReal(".5"), 0.5);
    EXPECT_EQ(strictReal("5."), 5.0);
    EXPECT_EQ(strictReal(" 3 "), 3.0);
    EXPECT_EQ(strictReal("1e3"), 1000.0);
    EXPECT_EQ(strictReal("1e+300"), 1e300);
    for (const char* bad : {"", ".", "12,5", "abc", "1e999", "inf", "nan", "1.2.3", "- 1", "++1",
                            "0x10", "5 ft"})
        EXPECT_FALSE(strictReal(bad).has_value()) << bad;
}

TEST(NumberText, TemperatureConversionsRoundOnlyNonNegativeValues) {
    const std::pair<int, int> cToF[] = {{1, 34},  {2, 36}, {3, 37},    {-1, 31},  {25, 77},
                                        {37, 99}, {0, 32}, {100, 212}, {-40, -40}};
    for (auto [c, f] : cToF)
        EXPECT_EQ(fahrenheitFromCelsius(static_cast<std::int16_t>(c)), f) << c;
    const std::pair<int, int> fToC[] = {{100, 38}, {212, 100}, {0, -17}, {32, 0}, {-40, -40}};
    for (auto [f, c] : fToC)
        EXPECT_EQ(celsiusFromFahrenheit(static_cast<std::int16_t>(f)), c) << f;
    // The result wraps to 16 bits rather than overflowing.
    EXPECT_EQ(fahrenheitFromCelsius(32767), static_cast<std::int16_t>(59013 - 65536));
}

} // namespace
} // namespace tessel

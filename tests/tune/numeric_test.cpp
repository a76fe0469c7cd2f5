#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "tune/Numeric.h"

namespace {

TEST(Numeric, readNumberTakesTheLeadingNumberOfTheTextAndStaysFinite) {
    const std::pair<std::string, double> cases[] = {
        {" 1\t2\n3", 123}, {"25E-1", 2.5}, {"&h1f", 31},         {"&O17", 15},
        {"&o8", 0},        {"&X12", 0},    {"abc", 0},           {"12abc", 12},
        {"1,200", 1},      {"-.5", -0.5},  {"- 7", -7},          {"+-1", 0},
        {"1.2.3", 1.2},    {"1E+", 1},     {"-1E400", -DBL_MAX}, {"&HFFFFFFFFFF", 1099511627775.0}};
    for (const auto& [text, value] : cases)
        EXPECT_EQ(num::readNumber(text), value) << text;
    EXPECT_EQ(num::readNumber("&H" + std::string(2000, 'F')), DBL_MAX);
    EXPECT_EQ(num::readNumber(std::string(5000, '9')), DBL_MAX);
    // Fifteen digits are exact; from sixteen on the nearest double, as strtod gives it.
    EXPECT_EQ(num::readNumber(" 123456789012345 "), 123456789012345.0);
    EXPECT_EQ(num::readNumber("9007199254740993"), 9007199254740992.0);
}

TEST(Numeric, roundingTakesHalvesToTheEvenNeighbourAndSaturatesAt32Bits) {
    const std::pair<double, int> cases[] = {{12.5, 12}, {13.5, 14},  {-2.5, -2},
                                            {-3.5, -4}, {2.5001, 3}, {-2.6, -3}};
    for (const auto& [value, rounded] : cases)
        EXPECT_EQ(std::pair(num::roundHalfEven(value), num::rnd32(value)),
                  std::pair(static_cast<double>(rounded), rounded))
            << value;
    EXPECT_EQ(num::rnd32(DBL_MAX), 2147483647);
    EXPECT_EQ(num::rnd32(-1E20), -2147483647 - 1);
}

TEST(Numeric, plainDecimalsKeepFifteenDigitsAndWriteLargeValuesWithAnExponent) {
    EXPECT_EQ(num::plainDecimal(0.1 + 0.2), "0.3");
    EXPECT_EQ(num::plainDecimal(1E20), "1E+20");
}

// Fixed decimals round the exact binary value half to even, as glibc's printf does: ties that are
// exact in binary (0.125, 2.5), decimal ties that are not (2.675 lies below), the values on
// either side of each, and a spread of ordinary and large values.
TEST(Numeric, fixedDecimalsRoundTheExactValueAsPrintfDoes) {
    std::vector<double> values = {0,      0.5,   1.5,    2.5,      -2.5,  0.125,  0.375,
                                  -0.125, 2.675, 1.005,  1.115,    14.25, 99.995, 1E15 + 0.5,
                                  4.35,   -4.35, 0.0005, 123456.5, 1E300, -7.05,  2.5E-7};
    std::mt19937_64 random(7);
    for (int i = 0; i < 20000; ++i) {
        // Bytes scaled as the readouts scale them, and wider random values.
        const double byte = static_cast<double>(random() % 256);
        values.push_back(byte * 5 / 255);
        values.push_back(byte / 2);
        values.push_back((static_cast<double>(random() % 2000001) - 1000000) / 1000);
        values.push_back(
            std::ldexp(static_cast<double>(random() % 1000000), -static_cast<int>(random() % 30)));
    }
    for (std::size_t i = 0, n = values.size(); i < n; ++i) {
        values.push_back(std::nextafter(values[i], DBL_MAX));
        values.push_back(std::nextafter(values[i], -DBL_MAX));
    }
    for (const double value : values) {
        for (int decimals = 0; decimals <= 7; ++decimals) {
            char expected[512];
            std::snprintf(expected, sizeof expected, "%.*f", decimals, value);
            std::string printed = expected;
            if (printed[0] == '-' && printed.find_first_not_of("-0.") == std::string::npos)
                printed.erase(0, 1);
            ASSERT_EQ(num::formatFixed(value, decimals), printed)
                << std::hexfloat << value << " " << decimals;
        }
    }
}

}  // namespace

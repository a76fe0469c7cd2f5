#include <gtest/gtest.h>

#include <cfloat>
#include <string>

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
    for (const auto& [value, rounded] : cases) {
        SCOPED_TRACE(value);
        EXPECT_EQ(num::roundHalfEven(value), rounded);
        EXPECT_EQ(num::rnd32(value), rounded);
    }
    EXPECT_EQ(num::rnd32(DBL_MAX), 2147483647);
    EXPECT_EQ(num::rnd32(-1E20), -2147483647 - 1);
}

TEST(Numeric, formatsWriteNoNegativeZeroAndTheShortestDecimal) {
    EXPECT_EQ(num::formatFixed(-0.01, 1), "0.0");
    EXPECT_EQ(num::plainDecimal(0.1 + 0.2), "0.3");
    EXPECT_EQ(num::plainDecimal(1E20), "1E+20");
}

}  // namespace

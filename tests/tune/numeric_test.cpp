#include <gtest/gtest.h>

#include <cfloat>
#include <cstdint>
#include <limits>
#include <string>

#include "tune/Numeric.h"

namespace {

struct ReadCase {
    std::string text;
    double expected;
};

class ReadNumber : public testing::TestWithParam<ReadCase> {};

TEST_P(ReadNumber, readsTheLeadingNumberOfTheText) {
    EXPECT_EQ(num::readNumber(GetParam().text), GetParam().expected) << GetParam().text;
}

INSTANTIATE_TEST_SUITE_P(
    Texts, ReadNumber,
    testing::Values(ReadCase{"1 2", 12}, ReadCase{" 1\t2\n3", 123}, ReadCase{"1E2", 100},
                    ReadCase{"1e2", 100}, ReadCase{"1E+2", 100}, ReadCase{"25E-1", 2.5},
                    ReadCase{"&H20", 32}, ReadCase{"&h1f", 31}, ReadCase{"&O17", 15},
                    ReadCase{"&o8", 0}, ReadCase{"&", 0}, ReadCase{"&X12", 0}, ReadCase{"abc", 0},
                    ReadCase{"", 0}, ReadCase{"   ", 0}, ReadCase{"12abc", 12}, ReadCase{"$12", 0},
                    ReadCase{"1,200", 1}, ReadCase{".5", 0.5}, ReadCase{"-.5", -0.5},
                    ReadCase{"+7", 7}, ReadCase{"- 7", -7}, ReadCase{"+-1", 0},
                    ReadCase{"1.2.3", 1.2}, ReadCase{"1E", 1}, ReadCase{"1E+", 1},
                    ReadCase{"2.5x", 2.5}, ReadCase{"-0", 0}, ReadCase{"1.", 1}, ReadCase{".", 0}));

TEST(ReadNumberLimits, hugeExponentSaturatesAtTheLargestFiniteValue) {
    EXPECT_EQ(num::readNumber("1E400"), DBL_MAX);
    EXPECT_EQ(num::readNumber("-1E400"), -DBL_MAX);
}

TEST(ReadNumberLimits, longHexadecimalTextGivesItsFullValue) {
    EXPECT_EQ(num::readNumber("&HFFFFFFFFFF"), 1099511627775.0);
}

TEST(ReadNumberLimits, endlessDigitsStayFinite) {
    const double v = num::readNumber("&H" + std::string(2000, 'F'));
    EXPECT_EQ(v, DBL_MAX);
    EXPECT_EQ(num::readNumber(std::string(5000, '9')), DBL_MAX);
}

TEST(Rnd32, saturatesAtTheSigned32BitRange) {
    EXPECT_EQ(num::rnd32(num::readNumber("1E400")), std::numeric_limits<std::int32_t>::max());
    EXPECT_EQ(num::rnd32(num::readNumber("&HFFFFFFFFFF")),
              std::numeric_limits<std::int32_t>::max());
    EXPECT_EQ(num::rnd32(-1E20), std::numeric_limits<std::int32_t>::min());
    EXPECT_EQ(num::rnd32(2147483646.6), 2147483647);
}

struct RoundCase {
    double value;
    double expected;
};

class RoundHalfEven : public testing::TestWithParam<RoundCase> {};

TEST_P(RoundHalfEven, takesHalvesToTheEvenNeighbour) {
    EXPECT_EQ(num::roundHalfEven(GetParam().value), GetParam().expected) << GetParam().value;
    EXPECT_EQ(num::rnd32(GetParam().value), static_cast<std::int32_t>(GetParam().expected));
}

INSTANTIATE_TEST_SUITE_P(Values, RoundHalfEven,
                         testing::Values(RoundCase{12.5, 12}, RoundCase{13.5, 14},
                                         RoundCase{-2.5, -2}, RoundCase{-3.5, -4},
                                         RoundCase{0.5, 0}, RoundCase{1.5, 2}, RoundCase{2.4999, 2},
                                         RoundCase{2.5001, 3}, RoundCase{-2.6, -3},
                                         RoundCase{7, 7}));

TEST(Formats, oneDecimalPatternKeepsADigitBeforeThePoint) {
    EXPECT_EQ(num::formatFixed(12, 1), "12.0");
    EXPECT_EQ(num::formatFixed(0.5, 1), "0.5");
    EXPECT_EQ(num::formatFixed(127.5, 1), "127.5");
    EXPECT_EQ(num::formatFixed(-2, 1), "-2.0");
}

TEST(Formats, twoDecimalPatternPadsWithZeros) {
    EXPECT_EQ(num::formatFixed(5, 2), "5.00");
    EXPECT_EQ(num::formatFixed(1.176470588, 2), "1.18");
}

TEST(Formats, wholeNumberPatternHasNoPoint) {
    EXPECT_EQ(num::formatFixed(3000, 0), "3000");
    EXPECT_EQ(num::formatFixed(-40, 0), "-40");
}

TEST(Formats, negativeZeroIsWrittenWithoutASign) {
    EXPECT_EQ(num::formatFixed(-0.0, 1), "0.0");
    EXPECT_EQ(num::formatFixed(-0.01, 1), "0.0");
}

TEST(Formats, signedPatternPutsAPlusBeforePositiveValuesOnly) {
    EXPECT_EQ(num::formatSigned(6), "+6");
    EXPECT_EQ(num::formatSigned(0), "0");
    EXPECT_EQ(num::formatSigned(-5), "-5");
}

TEST(PlainDecimal, writesTheShortestTextThatReadsBackTheSame) {
    EXPECT_EQ(num::plainDecimal(7.5), "7.5");
    EXPECT_EQ(num::plainDecimal(10), "10");
    EXPECT_EQ(num::plainDecimal(0.1 + 0.2), "0.3");
    EXPECT_EQ(num::plainDecimal(-2.5), "-2.5");
    EXPECT_EQ(num::plainDecimal(0), "0");
}

TEST(PlainDecimal, largeValuesUseAnExponentWithItsSign) {
    EXPECT_EQ(num::plainDecimal(1E20), "1E+20");
    EXPECT_EQ(num::readNumber(num::plainDecimal(1E20)), 1E20);
}

TEST(PlainDecimal, theLargestValueReadsBackFinite) {
    const std::string text = num::plainDecimal(DBL_MAX);
    EXPECT_LE(num::readNumber(text), DBL_MAX);
    EXPECT_GT(num::readNumber(text), 1E308);
}

TEST(ToSingle, holdsFiveOver255InSinglePrecision) {
    EXPECT_EQ(num::toSingle(5.0 / 255.0), static_cast<double>(0.019607844f));
    EXPECT_NE(num::toSingle(5.0 / 255.0), 5.0 / 255.0);
}

TEST(ToSingle, clampsValuesBeyondTheSingleRange) {
    EXPECT_EQ(num::toSingle(1E300), static_cast<double>(FLT_MAX));
    EXPECT_EQ(num::toSingle(-1E300), -static_cast<double>(FLT_MAX));
}

}  // namespace

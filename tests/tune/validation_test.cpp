#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "tune/Tune.h"
#include "tune/Validation.h"

namespace {

using tune::Edition;
using tune::Option;

std::optional<std::string> check(const tune::Tune& t, Edition e = Edition::BEL) {
    return tune::firstBrokenRule(t, e);
}

TEST(Validation, startupTunePassesInEveryEdition) {
    for (Edition e : {Edition::RUK, Edition::BEL, Edition::ZAV, Edition::QOLT}) {
        EXPECT_EQ(tune::firstBrokenRule(tune::Tune::startup(e), e), std::nullopt);
    }
}

TEST(Validation, baseTimingEqualToStaticFails) {
    tune::Tune t = tune::Tune::startup(Edition::BEL);
    t.baseTiming[5] = "45";
    EXPECT_EQ(check(t), "Base Timing must be less than Static Timing!");
}

TEST(Validation, baseTimingReadsUncommittedText) {
    tune::Tune t = tune::Tune::startup(Edition::BEL);
    t.baseTiming[0] = "4 6abc";
    EXPECT_EQ(check(t), "Base Timing must be less than Static Timing!");
}

TEST(Validation, staticEqualToTheLimitPassesAndHalfADegreeMoreFails) {
    tune::Tune t = tune::Tune::startup(Edition::BEL);
    t.cylinders.select(7);
    t.staticTiming = "60.0";
    EXPECT_EQ(check(t), std::nullopt);
    t.staticTiming = "60.5";
    EXPECT_EQ(check(t), "For a 4-stroke 12 cylinder\r\nthe Static Timing can not exceed 60!");
}

TEST(Validation, eightCylinderMessageNamesStrokeCountAndLimit) {
    tune::Tune t = tune::Tune::startup(Edition::BEL);
    t.cylinders.select(5);
    t.staticTiming = "95.0";
    EXPECT_EQ(check(t), "For a 4-stroke 8 cylinder\r\nthe Static Timing can not exceed 90!");
}

TEST(Validation, twoStrokeSixCylinderMessage) {
    tune::Tune t = tune::Tune::startup(Edition::BEL);
    t.setOption(Option::Stroke2, true);
    t.cylinders.select(5);
    t.staticTiming = "61.0";
    EXPECT_EQ(check(t), "For a 2-stroke 6 cylinder\r\nthe Static Timing can not exceed 60!");
}

struct LimitCase {
    bool twoStroke;
    std::string cylinders;
    int limit;
};

void PrintTo(const LimitCase& c, std::ostream* os) {
    *os << (c.twoStroke ? "2-stroke " : "4-stroke ") << c.cylinders;
}

class StaticLimit : public testing::TestWithParam<LimitCase> {};

TEST_P(StaticLimit, allowsTheCrankAngleBetweenSparksAndNoMore) {
    const LimitCase& c = GetParam();
    tune::Tune t = tune::Tune::startup(Edition::RUK);
    if (c.twoStroke)
        t.setOption(Option::Stroke2, true);
    t.cylinders.text = c.cylinders;
    t.baseTiming = {"0", "0", "0", "0", "0", "0"};
    t.staticTiming = std::to_string(c.limit);
    EXPECT_EQ(check(t, Edition::RUK), std::nullopt);
    t.staticTiming = std::to_string(c.limit) + ".5";
    EXPECT_EQ(check(t, Edition::RUK),
              "For a " + std::string(c.twoStroke ? "2" : "4") + "-stroke " + c.cylinders +
                  " cylinder\r\nthe Static Timing can not exceed " + std::to_string(c.limit) + "!");
}

INSTANTIATE_TEST_SUITE_P(Table, StaticLimit,
                         testing::Values(LimitCase{true, "1", 360}, LimitCase{false, "2", 360},
                                         LimitCase{true, "2", 180}, LimitCase{false, "3", 240},
                                         LimitCase{true, "3", 120}, LimitCase{false, "4", 180},
                                         LimitCase{true, "4", 90}, LimitCase{false, "5", 144},
                                         LimitCase{true, "5", 72}, LimitCase{false, "6", 120},
                                         LimitCase{true, "6", 60}, LimitCase{false, "8", 90},
                                         LimitCase{false, "10", 72}, LimitCase{false, "12", 60},
                                         // Halfway limits go to the even whole number.
                                         LimitCase{true, "16", 22}, LimitCase{true, "48", 8},
                                         LimitCase{false, "7", 103}));

TEST(Validation, equalThrottlePointsFailEvenWithoutPortedAdvance) {
    tune::Tune t = tune::Tune::startup(Edition::BEL);
    ASSERT_TRUE(t.option(Option::PortedNone));
    t.portedStartTPS = "1.5";
    t.portedFullTPS = "1.5";
    EXPECT_EQ(check(t), "TPS Start exceeds TPS Full!");
}

TEST(Validation, speedPointsOutOfOrderFail) {
    tune::Tune t = tune::Tune::startup(Edition::BEL);
    t.portedStartRPM = "2000";
    t.portedFullRPM = "1500";
    EXPECT_EQ(check(t), "RPM Start exceeds RPM Full!");
    t.portedFullRPM = "2000";
    EXPECT_EQ(check(t), "RPM Start exceeds RPM Full!");
}

TEST(Validation, qoltSkipsBothTimingRules) {
    tune::Tune t = tune::Tune::startup(Edition::QOLT);
    t.staticTiming = "0.0";
    EXPECT_EQ(check(t, Edition::QOLT), std::nullopt);
    t.portedFullTPS = "0.5";
    EXPECT_EQ(check(t, Edition::QOLT), "TPS Start exceeds TPS Full!");
}

TEST(Validation, belRequiresZeroKnockIncrement) {
    tune::Tune t = tune::Tune::startup(Edition::BEL);
    t.knockIncr.select(1);
    EXPECT_EQ(check(t, Edition::BEL), "\"Retard increase per knock detect\"\r\nmust be set to 0.0");
    t.knockIncr.select(0);
    EXPECT_EQ(check(t, Edition::BEL), std::nullopt);
}

TEST(Validation, otherEditionsAcceptAnyKnockIncrement) {
    for (Edition e : {Edition::RUK, Edition::ZAV, Edition::QOLT}) {
        tune::Tune t = tune::Tune::startup(e);
        t.knockIncr.select(8);
        EXPECT_EQ(check(t, e), std::nullopt);
    }
}

TEST(Validation, onlyTheFirstBrokenRuleIsReported) {
    tune::Tune t = tune::Tune::startup(Edition::BEL);
    t.knockIncr.select(1);
    t.portedFullRPM = "0";
    t.portedFullTPS = "0";
    t.cylinders.select(7);
    t.staticTiming = "70";
    t.baseTiming[2] = "80";
    EXPECT_EQ(check(t), "Base Timing must be less than Static Timing!");
    t.baseTiming[2] = "24";
    EXPECT_EQ(check(t), "For a 4-stroke 12 cylinder\r\nthe Static Timing can not exceed 60!");
    t.staticTiming = "45.0";
    EXPECT_EQ(check(t), "TPS Start exceeds TPS Full!");
    t.portedFullTPS = "1.5";
    EXPECT_EQ(check(t), "RPM Start exceeds RPM Full!");
    t.portedFullRPM = "2000";
    EXPECT_EQ(check(t), "\"Retard increase per knock detect\"\r\nmust be set to 0.0");
}

TEST(Validation, anEmptyCylinderCountDoesNotCrash) {
    tune::Tune t = tune::Tune::startup(Edition::BEL);
    t.cylinders.select(-1);
    EXPECT_EQ(check(t), std::nullopt);
}

}  // namespace

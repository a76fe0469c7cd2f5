#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <tuple>

#include "tune/Tune.h"
#include "tune/Validation.h"

namespace {

using tune::Edition;

std::optional<std::string> check(const tune::Tune& t, Edition e = Edition::BEL) {
    return tune::firstBrokenRule(t, e);
}

TEST(Validation, theStartupTunePassesInEveryEditionAndAnEmptyCylinderCountDoesNotCrash) {
    for (Edition e : {Edition::RUK, Edition::BEL, Edition::ZAV, Edition::QOLT})
        EXPECT_EQ(check(tune::Tune::startup(e), e), std::nullopt);
    tune::Tune t = tune::Tune::startup(Edition::BEL);
    t.cylinders.select(-1);
    EXPECT_EQ(check(t), std::nullopt);
}

TEST(Validation, onlyTheFirstBrokenRuleIsReportedInRuleOrder) {
    tune::Tune t = tune::Tune::startup(Edition::BEL);
    t.knockIncr.select(1);
    t.portedFullRPM = "1500";  // equal points fail even without ported advance
    t.portedFullTPS = "1.0";
    t.cylinders.select(7);
    t.staticTiming = "70";
    t.baseTiming[2] = "7 0abc";  // uncommitted text is read as the field would commit it
    EXPECT_EQ(check(t), "Base Timing must be less than Static Timing!");
    t.baseTiming[2] = "24";
    EXPECT_EQ(check(t), "For a 4-stroke 12 cylinder\r\nthe Static Timing can not exceed 60!");
    t.staticTiming = "45.0";
    EXPECT_EQ(check(t), "TPS Start exceeds TPS Full!");
    t.portedFullTPS = "1.5";
    EXPECT_EQ(check(t), "RPM Start exceeds RPM Full!");
    t.portedFullRPM = "2000";
    EXPECT_EQ(check(t), "\"Retard increase per knock detect\"\r\nmust be set to 0.0");
    t.knockIncr.select(0);
    EXPECT_EQ(check(t), std::nullopt);
}

// The limit is the crank angle between sparks; halfway limits go to the even whole number.
TEST(Validation, staticTimingMayReachTheCrankAngleBetweenSparksAndNoMore) {
    const std::tuple<bool, std::string, int> cases[] = {{true, "1", 360}, {false, "2", 360},
                                                        {true, "4", 90},  {false, "12", 60},
                                                        {true, "16", 22}, {false, "7", 103}};
    for (const auto& [twoStroke, cylinders, limit] : cases) {
        const std::string stroke = twoStroke ? "2" : "4";
        SCOPED_TRACE(stroke + "-stroke " + cylinders);
        tune::Tune t = tune::Tune::startup(Edition::RUK);
        t.setOption(twoStroke ? tune::Option::Stroke2 : tune::Option::Stroke4, true);
        t.cylinders.text = cylinders;
        t.baseTiming = {"0", "0", "0", "0", "0", "0"};
        t.staticTiming = std::to_string(limit);
        EXPECT_EQ(check(t, Edition::RUK), std::nullopt);
        t.staticTiming = std::to_string(limit) + ".5";
        EXPECT_EQ(check(t, Edition::RUK), "For a " + stroke + "-stroke " + cylinders +
                                              " cylinder\r\nthe Static Timing can not exceed " +
                                              std::to_string(limit) + "!");
    }
}

TEST(Validation, qoltSkipsTheTimingRulesAndOnlyBelLimitsTheKnockIncrement) {
    tune::Tune t = tune::Tune::startup(Edition::QOLT);
    t.staticTiming = "0.0";
    t.knockIncr.select(8);
    EXPECT_EQ(check(t, Edition::QOLT), std::nullopt);
    t = tune::Tune::startup(Edition::ZAV);
    t.knockIncr.select(8);
    EXPECT_EQ(check(t, Edition::ZAV), std::nullopt);
}

}  // namespace

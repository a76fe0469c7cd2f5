#include <gtest/gtest.h>

#include <optional>

#include "link/Transfer.h"
#include "tune/Tune.h"

namespace {

using link::Refusal;
using tune::Edition;
using tune::Option;
using tune::Single;
using tune::Table;
using tune::Tune;

constexpr link::EngineConstants kUntouched{-7, -8, -9};

TEST(SendCheck, startupTuneMayBeSentAndGivesItsConstants) {
    link::EngineConstants constants = kUntouched;
    EXPECT_EQ(link::checkBeforeSend(Tune::startup(Edition::BEL), Edition::BEL, constants),
              std::nullopt);
    EXPECT_EQ(constants.rpmK, 6912000);
    EXPECT_EQ(constants.delayK, 364);
    EXPECT_EQ(constants.msdK, 90);
}

TEST(SendCheck, sixteenSparksAreRefusedWithTheCylinderMessageAndKeepTheConstants) {
    Tune tune = Tune::startup(Edition::BEL);
    tune.setOption(Option::Stroke2, true);
    tune.cylinders.text = "8";
    link::EngineConstants constants = kUntouched;
    EXPECT_EQ(link::checkBeforeSend(tune, Edition::BEL, constants),
              (Refusal{"Can not Download!)", "Verify the Cylinder Count"}));
    EXPECT_EQ(constants.rpmK, -7);
    EXPECT_EQ(constants.delayK, -8);
    EXPECT_EQ(constants.msdK, -9);
}

TEST(SendCheck, sixCylinderTwoStrokeGoesOn) {
    Tune tune = Tune::startup(Edition::BEL);
    tune.setOption(Option::Stroke2, true);
    ASSERT_TRUE(tune.cylinders.selectText("6"));
    tune.text(Single::Static) = "45.0";
    link::EngineConstants constants = kUntouched;
    EXPECT_EQ(link::checkBeforeSend(tune, Edition::BEL, constants), std::nullopt);
    EXPECT_EQ(constants.rpmK, 2304000);
}

TEST(SendCheck, cylinderCountIsCheckedBeforeTheValidationRules) {
    Tune tune = Tune::startup(Edition::BEL);
    tune.cylinders.text = "";
    tune.text(Single::Static) = "0.0";
    tune.text(Single::PortedFullTPS) = "0.0";
    link::EngineConstants constants = kUntouched;
    const std::optional<Refusal> refusal = link::checkBeforeSend(tune, Edition::BEL, constants);
    ASSERT_TRUE(refusal.has_value());
    EXPECT_EQ(refusal->message, "Verify the Cylinder Count");
}

TEST(SendCheck, brokenRuleIsReportedUnderItsOwnTitleAfterTheConstantsWereStored) {
    Tune tune = Tune::startup(Edition::BEL);
    tune.text(Table::BaseTiming, 5) = "45";
    link::EngineConstants constants = kUntouched;
    EXPECT_EQ(link::checkBeforeSend(tune, Edition::BEL, constants),
              (Refusal{"Can not Download!", "Base Timing must be less than Static Timing!"}));
    EXPECT_EQ(constants.rpmK, 6912000);
}

TEST(SendCheck, onlyTheFirstBrokenRuleIsReported) {
    Tune tune = Tune::startup(Edition::BEL);
    tune.text(Single::PortedStartTPS) = "1.5";
    tune.text(Single::PortedStartRPM) = "2000";
    tune.text(Single::PortedFullRPM) = "1500";
    link::EngineConstants constants;
    const std::optional<Refusal> refusal = link::checkBeforeSend(tune, Edition::BEL, constants);
    ASSERT_TRUE(refusal.has_value());
    EXPECT_EQ(refusal->message, "TPS Start exceeds TPS Full!");
}

TEST(SendCheck, knockIncrementIsRefusedInBelOnly) {
    Tune tune = Tune::startup(Edition::BEL);
    ASSERT_TRUE(tune.knockIncr.selectText("0.5"));
    link::EngineConstants constants;
    EXPECT_EQ(link::checkBeforeSend(tune, Edition::BEL, constants),
              (Refusal{"Can not Download!",
                       "\"Retard increase per knock detect\"\r\nmust be set to 0.0"}));
    EXPECT_EQ(link::checkBeforeSend(tune, Edition::RUK, constants), std::nullopt);
}

TEST(SendCheck, staticTimingLimitMessageHasTwoLines) {
    Tune tune = Tune::startup(Edition::BEL);
    ASSERT_TRUE(tune.cylinders.selectText("8"));
    tune.text(Single::Static) = "95.0";
    link::EngineConstants constants;
    EXPECT_EQ(link::checkBeforeSend(tune, Edition::RUK, constants),
              (Refusal{"Can not Download!",
                       "For a 4-stroke 8 cylinder\r\nthe Static Timing can not exceed 90!"}));
}

}  // namespace

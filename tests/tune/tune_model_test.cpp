#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tune/Edition.h"
#include "tune/Tune.h"

namespace {

using tune::Edition;
using tune::Option;
using Entries = std::vector<std::string>;

const Entries kStroke4List{"2", "3", "4", "5", "6", "8", "10", "12"};
const Entries kStroke2List{"1", "2", "3", "4", "5", "6"};

// --- Editions ---------------------------------------------------------------------------

struct EditionCase {
    std::string commandLine;
    Edition edition;
    std::string editionName;
    std::string appName;
};

class CommandLine : public testing::TestWithParam<EditionCase> {};

TEST_P(CommandLine, selectsTheEditionByItsWholeTextInAnyCase) {
    const tune::EditionInfo info = tune::editionFromCommandLine(GetParam().commandLine);
    EXPECT_EQ(info.edition, GetParam().edition);
    EXPECT_EQ(info.editionName, GetParam().editionName);
    EXPECT_EQ(info.appName, GetParam().appName);
}

INSTANTIATE_TEST_SUITE_P(Keywords, CommandLine,
                         testing::Values(EditionCase{"RUK", Edition::RUK, "Ruk", "Volcrestone"},
                                         EditionCase{"BEL", Edition::BEL, "BEL", "Volcrestone"},
                                         EditionCase{"ZAV", Edition::ZAV, "ZAVI", "Volcrestone"},
                                         EditionCase{"qolt", Edition::QOLT, "QOLT", "Ferrodyn"},
                                         EditionCase{"Zav", Edition::ZAV, "ZAVI", "Volcrestone"},
                                         EditionCase{"", Edition::BEL, "BEL", "Volcrestone"},
                                         EditionCase{"QOLT extra", Edition::BEL, "BEL",
                                                     "Volcrestone"},
                                         EditionCase{" RUK", Edition::BEL, "BEL", "Volcrestone"},
                                         EditionCase{"ZAVI", Edition::BEL, "BEL", "Volcrestone"}));

TEST(DefaultEdition, isBel) {
    EXPECT_EQ(tune::defaultEdition(), Edition::BEL);
}

// --- Start-up values ----------------------------------------------------------------------

TEST(Startup, belHoldsTheInitialValuesOfEveryField) {
    const tune::Tune t = tune::Tune::startup(Edition::BEL);
    EXPECT_EQ(t.rpm, (std::array<std::string, 6>{"1000", "2500", "3500", "4500", "5500", "6500"}));
    EXPECT_EQ(t.baseTiming, (std::array<std::string, 6>{"8", "18", "24", "32", "32", "30"}));
    EXPECT_EQ(t.map, (std::array<std::string, 6>{"40", "60", "80", "100", "140", "160"}));
    EXPECT_EQ(t.mapAdj, (std::array<std::string, 6>{"+6", "+4", "+2", "0", "-2", "-5"}));
    EXPECT_EQ(t.staticTiming, "45.0");
    EXPECT_EQ(t.crankAdv, "6");
    EXPECT_EQ(t.crankRPM, "300");
    EXPECT_EQ(t.rpmLimit, "1200");
    EXPECT_EQ(t.portedStartTPS, "1.0");
    EXPECT_EQ(t.portedFullTPS, "1.5");
    EXPECT_EQ(t.portedStartRPM, "1500");
    EXPECT_EQ(t.portedFullRPM, "2000");
    EXPECT_EQ(t.unwindRate, "25");
    EXPECT_EQ(t.cylinders.entries, kStroke4List);
    EXPECT_EQ(t.cylinders.index, 2);
    EXPECT_EQ(t.cylinders.text, "4");
    EXPECT_EQ(t.crankDelay.entries, (Entries{"2", "3", "4", "5", "6", "7", "8"}));
    EXPECT_EQ(t.crankDelay.text, "3");
    EXPECT_EQ(t.xled.entries, (Entries{"Reset", "Knock", "Input"}));
    EXPECT_EQ(t.xled.index, 0);
    EXPECT_EQ(t.knockIncr.entries,
              (Entries{"0.0", "0.5", "1.0", "1.5", "2.0", "2.5", "3.0", "3.5", "4.0"}));
    EXPECT_EQ(t.knockIncr.text, "0.0");
    EXPECT_EQ(
        t.limitType.entries,
        (Entries{"  ** DISABLED **", "100% Hard, all", " 80%  Firm, 4 of 5", " 75%  Firm, 3 of 4",
                 " 67%  Firm, 2 of 3", " 60%  Firm, 3 of 5", " 50%  Soft, 1 of 2",
                 " 40%  Soft, 2 of 5", " 33%  Soft, 1 of 3", " 25%  Soft, 1 of 4"}));
    EXPECT_EQ(t.limitType.index, 0);
    for (const tune::Output& out : t.outputs) {
        EXPECT_EQ(out.channel.entries, (Entries{"RPM", "MAP", "MAT", "CLT", "TPS", "BAT", "EGO",
                                                "AFR", "IGN", "AD6", "AD7"}));
        EXPECT_EQ(out.channel.text, "RPM");
        EXPECT_EQ(out.raw, "0");
        EXPECT_EQ(out.text, "0");
    }
    EXPECT_EQ(t.oddFire, 0);
    EXPECT_EQ(t.invertSpout, 0);
    EXPECT_EQ(t.check1, 1);
}

TEST(Startup, selectsOneOptionOfEveryGroup) {
    const tune::Tune t = tune::Tune::startup(Edition::RUK);
    EXPECT_TRUE(t.option(Option::Stroke4));
    EXPECT_FALSE(t.option(Option::Stroke2));
    EXPECT_TRUE(t.option(Option::PortedNone));
    EXPECT_FALSE(t.option(Option::PortedTPS));
    EXPECT_FALSE(t.option(Option::PortedRPM));
    EXPECT_TRUE(t.option(Option::Map250));
    EXPECT_FALSE(t.option(Option::Map115));
    EXPECT_TRUE(t.option(Option::Drop));
    EXPECT_FALSE(t.option(Option::Retard));
    EXPECT_TRUE(t.option(Option::UnwindMsec));
    EXPECT_FALSE(t.option(Option::UnwindSpark));
}

TEST(Startup, zavLeavesTheIndicatorListWithoutSelection) {
    const tune::Tune t = tune::Tune::startup(Edition::ZAV);
    EXPECT_EQ(t.xled.index, -1);
    EXPECT_EQ(t.xled.text, "");
    EXPECT_EQ(t.xled.entries.size(), 3u);
}

TEST(Startup, qoltHasTheFixedCylinderListAndNoStroke) {
    const tune::Tune t = tune::Tune::startup(Edition::QOLT);
    EXPECT_EQ(t.cylinders.entries, (Entries{"4", "6", "8"}));
    EXPECT_EQ(t.cylinders.index, 0);
    EXPECT_EQ(t.cylinders.text, "4");
    EXPECT_FALSE(t.option(Option::Stroke4));
    EXPECT_FALSE(t.option(Option::Stroke2));
    EXPECT_EQ(t.xled.text, "Reset");
}

// --- Option groups and the cylinder list ------------------------------------------------

TEST(OptionGroups, selectingOneClearsTheOthersOfItsGroupOnly) {
    tune::Tune t = tune::Tune::startup(Edition::BEL);
    t.setOption(Option::PortedTPS, true);
    EXPECT_TRUE(t.option(Option::PortedTPS));
    EXPECT_FALSE(t.option(Option::PortedNone));
    EXPECT_TRUE(t.option(Option::Map250));
    t.setOption(Option::Retard, true);
    EXPECT_FALSE(t.option(Option::Drop));
    EXPECT_TRUE(t.option(Option::UnwindMsec));
}

TEST(OptionGroups, clearingAnOptionLeavesItsGroupWithoutSelection) {
    tune::Tune t = tune::Tune::startup(Edition::BEL);
    t.setOption(Option::Map250, false);
    EXPECT_FALSE(t.option(Option::Map250));
    EXPECT_FALSE(t.option(Option::Map115));
}

struct StrokeCase {
    int stroke4Index;  // selected in the 4-stroke list before the switch
    int stroke2Index;
    std::string stroke2Text;
};

class StrokeSwitch : public testing::TestWithParam<StrokeCase> {};

TEST_P(StrokeSwitch, to2StrokeKeepsTheCountOrTakesTheLargest) {
    tune::Tune t = tune::Tune::startup(Edition::BEL);
    t.cylinders.select(GetParam().stroke4Index);
    t.setOption(Option::Stroke2, true);
    EXPECT_EQ(t.cylinders.entries, kStroke2List);
    EXPECT_EQ(t.cylinders.index, GetParam().stroke2Index);
    EXPECT_EQ(t.cylinders.text, GetParam().stroke2Text);
    EXPECT_FALSE(t.option(Option::Stroke4));
}

INSTANTIATE_TEST_SUITE_P(Counts, StrokeSwitch,
                         testing::Values(StrokeCase{0, 1, "2"}, StrokeCase{2, 3, "4"},
                                         StrokeCase{4, 5, "6"}, StrokeCase{5, 5, "6"},
                                         StrokeCase{6, 5, "6"}, StrokeCase{7, 5, "6"},
                                         StrokeCase{-1, 0, "1"}));

TEST(StrokeSwitchBack, returnsTo4StrokeOnePlaceEarlier) {
    tune::Tune t = tune::Tune::startup(Edition::BEL);
    t.setOption(Option::Stroke2, true);
    EXPECT_EQ(t.cylinders.text, "4");
    t.setOption(Option::Stroke4, true);
    EXPECT_EQ(t.cylinders.entries, kStroke4List);
    EXPECT_EQ(t.cylinders.index, 2);
    EXPECT_EQ(t.cylinders.text, "4");
}

TEST(StrokeSwitchBack, oneCylinder2StrokeBecomesTwoCylinders) {
    tune::Tune t = tune::Tune::startup(Edition::BEL);
    t.setOption(Option::Stroke2, true);
    t.cylinders.select(0);
    t.setOption(Option::Stroke4, true);
    EXPECT_EQ(t.cylinders.index, 0);
    EXPECT_EQ(t.cylinders.text, "2");
}

TEST(StrokeSwitchBack, noSelectionStaysNoSelection) {
    tune::Tune t = tune::Tune::startup(Edition::BEL);
    t.setOption(Option::Stroke2, true);
    t.cylinders.select(-1);
    t.setOption(Option::Stroke4, true);
    EXPECT_EQ(t.cylinders.entries, kStroke4List);
    EXPECT_EQ(t.cylinders.index, -1);
    EXPECT_EQ(t.cylinders.text, "");
}

TEST(StrokeEvents, reselectingTheSelectedStrokeDoesNotRebuildTheList) {
    tune::Tune t = tune::Tune::startup(Edition::BEL);
    t.cylinders.select(7);
    t.setOption(Option::Stroke4, true);
    EXPECT_EQ(t.cylinders.index, 7);
    EXPECT_EQ(t.cylinders.text, "12");
}

TEST(StrokeEvents, clearingAStrokeDoesNotRebuildTheList) {
    tune::Tune t = tune::Tune::startup(Edition::BEL);
    t.setOption(Option::Stroke4, false);
    t.setOption(Option::Stroke2, false);
    EXPECT_EQ(t.cylinders.entries, kStroke4List);
    EXPECT_EQ(t.cylinders.text, "4");
}

TEST(StrokeEvents, qoltFixedListIsReplacedWhenAStrokeIsSelected) {
    tune::Tune t = tune::Tune::startup(Edition::QOLT);
    t.setOption(Option::Stroke4, true);
    EXPECT_EQ(t.cylinders.entries, kStroke4List);
    EXPECT_EQ(t.cylinders.index, 0);
    EXPECT_EQ(t.cylinders.text, "2");
}

// --- Lists ----------------------------------------------------------------------------------

TEST(ListField, selectingPastTheEntriesChangesNothing) {
    tune::Tune t = tune::Tune::startup(Edition::BEL);
    EXPECT_FALSE(t.crankDelay.select(7));
    EXPECT_FALSE(t.crankDelay.select(-2));
    EXPECT_EQ(t.crankDelay.index, 1);
    EXPECT_EQ(t.crankDelay.text, "3");
}

TEST(ListField, selectingByTextNeedsAnExactEntry) {
    tune::Tune t = tune::Tune::startup(Edition::BEL);
    EXPECT_FALSE(t.xled.selectText("knock"));
    EXPECT_EQ(t.xled.text, "Reset");
    EXPECT_TRUE(t.xled.selectText("Knock"));
    EXPECT_EQ(t.xled.index, 1);
}

TEST(LimiterKey, isTheFirstThreeCharactersWithoutOuterBlanks) {
    EXPECT_EQ(tune::limiterKey(" 80%  Firm, 4 of 5"), "80%");
    EXPECT_EQ(tune::limiterKey("  ** DISABLED **"), "** ");
    EXPECT_EQ(tune::limiterKey("100% Hard, all"), "100");
    EXPECT_EQ(tune::limiterKey(" 25%  Soft, 1 of 4"), "25%");
    EXPECT_EQ(tune::limiterKey("  ab  "), "ab");
    EXPECT_EQ(tune::limiterKey(""), "");
}

// --- Output thresholds ---------------------------------------------------------------------

void show(tune::Tune& t, int output, const std::string& channel) {
    ASSERT_TRUE(t.outputs[static_cast<std::size_t>(output)].channel.selectText(channel));
    t.channelChanged(output);
}

struct RawCase {
    std::string channel;
    std::string raw;
    std::string text;
};

class RawToText : public testing::TestWithParam<RawCase> {};

TEST_P(RawToText, showsTheRawCodeInTheChannelsUnit) {
    tune::Tune t = tune::Tune::startup(Edition::BEL);
    t.outputs[1].raw = GetParam().raw;
    show(t, 1, GetParam().channel);
    EXPECT_EQ(t.outputs[1].text, GetParam().text);
    EXPECT_EQ(t.outputs[1].raw, GetParam().raw);
}

INSTANTIATE_TEST_SUITE_P(
    Channels, RawToText,
    testing::Values(RawCase{"RPM", "60", "3000"}, RawCase{"MAP", "60", "60"},
                    RawCase{"TPS", "60", "1.18"}, RawCase{"IGN", "60", "-2.0"},
                    RawCase{"CLT", "60", "20"}, RawCase{"TPS", "51", "1.00"},
                    RawCase{"TPS", "255", "5.00"}, RawCase{"EGO", "255", "5.00"},
                    RawCase{"AD6", "51", "1.00"}, RawCase{"AD7", "0", "0.00"},
                    RawCase{"IGN", "0", "-32.0"}, RawCase{"IGN", "255", "95.5"},
                    RawCase{"CLT", "0", "-40"}, RawCase{"CLT", "255", "215"},
                    RawCase{"MAT", "0", "-40"}, RawCase{"BAT", "255", "25.5"},
                    RawCase{"AFR", "147", "14.7"}, RawCase{"RPM", "255", "12750"}));

struct CommitCase {
    std::string channel;
    std::string typed;
    std::string raw;
    std::string text;
};

class ThresholdCommit : public testing::TestWithParam<CommitCase> {};

TEST_P(ThresholdCommit, storesTheNearestRawCodeAndRewritesTheText) {
    tune::Tune t = tune::Tune::startup(Edition::BEL);
    show(t, 0, GetParam().channel);
    t.outputs[0].text = GetParam().typed;
    t.commitOutput(0);
    EXPECT_EQ(t.outputs[0].raw, GetParam().raw);
    EXPECT_EQ(t.outputs[0].text, GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, ThresholdCommit,
    testing::Values(CommitCase{"RPM", "3025", "60", "3000"},
                    CommitCase{"RPM", "3075", "62", "3100"},
                    CommitCase{"RPM", "20000", "255", "12750"}, CommitCase{"RPM", "-100", "0", "0"},
                    CommitCase{"RPM", "1E20", "255", "12750"},
                    CommitCase{"RPM", "-1E400", "0", "0"}, CommitCase{"IGN", "10", "84", "10.0"},
                    CommitCase{"IGN", "abc", "64", "0.0"}, CommitCase{"MAT", "abc", "40", "0"},
                    CommitCase{"CLT", "", "40", "0"}, CommitCase{"TPS", "1.02", "52", "1.02"},
                    CommitCase{"BAT", "12.34", "123", "12.3"},
                    CommitCase{"MAP", "&H20", "32", "32"}));

TEST(ThresholdStep, tpsPageUpMovesOneRawCount) {
    tune::Tune t = tune::Tune::startup(Edition::BEL);
    t.outputs[0].raw = "51";
    show(t, 0, "TPS");
    t.stepOutput(0, true);
    EXPECT_EQ(t.outputs[0].raw, "52");
    EXPECT_EQ(t.outputs[0].text, "1.02");
}

TEST(ThresholdStep, everyChannelStepsExactlyOneCountFromEveryCommittedValue) {
    for (const std::string channel : {"RPM", "MAP", "MAT", "TPS", "BAT", "AFR", "IGN"}) {
        tune::Tune t = tune::Tune::startup(Edition::BEL);
        show(t, 0, channel);
        for (int raw = 0; raw < 255; ++raw) {
            t.stepOutput(0, true);
            ASSERT_EQ(t.outputs[0].raw, std::to_string(raw + 1)) << channel;
        }
        t.stepOutput(0, true);
        EXPECT_EQ(t.outputs[0].raw, "255") << channel;
        for (int raw = 255; raw > 0; --raw) {
            t.stepOutput(0, false);
            ASSERT_EQ(t.outputs[0].raw, std::to_string(raw - 1)) << channel;
        }
        t.stepOutput(0, false);
        EXPECT_EQ(t.outputs[0].raw, "0") << channel;
    }
}

TEST(ThresholdChannel, switchingKeepsTheRawCodeAndChangesOnlyTheText) {
    tune::Tune t = tune::Tune::startup(Edition::BEL);
    t.outputs[0].text = "3000";
    t.commitOutput(0);
    ASSERT_EQ(t.outputs[0].raw, "60");
    EXPECT_TRUE(t.selectChannel(0, 1));
    EXPECT_EQ(t.outputs[0].channel.text, "MAP");
    EXPECT_EQ(t.outputs[0].raw, "60");
    EXPECT_EQ(t.outputs[0].text, "60");
    EXPECT_EQ(t.outputs[1].text, "0");
}

TEST(ThresholdChannel, unknownChannelConvertsOneToOne) {
    tune::Tune t = tune::Tune::startup(Edition::BEL);
    t.outputs[0].channel.select(-1);
    EXPECT_EQ(t.outputScale(0), 1);
    EXPECT_EQ(t.outputOffset(0), 0);
    t.outputs[0].channel.text = "rpm";
    EXPECT_EQ(t.outputScale(0), 1);
}

TEST(ThresholdChannel, scalesAreHeldInSinglePrecision) {
    tune::Tune t = tune::Tune::startup(Edition::BEL);
    show(t, 0, "TPS");
    EXPECT_EQ(t.outputScale(0), static_cast<double>(0.019607844f));
    show(t, 0, "AFR");
    EXPECT_EQ(t.outputScale(0), static_cast<double>(0.1f));
    show(t, 0, "IGN");
    EXPECT_EQ(t.outputOffset(0), -32);
    show(t, 0, "CLT");
    EXPECT_EQ(t.outputOffset(0), -40);
}

}  // namespace

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <string>
#include <tuple>
#include <vector>

#include "tune/Edition.h"
#include "tune/Tune.h"

namespace {

using tune::Edition;
using tune::Option;
using Entries = std::vector<std::string>;

const Entries kStroke4List{"2", "3", "4", "5", "6", "8", "10", "12"};
const Entries kStroke2List{"1", "2", "3", "4", "5", "6"};

TEST(Editions, theCommandLineSelectsAnEditionByItsWholeTextInAnyCase) {
    const std::tuple<std::string, Edition, std::string, std::string> cases[] = {
        {"RUK", Edition::RUK, "Ruk", "Volcrestone"},  {"Zav", Edition::ZAV, "ZAVI", "Volcrestone"},
        {"qolt", Edition::QOLT, "QOLT", "Ferrodyn"},  {"", Edition::BEL, "BEL", "Volcrestone"},
        {" RUK", Edition::BEL, "BEL", "Volcrestone"}, {"ZAVI", Edition::BEL, "BEL", "Volcrestone"}};
    for (const auto& [commandLine, edition, editionName, appName] : cases) {
        SCOPED_TRACE('"' + commandLine + '"');
        const tune::EditionInfo info = tune::editionFromCommandLine(commandLine);
        EXPECT_EQ(info.edition, edition);
        EXPECT_EQ(info.editionName, editionName);
        EXPECT_EQ(info.appName, appName);
    }
}

// The start-up values themselves are checked through the settings text; these are the lists.
TEST(Startup, everyListHoldsItsEntries) {
    const tune::Tune t = tune::Tune::startup(Edition::BEL);
    EXPECT_EQ(t.cylinders.entries, kStroke4List);
    EXPECT_EQ(t.crankDelay.entries, (Entries{"2", "3", "4", "5", "6", "7", "8"}));
    EXPECT_EQ(t.xled.entries, (Entries{"Reset", "Knock", "Input"}));
    EXPECT_EQ(t.knockIncr.entries,
              (Entries{"0.0", "0.5", "1.0", "1.5", "2.0", "2.5", "3.0", "3.5", "4.0"}));
    EXPECT_EQ(
        t.limitType.entries,
        (Entries{"  ** DISABLED **", "100% Hard, all", " 80%  Firm, 4 of 5", " 75%  Firm, 3 of 4",
                 " 67%  Firm, 2 of 3", " 60%  Firm, 3 of 5", " 50%  Soft, 1 of 2",
                 " 40%  Soft, 2 of 5", " 33%  Soft, 1 of 3", " 25%  Soft, 1 of 4"}));
    for (const tune::Output& out : t.outputs)
        EXPECT_EQ(out.channel.entries, (Entries{"RPM", "MAP", "MAT", "CLT", "TPS", "BAT", "EGO",
                                                "AFR", "IGN", "AD6", "AD7"}));
    EXPECT_EQ(tune::Tune::startup(Edition::QOLT).cylinders.entries, (Entries{"4", "6", "8"}));
}

TEST(OptionGroups, selectingOneClearsTheOthersOfItsGroupOnlyAndClearingLeavesNone) {
    tune::Tune t = tune::Tune::startup(Edition::BEL);
    t.setOption(Option::PortedTPS, true);
    EXPECT_FALSE(t.option(Option::PortedNone));
    EXPECT_TRUE(t.option(Option::Map250));
    t.setOption(Option::Map250, false);
    EXPECT_FALSE(t.option(Option::Map115));
}

// To 2-stroke the count is kept or the largest taken; back to 4-stroke one place earlier.
TEST(StrokeSwitch, theCylinderListFollowsTheStrokeAndKeepsTheCountWherePossible) {
    const std::tuple<int, std::string, std::string> cases[] = {
        {0, "2", "2"}, {2, "4", "4"}, {4, "6", "6"}, {7, "6", "6"}, {-1, "1", "2"}};
    for (const auto& [stroke4Index, stroke2Text, backText] : cases) {
        SCOPED_TRACE(stroke4Index);
        tune::Tune t = tune::Tune::startup(Edition::BEL);
        t.cylinders.select(stroke4Index);
        t.setOption(Option::Stroke2, true);
        EXPECT_EQ(t.cylinders.entries, kStroke2List);
        EXPECT_EQ(t.cylinders.text, stroke2Text);
        t.setOption(Option::Stroke4, true);
        EXPECT_EQ(t.cylinders.entries, kStroke4List);
        EXPECT_EQ(t.cylinders.text, backText);
    }
}

TEST(StrokeSwitch, onlyANewlySelectedStrokeRebuildsTheListAndNoSelectionStaysNone) {
    tune::Tune t = tune::Tune::startup(Edition::BEL);
    t.cylinders.select(7);
    t.setOption(Option::Stroke4, true);
    t.setOption(Option::Stroke4, false);
    EXPECT_EQ(t.cylinders.text, "12");
    t.setOption(Option::Stroke2, true);
    t.cylinders.select(-1);
    t.setOption(Option::Stroke4, true);
    EXPECT_EQ(t.cylinders.index, -1);
}

void show(tune::Tune& t, int output, const std::string& channel) {
    ASSERT_TRUE(t.outputs[static_cast<std::size_t>(output)].channel.selectText(channel));
    t.channelChanged(output);
}

TEST(Thresholds, theRawCodeIsShownInTheChannelsUnitAndKeptWhenTheChannelChanges) {
    const std::array<std::string, 3> cases[] = {
        {"RPM", "60", "3000"},  {"MAP", "60", "60"},    {"TPS", "60", "1.18"},
        {"EGO", "255", "5.00"}, {"IGN", "255", "95.5"}, {"CLT", "0", "-40"},
        {"MAT", "255", "215"},  {"BAT", "255", "25.5"}, {"AFR", "147", "14.7"}};
    for (const auto& [channel, raw, text] : cases) {
        SCOPED_TRACE(channel + " " + raw);
        tune::Tune t = tune::Tune::startup(Edition::BEL);
        t.outputs[1].raw = raw;
        show(t, 1, channel);
        EXPECT_EQ(t.outputs[1].text, text);
        EXPECT_EQ(t.outputs[1].raw, raw);
    }
}

TEST(Thresholds, commitStoresTheNearestRawCodeAndRewritesTheText) {
    const std::array<std::string, 4> cases[] = {
        {"RPM", "3025", "60", "3000"},   {"RPM", "3075", "62", "3100"},
        {"RPM", "1E20", "255", "12750"}, {"RPM", "-1E400", "0", "0"},
        {"IGN", "abc", "64", "0.0"},     {"CLT", "", "40", "0"},
        {"TPS", "1.02", "52", "1.02"},   {"BAT", "12.34", "123", "12.3"},
        {"MAP", "&H20", "32", "32"}};
    for (const auto& [channel, typed, raw, text] : cases) {
        SCOPED_TRACE(channel + " " + typed);
        tune::Tune t = tune::Tune::startup(Edition::BEL);
        show(t, 0, channel);
        t.outputs[0].text = typed;
        t.commitOutput(0);
        EXPECT_EQ(t.outputs[0].raw, raw);
        EXPECT_EQ(t.outputs[0].text, text);
    }
}

TEST(Thresholds, everyChannelStepsExactlyOneCountFromEveryCommittedValue) {
    for (const std::string channel : {"RPM", "MAP", "MAT", "TPS", "BAT", "AFR", "IGN"}) {
        tune::Tune t = tune::Tune::startup(Edition::BEL);
        show(t, 0, channel);
        for (int raw = 1; raw <= 256; ++raw) {
            t.stepOutput(0, true);
            ASSERT_EQ(t.outputs[0].raw, std::to_string(std::min(raw, 255))) << channel;
        }
        for (int raw = 254; raw >= -1; --raw) {
            t.stepOutput(0, false);
            ASSERT_EQ(t.outputs[0].raw, std::to_string(std::max(raw, 0))) << channel;
        }
    }
}

TEST(Thresholds, scalesAreSinglePrecisionAndAnUnknownChannelConvertsOneToOne) {
    tune::Tune t = tune::Tune::startup(Edition::BEL);
    show(t, 0, "TPS");
    EXPECT_EQ(t.outputScale(0), static_cast<double>(0.019607844f));
    t.outputs[0].channel.select(-1);
    EXPECT_EQ(t.outputScale(0), 1);
    EXPECT_EQ(t.outputOffset(0), 0);
}

}  // namespace

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
    const std::tuple<std::string, Edition, std::string> cases[] = {
        {"RUK", Edition::RUK, "Ruk"},    {"Zav", Edition::ZAV, "ZAVI"},
        {"qolt", Edition::QOLT, "QOLT"}, {"", Edition::BEL, "BEL"},
        {" RUK", Edition::BEL, "BEL"},   {"ZAVI", Edition::BEL, "BEL"}};
    for (const auto& [commandLine, edition, editionName] : cases) {
        SCOPED_TRACE('"' + commandLine + '"');
        const tune::EditionInfo info = tune::editionFromCommandLine(commandLine);
        EXPECT_EQ(info.edition, edition);
        EXPECT_EQ(info.editionName, editionName);
    }
}

TEST(Startup, everyListHoldsItsEntries) {
    const tune::Tune t = tune::Tune::startup(Edition::BEL);
    EXPECT_EQ(t.cylinders.entries, kStroke4List);
    EXPECT_EQ(t.knockIncr.entries,
              (Entries{"0.0", "0.5", "1.0", "1.5", "2.0", "2.5", "3.0", "3.5", "4.0"}));
    EXPECT_EQ(
        t.limitType.entries,
        (Entries{"  ** DISABLED **", "100% Hard, all", " 80%  Firm, 4 of 5", " 75%  Firm, 3 of 4",
                 " 67%  Firm, 2 of 3", " 60%  Firm, 3 of 5", " 50%  Soft, 1 of 2",
                 " 40%  Soft, 2 of 5", " 33%  Soft, 1 of 3", " 25%  Soft, 1 of 4"}));
    EXPECT_EQ(t.outputs[1].channel.entries, (Entries{"RPM", "MAP", "MAT", "CLT", "TPS", "BAT",
                                                     "EGO", "AFR", "IGN", "AD6", "AD7"}));
    EXPECT_EQ(tune::Tune::startup(Edition::QOLT).cylinders.entries, (Entries{"4", "6", "8"}));
}

// To 2-stroke the count is kept or the largest taken; back to 4-stroke one place earlier.
TEST(StrokeSwitch, theCylinderListFollowsTheStrokeAndKeepsTheCountWherePossible) {
    const std::tuple<int, std::string, std::string> cases[] = {
        {0, "2", "2"}, {4, "6", "6"}, {7, "6", "6"}, {-1, "1", "2"}};
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

TEST(OptionGroups, selectingOneClearsOnlyItsGroupAndOnlyANewStrokeRebuildsTheCylinderList) {
    tune::Tune t = tune::Tune::startup(Edition::BEL);
    t.setOption(Option::PortedTPS, true);
    EXPECT_TRUE(!t.option(Option::PortedNone) && t.option(Option::Map250));
    t.setOption(Option::Map250, false);
    EXPECT_FALSE(t.option(Option::Map115));
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

// "14.75" lies a hair below 147.5 counts of the single-precision 0.1, so it commits to 147; in
// double precision it would be exactly halfway and go to the even 148.
TEST(Thresholds, theRawCodeIsShownInTheChannelsUnitAndCommitStoresTheNearestCode) {
    const std::array<std::string, 6> cases[] = {{"RPM", "62", "3100", "3025", "60", "3000"},
                                                {"MAP", "60", "60", "1E20", "255", "255"},
                                                {"TPS", "60", "1.18", "1.02", "52", "1.02"},
                                                {"EGO", "255", "5.00", "-1E400", "0", "0.00"},
                                                {"IGN", "255", "95.5", "abc", "64", "0.0"},
                                                {"CLT", "0", "-40", "", "40", "0"},
                                                {"BAT", "255", "25.5", "14.75", "147", "14.7"},
                                                {"AFR", "100", "10.0", "14.75", "147", "14.7"}};
    for (const auto& [channel, raw, shown, typed, committedRaw, committedText] : cases) {
        SCOPED_TRACE(channel + " " + raw + " " + typed);
        tune::Tune t = tune::Tune::startup(Edition::BEL);
        t.outputs[1].raw = raw;
        show(t, 1, channel);
        EXPECT_EQ(t.outputs[1].text, shown);
        EXPECT_EQ(t.outputs[1].raw, raw);
        t.outputs[1].text = typed;
        t.commitOutput(1);
        EXPECT_EQ(t.outputs[1].raw + " " + t.outputs[1].text, committedRaw + " " + committedText);
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

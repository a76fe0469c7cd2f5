// The Tune as the Setup window edits it: editions, lists, options, thresholds, how typed text
// commits, and the rules a Tune must pass before it is sent.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <optional>
#include <string>
#include <tuple>
#include <variant>
#include <vector>

#include "tune/Edition.h"
#include "tune/FieldRules.h"
#include "tune/Tune.h"
#include "tune/Validation.h"

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
        EXPECT_EQ(std::pair(info.edition, info.editionName), std::pair(edition, editionName));
    }
}

TEST(Startup, everyListHoldsItsEntries) {
    const tune::Tune t = tune::Tune::startup(Edition::BEL);  // cylinders: see the Options test
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

// To 2-stroke the count is kept or the largest taken; back to 4-stroke one place earlier. Only a
// stroke that was not selected before rebuilds the list, and other groups are left alone.
TEST(Options, aNewStrokeRebuildsTheCylinderListKeepingTheCountAndEachGroupClearsOnlyItself) {
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

// An empty channel is none selected, which converts one to one.
void show(tune::Tune& t, int output, const std::string& channel) {
    tune::ListField& list = t.outputs[static_cast<std::size_t>(output)].channel;
    ASSERT_TRUE(channel.empty() ? list.select(-1) : list.selectText(channel));
    t.channelChanged(output);
}

// The scales are single precision: "0.5" V is a hair below 25.5 counts of 5/255 V, and "14.75"
// a hair below 147.5 counts of 0.1; in double precision both would be halfway and go to even.
TEST(Thresholds, theRawCodeIsShownInTheChannelsUnitAndCommitStoresTheNearestCode) {
    const std::array<std::string, 6> cases[] = {{"MAP", "60", "60", "1E20", "255", "255"},
                                                {"TPS", "60", "1.18", "0.5", "25", "0.49"},
                                                {"EGO", "255", "5.00", "-1E400", "0", "0.00"},
                                                {"IGN", "255", "95.5", "abc", "64", "0.0"},
                                                {"CLT", "0", "-40", "", "40", "0"},
                                                {"BAT", "255", "25.5", "14.75", "147", "14.7"},
                                                {"", "60", "60", "14.75", "15", "15"}};
    for (const auto& [channel, raw, shown, typed, committedRaw, committedText] : cases) {
        SCOPED_TRACE(channel + " " + raw + " " + typed);
        tune::Tune t = tune::Tune::startup(Edition::BEL);
        t.outputs[1].raw = raw;
        show(t, 1, channel);
        EXPECT_EQ(t.outputs[1].text, shown);
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

using Field = std::variant<tune::Table, tune::Single>;

// A step of 0 commits the typed text; 1 and -1 are PageUp and PageDown from it.
TEST(FieldRules, commitAndPageKeysWriteTheCanonicalTextOfTheSnappedAndClampedValue) {
    using tune::Single;
    using tune::Table;
    const std::tuple<Field, std::string, int, std::string> cases[] = {
        {Table::RPM, "2599.6", 0, "2600"},      {Table::RPM, "1E20", 0, "12700"},
        {Table::MapAdj, "0.4", 0, "0"},         {Table::MapAdj, "-1E400", 0, "-32"},
        {Single::CrankRPM, "", 0, "50"},        {Single::UnwindRate, "256", 0, "255"},
        {Table::BaseTiming, "45", 1, "45"},     {Table::RPM, "1050", 1, "1100"},
        {Table::MapAdj, "0", 1, "+1"},          {Single::Static, "45.0", -1, "44.5"},
        {Single::CrankRPM, "50", -1, "50"},     {Single::CrankAdv, "", 1, "1"},
        {Single::PortedFullTPS, "6", 0, "5.0"}, {Single::PortedFullTPS, "0.1", -1, "0.0"}};
    for (const auto& [field, typed, step, result] : cases) {
        SCOPED_TRACE('"' + typed + "\" step " + std::to_string(step));
        const tune::FieldRule& rule =
            std::visit([](auto f) -> const tune::FieldRule& { return tune::ruleFor(f); }, field);
        EXPECT_EQ(
            step == 0 ? tune::committedText(rule, typed) : tune::steppedText(rule, typed, step > 0),
            result);
    }
}

std::optional<std::string> check(const tune::Tune& t, Edition e = Edition::BEL) {
    return tune::firstBrokenRule(t, e);
}

const std::string kKnockRule = "\"Retard increase per knock detect\"\r\nmust be set to 0.0";

TEST(Validation, startupTunesPassOnlyBelLimitsTheKnockIncrementAndQoltSkipsTheTimingRules) {
    for (Edition e : {Edition::RUK, Edition::BEL, Edition::ZAV, Edition::QOLT}) {
        SCOPED_TRACE(static_cast<int>(e));
        tune::Tune t = tune::Tune::startup(e);
        EXPECT_EQ(check(t, e), std::nullopt);
        t.knockIncr.select(8);
        t.staticTiming = e == Edition::QOLT ? "0.0" : "45.0";
        EXPECT_EQ(check(t, e), e == Edition::BEL ? std::optional(kKnockRule) : std::nullopt);
    }
    tune::Tune t = tune::Tune::startup(Edition::BEL);
    t.cylinders.select(-1);  // no count: no limit, and no crash
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
    EXPECT_EQ(check(t), kKnockRule);  // the last rule: see the start-up tunes' test
}

// The limit is the crank angle between sparks; halfway limits go to the even whole number.
TEST(Validation, staticTimingMayReachTheCrankAngleBetweenSparksAndNoMore) {
    const std::tuple<bool, std::string, int> cases[] = {
        {true, "1", 360}, {true, "4", 90}, {true, "16", 22}, {false, "7", 103}};
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

}  // namespace

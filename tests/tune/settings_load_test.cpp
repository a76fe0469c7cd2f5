#include <gtest/gtest.h>

#include <string>

#include "tune/SettingsFile.h"
#include "tune/SettingsText.h"
#include "tune/Tune.h"

namespace {

using tune::Edition;
using tune::Option;

// Twelve lines as a 2-stroke BEL user would have saved them, every value away from start-up.
const std::string kTwoStrokeBody =
    "#FALSE#,#TRUE#,\"5\",\"60.5\",#TRUE#\r\n"
    "\"1\",\"2\",\"3\",\"4\",\"5\",\"6\"\r\n"
    "\"1100\",\"2200\",\"3300\",\"4400\",\"5500\",\"6600\"\r\n"
    "\"+1\",\"+2\",\"0\",\"-1\",\"-2\",\"-3\"\r\n"
    "\"30\",\"50\",\"70\",\"90\",\"110\",\"130\"\r\n"
    "#FALSE#,#TRUE#,#FALSE#\r\n"
    "\"0.5\",\"4.5\",\"1000\",\"3000\"\r\n"
    "\"10\",\"500\",\"6\"\r\n"
    "\"TPS\",\"51\",\"IGN\",\"84\"\r\n"
    "\"9000\",\"80%\",#FALSE#,#TRUE#\r\n"
    "#TRUE#,#FALSE#,\"Knock\",#TRUE#\r\n"
    "\"1.5\",#FALSE#,#TRUE#,\"99\"\r\n";

TEST(LoadSettings, readsEveryFieldOfACurrentFile) {
    tune::Tune t = tune::Tune::startup(Edition::BEL);
    ASSERT_TRUE(tune::loadSettings(t, kTwoStrokeBody, " v1"));
    EXPECT_TRUE(t.option(Option::Stroke2));
    EXPECT_FALSE(t.option(Option::Stroke4));
    EXPECT_EQ(t.cylinders.index, 4);
    EXPECT_EQ(t.cylinders.text, "5");
    EXPECT_EQ(t.staticTiming, "60.5");
    EXPECT_EQ(t.oddFire, 1);
    EXPECT_EQ(t.baseTiming[5], "6");
    EXPECT_EQ(t.rpm[0], "1100");
    EXPECT_EQ(t.mapAdj[3], "-1");
    EXPECT_EQ(t.map[5], "130");
    EXPECT_TRUE(t.option(Option::PortedRPM));
    EXPECT_FALSE(t.option(Option::PortedNone));
    EXPECT_EQ(t.portedStartTPS, "0.5");
    EXPECT_EQ(t.portedFullRPM, "3000");
    EXPECT_EQ(t.crankAdv, "10");
    EXPECT_EQ(t.crankRPM, "500");
    EXPECT_EQ(t.crankDelay.text, "6");
    EXPECT_EQ(t.outputs[0].channel.text, "TPS");
    EXPECT_EQ(t.outputs[0].raw, "51");
    EXPECT_EQ(t.outputs[0].text, "1.00");
    EXPECT_EQ(t.outputs[1].channel.text, "IGN");
    EXPECT_EQ(t.outputs[1].text, "10.0");
    EXPECT_EQ(t.rpmLimit, "9000");
    EXPECT_EQ(t.limitType.index, 2);
    EXPECT_EQ(t.limitType.text, " 80%  Firm, 4 of 5");
    EXPECT_TRUE(t.option(Option::Retard));
    EXPECT_FALSE(t.option(Option::Drop));
    EXPECT_TRUE(t.option(Option::Map115));
    EXPECT_EQ(t.xled.text, "Knock");
    EXPECT_EQ(t.invertSpout, 1);
    EXPECT_EQ(t.knockIncr.text, "1.5");
    EXPECT_TRUE(t.option(Option::UnwindSpark));
    EXPECT_EQ(t.unwindRate, "99");
}

TEST(LoadSettings, whatWasLoadedWritesBackTheSameText) {
    tune::Tune t = tune::Tune::startup(Edition::BEL);
    ASSERT_TRUE(tune::loadSettings(t, kTwoStrokeBody, " v1"));
    EXPECT_EQ(tune::settingStr(t) + "\r\n", kTwoStrokeBody);
}

TEST(LoadSettings, lineStructureIsNotCheckedOnlyTheOrderOfValues) {
    std::string oneLine = kTwoStrokeBody;
    for (std::size_t p; (p = oneLine.find("\r\n")) != std::string::npos;)
        oneLine.replace(p, 2, ",");
    tune::Tune t = tune::Tune::startup(Edition::BEL);
    EXPECT_TRUE(tune::loadSettings(t, oneLine, " v1"));
    EXPECT_EQ(tune::settingStr(t) + "\r\n", kTwoStrokeBody);
}

TEST(LoadSettings, lineFeedsAloneEndLinesToo) {
    std::string unix = kTwoStrokeBody;
    for (std::size_t p; (p = unix.find("\r\n")) != std::string::npos;)
        unix.replace(p, 2, "\n");
    tune::Tune t = tune::Tune::startup(Edition::BEL);
    EXPECT_TRUE(tune::loadSettings(t, unix, " v1"));
    EXPECT_EQ(tune::settingStr(t) + "\r\n", kTwoStrokeBody);
}

std::string replaceLine(std::string body, int number, const std::string& line) {
    std::size_t start = 0;
    for (int i = 1; i < number; ++i)
        start = body.find("\r\n", start) + 2;
    return body.replace(start, body.find("\r\n", start) - start, line);
}

const std::string kBelStartupBody = tune::settingStr(tune::Tune::startup(Edition::BEL)) + "\r\n";

TEST(LoadSettingsOldLayout, twoRpmThresholdsBecomeRawCodesOnRpmChannels) {
    std::string body = replaceLine(kTwoStrokeBody, 9, "\"3000\",\"4000\"");
    tune::Tune t = tune::Tune::startup(Edition::BEL);
    t.selectChannel(0, 1);
    ASSERT_TRUE(tune::loadSettings(t, body, " v0"));
    EXPECT_EQ(t.outputs[0].channel.text, "RPM");
    EXPECT_EQ(t.outputs[0].raw, "60");
    EXPECT_EQ(t.outputs[0].text, "3000");
    EXPECT_EQ(t.outputs[1].channel.text, "RPM");
    EXPECT_EQ(t.outputs[1].raw, "80");
    EXPECT_EQ(t.outputs[1].text, "4000");
    // The lines after the outputs are read as in a current file.
    EXPECT_EQ(t.rpmLimit, "9000");
    EXPECT_EQ(t.limitType.index, 2);
    EXPECT_EQ(t.unwindRate, "99");
}

TEST(LoadSettingsOldLayout, oldThresholdsAreSnappedAndClamped) {
    std::string body = replaceLine(kBelStartupBody, 9, "\"3025\",\"99999\"");
    tune::Tune t = tune::Tune::startup(Edition::BEL);
    ASSERT_TRUE(tune::loadSettings(t, body, " v0"));
    EXPECT_EQ(t.outputs[0].raw, "60");
    EXPECT_EQ(t.outputs[1].raw, "255");
    EXPECT_EQ(t.outputs[1].text, "12750");
}

struct VersionCase {
    std::string version;
    bool oldLayout;
};

class VersionText : public testing::TestWithParam<VersionCase> {};

TEST_P(VersionText, choosesTheOutputLayoutByTheThirdCharacter) {
    const std::string oldBody = replaceLine(kBelStartupBody, 9, "\"3000\",\"4000\"");
    tune::Tune t = tune::Tune::startup(Edition::BEL);
    const bool loaded =
        tune::loadSettings(t, GetParam().oldLayout ? oldBody : kBelStartupBody, GetParam().version);
    EXPECT_TRUE(loaded) << '"' << GetParam().version << '"';
}

INSTANTIATE_TEST_SUITE_P(Headers, VersionText,
                         testing::Values(VersionCase{" v1", false}, VersionCase{" v9", false},
                                         VersionCase{" vA", false}, VersionCase{" v0", true},
                                         VersionCase{" v/", true}, VersionCase{"ngs", true},
                                         VersionCase{"v1 ", true}, VersionCase{" V1", true},
                                         VersionCase{" v", true}, VersionCase{"", true}));

TEST(LoadSettingsTruncated, afterLineFiveLaterFieldsKeepTheirValues) {
    std::string body = kTwoStrokeBody.substr(0, kTwoStrokeBody.find("#FALSE#,#TRUE#,#FALSE#"));
    tune::Tune t = tune::Tune::startup(Edition::BEL);
    EXPECT_FALSE(tune::loadSettings(t, body, " v1"));
    EXPECT_EQ(t.cylinders.text, "5");
    EXPECT_EQ(t.map[5], "130");
    EXPECT_TRUE(t.option(Option::PortedNone));
    EXPECT_EQ(t.portedStartTPS, "1.0");
    EXPECT_EQ(t.crankDelay.text, "3");
    EXPECT_EQ(t.outputs[0].channel.text, "RPM");
    EXPECT_EQ(t.limitType.index, 0);
    EXPECT_EQ(t.unwindRate, "25");
}

TEST(LoadSettingsTruncated, aStepCutShortAppliesNoneOfItsValues) {
    // Line 12 lost its last value: the knock list and unwind options stay as they were.
    std::string body = kTwoStrokeBody.substr(0, kTwoStrokeBody.rfind(",\"99\""));
    tune::Tune t = tune::Tune::startup(Edition::BEL);
    EXPECT_FALSE(tune::loadSettings(t, body, " v1"));
    EXPECT_EQ(t.knockIncr.text, "0.0");
    EXPECT_TRUE(t.option(Option::UnwindMsec));
    EXPECT_EQ(t.invertSpout, 1);
}

TEST(LoadSettingsTruncated, emptyBodyFailsAndChangesNothing) {
    tune::Tune t = tune::Tune::startup(Edition::BEL);
    EXPECT_FALSE(tune::loadSettings(t, "", " v1"));
    EXPECT_EQ(tune::settingStr(t) + "\r\n", kBelStartupBody);
}

TEST(LoadSettingsValues, anUnknownListEntryFailsThatFieldAlone) {
    std::string body = replaceLine(kTwoStrokeBody, 8, "\"10\",\"500\",\"9\"");
    tune::Tune t = tune::Tune::startup(Edition::BEL);
    EXPECT_FALSE(tune::loadSettings(t, body, " v1"));
    EXPECT_EQ(t.crankDelay.text, "3");
    EXPECT_EQ(t.crankDelay.index, 1);
    EXPECT_EQ(t.crankAdv, "10");
    EXPECT_EQ(t.crankRPM, "500");
    EXPECT_EQ(t.unwindRate, "99");
}

TEST(LoadSettingsValues, listTextsMustMatchExactly) {
    std::string body = replaceLine(kTwoStrokeBody, 11, "#TRUE#,#FALSE#,\"knock\",#TRUE#");
    tune::Tune t = tune::Tune::startup(Edition::BEL);
    EXPECT_FALSE(tune::loadSettings(t, body, " v1"));
    EXPECT_EQ(t.xled.text, "Reset");
    EXPECT_TRUE(t.option(Option::Map115));
    EXPECT_EQ(t.invertSpout, 1);
}

TEST(LoadSettingsValues, unknownLimiterKeyGivesTheDisabledEntryWithoutFailing) {
    std::string body = replaceLine(kTwoStrokeBody, 10, "\"9000\",\"90%\",#TRUE#,#FALSE#");
    tune::Tune t = tune::Tune::startup(Edition::BEL);
    t.limitType.select(5);
    EXPECT_TRUE(tune::loadSettings(t, body, " v1"));
    EXPECT_EQ(t.limitType.index, 0);
    EXPECT_EQ(t.limitType.text, "  ** DISABLED **");
}

TEST(LoadSettingsValues, disabledLimiterKeyKeepsItsTrailingBlank) {
    tune::Tune t = tune::Tune::startup(Edition::BEL);
    t.limitType.select(9);
    EXPECT_TRUE(tune::loadSettings(t, kBelStartupBody, " v1"));
    EXPECT_EQ(t.limitType.index, 0);
}

TEST(LoadSettingsValues, optionsTakeNumbersButNotText) {
    std::string body = replaceLine(kBelStartupBody, 6, "0,1,yes");
    tune::Tune t = tune::Tune::startup(Edition::BEL);
    EXPECT_FALSE(tune::loadSettings(t, body, " v1"));
    EXPECT_FALSE(t.option(Option::PortedTPS));
    EXPECT_TRUE(t.option(Option::PortedRPM));
    EXPECT_FALSE(t.option(Option::PortedNone));
}

TEST(LoadSettingsValues, optionsSetFalseCanLeaveAGroupWithoutSelection) {
    std::string body = replaceLine(kBelStartupBody, 10, "\"1200\",\"** \",#FALSE#,#FALSE#");
    tune::Tune t = tune::Tune::startup(Edition::BEL);
    EXPECT_TRUE(tune::loadSettings(t, body, " v1"));
    EXPECT_FALSE(t.option(Option::Drop));
    EXPECT_FALSE(t.option(Option::Retard));
}

TEST(LoadSettingsValues, textAfterAClosingQuoteIsIgnored) {
    std::string body = replaceLine(kBelStartupBody, 1, "#TRUE#,#FALSE#,\"4\",\"4\"5\",#TRUE#");
    tune::Tune t = tune::Tune::startup(Edition::BEL);
    EXPECT_TRUE(tune::loadSettings(t, body, " v1"));
    EXPECT_EQ(t.staticTiming, "4");
    EXPECT_EQ(t.oddFire, 1);
}

TEST(LoadSettingsValues, aFieldTextWithAQuoteDoesNotReadBackTheSame) {
    tune::Tune written = tune::Tune::startup(Edition::BEL);
    written.staticTiming = "4\"5";
    tune::Tune t = tune::Tune::startup(Edition::BEL);
    EXPECT_TRUE(tune::loadSettings(t, tune::settingStr(written), " v1"));
    EXPECT_EQ(t.staticTiming, "4");
    EXPECT_NE(tune::settingStr(t), tune::settingStr(written));
}

TEST(LoadSettingsValues, aStrayQuoteShiftsTheValuesAndTheLoadFails) {
    std::string body = replaceLine(kTwoStrokeBody, 2, "\"1,\"2\",\"3\",\"4\",\"5\",\"6\"");
    tune::Tune t = tune::Tune::startup(Edition::BEL);
    EXPECT_FALSE(tune::loadSettings(t, body, " v1"));
    EXPECT_EQ(t.staticTiming, "60.5");
}

TEST(LoadSettingsValues, unquotedTextsAreTrimmed) {
    std::string body = replaceLine(kBelStartupBody, 8, "  7 ,\t300\t, 4 ");
    tune::Tune t = tune::Tune::startup(Edition::BEL);
    EXPECT_TRUE(tune::loadSettings(t, body, " v1"));
    EXPECT_EQ(t.crankAdv, "7");
    EXPECT_EQ(t.crankRPM, "300");
    EXPECT_EQ(t.crankDelay.text, "4");
}

TEST(LoadSettingsValues, aBooleanInATextFieldIsWrittenAsAWord) {
    std::string body = replaceLine(kBelStartupBody, 8, "#TRUE#,\"300\",\"3\"");
    tune::Tune t = tune::Tune::startup(Edition::BEL);
    EXPECT_TRUE(tune::loadSettings(t, body, " v1"));
    EXPECT_EQ(t.crankAdv, "True");
}

TEST(LoadSettingsValues, aQuotedBooleanWordIsTextNotABoolean) {
    std::string body = replaceLine(kBelStartupBody, 6, "\"#TRUE#\",#FALSE#,#TRUE#");
    tune::Tune t = tune::Tune::startup(Edition::BEL);
    t.setOption(Option::PortedRPM, true);
    EXPECT_FALSE(tune::loadSettings(t, body, " v1"));
    EXPECT_TRUE(t.option(Option::PortedNone));
}

TEST(LoadSettingsEditions, belFourStrokeTwelveCylindersLoadsIntoQolt) {
    std::string body = replaceLine(kBelStartupBody, 1, "#TRUE#,#FALSE#,\"12\",\"45.0\",#FALSE#");
    tune::Tune t = tune::Tune::startup(Edition::QOLT);
    EXPECT_TRUE(tune::loadSettings(t, body, " v1"));
    EXPECT_TRUE(t.option(Option::Stroke4));
    EXPECT_EQ(t.cylinders.entries.size(), 8u);
    EXPECT_EQ(t.cylinders.index, 7);
    EXPECT_EQ(t.cylinders.text, "12");
}

TEST(LoadSettingsEditions, qoltFileKeepsTheFixedListAndLoadsCountsOfIt) {
    std::string body = replaceLine(kBelStartupBody, 1, "#FALSE#,#FALSE#,\"8\",\"45.0\",#FALSE#");
    tune::Tune t = tune::Tune::startup(Edition::QOLT);
    EXPECT_TRUE(tune::loadSettings(t, body, " v1"));
    EXPECT_EQ(t.cylinders.entries, (std::vector<std::string>{"4", "6", "8"}));
    EXPECT_EQ(t.cylinders.text, "8");
}

TEST(LoadSettingsEditions, qoltFileWithACountOutsideTheFixedListFails) {
    std::string body = replaceLine(kBelStartupBody, 1, "#FALSE#,#FALSE#,\"5\",\"50.0\",#FALSE#");
    tune::Tune t = tune::Tune::startup(Edition::QOLT);
    EXPECT_FALSE(tune::loadSettings(t, body, " v1"));
    EXPECT_EQ(t.cylinders.text, "4");
    EXPECT_EQ(t.staticTiming, "50.0");
}

TEST(LoadSettingsEditions, qoltFileInBelClearsBothStrokesAndKeepsTheList) {
    const std::string qolt = tune::settingStr(tune::Tune::startup(Edition::QOLT));
    tune::Tune t = tune::Tune::startup(Edition::BEL);
    EXPECT_TRUE(tune::loadSettings(t, qolt, " v1"));
    EXPECT_FALSE(t.option(Option::Stroke4));
    EXPECT_FALSE(t.option(Option::Stroke2));
    EXPECT_EQ(t.cylinders.entries.size(), 8u);
    EXPECT_EQ(t.cylinders.text, "4");
    EXPECT_EQ(tune::settingStr(t), qolt);
}

TEST(LoadSettingsEditions, zavFileWithNoIndicatorSelectionLoadsCleanly) {
    const std::string zav = tune::settingStr(tune::Tune::startup(Edition::ZAV));
    tune::Tune inZav = tune::Tune::startup(Edition::ZAV);
    EXPECT_TRUE(tune::loadSettings(inZav, zav, " v1"));
    EXPECT_EQ(tune::settingStr(inZav), zav);
    tune::Tune inBel = tune::Tune::startup(Edition::BEL);
    EXPECT_TRUE(tune::loadSettings(inBel, zav, " v1"));
    EXPECT_EQ(inBel.xled.index, -1);
}

TEST(LoadSettingsRobustness, garbageNeverLoopsOrCrashes) {
    std::string noise;
    unsigned state = 12345;
    for (int i = 0; i < 20000; ++i) {
        state = state * 1103515245u + 12345u;
        noise.push_back(static_cast<char>((state >> 16) & 0xFF));
    }
    for (std::size_t length : {0u, 1u, 7u, 100u, 2000u, 20000u}) {
        tune::Tune t = tune::Tune::startup(Edition::BEL);
        tune::loadSettings(t, noise.substr(0, length), " v1");
        tune::loadSettings(t, noise.substr(0, length), " v0");
    }
    tune::Tune t = tune::Tune::startup(Edition::BEL);
    EXPECT_FALSE(tune::loadSettings(t, std::string(100, '"'), " v1"));
    EXPECT_FALSE(tune::loadSettings(t, std::string(100, ','), " v1"));
    EXPECT_FALSE(tune::loadSettings(t, std::string(1000, '\n'), " v1"));
}

}  // namespace

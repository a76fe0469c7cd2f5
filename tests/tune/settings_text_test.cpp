#include <gtest/gtest.h>

#include <string>

#include "tune/FieldRules.h"
#include "tune/SettingsText.h"
#include "tune/Tune.h"

namespace {

using tune::Edition;
using tune::Option;

const std::string kBelStartupText =
    "#TRUE#,#FALSE#,\"4\",\"45.0\",#FALSE#\r\n"
    "\"8\",\"18\",\"24\",\"32\",\"32\",\"30\"\r\n"
    "\"1000\",\"2500\",\"3500\",\"4500\",\"5500\",\"6500\"\r\n"
    "\"+6\",\"+4\",\"+2\",\"0\",\"-2\",\"-5\"\r\n"
    "\"40\",\"60\",\"80\",\"100\",\"140\",\"160\"\r\n"
    "#FALSE#,#FALSE#,#TRUE#\r\n"
    "\"1.0\",\"1.5\",\"1500\",\"2000\"\r\n"
    "\"6\",\"300\",\"3\"\r\n"
    "\"RPM\",\"0\",\"RPM\",\"0\"\r\n"
    "\"1200\",\"** \",#TRUE#,#FALSE#\r\n"
    "#FALSE#,#TRUE#,\"Reset\",#FALSE#\r\n"
    "\"0.0\",#TRUE#,#FALSE#,\"25\"";

std::string lineOf(const std::string& text, int number) {
    std::size_t start = 0;
    for (int i = 1; i < number; ++i)
        start = text.find("\r\n", start) + 2;
    return text.substr(start, text.find("\r\n", start) - start);
}

TEST(SettingStr, belStartupTuneGivesTheTwelveReferenceLines) {
    EXPECT_EQ(tune::settingStr(tune::Tune::startup(Edition::BEL)), kBelStartupText);
}

TEST(SettingStr, rukStartupTuneIsTheSameAsBel) {
    EXPECT_EQ(tune::settingStr(tune::Tune::startup(Edition::RUK)), kBelStartupText);
}

TEST(SettingStr, zavWritesAnEmptyIndicatorText) {
    const std::string s = tune::settingStr(tune::Tune::startup(Edition::ZAV));
    EXPECT_EQ(lineOf(s, 11), "#FALSE#,#TRUE#,\"\",#FALSE#");
    EXPECT_EQ(lineOf(s, 1), "#TRUE#,#FALSE#,\"4\",\"45.0\",#FALSE#");
}

TEST(SettingStr, qoltStartsWithNoStrokeSelected) {
    const std::string s = tune::settingStr(tune::Tune::startup(Edition::QOLT));
    EXPECT_EQ(lineOf(s, 1), "#FALSE#,#FALSE#,\"4\",\"45.0\",#FALSE#");
    EXPECT_EQ(lineOf(s, 12), "\"0.0\",#TRUE#,#FALSE#,\"25\"");
}

TEST(SettingStr, hasNoLineEndAfterTheLastLine) {
    const std::string s = tune::settingStr(tune::Tune::startup(Edition::BEL));
    EXPECT_NE(s.substr(s.size() - 2), "\r\n");
    EXPECT_EQ(lineOf(s, 12), "\"0.0\",#TRUE#,#FALSE#,\"25\"");
}

TEST(SettingStr, limiterIsWrittenAsItsThreeCharacterKey) {
    tune::Tune t = tune::Tune::startup(Edition::BEL);
    t.limitType.select(2);
    t.setOption(Option::Retard, true);
    EXPECT_EQ(lineOf(tune::settingStr(t), 10), "\"1200\",\"80%\",#FALSE#,#TRUE#");
    t.limitType.text = "  typed freely";
    EXPECT_EQ(lineOf(tune::settingStr(t), 10), "\"1200\",\"typ\",#FALSE#,#TRUE#");
}

TEST(SettingStr, outputsAreWrittenAsChannelAndRawCodeNotTheShownText) {
    tune::Tune t = tune::Tune::startup(Edition::BEL);
    t.outputs[1].raw = "51";
    t.selectChannel(1, 4);
    ASSERT_EQ(t.outputs[1].text, "1.00");
    EXPECT_EQ(lineOf(tune::settingStr(t), 9), "\"RPM\",\"0\",\"TPS\",\"51\"");
}

TEST(SettingStr, the3BarBoxIsNotPartOfTheText) {
    tune::Tune t = tune::Tune::startup(Edition::BEL);
    t.check1 = 0;
    EXPECT_EQ(tune::settingStr(t), kBelStartupText);
}

TEST(SettingStr, checkBoxesAndOptionsAreWrittenAsBooleans) {
    tune::Tune t = tune::Tune::startup(Edition::BEL);
    t.oddFire = 1;
    t.invertSpout = 1;
    t.setOption(Option::Stroke2, true);
    t.setOption(Option::PortedRPM, true);
    t.setOption(Option::Map115, true);
    t.setOption(Option::UnwindSpark, true);
    const std::string s = tune::settingStr(t);
    EXPECT_EQ(lineOf(s, 1), "#FALSE#,#TRUE#,\"4\",\"45.0\",#TRUE#");
    EXPECT_EQ(lineOf(s, 6), "#FALSE#,#TRUE#,#FALSE#");
    EXPECT_EQ(lineOf(s, 11), "#TRUE#,#FALSE#,\"Reset\",#TRUE#");
    EXPECT_EQ(lineOf(s, 12), "\"0.0\",#FALSE#,#TRUE#,\"25\"");
}

TEST(SettingStr, uncommittedTextIsWrittenAsTyped) {
    tune::Tune t = tune::Tune::startup(Edition::BEL);
    t.rpm[1] = "25 50";
    t.staticTiming = "4\"5";
    const std::string s = tune::settingStr(t);
    EXPECT_EQ(lineOf(s, 3), "\"1000\",\"25 50\",\"3500\",\"4500\",\"5500\",\"6500\"");
    EXPECT_EQ(lineOf(s, 1), "#TRUE#,#FALSE#,\"4\",\"4\"5\",#FALSE#");
}

TEST(SettingStr, aCommitThatKeepsTheTextCountsAsNoChange) {
    tune::Tune t = tune::Tune::startup(Edition::BEL);
    for (int i = 0; i < 6; ++i) {
        tune::commit(t, tune::Table::RPM, i);
        tune::commit(t, tune::Table::BaseTiming, i);
        tune::commit(t, tune::Table::Map, i);
        tune::commit(t, tune::Table::MapAdj, i);
    }
    tune::commit(t, tune::Single::Static);
    tune::commit(t, tune::Single::PortedStartTPS);
    tune::commit(t, tune::Single::CrankRPM);
    t.commitOutput(0);
    EXPECT_EQ(tune::settingStr(t), kBelStartupText);
}

}  // namespace

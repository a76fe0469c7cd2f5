#include <gtest/gtest.h>

#include <string>
#include <tuple>

#include "support/BelStartup.h"
#include "tune/SettingsFile.h"
#include "tune/SettingsText.h"
#include "tune/Tune.h"

namespace {

using support::kBelStartupText;
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

const std::string kBelStartupBody = kBelStartupText + "\r\n";

std::string replaceLine(std::string body, int number, const std::string& line) {
    std::size_t start = 0;
    for (int i = 1; i < number; ++i)
        start = body.find("\r\n", start) + 2;
    return body.replace(start, body.find("\r\n", start) - start, line);
}

bool load(tune::Tune& t, const std::string& body, const std::string& version = " v1") {
    return tune::loadSettings(t, body, version);
}

TEST(SettingsText, startupTunesGiveTheReferenceLinesAndOnlyChangedTextChangesThem) {
    tune::Tune t = tune::Tune::startup(Edition::RUK);
    t.check1 = 0;  // "3 Bar" is not part of the text
    EXPECT_EQ(tune::settingStr(t), kBelStartupText);
    EXPECT_EQ(tune::settingStr(tune::Tune::startup(Edition::ZAV)),
              replaceLine(kBelStartupText, 11, "#FALSE#,#TRUE#,\"\",#FALSE#"));
    EXPECT_EQ(tune::settingStr(tune::Tune::startup(Edition::QOLT)),
              replaceLine(kBelStartupText, 1, "#FALSE#,#FALSE#,\"4\",\"45.0\",#FALSE#"));
    t.staticTiming = "4\"5";  // uncommitted text is written as typed
    EXPECT_EQ(tune::settingStr(t),
              replaceLine(kBelStartupText, 1, "#TRUE#,#FALSE#,\"4\",\"4\"5\",#FALSE#"));
}

TEST(LoadSettings, readsEveryFieldOfACurrentFileWhateverItsLineEnds) {
    std::string lineFeeds = kTwoStrokeBody;
    for (std::size_t p; (p = lineFeeds.find("\r\n")) != std::string::npos;)
        lineFeeds.replace(p, 2, "\n");
    for (const std::string& body : {kTwoStrokeBody, lineFeeds}) {
        tune::Tune t = tune::Tune::startup(Edition::BEL);
        ASSERT_TRUE(load(t, body));
        EXPECT_EQ(tune::settingStr(t) + "\r\n", kTwoStrokeBody);
        EXPECT_EQ(t.outputs[0].text + " " + t.outputs[1].text, "1.00 10.0");
        EXPECT_EQ(t.limitType.text, " 80%  Firm, 4 of 5");
        EXPECT_TRUE(t.option(Option::Stroke2) && t.option(Option::UnwindSpark));
    }
}

TEST(LoadSettings, anOldFileHasTwoRpmThresholdsThatBecomeSnappedRawCodes) {
    tune::Tune t = tune::Tune::startup(Edition::BEL);
    t.selectChannel(0, 1);
    ASSERT_TRUE(load(t, replaceLine(kTwoStrokeBody, 9, "\"3025\",\"99999\""), " v0"));
    EXPECT_EQ(t.outputs[0].channel.text, "RPM");
    EXPECT_EQ(t.outputs[0].raw + " " + t.outputs[0].text, "60 3000");
    EXPECT_EQ(t.outputs[1].raw + " " + t.outputs[1].text, "255 12750");
    EXPECT_EQ(t.unwindRate, "99");  // later lines read as in a current file
}

TEST(LoadSettings, theThirdCharacterOfTheVersionChoosesTheOutputLayout) {
    const std::string oldBody = replaceLine(kBelStartupBody, 9, "\"3000\",\"4000\"");
    const std::pair<std::string, bool> cases[] = {
        {" v1", false}, {" vA", false}, {" v0", true}, {"ngs", true}, {"", true}};
    for (const auto& [version, old] : cases) {
        tune::Tune t = tune::Tune::startup(Edition::BEL);
        EXPECT_TRUE(load(t, old ? oldBody : kBelStartupBody, version)) << '"' << version << '"';
    }
}

// Line 12 lost its last value: the lines before it load, none of that line's values does.
TEST(LoadSettings, aCutFileKeepsTheStepsReadAndLeavesTheRestAsItWas) {
    tune::Tune t = tune::Tune::startup(Edition::BEL);
    EXPECT_FALSE(load(t, kTwoStrokeBody.substr(0, kTwoStrokeBody.rfind(",\"99\""))));
    EXPECT_EQ(t.map[5], "130");
    EXPECT_EQ(t.invertSpout, 1);
    EXPECT_EQ(t.knockIncr.text, "0.0");
}

// Each row replaces one line of the start-up text; the crank and static fields show the effect.
TEST(LoadSettings, oddValuesFailOnlyTheirOwnFieldOrAreReadAsTheOldToolsReadThem) {
    const std::tuple<int, std::string, bool, std::string> cases[] = {
        {8, "\"10\",\"500\",\"9\"", false, "10 500 3 45.0"},  // no such list entry
        {8, "  7 ,\t300\t, 4 ", true, "7 300 4 45.0"},        // unquoted texts are trimmed
        {8, "#TRUE#,\"300\",\"3\"", true, "True 300 3 45.0"},
        {1, "#TRUE#,#FALSE#,\"4\",\"4\"5\",#TRUE#", true, "6 300 3 4"},  // text after a quote
        {6, "\"#TRUE#\",#FALSE#,#TRUE#", false, "6 300 3 45.0"},  // a quoted word is no boolean
        {2, "\"1,\"2\",\"3\",\"4\",\"5\",\"6\"", false, "300 3 3 45.0"}};  // values shift
    for (const auto& [line, replacement, loads, fields] : cases) {
        SCOPED_TRACE(replacement);
        tune::Tune t = tune::Tune::startup(Edition::BEL);
        EXPECT_EQ(load(t, replaceLine(kBelStartupBody, line, replacement)), loads);
        EXPECT_EQ(t.crankAdv + " " + t.crankRPM + " " + t.crankDelay.text + " " + t.staticTiming,
                  fields);
    }
}

TEST(LoadSettings, anUnknownLimiterKeyQuietlyGivesTheDisabledEntry) {
    tune::Tune t = tune::Tune::startup(Edition::BEL);
    t.limitType.select(5);
    EXPECT_TRUE(load(t, replaceLine(kBelStartupBody, 10, "\"1200\",\"90%\",0,0")));
    EXPECT_EQ(t.limitType.text, "  ** DISABLED **");
}

TEST(LoadSettings, cylinderCountsMoveBetweenQoltsFixedListAndTheStrokeLists) {
    tune::Tune qolt = tune::Tune::startup(Edition::QOLT);
    EXPECT_TRUE(load(qolt, replaceLine(kBelStartupBody, 1, "0,0,\"8\",\"45.0\",0")));
    EXPECT_EQ(qolt.cylinders.text, "8");
    EXPECT_TRUE(load(qolt, replaceLine(kBelStartupBody, 1, "#TRUE#,0,\"12\",\"45.0\",0")));
    EXPECT_EQ(qolt.cylinders.entries.size(), 8u);
    EXPECT_EQ(qolt.cylinders.text, "12");
}

TEST(LoadSettings, garbageFailsWithoutLoopingOrCrashing) {
    std::string noise;
    for (unsigned i = 0, state = 12345; i < 20000; ++i, state = state * 1103515245u + 12345u)
        noise.push_back(static_cast<char>((state >> 16) & 0xFF));
    tune::Tune t = tune::Tune::startup(Edition::BEL);
    EXPECT_FALSE(load(t, ""));
    EXPECT_EQ(tune::settingStr(t), kBelStartupText);
    EXPECT_FALSE(load(t, noise));
}

}  // namespace

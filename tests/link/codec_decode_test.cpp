#include <gtest/gtest.h>

#include <string>

#include "link/Codec.h"
#include "tune/SettingsText.h"
#include "tune/Tune.h"

namespace {

using tune::Edition;
using tune::Option;
using tune::Single;
using tune::Table;
using tune::Tune;

// The image a controller holding `tune` would upload.
link::RxBuffer imageOf(const Tune& tune) {
    link::RxBuffer image{};
    for (const link::ImageWrite& write :
         link::encodeTune(tune, link::calcEngineConstants(tune).value())) {
        image[static_cast<std::size_t>(write.offset)] = write.value & 0xFF;
    }
    return image;
}

Tune decoded(link::RxBuffer image, Edition edition = Edition::BEL, int check1 = 1) {
    Tune tune = Tune::startup(edition);
    tune.check1 = check1;
    link::imageToSetup(tune, image, edition);
    return tune;
}

Tune decodedWith(int offset, int byte, Edition edition = Edition::BEL, int check1 = 1) {
    link::RxBuffer image = imageOf(Tune::startup(Edition::BEL));
    image[static_cast<std::size_t>(offset)] = byte;
    return decoded(image, edition, check1);
}

TEST(CodecDecode, imageOfTheStartupTuneDecodesToTheSameSettings) {
    const Tune original = Tune::startup(Edition::BEL);
    const Tune back = decoded(imageOf(original));
    EXPECT_EQ(tune::settingStr(back), tune::settingStr(original));
}

TEST(CodecDecode, editedTuneSurvivesEncodeAndDecode) {
    Tune original = Tune::startup(Edition::BEL);
    original.text(Table::BaseTiming, 3) = "27";
    original.text(Table::RPM, 5) = "7200";
    original.text(Table::MapAdj, 2) = "-9";
    original.text(Single::Static) = "60.5";
    original.text(Single::RPMlimit) = "6500";
    original.setOption(Option::PortedRPM, true);
    original.setOption(Option::Retard, true);
    ASSERT_TRUE(original.limitType.select(7));
    ASSERT_TRUE(original.cylinders.selectText("6"));
    ASSERT_TRUE(original.selectChannel(1, 8));
    original.outputs[1].raw = "84";
    original.channelChanged(1);
    const Tune back = decoded(imageOf(original));
    EXPECT_EQ(tune::settingStr(back), tune::settingStr(original));
}

struct TextCase {
    const char* name;
    int offset;
    int byte;
    int check1;
    std::string (*field)(const Tune&);
    const char* expected;
};

class CodecDecodeText : public testing::TestWithParam<TextCase> {};

TEST_P(CodecDecodeText, byteDecodesToTheText) {
    const TextCase& c = GetParam();
    EXPECT_EQ(c.field(decodedWith(c.offset, c.byte, Edition::BEL, c.check1)), c.expected);
}

std::string baseTiming0(const Tune& t) {
    return t.text(Table::BaseTiming, 0);
}
std::string rpm1(const Tune& t) {
    return t.text(Table::RPM, 1);
}
std::string mapAdj0(const Tune& t) {
    return t.text(Table::MapAdj, 0);
}
std::string map3(const Tune& t) {
    return t.text(Table::Map, 3);
}
std::string startTps(const Tune& t) {
    return t.text(Single::PortedStartTPS);
}
std::string fullTps(const Tune& t) {
    return t.text(Single::PortedFullTPS);
}
std::string staticTiming(const Tune& t) {
    return t.text(Single::Static);
}
std::string startRpm(const Tune& t) {
    return t.text(Single::PortedStartRPM);
}
std::string fullRpm(const Tune& t) {
    return t.text(Single::PortedFullRPM);
}
std::string crankAdv(const Tune& t) {
    return t.text(Single::CrankAdv);
}
std::string crankRpm(const Tune& t) {
    return t.text(Single::CrankRPM);
}
std::string crankDelay(const Tune& t) {
    return t.crankDelay.text;
}
std::string rpmLimit(const Tune& t) {
    return t.text(Single::RPMlimit);
}
std::string unwindRate(const Tune& t) {
    return t.text(Single::UnwindRate);
}
std::string raw0(const Tune& t) {
    return t.outputs[0].raw;
}
std::string text0(const Tune& t) {
    return t.outputs[0].text;
}

const TextCase kTextCases[] = {
    TextCase{"baseTiming24Is12", 0, 24, 1, baseTiming0, "12"},
    TextCase{"baseTiming25Is12Point5", 0, 25, 1, baseTiming0, "12.5"},
    TextCase{"baseTiming15Is7Point5", 0, 15, 1, baseTiming0, "7.5"},
    TextCase{"baseTiming120IsKeptAs60", 0, 120, 1, baseTiming0, "60"},
    TextCase{"rpm50Is2500", 7, 50, 1, rpm1, "2500"},
    TextCase{"mapAdj117IsCommittedToEvenMinus6", 12, 117, 1, mapAdj0, "-6"},
    TextCase{"mapAdj118IsMinus5", 12, 118, 1, mapAdj0, "-5"},
    TextCase{"mapAdj140IsPlus6", 12, 140, 1, mapAdj0, "+6"},
    TextCase{"mapAdj128IsZero", 12, 128, 1, mapAdj0, "0"},
    TextCase{"mapAdj255IsClampedToPlus40", 12, 255, 1, mapAdj0, "+40"},
    TextCase{"map85With3BarIs100", 21, 85, 1, map3, "100"},
    TextCase{"map85Without3BarIs85", 21, 85, 0, map3, "85"},
    TextCase{"startTps51Is1Point0", 24, 51, 1, startTps, "1.0"},
    TextCase{"fullTps128Is2Point5", 25, 128, 1, fullTps, "2.5"},
    TextCase{"fullTps255Is5Point0", 25, 255, 1, fullTps, "5.0"},
    TextCase{"static25Is12Point5", 26, 25, 1, staticTiming, "12.5"},
    TextCase{"static90Is45Point0", 26, 90, 1, staticTiming, "45.0"},
    TextCase{"startRpm30Is1500", 28, 30, 1, startRpm, "1500"},
    TextCase{"fullRpm190Is9500", 29, 190, 1, fullRpm, "9500"},
    TextCase{"crankAdv13Is6Point5", 31, 13, 1, crankAdv, "6.5"},
    TextCase{"crankRpm19Is950", 32, 19, 1, crankRpm, "950"},
    TextCase{"crankDelay7Is3", 33, 7, 1, crankDelay, "3"},
    TextCase{"crankDelay0Is3", 33, 0, 1, crankDelay, "3"},
    TextCase{"crankDelay31Is5", 33, 31, 1, crankDelay, "5"},
    TextCase{"crankDelay3Is2", 33, 3, 1, crankDelay, "2"},
    TextCase{"crankDelay255Is8", 33, 255, 1, crankDelay, "8"},
    TextCase{"crankDelay1Is3", 33, 1, 1, crankDelay, "3"},
    TextCase{"outputCode43IsStoredAsRaw", 43, 60, 1, raw0, "60"},
    TextCase{"outputCode43ShowsInTheChannelsUnit", 43, 60, 1, text0, "3000"},
    TextCase{"rpmLimit255Is12750", 45, 255, 1, rpmLimit, "12750"},
    TextCase{"unwindRate200Is200", 51, 200, 1, unwindRate, "200"},
};

std::string caseName(const testing::TestParamInfo<TextCase>& param) {
    return param.param.name;
}

INSTANTIATE_TEST_SUITE_P(Examples, CodecDecodeText, testing::ValuesIn(kTextCases), caseName);

TEST(CodecDecode, optionBitsChooseTheOptions) {
    const Tune all = decodedWith(30, 1 + 2 + 4 + 8 + 16);
    EXPECT_TRUE(all.option(Option::PortedTPS));
    EXPECT_FALSE(all.option(Option::PortedRPM));
    EXPECT_TRUE(all.option(Option::Map115));
    EXPECT_FALSE(all.option(Option::Map250));
    EXPECT_EQ(all.invertSpout, 1);
    EXPECT_TRUE(all.option(Option::UnwindSpark));
    EXPECT_FALSE(all.option(Option::UnwindMsec));

    const Tune rpmOnly = decodedWith(30, 2 + 224);
    EXPECT_TRUE(rpmOnly.option(Option::PortedRPM));
    EXPECT_TRUE(rpmOnly.option(Option::Map250));
    EXPECT_EQ(rpmOnly.invertSpout, 0);
    EXPECT_TRUE(rpmOnly.option(Option::UnwindMsec));

    Tune none = Tune::startup(Edition::BEL);
    none.setOption(Option::PortedTPS, true);
    link::RxBuffer image = imageOf(none);
    image[30] = 0;
    none = decoded(image);
    EXPECT_TRUE(none.option(Option::PortedNone));
    EXPECT_FALSE(none.option(Option::PortedTPS));
}

struct CylinderCase {
    int byte;
    bool stroke2;
    const char* cylinders;
    int oddFire;
};

class CodecDecodeCylinders : public testing::TestWithParam<CylinderCase> {};

TEST_P(CodecDecodeCylinders, cylinderByteSetsStrokeCountAndOddFire) {
    const CylinderCase c = GetParam();
    const Tune tune = decodedWith(42, c.byte);
    EXPECT_EQ(tune.option(Option::Stroke2), c.stroke2);
    EXPECT_EQ(tune.option(Option::Stroke4), !c.stroke2);
    EXPECT_EQ(tune.cylinders.text, c.cylinders);
    EXPECT_EQ(tune.oddFire, c.oddFire);
}

INSTANTIATE_TEST_SUITE_P(
    Examples, CodecDecodeCylinders,
    testing::Values(CylinderCase{134, true, "6", 0}, CylinderCase{7, false, "4", 0},
                    CylinderCase{135, true, "4", 0}, CylinderCase{72, false, "8", 1},
                    CylinderCase{129, true, "1", 0}, CylinderCase{12, false, "12", 0},
                    CylinderCase{1, false, "4", 0}, CylinderCase{192 + 3, true, "3", 1}));

TEST(CodecDecode, qoltReducesTheCylinderByteAndLeavesTheStrokesAlone) {
    const Tune tune = decodedWith(42, 72, Edition::QOLT);
    EXPECT_EQ(tune.cylinders.text, "8");
    EXPECT_EQ(tune.oddFire, 0);
    EXPECT_FALSE(tune.option(Option::Stroke4));
    EXPECT_FALSE(tune.option(Option::Stroke2));

    const Tune twoStroke = decodedWith(42, 128 + 64 + 6, Edition::QOLT);
    EXPECT_EQ(twoStroke.cylinders.text, "6");
    EXPECT_EQ(twoStroke.oddFire, 0);
    EXPECT_FALSE(twoStroke.option(Option::Stroke2));
}

TEST(CodecDecode, qoltCountMissingFromItsShortListLeavesTheListAsItWas) {
    const Tune tune = decodedWith(42, 2, Edition::QOLT);
    EXPECT_EQ(tune.cylinders.index, 0);
    EXPECT_EQ(tune.cylinders.text, "4");
    ASSERT_EQ(tune.cylinders.entries.size(), 3u);
}

TEST(CodecDecode, limiterByteChoosesActionAndType) {
    const Tune retard = decodedWith(46, 132);
    EXPECT_TRUE(retard.option(Option::Retard));
    EXPECT_FALSE(retard.option(Option::Drop));
    EXPECT_EQ(retard.limitType.index, 4);
    EXPECT_EQ(retard.limitType.text, " 67%  Firm, 2 of 3");

    const Tune drop = decodedWith(46, 9);
    EXPECT_TRUE(drop.option(Option::Drop));
    EXPECT_EQ(drop.limitType.index, 9);
}

TEST(CodecDecode, limiterTypePastTheListFallsBackToTheFirstEntry) {
    Tune before = Tune::startup(Edition::BEL);
    ASSERT_TRUE(before.limitType.select(5));
    link::RxBuffer image = imageOf(before);
    image[46] = 128 + 10;
    Tune tune = before;
    link::imageToSetup(tune, image, Edition::BEL);
    EXPECT_TRUE(tune.option(Option::Retard));
    EXPECT_EQ(tune.limitType.index, 0);
    EXPECT_EQ(tune.limitType.text, "  ** DISABLED **");
}

TEST(CodecDecode, indicatorAndKnockIndexesPastTheListChangeNothing) {
    Tune before = Tune::startup(Edition::BEL);
    ASSERT_TRUE(before.xled.select(1));
    ASSERT_TRUE(before.knockIncr.select(3));
    link::RxBuffer image = imageOf(before);
    image[48] = 3;
    image[50] = 9;
    Tune tune = before;
    link::imageToSetup(tune, image, Edition::BEL);
    EXPECT_EQ(tune.xled.index, 1);
    EXPECT_EQ(tune.xled.text, "Knock");
    EXPECT_EQ(tune.knockIncr.index, 3);
    EXPECT_EQ(tune.knockIncr.text, "1.5");

    image[48] = 2;
    image[50] = 8;
    link::imageToSetup(tune, image, Edition::BEL);
    EXPECT_EQ(tune.xled.text, "Input");
    EXPECT_EQ(tune.knockIncr.text, "4.0");
}

TEST(CodecDecode, channelIsSetAfterTheRawCodeSoItsTextUsesTheNewCode) {
    link::RxBuffer image = imageOf(Tune::startup(Edition::BEL));
    image[43] = 51;
    image[52] = 4;
    image[44] = 0;
    image[53] = 8;
    const Tune tune = decoded(image);
    EXPECT_EQ(tune.outputs[0].channel.text, "TPS");
    EXPECT_EQ(tune.outputs[0].text, "1.00");
    EXPECT_EQ(tune.outputs[1].channel.text, "IGN");
    EXPECT_EQ(tune.outputs[1].text, "-32.0");
}

TEST(CodecDecode, channelPastTheListFallsBackToRpm) {
    Tune before = Tune::startup(Edition::BEL);
    ASSERT_TRUE(before.selectChannel(1, 1));
    link::RxBuffer image = imageOf(before);
    image[44] = 60;
    image[53] = 11;
    Tune tune = before;
    link::imageToSetup(tune, image, Edition::BEL);
    EXPECT_EQ(tune.outputs[1].channel.index, 0);
    EXPECT_EQ(tune.outputs[1].text, "3000");
}

TEST(CodecDecode, sameImageShowsOtherPressuresWithoutThe3BarScale) {
    const link::RxBuffer image = imageOf(Tune::startup(Edition::BEL));
    EXPECT_EQ(decoded(image, Edition::BEL, 1).text(Table::Map, 0), "40");
    EXPECT_EQ(decoded(image, Edition::BEL, 0).text(Table::Map, 0), "34");
}

}  // namespace

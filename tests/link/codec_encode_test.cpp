#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "link/Codec.h"
#include "tune/Tune.h"

namespace {

using link::ImageWrite;
using tune::Edition;
using tune::Option;
using tune::Single;
using tune::Table;
using tune::Tune;

link::EngineConstants constantsOf(const Tune& tune) {
    const std::optional<link::EngineConstants> constants = link::calcEngineConstants(tune);
    EXPECT_TRUE(constants.has_value());
    return constants.value_or(link::EngineConstants{});
}

// The value written at `offset`, or nothing when the send has no write for it.
std::optional<int> writtenAt(const Tune& tune, int offset) {
    for (const ImageWrite& write : link::encodeTune(tune, constantsOf(tune))) {
        if (write.offset == offset)
            return write.value;
    }
    return std::nullopt;
}

Tune bel() {
    return Tune::startup(Edition::BEL);
}

TEST(CodecEncode, belStartupTuneGivesTheExactWriteListInSendOrder) {
    const Tune tune = bel();
    const std::vector<ImageWrite> expected{
        {0, 16},  {6, 20},   {12, 140}, {18, 34},  {1, 36},   {7, 50},   {13, 136}, {19, 51},
        {2, 48},  {8, 70},   {14, 132}, {20, 68},  {3, 64},   {9, 90},   {15, 128}, {21, 85},
        {4, 64},  {10, 110}, {16, 124}, {22, 119}, {5, 60},   {11, 130}, {17, 118}, {23, 136},
        {24, 51}, {25, 76},  {26, 90},  {27, 90},  {28, 30},  {29, 40},  {30, 0},   {31, 12},
        {32, 6},  {33, 7},   {34, 0},   {35, 105}, {36, 120}, {37, 0},   {38, 1},   {39, 108},
        {40, 0},  {41, 90},  {42, 4},   {43, 0},   {44, 0},   {45, 24},  {46, 0},   {47, 255},
        {48, 0},  {50, 0},   {51, 25},  {52, 0},   {53, 0},
    };
    EXPECT_EQ(link::encodeTune(tune, constantsOf(tune)), expected);
}

TEST(CodecEncode, sendNeverWritesOffset49OrPast53) {
    const Tune tune = bel();
    const std::vector<ImageWrite> writes = link::encodeTune(tune, constantsOf(tune));
    ASSERT_EQ(writes.size(), 53u);
    for (const ImageWrite& write : writes) {
        EXPECT_NE(write.offset, 49);
        EXPECT_LE(write.offset, 53);
    }
}

struct TextCase {
    const char* name;
    void (*edit)(Tune&);
    int offset;
    int expected;
};

class CodecEncodeText : public testing::TestWithParam<TextCase> {};

TEST_P(CodecEncodeText, fieldTextEncodesToTheByte) {
    Tune tune = bel();
    GetParam().edit(tune);
    EXPECT_EQ(writtenAt(tune, GetParam().offset), GetParam().expected);
}

const TextCase kTextCases[] = {

    TextCase{"baseTiming12Gives24", [](Tune& t) { t.text(Table::BaseTiming, 2) = "12"; }, 2, 24},
    TextCase{"mapAdjMinus5Gives118", [](Tune& t) { t.text(Table::MapAdj, 0) = "-5"; }, 12, 118},
    TextCase{"mapAdjPlus6Gives140", [](Tune& t) { t.text(Table::MapAdj, 5) = "+6"; }, 17, 140},
    TextCase{"map100With3BarGives85", [](Tune& t) { t.text(Table::Map, 1) = "100"; }, 19, 85},
    TextCase{"map100Without3BarGives100",
             [](Tune& t) {
                 t.check1 = 0;
                 t.text(Table::Map, 1) = "100";
             },
             19, 100},
    TextCase{"rpm2500Gives50", [](Tune& t) { t.text(Table::RPM, 4) = "2500"; }, 10, 50},
    TextCase{"startTps1Gives51", [](Tune& t) { t.text(Single::PortedStartTPS) = "1.0"; }, 24, 51},
    TextCase{"fullTps2Point5GoesToEven128", [](Tune& t) { t.text(Single::PortedFullTPS) = "2.5"; },
             25, 128},
    TextCase{"static12Point5Gives25", [](Tune& t) { t.text(Single::Static) = "12.5"; }, 26, 25},
    TextCase{"staticIsWrittenTwice", [](Tune& t) { t.text(Single::Static) = "12.5"; }, 27, 25},
    TextCase{"portedStartRpm2500Gives50", [](Tune& t) { t.text(Single::PortedStartRPM) = "2500"; },
             28, 50},
    TextCase{"crankAdv10Gives20", [](Tune& t) { t.text(Single::CrankAdv) = "10"; }, 31, 20},
    TextCase{"crankRpm950Gives19", [](Tune& t) { t.text(Single::CrankRPM) = "950"; }, 32, 19},
    TextCase{"crankDelay8Gives255", [](Tune& t) { t.crankDelay.selectText("8"); }, 33, 255},
    TextCase{"crankDelay2Gives3", [](Tune& t) { t.crankDelay.selectText("2"); }, 33, 3},
    TextCase{"rpmLimit6000Gives120", [](Tune& t) { t.text(Single::RPMlimit) = "6000"; }, 45, 120},
    TextCase{"unwindRate200Gives200", [](Tune& t) { t.text(Single::UnwindRate) = "200"; }, 51, 200},
    TextCase{"outputRaw60Gives60", [](Tune& t) { t.outputs[0].raw = "60"; }, 43, 60},
    TextCase{"secondOutputRaw255Gives255", [](Tune& t) { t.outputs[1].raw = "255"; }, 44, 255},
    TextCase{"rpmAbove12750StaysOutOfByteRange", [](Tune& t) { t.text(Table::RPM, 0) = "12800"; },
             6, 256},
    TextCase{"typedNonNumberReadsAsZero", [](Tune& t) { t.text(Table::BaseTiming, 0) = "abc"; }, 0,
             0},
};

std::string caseName(const testing::TestParamInfo<TextCase>& param) {
    return param.param.name;
}

INSTANTIATE_TEST_SUITE_P(Examples, CodecEncodeText, testing::ValuesIn(kTextCases), caseName);

TEST(CodecEncode, optionFlagsSetOneBitPerChosenOption) {
    Tune tune = bel();
    tune.setOption(Option::PortedTPS, true);
    EXPECT_EQ(writtenAt(tune, 30), 1);
    tune.setOption(Option::PortedRPM, true);
    EXPECT_EQ(writtenAt(tune, 30), 2);
    tune.setOption(Option::Map115, true);
    tune.invertSpout = 1;
    tune.setOption(Option::UnwindSpark, true);
    EXPECT_EQ(writtenAt(tune, 30), 2 + 4 + 8 + 16);
}

TEST(CodecEncode, eightCylinderFourStrokeOddFireGives72) {
    Tune tune = bel();
    ASSERT_TRUE(tune.cylinders.selectText("8"));
    tune.oddFire = 1;
    EXPECT_EQ(writtenAt(tune, 42), 72);
}

TEST(CodecEncode, sixCylinderTwoStrokeGives134) {
    Tune tune = bel();
    tune.setOption(Option::Stroke2, true);
    ASSERT_TRUE(tune.cylinders.selectText("6"));
    EXPECT_EQ(writtenAt(tune, 42), 134);
}

TEST(CodecEncode, eightCylinderFourStrokeConstantsGiveTheirBytes) {
    Tune tune = bel();
    ASSERT_TRUE(tune.cylinders.selectText("8"));
    const std::vector<int> expected{0, 52, 188, 0, 2, 216, 0, 45};
    for (int offset = 34; offset <= 41; ++offset) {
        EXPECT_EQ(writtenAt(tune, offset), expected[static_cast<std::size_t>(offset - 34)])
            << "offset " << offset;
    }
}

TEST(CodecEncode, limiter67PercentWithRetardGives132And4) {
    Tune tune = bel();
    ASSERT_TRUE(tune.limitType.select(4));
    ASSERT_EQ(tune.limitType.text, " 67%  Firm, 2 of 3");
    tune.setOption(Option::Retard, true);
    EXPECT_EQ(writtenAt(tune, 46), 132);
    EXPECT_EQ(writtenAt(tune, 47), 4);
}

TEST(CodecEncode, everyLimiterEntryGivesItsSparkPattern) {
    const std::vector<int> patterns{255, 0, 16, 8, 4, 20, 2, 26, 6, 14};
    Tune tune = bel();
    for (int index = 0; index < 10; ++index) {
        ASSERT_TRUE(tune.limitType.select(index));
        EXPECT_EQ(writtenAt(tune, 46), index);
        EXPECT_EQ(writtenAt(tune, 47), patterns[static_cast<std::size_t>(index)])
            << tune.limitType.text;
    }
}

TEST(CodecEncode, typedLimiterTextIsMatchedByItsFirstThreeCharacters) {
    Tune tune = bel();
    tune.limitType.index = -1;
    tune.limitType.text = "  33% my own";
    EXPECT_EQ(writtenAt(tune, 47), 6);
    tune.limitType.text = "nonsense";
    EXPECT_EQ(writtenAt(tune, 47), 255);
}

TEST(CodecEncode, typedLimiterTextWithRetardSendsNoLimiterByte) {
    Tune tune = bel();
    tune.limitType.index = -1;
    tune.limitType.text = "50%";
    tune.setOption(Option::Retard, true);
    const std::optional<int> value = writtenAt(tune, 46);
    ASSERT_TRUE(value.has_value());
    EXPECT_TRUE(*value < 0 || *value > 255) << *value;
}

TEST(CodecEncode, listIndexesAreWrittenAsTheyStand) {
    Tune tune = bel();
    ASSERT_TRUE(tune.xled.select(2));
    ASSERT_TRUE(tune.knockIncr.select(8));
    ASSERT_TRUE(tune.selectChannel(0, 10));
    ASSERT_TRUE(tune.selectChannel(1, 4));
    EXPECT_EQ(writtenAt(tune, 48), 2);
    EXPECT_EQ(writtenAt(tune, 50), 8);
    EXPECT_EQ(writtenAt(tune, 52), 10);
    EXPECT_EQ(writtenAt(tune, 53), 4);
}

TEST(CodecEncode, zavWithoutIndicatorSelectionKeepsMinusOneInTheList) {
    const Tune tune = Tune::startup(Edition::ZAV);
    EXPECT_EQ(writtenAt(tune, 48), -1);
}

struct ConstantsRow {
    int sparks;
    int rpmK, delayK, msdK;
};

class CodecEngineConstants : public testing::TestWithParam<ConstantsRow> {};

// Two-stroke cylinder counts 1..6 and the four-stroke counts give every spark count 2..12.
Tune tuneWithSparks(int sparks) {
    Tune tune = bel();
    if (sparks == 7 || sparks == 9 || sparks == 11) {
        tune.cylinders.text = std::to_string(sparks);
        tune.cylinders.index = -1;
    } else {
        EXPECT_TRUE(tune.cylinders.selectText(std::to_string(sparks)));
    }
    return tune;
}

TEST_P(CodecEngineConstants, sparkCountGivesItsConstants) {
    const ConstantsRow row = GetParam();
    const std::optional<link::EngineConstants> constants =
        link::calcEngineConstants(tuneWithSparks(row.sparks));
    ASSERT_TRUE(constants.has_value());
    EXPECT_EQ(constants->rpmK, row.rpmK);
    EXPECT_EQ(constants->delayK, row.delayK);
    EXPECT_EQ(constants->msdK, row.msdK);
}

INSTANTIATE_TEST_SUITE_P(
    AllSparkCounts, CodecEngineConstants,
    testing::Values(ConstantsRow{2, 13824001, 182, 180}, ConstantsRow{3, 9216000, 273, 120},
                    ConstantsRow{4, 6912000, 364, 90}, ConstantsRow{5, 5529600, 455, 72},
                    ConstantsRow{6, 4608000, 546, 60}, ConstantsRow{7, 3949714, 636, 51},
                    ConstantsRow{8, 3456000, 728, 45}, ConstantsRow{9, 3072000, 819, 40},
                    ConstantsRow{10, 2764800, 910, 36}, ConstantsRow{11, 2513455, 1008, 33},
                    ConstantsRow{12, 2304000, 1092, 30}));

TEST(CodecEngineConstants, twoStrokeDoublesTheCylinderCount) {
    Tune tune = bel();
    tune.setOption(Option::Stroke2, true);
    ASSERT_TRUE(tune.cylinders.selectText("1"));
    ASSERT_TRUE(link::calcEngineConstants(tune).has_value());
    EXPECT_EQ(link::calcEngineConstants(tune)->rpmK, 13824001);
    ASSERT_TRUE(tune.cylinders.selectText("6"));
    EXPECT_EQ(link::calcEngineConstants(tune)->rpmK, 2304000);
}

TEST(CodecEngineConstants, sparkCountsOutside2To12AreRefused) {
    Tune tune = bel();
    for (const char* text : {"", "abc", "0", "1", "13", "-4", "1E20"}) {
        tune.cylinders.text = text;
        EXPECT_FALSE(link::calcEngineConstants(tune).has_value()) << '"' << text << '"';
    }
    tune.setOption(Option::Stroke2, true);
    tune.cylinders.text = "8";
    EXPECT_FALSE(link::calcEngineConstants(tune).has_value());
    tune.cylinders.text = "2147483647";
    EXPECT_FALSE(link::calcEngineConstants(tune).has_value());
}

}  // namespace

#include <gtest/gtest.h>

#include <functional>
#include <optional>
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

// The value written at `offset`, or nothing when the send has no write for it.
std::optional<int> writtenAt(const Tune& tune, int offset) {
    const auto constants = link::calcEngineConstants(tune).value_or(link::EngineConstants{});
    for (const link::ImageWrite& write : link::encodeTune(tune, constants)) {
        if (write.offset == offset)
            return write.value;
    }
    return std::nullopt;
}

// A list whose text was typed rather than chosen from its entries.
void typeInto(tune::ListField& list, const char* text) {
    list.index = -1;
    list.text = text;
}

// The Tune with these options chosen too.
template <typename... Options>
Tune& choose(Tune& tune, Options... options) {
    (tune.setOption(options, true), ...);
    return tune;
}

struct EditCase {
    const char* rule;
    std::function<void(Tune&)> edit;
    int offset;
    int expected;
};

TEST(CodecEncode, eachFieldRuleGivesItsByteFromTheStartupTune) {
    using enum tune::Option;
    const EditCase cases[] = {
        {"degrees x 2", [](auto& t) { t.text(Table::BaseTiming, 2) = "12"; }, 2, 24},
        {"rpm / 50", [](auto& t) { t.text(Table::RPM, 4) = "2500"; }, 10, 50},
        {"signed x 2 + 128", [](auto& t) { t.text(Table::MapAdj, 0) = "-5"; }, 12, 118},
        {"kPa / 1.176 with 3 Bar", [](auto& t) { t.text(Table::Map, 1) = "100"; }, 19, 85},
        {"kPa without 3 Bar", [](auto& t) { t.check1 = 0; }, 18, 40},
        {"volts, half to even", [](auto& t) { t.text(Single::PortedFullTPS) = "2.5"; }, 25, 128},
        {"static twice", [](auto& t) { t.text(Single::Static) = "12.5"; }, 27, 25},
        {"2^delay - 1", [](auto& t) { t.crankDelay.selectText("8"); }, 33, 255},
        {"unwind rate as is", [](auto& t) { t.text(Single::UnwindRate) = "200"; }, 51, 200},
        {"stored raw threshold", [](auto& t) { t.outputs[1].raw = "255"; }, 44, 255},
        {"past the byte range", [](auto& t) { t.text(Table::RPM, 0) = "12800"; }, 6, 256},
        {"non-number reads as 0", [](auto& t) { t.text(Table::BaseTiming, 0) = "abc"; }, 0, 0},
        {"bits 0, 2, 4", [](auto& t) { choose(t, PortedTPS, Map115, UnwindSpark); }, 30, 21},
        {"bit 1", [](auto& t) { choose(t, PortedRPM); }, 30, 2},
        {"bit 3", [](auto& t) { t.invertSpout = 1; }, 30, 8},
        {"cylinders + 64 odd fire", [](auto& t) { t.oddFire = 1; }, 42, 4 + 64},
        {"+ 128 2-stroke", [](auto& t) { choose(t, Stroke2).cylinders.text = "6"; }, 42, 134},
        {"limiter + 128 retard", [](auto& t) { choose(t, Retard).limitType.select(4); }, 46, 132},
        {"typed, retard", [](auto& t) { typeInto(choose(t, Retard).limitType, "50%"); }, 46, -1},
        {"typed limiter, 3 chars", [](auto& t) { typeInto(t.limitType, " 33% x"); }, 47, 6},
        {"unknown limiter text", [](auto& t) { typeInto(t.limitType, "nonsense"); }, 47, 255},
        {"list index", [](auto& t) { t.selectChannel(1, 4); }, 53, 4},
        {"no selection keeps -1", [](auto& t) { t.xled.select(-1); }, 48, -1},
    };
    for (const EditCase& c : cases) {
        SCOPED_TRACE(c.rule);
        Tune tune = Tune::startup(Edition::BEL);
        c.edit(tune);
        EXPECT_EQ(writtenAt(tune, c.offset), c.expected);
    }
}

TEST(CodecEncode, everyLimiterEntryGivesItsSparkPattern) {
    Tune tune = Tune::startup(Edition::BEL);
    int index = 0;
    for (int pattern : {255, 0, 16, 8, 4, 20, 2, 26, 6, 14}) {
        ASSERT_TRUE(tune.limitType.select(index++));
        EXPECT_EQ(writtenAt(tune, 47), pattern) << tune.limitType.text;
    }
}

struct ConstantsRow {
    int sparks;
    int rpmK, delayK, msdK;
};

TEST(CodecEngineConstants, sparkCountGivesItsConstants) {
    const ConstantsRow rows[] = {
        {2, 13824001, 182, 180}, {3, 9216000, 273, 120}, {4, 6912000, 364, 90},
        {5, 5529600, 455, 72},   {6, 4608000, 546, 60},  {7, 3949714, 636, 51},
        {8, 3456000, 728, 45},   {9, 3072000, 819, 40},  {10, 2764800, 910, 36},
        {11, 2513455, 1008, 33}, {12, 2304000, 1092, 30}};
    for (const ConstantsRow& row : rows) {
        SCOPED_TRACE(row.sparks);
        Tune tune = Tune::startup(Edition::BEL);
        typeInto(tune.cylinders, std::to_string(row.sparks).c_str());
        const link::EngineConstants constants =
            link::calcEngineConstants(tune).value_or(link::EngineConstants{});
        EXPECT_EQ(constants.rpmK, row.rpmK);
        EXPECT_EQ(constants.delayK, row.delayK);
        EXPECT_EQ(constants.msdK, row.msdK);
    }
}

TEST(CodecEngineConstants, twoStrokeDoublesTheCountAndSparksOutside2To12AreRefused) {
    Tune tune = Tune::startup(Edition::BEL);
    for (const char* text : {"", "abc", "0", "1", "13", "-4", "1E20"}) {
        tune.cylinders.text = text;
        EXPECT_FALSE(link::calcEngineConstants(tune).has_value()) << '"' << text << '"';
    }
    tune.setOption(Option::Stroke2, true);
    tune.cylinders.text = "1";
    EXPECT_EQ(link::calcEngineConstants(tune).value_or(link::EngineConstants{}).rpmK, 13824001);
    for (const char* text : {"7", "2147483647"}) {
        tune.cylinders.text = text;
        EXPECT_FALSE(link::calcEngineConstants(tune).has_value()) << '"' << text << '"';
    }
}

// The image a controller holding `tune` would upload.
link::RxBuffer imageOf(const Tune& tune) {
    link::RxBuffer image{};
    for (const link::ImageWrite& write :
         link::encodeTune(tune, link::calcEngineConstants(tune).value())) {
        image[static_cast<std::size_t>(write.offset)] = write.value & 0xFF;
    }
    return image;
}

// The start-up Tune of `edition` after uploading the BEL start-up image with one byte changed.
Tune decodedWith(int offset, int byte, Edition edition = Edition::BEL, int check1 = 1) {
    link::RxBuffer image = imageOf(Tune::startup(Edition::BEL));
    image[static_cast<std::size_t>(offset)] = byte;
    Tune tune = Tune::startup(edition);
    tune.check1 = check1;
    link::imageToSetup(tune, image, edition);
    return tune;
}

// The output texts come back only when each channel is set after its raw code.
TEST(CodecDecode, editedTuneSurvivesEncodeAndDecode) {
    Tune original = Tune::startup(Edition::BEL);
    original.setOption(Option::PortedRPM, true);
    original.setOption(Option::Retard, true);
    ASSERT_TRUE(original.limitType.select(7));
    ASSERT_TRUE(original.cylinders.selectText("6"));
    ASSERT_TRUE(original.selectChannel(1, 8));
    original.outputs[1].raw = "84";
    original.channelChanged(1);
    ASSERT_TRUE(original.xled.select(2));
    ASSERT_TRUE(original.knockIncr.select(8));
    Tune back = Tune::startup(Edition::BEL);
    link::imageToSetup(back, imageOf(original), Edition::BEL);
    EXPECT_EQ(tune::settingStr(back), tune::settingStr(original));
}

using Field = std::function<std::string(const Tune&)>;

struct TextCase {
    int offset;
    int byte;
    int check1;
    Field field;
    const char* expected;
};

// 120 lies outside the field's range and is kept as decoded; 117 gives -5.5, committed to whole
// degrees with the half going to even.
TEST(CodecDecode, eachByteRuleGivesItsText) {
    const Field baseTiming = [](const Tune& t) { return t.text(Table::BaseTiming, 0); };
    const Field rpm = [](const Tune& t) { return t.text(Table::RPM, 1); };
    const Field mapAdj = [](const Tune& t) { return t.text(Table::MapAdj, 0); };
    const Field map = [](const Tune& t) { return t.text(Table::Map, 3); };
    const Field volts = [](const Tune& t) { return t.text(Single::PortedStartTPS); };
    const Field degrees = [](const Tune& t) { return t.text(Single::Static); };
    const Field delay = [](const Tune& t) { return t.crankDelay.text; };
    const Field raw = [](const Tune& t) { return t.outputs[0].raw; };
    const Field unwind = [](const Tune& t) { return t.text(Single::UnwindRate); };
    const TextCase cases[] = {
        {0, 25, 1, baseTiming, "12.5"}, {0, 120, 1, baseTiming, "60"}, {7, 50, 1, rpm, "2500"},
        {12, 117, 1, mapAdj, "-6"},     {12, 255, 1, mapAdj, "+40"},   {21, 85, 1, map, "100"},
        {21, 85, 0, map, "85"},         {24, 51, 1, volts, "1.0"},     {26, 90, 1, degrees, "45.0"},
        {33, 31, 1, delay, "5"},        {33, 255, 1, delay, "8"},      {33, 1, 1, delay, "3"},
        {43, 60, 1, raw, "60"},         {51, 200, 1, unwind, "200"}};
    for (const TextCase& c : cases) {
        SCOPED_TRACE(testing::Message() << "offset " << c.offset << " byte " << c.byte);
        EXPECT_EQ(c.field(decodedWith(c.offset, c.byte, Edition::BEL, c.check1)), c.expected);
    }
}

TEST(CodecDecode, optionBitsAndTheLimiterBitChooseTheOptions) {
    const Tune all = decodedWith(30, 1 + 2 + 4 + 8 + 16);
    EXPECT_TRUE(all.option(Option::PortedTPS));
    EXPECT_TRUE(all.option(Option::Map115));
    EXPECT_EQ(all.invertSpout, 1);
    EXPECT_TRUE(all.option(Option::UnwindSpark));

    const Tune rpmOnly = decodedWith(30, 2 + 224);
    EXPECT_TRUE(rpmOnly.option(Option::PortedRPM));
    EXPECT_TRUE(rpmOnly.option(Option::Map250));
    EXPECT_EQ(rpmOnly.invertSpout, 0);
    EXPECT_TRUE(rpmOnly.option(Option::UnwindMsec));

    EXPECT_TRUE(decodedWith(30, 0).option(Option::PortedNone));
    EXPECT_TRUE(decodedWith(46, 9).option(Option::Drop));
}

struct CylinderCase {
    int byte;
    Edition edition;
    bool stroke2, stroke4;
    const char* cylinders;
    int oddFire;
};

// A count missing from the list (2 in QOLT) leaves the list as it was.
TEST(CodecDecode, cylinderByteSetsStrokeCountAndOddFire) {
    using enum tune::Edition;
    const CylinderCase cases[] = {
        {134, BEL, true, false, "6", 0},   {135, BEL, true, false, "4", 0},
        {7, BEL, false, true, "4", 0},     {72, BEL, false, true, "8", 1},
        {129, BEL, true, false, "1", 0},   {72, QOLT, false, false, "8", 0},
        {134, QOLT, false, false, "6", 0}, {2, QOLT, false, false, "4", 0}};
    for (const CylinderCase& c : cases) {
        SCOPED_TRACE(testing::Message() << c.byte << " in " << static_cast<int>(c.edition));
        const Tune tune = decodedWith(42, c.byte, c.edition);
        EXPECT_EQ(tune.option(Option::Stroke2), c.stroke2);
        EXPECT_EQ(tune.option(Option::Stroke4), c.stroke4);
        EXPECT_EQ(tune.cylinders.text, c.cylinders);
        EXPECT_EQ(tune.oddFire, c.oddFire);
    }
}

TEST(CodecDecode, listBytesPastTheirListsFallBackToTheFirstEntryOrChangeNothing) {
    Tune tune = Tune::startup(Edition::BEL);
    ASSERT_TRUE(tune.xled.select(1));
    ASSERT_TRUE(tune.knockIncr.select(3));
    ASSERT_TRUE(tune.selectChannel(1, 1));
    link::RxBuffer image = imageOf(tune);
    image[46] = 128 + 10;
    image[48] = 3;
    image[50] = 9;
    image[44] = 60;
    image[53] = 11;
    link::imageToSetup(tune, image, Edition::BEL);
    EXPECT_TRUE(tune.option(Option::Retard));
    EXPECT_EQ(tune.limitType.text, "  ** DISABLED **");
    EXPECT_EQ(tune.xled.text, "Knock");
    EXPECT_EQ(tune.knockIncr.text, "1.5");
    EXPECT_EQ(tune.outputs[1].channel.index, 0);
    EXPECT_EQ(tune.outputs[1].text, "3000");
}

}  // namespace

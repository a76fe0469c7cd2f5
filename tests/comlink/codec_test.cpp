#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <functional>
#include <optional>
#include <set>
#include <string>
#include <tuple>
#include <utility>

#include "comlink/Codec.h"
#include "comlink/Transfer.h"
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
    const auto constants = comlink::calcEngineConstants(tune).value_or(comlink::EngineConstants{});
    for (const comlink::ImageWrite& write : comlink::encodeTune(tune, constants)) {
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

// The timing, speed, MAP advance, pressure and crank delay rules: the command-line tool's send
// pins the start-up Tune's every byte.
TEST(CodecEncode, eachFieldRuleGivesItsByteFromTheStartupTune) {
    using enum tune::Option;
    const std::tuple<const char*, std::function<void(Tune&)>, int, int> cases[] = {
        {"kPa without 3 Bar", [](auto& t) { t.check1 = 0; }, 18, 40},
        {"volts, half to even", [](auto& t) { t.text(Single::PortedFullTPS) = "2.5"; }, 25, 128},
        {"stored raw threshold", [](auto& t) { t.outputs[1].raw = "255"; }, 44, 255},
        {"past the byte range", [](auto& t) { t.text(Table::RPM, 0) = "12800"; }, 6, 256},
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
    for (const auto& [rule, edit, offset, expected] : cases) {
        SCOPED_TRACE(rule);
        Tune tune = Tune::startup(Edition::BEL);
        edit(tune);
        EXPECT_EQ(writtenAt(tune, offset), expected);
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

TEST(CodecEngineConstants, sparkCountGivesItsConstants) {
    // Sparks per 720 degrees, then rpmK, delayK and msdK.
    const std::tuple<int, int, int, int> rows[] = {
        {2, 13824001, 182, 180}, {3, 9216000, 273, 120}, {4, 6912000, 364, 90},
        {5, 5529600, 455, 72},   {6, 4608000, 546, 60},  {7, 3949714, 636, 51},
        {8, 3456000, 728, 45},   {9, 3072000, 819, 40},  {10, 2764800, 910, 36},
        {11, 2513455, 1008, 33}, {12, 2304000, 1092, 30}};
    for (const auto& [sparks, rpmK, delayK, msdK] : rows) {
        SCOPED_TRACE(sparks);
        Tune tune = Tune::startup(Edition::BEL);
        typeInto(tune.cylinders, std::to_string(sparks).c_str());
        const auto c = comlink::calcEngineConstants(tune).value_or(comlink::EngineConstants{});
        EXPECT_EQ(std::tuple(c.rpmK, c.delayK, c.msdK), std::tuple(rpmK, delayK, msdK));
    }
}

TEST(CodecEngineConstants, twoStrokeDoublesTheCountAndSparksOutside2To12AreRefused) {
    using enum tune::Option;
    const std::pair<Option, const char*> refused[] = {
        {Stroke4, ""},   {Stroke4, "abc"},  {Stroke4, "1"}, {Stroke4, "13"},
        {Stroke4, "-4"}, {Stroke4, "1E20"}, {Stroke2, "7"}, {Stroke2, "2147483647"}};
    Tune tune = Tune::startup(Edition::BEL);
    for (const auto& [stroke, text] : refused) {
        choose(tune, stroke).cylinders.text = text;
        EXPECT_FALSE(comlink::calcEngineConstants(tune).has_value()) << '"' << text << '"';
    }
    tune.cylinders.text = "1";
    EXPECT_EQ(comlink::calcEngineConstants(tune).value_or(comlink::EngineConstants{}).rpmK,
              13824001);
}

// The image a controller holding `tune` would upload.
comlink::RxBuffer imageOf(const Tune& tune) {
    comlink::RxBuffer image{};
    for (const comlink::ImageWrite& write :
         comlink::encodeTune(tune, comlink::calcEngineConstants(tune).value())) {
        image[static_cast<std::size_t>(write.offset)] = write.value & 0xFF;
    }
    return image;
}

// The start-up Tune of `edition` after uploading the BEL start-up image with one byte changed.
Tune decodedWith(int offset, int byte, Edition edition = Edition::BEL, int check1 = 1) {
    comlink::RxBuffer image = imageOf(Tune::startup(Edition::BEL));
    image[static_cast<std::size_t>(offset)] = byte;
    Tune tune = Tune::startup(edition);
    tune.check1 = check1;
    comlink::imageToSetup(tune, image, edition);
    return tune;
}

// Every position holds a value of its own, also the ones never read, so a field read from a
// neighbouring offset shows in the fields' settings text.
TEST(CodecDecode, eachFieldIsReadFromItsOwnOffset) {
    const std::array<int, comlink::kImageSize> bytes{
        24,  25,  26,  27,  28,  29,                   // tbBaseTiming
        30,  31,  32,  33,  34,  35,                   // tbRPM
        134, 136, 138, 140, 142, 144,                  // tbMapAdj
        40,  41,  42,  43,  44,  45,                   // tbMap
        51,  102, 61,  62,  63,  64,                   // ported TPS, static twice, ported rpm
        21,  22,  23,  15,                             // options, crank timing, rpm, delay
        240, 241, 242, 243, 244, 245, 246, 247,        // engine constants
        72,  60,  84,  120, 132, 131,                  // cylinders, thresholds, limit, limiter
        2,   1,   5,   9,   7,   8,                    // XLED, -, knock, unwind rate, channels
        200, 201, 202, 203, 204, 205, 206, 207, 208};  // never written
    ASSERT_EQ(std::set<int>(bytes.begin(), bytes.end()).size(), bytes.size());
    comlink::RxBuffer image{};
    std::copy(bytes.begin(), bytes.end(), image.begin());
    Tune tune = Tune::startup(Edition::BEL);
    tune.check1 = 0;
    comlink::imageToSetup(tune, image, Edition::BEL);
    EXPECT_EQ(tune::settingStr(tune),
              "#TRUE#,#FALSE#,\"8\",\"30.5\",#TRUE#\r\n"
              "\"12\",\"12.5\",\"13\",\"13.5\",\"14\",\"14.5\"\r\n"
              "\"1500\",\"1550\",\"1600\",\"1650\",\"1700\",\"1750\"\r\n"
              "\"+3\",\"+4\",\"+5\",\"+6\",\"+7\",\"+8\"\r\n"
              "\"40\",\"41\",\"42\",\"43\",\"44\",\"45\"\r\n"
              "#TRUE#,#FALSE#,#FALSE#\r\n"
              "\"1.0\",\"2.0\",\"3150\",\"3200\"\r\n"
              "\"11\",\"1150\",\"4\"\r\n"
              "\"AFR\",\"60\",\"IGN\",\"84\"\r\n"
              "\"6000\",\"67%\",#FALSE#,#TRUE#\r\n"
              "#TRUE#,#FALSE#,\"Input\",#FALSE#\r\n"
              "\"2.5\",#FALSE#,#TRUE#,\"9\"");
    EXPECT_EQ(tune.outputs[0].text + " " + tune.outputs[1].text, "6.0 10.0");
}

using Field = std::function<std::string(const Tune&)>;

// 120 lies outside the field's range and is kept as decoded; 117 gives -5.5, committed to whole
// degrees with the half going to even.
TEST(CodecDecode, eachByteRuleGivesItsTextAtTheEdges) {
    const Field baseTiming = [](const Tune& t) { return t.text(Table::BaseTiming, 0); };
    const Field mapAdj = [](const Tune& t) { return t.text(Table::MapAdj, 0); };
    const Field map = [](const Tune& t) { return t.text(Table::Map, 3); };
    const Field delay = [](const Tune& t) { return t.crankDelay.text; };
    const std::tuple<int, int, int, Field, const char*> cases[] = {
        {0, 120, 1, baseTiming, "60"}, {12, 117, 1, mapAdj, "-6"}, {12, 255, 1, mapAdj, "+40"},
        {21, 85, 1, map, "100"},       {33, 31, 1, delay, "5"},    {33, 1, 1, delay, "3"}};
    for (const auto& [offset, byte, check1, field, expected] : cases) {
        SCOPED_TRACE(testing::Message() << "offset " << offset << " byte " << byte);
        EXPECT_EQ(field(decodedWith(offset, byte, Edition::BEL, check1)), expected);
    }
}

TEST(CodecDecode, optionBitsAndTheLimiterBitChooseTheOptions) {
    const Tune all = decodedWith(30, 1 + 2 + 4 + 8 + 16);
    EXPECT_TRUE(all.option(Option::PortedTPS) && all.option(Option::Map115) &&
                all.option(Option::UnwindSpark) && all.invertSpout == 1);
    const Tune rpmOnly = decodedWith(30, 2 + 224);
    EXPECT_TRUE(rpmOnly.option(Option::PortedRPM) && rpmOnly.option(Option::Map250) &&
                rpmOnly.option(Option::UnwindMsec) && rpmOnly.invertSpout == 0);
    EXPECT_TRUE(decodedWith(30, 0).option(Option::PortedNone));
    EXPECT_TRUE(decodedWith(46, 9).option(Option::Drop));
}

// A count missing from the list (2 in QOLT) leaves the list as it was.
TEST(CodecDecode, cylinderByteSetsStrokeCountAndOddFire) {
    using enum tune::Edition;
    const std::tuple<int, Edition, bool, bool, const char*, int> cases[] = {
        {134, BEL, true, false, "6", 0},   {135, BEL, true, false, "4", 0},
        {7, BEL, false, true, "4", 0},     {72, BEL, false, true, "8", 1},
        {129, BEL, true, false, "1", 0},   {72, QOLT, false, false, "8", 0},
        {134, QOLT, false, false, "6", 0}, {2, QOLT, false, false, "4", 0}};
    for (const auto& [byte, edition, stroke2, stroke4, cylinders, oddFire] : cases) {
        SCOPED_TRACE(testing::Message() << byte << " in " << static_cast<int>(edition));
        const Tune t = decodedWith(42, byte, edition);
        EXPECT_EQ(std::tuple(t.option(Option::Stroke2), t.option(Option::Stroke4), t.cylinders.text,
                             t.oddFire),
                  std::tuple(stroke2, stroke4, cylinders, oddFire));
    }
}

TEST(CodecDecode, listBytesPastTheirListsFallBackToTheFirstEntryOrChangeNothing) {
    Tune tune = Tune::startup(Edition::BEL);
    ASSERT_TRUE(tune.xled.select(1));
    ASSERT_TRUE(tune.knockIncr.select(3));
    ASSERT_TRUE(tune.selectChannel(1, 1));
    comlink::RxBuffer image = imageOf(tune);
    for (const auto& [offset, byte] :
         {std::pair(46, 128 + 10), {48, 3}, {50, 9}, {44, 60}, {53, 11}})
        image[offset] = byte;
    comlink::imageToSetup(tune, image, Edition::BEL);
    EXPECT_EQ(std::tuple(tune.option(Option::Retard), tune.limitType.text, tune.xled.text,
                         tune.knockIncr.text, tune.outputs[1].channel.index, tune.outputs[1].text),
              std::tuple(true, "  ** DISABLED **", "Knock", "1.5", 0, "3000"));
}

TEST(SendCheck, cylinderCountComesFirstThenTheEditionsRulesUnderTheirOwnTitle) {
    const comlink::Refusal badCount{"Can not Download!)", "Verify the Cylinder Count"};
    // The rpmK stored, -7 where it is left untouched. A last base timing of 45, not below the
    // static timing, is refused in BEL: see the Session's sending test.
    const std::tuple<const char*, Edition, std::optional<comlink::Refusal>, int> cases[] = {
        {"", Edition::BEL, badCount, -7}, {"4", Edition::QOLT, std::nullopt, 6912000}};
    for (const auto& [cylinders, edition, refusal, storedRpmK] : cases) {
        SCOPED_TRACE(cylinders);
        Tune tune = Tune::startup(Edition::BEL);
        tune.cylinders.text = cylinders;
        tune.text(Table::BaseTiming, 5) = "45";
        comlink::EngineConstants constants{-7, -8, -9};
        EXPECT_EQ(comlink::checkBeforeSend(tune, edition, constants), refusal);
        EXPECT_EQ(constants.rpmK, storedRpmK);
    }
}

}  // namespace

#include <gtest/gtest.h>

#include <functional>
#include <initializer_list>
#include <optional>
#include <string>
#include <vector>

#include "link/Codec.h"
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

// The start-up Tune with these options chosen too.
Tune& choose(Tune& tune, std::initializer_list<Option> options) {
    for (Option option : options) {
        tune.setOption(option, true);
    }
    return tune;
}

struct EditCase {
    const char* rule;
    std::function<void(Tune&)> edit;
    int offset;
    int expected;
};

TEST(CodecEncode, eachFieldRuleGivesItsByteFromTheStartupTune) {
    const EditCase cases[] = {
        {"degrees x 2", [](Tune& t) { t.text(Table::BaseTiming, 2) = "12"; }, 2, 24},
        {"rpm / 50", [](Tune& t) { t.text(Table::RPM, 4) = "2500"; }, 10, 50},
        {"signed x 2 + 128", [](Tune& t) { t.text(Table::MapAdj, 0) = "-5"; }, 12, 118},
        {"kPa / 1.176 with 3 Bar", [](Tune& t) { t.text(Table::Map, 1) = "100"; }, 19, 85},
        {"kPa without 3 Bar", [](Tune& t) { t.check1 = 0; }, 18, 40},
        {"volts x 51 halves to even", [](Tune& t) { t.text(Single::PortedFullTPS) = "2.5"; }, 25,
         128},
        {"static twice", [](Tune& t) { t.text(Single::Static) = "12.5"; }, 27, 25},
        {"2^delay - 1", [](Tune& t) { t.crankDelay.selectText("8"); }, 33, 255},
        {"unwind rate as is", [](Tune& t) { t.text(Single::UnwindRate) = "200"; }, 51, 200},
        {"stored raw threshold", [](Tune& t) { t.outputs[1].raw = "255"; }, 44, 255},
        {"over 12750 rpm leaves the byte range", [](Tune& t) { t.text(Table::RPM, 0) = "12800"; },
         6, 256},
        {"non-number reads as 0", [](Tune& t) { t.text(Table::BaseTiming, 0) = "abc"; }, 0, 0},
        {"option bit 0", [](Tune& t) { choose(t, {Option::PortedTPS}); }, 30, 1},
        {"option bits 1-4",
         [](Tune& t) {
             choose(t, {Option::PortedRPM, Option::Map115, Option::UnwindSpark}).invertSpout = 1;
         },
         30, 2 + 4 + 8 + 16},
        {"cylinders + 64 for odd fire", [](Tune& t) { t.oddFire = 1; }, 42, 4 + 64},
        {"cylinders + 128 for 2-stroke",
         [](Tune& t) { choose(t, {Option::Stroke2}).cylinders.selectText("6"); }, 42, 134},
        {"limiter index + 128 with retard",
         [](Tune& t) { choose(t, {Option::Retard}).limitType.select(4); }, 46, 132},
        {"typed limiter with retard has no type to send",
         [](Tune& t) { typeInto(choose(t, {Option::Retard}).limitType, "50%"); }, 46, -1},
        {"typed limiter matched by three characters",
         [](Tune& t) { typeInto(t.limitType, " 33% x"); }, 47, 6},
        {"unknown limiter text", [](Tune& t) { typeInto(t.limitType, "nonsense"); }, 47, 255},
        {"no selection keeps -1", [](Tune& t) { t.xled.select(-1); }, 48, -1},
        {"list index", [](Tune& t) { t.selectChannel(1, 4); }, 53, 4},
    };
    for (const EditCase& c : cases) {
        SCOPED_TRACE(c.rule);
        Tune tune = Tune::startup(Edition::BEL);
        c.edit(tune);
        EXPECT_EQ(writtenAt(tune, c.offset), c.expected);
    }
}

TEST(CodecEncode, everyLimiterEntryGivesItsSparkPattern) {
    const std::vector<int> patterns{255, 0, 16, 8, 4, 20, 2, 26, 6, 14};
    Tune tune = Tune::startup(Edition::BEL);
    for (int index = 0; index < 10; ++index) {
        ASSERT_TRUE(tune.limitType.select(index));
        EXPECT_EQ(writtenAt(tune, 46), index);
        EXPECT_EQ(writtenAt(tune, 47), patterns[static_cast<std::size_t>(index)])
            << tune.limitType.text;
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

}  // namespace

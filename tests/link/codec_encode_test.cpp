#include <gtest/gtest.h>

#include <functional>
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
        {"kPa without 3 Bar",
         [](Tune& t) {
             t.check1 = 0;
             t.text(Table::Map, 1) = "100";
         },
         19, 100},
        {"volts x 51 halves to even", [](Tune& t) { t.text(Single::PortedFullTPS) = "2.5"; }, 25,
         128},
        {"static", [](Tune& t) { t.text(Single::Static) = "12.5"; }, 26, 25},
        {"static again", [](Tune& t) { t.text(Single::Static) = "12.5"; }, 27, 25},
        {"2^delay - 1", [](Tune& t) { t.crankDelay.selectText("8"); }, 33, 255},
        {"unwind rate as is", [](Tune& t) { t.text(Single::UnwindRate) = "200"; }, 51, 200},
        {"stored raw threshold", [](Tune& t) { t.outputs[1].raw = "255"; }, 44, 255},
        {"over 12750 rpm leaves the byte range", [](Tune& t) { t.text(Table::RPM, 0) = "12800"; },
         6, 256},
        {"non-number reads as 0", [](Tune& t) { t.text(Table::BaseTiming, 0) = "abc"; }, 0, 0},
        {"option bit 0", [](Tune& t) { t.setOption(Option::PortedTPS, true); }, 30, 1},
        {"option bits 1-4",
         [](Tune& t) {
             t.setOption(Option::PortedRPM, true);
             t.setOption(Option::Map115, true);
             t.invertSpout = 1;
             t.setOption(Option::UnwindSpark, true);
         },
         30, 2 + 4 + 8 + 16},
        {"8 cylinders odd fire",
         [](Tune& t) {
             t.cylinders.selectText("8");
             t.oddFire = 1;
         },
         42, 72},
        {"6 cylinders 2-stroke",
         [](Tune& t) {
             t.setOption(Option::Stroke2, true);
             t.cylinders.selectText("6");
         },
         42, 134},
        {"limiter index + 128 with retard",
         [](Tune& t) {
             t.limitType.select(4);
             t.setOption(Option::Retard, true);
         },
         46, 132},
        {"typed limiter with retard has no type to send",
         [](Tune& t) {
             typeInto(t.limitType, "50%");
             t.setOption(Option::Retard, true);
         },
         46, -1},
        {"typed limiter matched by three characters",
         [](Tune& t) { typeInto(t.limitType, " 33% x"); }, 47, 6},
        {"unknown limiter text", [](Tune& t) { typeInto(t.limitType, "nonsense"); }, 47, 255},
        {"indicator index", [](Tune& t) { t.xled.select(2); }, 48, 2},
        {"knock index", [](Tune& t) { t.knockIncr.select(8); }, 50, 8},
        {"channel index", [](Tune& t) { t.selectChannel(1, 4); }, 53, 4},
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

TEST(CodecEncode, zavWithoutIndicatorSelectionKeepsMinusOneInTheList) {
    EXPECT_EQ(writtenAt(Tune::startup(Edition::ZAV), 48), -1);
}

TEST(CodecEncode, eightCylinderConstantsGoOutMostSignificantByteFirst) {
    Tune tune = Tune::startup(Edition::BEL);
    ASSERT_TRUE(tune.cylinders.selectText("8"));
    const std::vector<int> expected{0, 52, 188, 0, 2, 216, 0, 45};
    for (int offset = 34; offset <= 41; ++offset) {
        EXPECT_EQ(writtenAt(tune, offset), expected[static_cast<std::size_t>(offset - 34)])
            << "offset " << offset;
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
        const std::optional<link::EngineConstants> constants = link::calcEngineConstants(tune);
        ASSERT_TRUE(constants.has_value());
        EXPECT_EQ(constants->rpmK, row.rpmK);
        EXPECT_EQ(constants->delayK, row.delayK);
        EXPECT_EQ(constants->msdK, row.msdK);
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

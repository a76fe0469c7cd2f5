#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <tuple>
#include <vector>

#include "platform/display/GaugeScale.h"
#include "platform/display/SegmentText.h"
#include "platform/display/TrendRing.h"

namespace {

using platform::display::GaugeScale;
using platform::display::TrendRing;

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr float kNaNf = std::numeric_limits<float>::quiet_NaN();
constexpr float kInff = std::numeric_limits<float>::infinity();

TEST(GaugeScale, theNeedleSweepsFrom225DegreesAtTheStartToMinus45AtTheEndAndStopsThere) {
    const GaugeScale rpm{0, 8000, 8}, timing{40, -40, 20}, empty{5, 5, 4};
    const struct {
        const GaugeScale& scale;
        double value, angle;
    } cases[] = {
        {rpm, 0, 225},     {rpm, 4000, 90},       {rpm, 3106, 120.1725}, {rpm, 8000, -45},
        {rpm, 9000, -45},  {rpm, -100, 225},      {rpm, kInf, -45},      {rpm, kNaN, 225},
        {timing, 40, 225}, {timing, 0, 90},       {timing, -32, -18},    {timing, -40, -45},
        {timing, 60, 225}, {timing, -1E300, -45}, {empty, 5, 225},       {empty, 1E9, 225}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.value);
        EXPECT_NEAR(c.scale.angleFor(c.value), c.angle, 1E-9);
    }
    EXPECT_EQ((GaugeScale{-1E308, 1E308, 4}.angleFor(0)), 225);
}

TEST(GaugeScale, figuresArePrintedWithoutDecimalsAndSkipOnlyByWholeDividersWhenTheyWouldTouch) {
    using Figures = std::vector<std::string>;
    EXPECT_EQ((GaugeScale{-30, 30, 10}.figures()),
              (Figures{"-30", "-24", "-18", "-12", "-6", "0", "6", "12", "18", "24", "30"}));
    EXPECT_EQ((GaugeScale{-40, 215, 20}.figures()),
              (Figures{"-40", "-27", "-14", "-2",  "11",  "24",  "36",  "49",  "62",  "75", "88",
                       "100", "113", "126", "138", "151", "164", "177", "190", "202", "215"}));
    EXPECT_EQ((GaugeScale{0, 5, 0}.figures()), (Figures{"0", "5"}));
    EXPECT_EQ((GaugeScale{0, 5, 100000}.figures().size()), 101u);
    const GaugeScale timing{40, -40, 20};
    EXPECT_EQ(timing.figures()[19], "-36");
    for (const auto& [width, stride] : {std::pair(10, 1), {20, 2}, {40, 4}, {1000, 20}})
        EXPECT_EQ(timing.figureStride(14, width), stride) << width;
}

TEST(GaugeScale, zonesRunGreenToYellowToRedToTheEndAndEmptyOnesAreNotDrawn) {
    const auto rpm = GaugeScale{0, 8000, 8}.zoneSpans(60, 7000, 7500);
    for (const auto& [zone, from, to] :
         {std::tuple(rpm.green, 222.975, -11.25), std::tuple(rpm.yellow, -11.25, -28.125),
          std::tuple(rpm.red, -28.125, -45.0)}) {
        EXPECT_DOUBLE_EQ(zone.fromAngle, from);
        EXPECT_DOUBLE_EQ(zone.toAngle, to);
    }

    const auto o2 = GaugeScale{0, 1, 1}.zoneSpans(0.5, 1, 1);
    EXPECT_DOUBLE_EQ(o2.green.fromAngle, 90);
    EXPECT_TRUE(o2.yellow.empty() && o2.red.empty());
    const auto outOfOrder = GaugeScale{0, 100, 10}.zoneSpans(50, 20, 90);
    EXPECT_TRUE(outOfOrder.green.empty() && !outOfOrder.yellow.empty() && !outOfOrder.red.empty());
    EXPECT_TRUE((GaugeScale{0, 100, 10}.zoneSpans(kNaN, 20, 90).green.empty()));
}

// Vertical grid lines stay with their samples: after 605 samples, those 5, 25, 45... back.
TEST(TrendRing, keeps545SamplesTheOldestDropsOutAsItAdvancesAndItsGridLinesMoveAlong) {
    TrendRing ring(4);
    EXPECT_TRUE(std::isnan(ring.at(0, 0)));
    for (int i = 0; i < 605; ++i) {
        ring.advance();
        ring.set(0, i);
        ring.set(3, -i);
    }
    EXPECT_EQ(std::tuple(ring.at(0, 0), ring.at(3, 0), ring.at(0, 544)), std::tuple(604, -604, 60));
    for (const auto& [pen, back] : {std::pair(0, 545), {1, 0}, {4, 0}, {0, -1}})
        EXPECT_TRUE(std::isnan(ring.at(pen, back))) << pen << " " << back;
    for (int back = 0; back < 545; ++back)
        EXPECT_EQ(ring.gridLineAt(back, 20), back % 20 == 5) << back;
    ring.set(-1, 7);
    ring.advance();
    EXPECT_TRUE(std::isnan(ring.at(0, 0)));
    EXPECT_EQ(ring.at(0, 1), 604);
    EXPECT_TRUE(ring.gridLineAt(6, 20) && !ring.gridLineAt(6, 0));

    TrendRing none(-3);
    none.advance();
    none.set(0, 1);
    EXPECT_EQ(none.penCount(), 0);
}

TEST(TrendRing, scaledValuesMapOntoTheHeightAndLeaveItBeyondTheRange) {
    const struct {
        double value, miny, maxy, y;
    } cases[] = {{8000, 0, 8000, 0},  {0, 0, 8000, 100},     {4000, 0, 8000, 50},
                 {9000, 0, 8000, -8}, {-1000, 0, 8000, 108}, {kInf, 0, 8000, -8},
                 {150, 100, 200, 50}, {150, 200, 100, 50},   {120, 200, 100, 20},
                 {3, 5, 5, 50},       {3, 0, kInf, 50},      {1E308, -1E308, 0, -8}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.value);
        EXPECT_DOUBLE_EQ(TrendRing::yFor(c.value, c.miny, c.maxy, 100), c.y);
    }
    EXPECT_TRUE(std::isnan(TrendRing::yFor(kNaN, 0, 8000, 100)));
    EXPECT_EQ(
        std::tuple(TrendRing::xFor(0, 544), TrendRing::xFor(544, 544), TrendRing::xFor(272, 1088)),
        std::tuple(544, 0, 544));
    // A pen scale of 8/12 in single precision brings 12000 to a hair over 8000.
    EXPECT_EQ(TrendRing::drawnValue(12000, 8.0f / 12.0f), 8000.000238418579);
    EXPECT_EQ(TrendRing::drawnValue(12000, 0), 12000);
}

TEST(TrendRing, horizontalGridLinesStartAtTheOriginAndStepTowardsTheTop) {
    using Values = std::vector<double>;
    EXPECT_EQ(TrendRing::gridValues(0, 8000, 1000),
              (Values{0, 1000, 2000, 3000, 4000, 5000, 6000, 7000, 8000}));
    EXPECT_EQ(TrendRing::gridValues(0, 8000, 666),
              (Values{0, 666, 1332, 1998, 2664, 3330, 3996, 4662, 5328, 5994, 6660, 7326, 7992}));
    EXPECT_EQ(TrendRing::gridValues(200, 100, 25), (Values{200, 175, 150, 125, 100}));
    for (const double step : {0.0, kNaN, 1E-9})  // no step, or too many lines: the origin alone
        EXPECT_EQ(TrendRing::gridValues(0, 8000, step), Values{0}) << step;
    EXPECT_TRUE(TrendRing::gridValues(5, 5, 1).empty());
}

// The Dashboard's readout table adds whole numbers, -32.5, 2.51, 71 and five-digit speeds.
TEST(SegmentText, showsUpToItsDecimalsAsFarAsThePlacesGoAndDashesWhenTheValueDoesNotFit) {
    const struct {
        float value;
        int digits, decimals;
        std::string text;
    } cases[] = {{850, 4, 12, "850.0"},  {95.5f, 3, 1, "95.5"},  {-4.3f, 3, 1, "-4.3"},
                 {26.43f, 3, 2, "26.4"}, {9.999f, 3, 2, "10.0"}, {-0.001f, 3, 2, "0.00"},
                 {-5, 3, 1, "-5.0"},     {999.7f, 3, 1, "---"},  {-100, 3, 2, "---"},
                 {1E30f, 3, 1, "---"},   {5, 0, 0, "5"},         {1, 99, 99, "1.00000000000"},
                 {2.5f, 3, -1, "2"},     {kNaNf, 3, 1, "---"},   {-kInff, 4, 0, "----"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(platform::display::segmentText(c.value, c.digits, c.decimals), c.text);
    }
}

// Placing the cells, the point included, is the Dashboard's readout table's business.
TEST(SegmentText, eachGlyphLightsItsSegmentsAndATextTooLongKeepsItsLastPlaces) {
    EXPECT_EQ(platform::display::segmentCells("12345", 3).front().glyph, '3');
    for (const auto& [glyph, mask] : {std::pair('8', 0x7F), {'1', 0x06}, {'-', 0x40}, {'x', 0}})
        EXPECT_EQ(platform::display::segmentMask(glyph), mask) << glyph;
}

}  // namespace

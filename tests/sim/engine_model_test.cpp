// The advance the pretend engine reports, looked up from the stored timing tables.
#include <gtest/gtest.h>

#include <ostream>

#include "sim/EngineModel.h"

namespace {

// Base timing 8, 18, 24, 32, 32, 30 degrees at 1000..6500 rpm; MAP adjustment +6, +4, +2, 0,
// -2, -5 degrees at the kpa bytes 34, 51, 68, 85, 119, 136.
sim::Image timingImage() {
    sim::Image image{};
    const std::uint8_t tables[24] = {16,  36,  48,  64,  64,  60,  20, 50, 70, 90, 110, 130,
                                     140, 136, 132, 128, 124, 118, 34, 51, 68, 85, 119, 136};
    std::copy(std::begin(tables), std::end(tables), image.begin());
    return image;
}

struct AdvanceCase {
    int rpm;
    int kpa;
    int halfDegrees;
};

std::ostream& operator<<(std::ostream& out, const AdvanceCase& c) {
    return out << c.rpm << " rpm, kpa " << c.kpa;
}

class AdvanceLookup : public ::testing::TestWithParam<AdvanceCase> {};

TEST_P(AdvanceLookup, baseTimingPlusMapAdjustmentInHalfDegrees) {
    const AdvanceCase c = GetParam();
    EXPECT_EQ(sim::advanceHalfDegrees(timingImage(), c.rpm, c.kpa), c.halfDegrees);
}

INSTANTIATE_TEST_SUITE_P(Tables, AdvanceLookup,
                         ::testing::Values(AdvanceCase{1000, 85,
                                                       16},  // first breakpoint, no adjustment
                                           AdvanceCase{500, 85, 16},   // below the table: held flat
                                           AdvanceCase{1750, 85, 26},  // halfway 16..36
                                           AdvanceCase{9000, 85, 60},  // above the table
                                           AdvanceCase{1000, 34, 28},  // +6 degrees
                                           AdvanceCase{1000, 10, 28},  // below the first pressure
                                           AdvanceCase{1000, 136, 6},  // -5 degrees
                                           AdvanceCase{1000, 200, 6},  // above the last pressure
                                           AdvanceCase{5000, 102, 62}));  // 64, then halfway 0..-4

TEST(AdvanceLookupLimits, resultStaysWithinTheSignedByte) {
    sim::Image image{};
    image.fill(255);  // 127.5 degrees everywhere plus 63.5 of adjustment
    EXPECT_EQ(sim::advanceHalfDegrees(image, 900, 30), 191);
    image.fill(0);  // 0 degrees and -64 of adjustment
    EXPECT_EQ(sim::advanceHalfDegrees(image, 900, 30), -64);
}

TEST(AdvanceLookupLimits, unsortedBreakpointsUseTheFirstPairThatBracketsTheSpeed) {
    sim::Image image = timingImage();
    image[7] = 20;  // 1000, 1000, 3500, ... rpm
    EXPECT_EQ(sim::advanceHalfDegrees(image, 1000, 85), 16);
    EXPECT_EQ(sim::advanceHalfDegrees(image, 1200, 85), 37);  // 36 + 0.08 * (48 - 36)
    image[8] = 10;                                            // 1000, 1000, 500, 4500, ... rpm
    EXPECT_EQ(sim::advanceHalfDegrees(image, 3000, 85), 58);  // 48 + 0.625 * (64 - 48)
}

TEST(AdvanceByte, negativeHalfDegreesCountDownFrom256) {
    EXPECT_EQ(sim::advanceByte(-1), 255);
    EXPECT_EQ(sim::advanceByte(-64), 192);
    EXPECT_EQ(sim::advanceByte(0), 0);
    EXPECT_EQ(sim::advanceByte(191), 191);
}

TEST(RealtimeFrame, idlingEngineReadsPlausibly) {
    for (std::int64_t ms = 0; ms < 600000; ms += 7919) {
        const sim::Frame frame = sim::realtimeFrame(ms, 9, timingImage());
        const int rpm = frame[12] * 256 + frame[13];
        EXPECT_EQ(frame[0], 9);
        EXPECT_GE(rpm, 850);
        EXPECT_LE(rpm, 950);
        EXPECT_NEAR(frame[6], 117, 1);  // 13.8 V on the 300/255 scale
        EXPECT_GE(frame[14], 100);      // coolant F + 40, from 60 F upwards
        EXPECT_LE(frame[14], 225);
        EXPECT_EQ(frame[19], frame[20]);
    }
}

TEST(RealtimeFrame, coolantWarmsUp) {
    EXPECT_LT(sim::realtimeFrame(0, 0, timingImage())[14],
              sim::realtimeFrame(300000, 0, timingImage())[14]);
}

TEST(RealtimeFrame, advanceFollowsTheStoredTables) {
    sim::Image retarded = timingImage();
    for (int i = 0; i < 6; ++i) {
        retarded[static_cast<std::size_t>(i)] = 0;         // base 0 degrees
        retarded[static_cast<std::size_t>(12 + i)] = 108;  // -10 degrees everywhere
    }
    EXPECT_EQ(sim::realtimeFrame(0, 0, retarded)[19], 256 - 20);
}

}  // namespace

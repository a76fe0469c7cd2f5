// A fresh controller holds the start-up Tune (Edition BEL, "3 Bar" checked).
#include <gtest/gtest.h>

#include "sim/StartupImage.h"

namespace {

TEST(StartupImage, holdsTheStartupTuneAsASendWritesIt) {
    const sim::Image expected{
        16,  36,  48,  64,  64,  60,   // base timing 8 18 24 32 32 30 degrees
        20,  50,  70,  90,  110, 130,  // 1000 .. 6500 rpm
        140, 136, 132, 128, 124, 118,  // +6 +4 +2 0 -2 -5 degrees
        34,  51,  68,  85,  119, 136,  // 40 .. 160 kPa on the 3-bar scale
        51,  76,  90,  90,  30,  40,   // ported TPS 1.0 / 1.5 V, static 45.0 twice, 1500 / 2000
        0,   12,  6,   7,              // options, crank 6 degrees, 300 rpm, delay "3"
        0,   105, 120, 0,   1,   108, 0, 90,  // RpmK 6912000, DelayK 364, MsdK 90
        4,   0,   0,   24,  0,   255, 0,      // 4 cylinders, outputs, limit 1200, drop, disabled
        0,   0,   25,  0,   0,                // offset 49 unwritten, knock, unwind 25, channels
        0,   0,   0,   0,   0,   0,   0, 0,  0};
    EXPECT_EQ(sim::startupImage(), expected);
}

}  // namespace

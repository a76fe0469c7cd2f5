#pragma once

#include <cstdint>

#include "Image.h"

// A plausible idling engine for the realtime block: speed wandering around 900 rpm, light
// vacuum, a coolant that warms up, a steady throttle and battery, and the advance the stored
// timing tables give at that speed and pressure.
namespace sim {

// The 30-byte realtime block `elapsedMs` after power-up, with `secl` as its first byte.
Frame realtimeFrame(std::int64_t elapsedMs, std::uint8_t secl, const Image& image);

// Base timing by rpm (offsets 0..11) plus the MAP adjustment by the kpa byte (offsets 12..23),
// both interpolated between their six breakpoints and held flat beyond the ends; in half
// degrees, limited to what the signed advance byte can carry (-64..191).
int advanceHalfDegrees(const Image& image, int rpm, int kpaByte);

// Signed half degrees as the advance byte carries them: negative values count down from 256.
std::uint8_t advanceByte(int halfDegrees);

}  // namespace sim

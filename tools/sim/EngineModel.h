#pragma once

#include <cstdint>

#include "Image.h"

// A plausible engine on a dyno pull for the realtime block: it idles, opens the throttle and
// sweeps from idle to the stored rev limit, lifts off and falls back, over and over; the
// manifold pressure follows the throttle, the coolant warms up, and the advance is what the
// stored timing and MAP tables give at that speed and pressure.
namespace sim {

// The 30-byte realtime block `elapsedMs` after power-up, with `secl` as its first byte.
Frame realtimeFrame(std::int64_t elapsedMs, std::uint8_t secl, const Image& image);

// Base timing by rpm (offsets 0..11) plus the MAP adjustment by the kpa byte (offsets 12..23),
// both interpolated between their six breakpoints and held flat beyond the ends; in half
// degrees, limited to what the signed advance byte can carry (-64..191).
int advanceHalfDegrees(const Image& image, int rpm, int kpaByte);

// Moves by one step every value the displays show that `frame` has the same as `previous`, so
// that even at idle no two frames in a row show alike.
void keepMoving(Frame& frame, const Frame& previous);

// Signed half degrees as the advance byte carries them: negative values count down from 256.
std::uint8_t advanceByte(int halfDegrees);

}  // namespace sim

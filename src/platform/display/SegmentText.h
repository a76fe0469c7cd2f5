#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace platform::display {

constexpr int kMaxSegmentDigits = 12;

// The text a seven-segment readout of `digits` places (kept within 1..12) shows for a
// single-precision value. The decimal point sits between places and takes none; a minus sign
// takes one. The value shows with up to `maxDecimals` decimals, fewer where the places run out
// ("17.5", "-4.3" but "-25" on three places with one). A value whose whole part does not fit,
// and NaN or infinity, show a dash in every place ("---"): no reading rather than a wrong one.
std::string segmentText(float value, int digits, int maxDecimals);

// One place of the readout: a glyph ('0'..'9', '-' or ' ') and whether the point after it is lit.
struct SegmentCell {
    char glyph = ' ';
    bool point = false;
};

// The places of a readout of `digits` places showing `text`, right-aligned, blanks in front.
std::vector<SegmentCell> segmentCells(const std::string& text, int digits);

// Lit segments of a glyph: bit 0 = a (top), then b, c, d, e, f clockwise, bit 6 = g (middle).
// Anything without a shape is blank.
std::uint8_t segmentMask(char glyph);

}  // namespace platform::display

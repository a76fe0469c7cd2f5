#include "platform/display/SegmentText.h"

#include <algorithm>
#include <cmath>

#include "tune/Numeric.h"

namespace platform::display {

namespace {

int clampDigits(int digits) {
    return std::clamp(digits, 1, kMaxSegmentDigits);
}

int placesOf(const std::string& text) {
    return static_cast<int>(
        std::count_if(text.begin(), text.end(), [](char c) { return c != '.'; }));
}

}  // namespace

std::string segmentText(float value, int digits, int maxDecimals) {
    const int places = clampDigits(digits);
    const std::string overRange(static_cast<std::size_t>(places), '-');
    const double v = value;
    if (!(std::abs(v) < std::pow(10.0, places)))
        return overRange;
    // formatFixed writes no sign for a value that rounds to zero, so "-0.0" never shows.
    for (int decimals = std::clamp(maxDecimals, 0, places - 1); decimals >= 0; --decimals) {
        const std::string text = num::formatFixed(v, decimals);
        if (placesOf(text) <= places)
            return text;
    }
    return overRange;
}

std::vector<SegmentCell> segmentCells(const std::string& text, int digits) {
    std::vector<SegmentCell> cells;
    for (const char c : text) {
        if (c == '.' && !cells.empty())
            cells.back().point = true;
        else if (c == '.')
            cells.push_back({' ', true});
        else
            cells.push_back({c, false});
    }
    const auto places = static_cast<std::size_t>(clampDigits(digits));
    if (cells.size() > places)
        cells.erase(cells.begin(), cells.end() - static_cast<std::ptrdiff_t>(places));
    cells.insert(cells.begin(), places - cells.size(), SegmentCell{});
    return cells;
}

std::uint8_t segmentMask(char glyph) {
    static constexpr std::uint8_t kDigits[10] = {0x3F, 0x06, 0x5B, 0x4F, 0x66,
                                                 0x6D, 0x7D, 0x07, 0x7F, 0x6F};
    if (glyph >= '0' && glyph <= '9')
        return kDigits[glyph - '0'];
    return glyph == '-' ? 0x40 : 0;
}

}  // namespace platform::display

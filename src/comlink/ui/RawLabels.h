#pragma once

#include <array>
#include <string>
#include <string_view>

// The Controller link window's raw view of a realtime block: one labelled cell per byte.
namespace comlink {

// The controller's own names of the 30 bytes, in the order it sends them.
inline constexpr std::array<std::string_view, 30> kRealtimeNames = {
    "secl",       "engine",     "map",      "mat",       "clt",       "tps",
    "batt",       "ego",        "ad6",      "ad7",       "rpm2",      "kpa",
    "rpm_hi",     "rpm_lo",     "coolant",  "loop_sec",  "maxsp",     "afrwbo2",
    "airtemp",    "ignition",   "ign_msd",  "igncnt_hi", "igncnt_lo", "ts1_diff_2",
    "ts1_diff_1", "ts1_diff_0", "coolant2", "bspot1",    "bspot2",    "bspot3",
};

// The text of cell `position` for the byte `value`: decimal, except the engine status bits
// (position 1), which read better as "$" and two hexadecimal digits.
std::string rawValueText(int position, int value);

}  // namespace comlink

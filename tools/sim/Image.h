#pragma once

#include <array>
#include <cstdint>
#include <vector>

namespace sim {

using Bytes = std::vector<std::uint8_t>;

// The part of the controller's memory that 'U' returns and 'W' writes: offsets 0..62.
inline constexpr std::size_t kImageSize = 63;
using Image = std::array<std::uint8_t, kImageSize>;

inline constexpr std::size_t kFrameSize = 30;
using Frame = std::array<std::uint8_t, kFrameSize>;

}  // namespace sim

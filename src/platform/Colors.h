#pragma once

#include <QColor>
#include <cstdint>

namespace platform {

// Colours are kept as the program stores them: blue * 65536 + green * 256 + red.
inline QColor toQColor(std::uint32_t color) {
    return QColor(static_cast<int>(color & 0xFFu), static_cast<int>((color >> 8) & 0xFFu),
                  static_cast<int>((color >> 16) & 0xFFu));
}

inline std::uint32_t fromQColor(const QColor& color) {
    return static_cast<std::uint32_t>(color.red()) |
           static_cast<std::uint32_t>(color.green()) << 8 |
           static_cast<std::uint32_t>(color.blue()) << 16;
}

}  // namespace platform

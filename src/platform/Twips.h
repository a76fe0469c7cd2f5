#pragma once

#include <QRect>

namespace platform {

// The classic window layouts are given in twips (1/1440 inch): 15 twips to the pixel at 96 dpi.
constexpr int twipsToPixels(int twips) {
    return twips / 15;
}

inline QRect twipsRect(int left, int top, int width, int height) {
    return {twipsToPixels(left), twipsToPixels(top), twipsToPixels(width), twipsToPixels(height)};
}

}  // namespace platform

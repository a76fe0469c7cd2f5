#pragma once

#include "dash/LogReport.h"
#include "plot/Primitive.h"

namespace dash {

// The report's picture, 1200 x 900 logical pixels at 96 DPI, in the twips the plot's painter
// takes: rpm, kPa and advance over the record number as three strips on the left; advance
// against rpm with the map line at the median kPa top right; the rpm band shares as bars below.
inline constexpr double kLogPictureWidth = 18000;
inline constexpr double kLogPictureHeight = 13500;
inline constexpr double kLogPictureDpi = 96;

plot::Primitives logPicture(const LogReport& report);

}  // namespace dash

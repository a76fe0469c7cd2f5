#pragma once

#include <string>
#include <vector>

namespace platform::display {

// A stretch of the dial's scale, in degrees (0 at three o'clock, counter-clockwise positive).
// The scale runs clockwise, so a drawn span always has fromAngle > toAngle.
struct ZoneSpan {
    double fromAngle = 0;
    double toAngle = 0;
    bool empty() const { return !(fromAngle > toAngle); }
};

struct ZoneSpans {
    ZoneSpan green, yellow, red;
};

// The arithmetic of a round gauge's scale: a 270-degree sweep from 225 degrees (lower left) at
// `minimum` clockwise to -45 degrees (lower right) at `maximum`. A reversed scale (40 -> -40)
// simply runs the other way through its values.
struct GaugeScale {
    static constexpr double kStartAngle = 225;
    static constexpr double kSweep = 270;
    static constexpr int kMaxDivisions = 100;

    double minimum = 0;
    double maximum = 100;
    int majorDivisions = 10;

    // Needle angle. Values beyond either end sit on that end; NaN, and any value on a scale whose
    // ends coincide or are not finite, sit at the start.
    double angleFor(double value) const;

    // majorDivisions kept within 1..100, so a bad setting neither divides by zero nor draws
    // thousands of ticks.
    int divisions() const;

    // Angle of major division i (0 = start); the figures sit there whatever the values are.
    double divisionAngle(int i) const;

    // divisions() + 1 figures, "%.0f" of the value at each division ("0" rather than "-0").
    std::vector<std::string> figures() const;

    // The coloured bands from the three zone limits: green runs from the green limit to the
    // yellow one, yellow from yellow to red, red from red to the end of the scale. A band whose
    // end does not lie beyond its start along the scale, or with a NaN limit, is empty.
    ZoneSpans zoneSpans(double green, double yellow, double red) const;

    // Every how many divisions a figure fits without touching its neighbour: the smallest
    // divisor of divisions() whose arc is at least figureWidth long (both in the same units), so
    // the last figure always lands on the end of the scale.
    int figureStride(double divisionArc, double figureWidth) const;
};

}  // namespace platform::display

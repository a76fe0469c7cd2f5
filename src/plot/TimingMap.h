#pragma once

#include <array>

#include "tune/Tune.h"

namespace plot {

// The advance the timing plot's surface stands for at any speed and pressure: the timing table
// over rpm plus the MAP adjustment over kPa, each linear between its six cells and flat beyond
// the first and the last, cells read by the number rule and taken to whole numbers.
class TimingMap {
public:
    explicit TimingMap(const tune::Tune& tune);

    double advance(double rpm, double kpa) const { return base(rpm) + adjustment(kpa); }
    // The timing table's speed cells: the breakpoints of the report's rpm bands.
    const std::array<double, 6>& rpmPoints() const { return rpm_; }

private:
    double base(double rpm) const;
    double adjustment(double kpa) const;

    std::array<double, 6> rpm_{}, base_{}, map_{}, adj_{};
};

}  // namespace plot

#include "plot/TimingMap.h"

#include <algorithm>

#include "tune/Numeric.h"

namespace plot {

namespace {

std::array<double, 6> wholeValues(const std::array<std::string, 6>& cells) {
    std::array<double, 6> read{};
    std::transform(cells.begin(), cells.end(), read.begin(),
                   [](const std::string& text) { return num::rnd32(num::readNumber(text)); });
    return read;
}

// Linear between neighbouring points, flat beyond the ends. Points out of order (a table the
// editor has not tidied) are taken pair by pair; where no pair holds x, the nearer end holds.
double interpolate(const std::array<double, 6>& xs, const std::array<double, 6>& ys, double x) {
    if (x <= xs.front())
        return ys.front();
    if (x >= xs.back())
        return ys.back();
    for (std::size_t i = 0; i + 1 < xs.size(); ++i) {
        const double x0 = xs[i], x1 = xs[i + 1];
        if (x0 <= x && x <= x1 && x0 < x1)
            return ys[i] + (ys[i + 1] - ys[i]) * (x - x0) / (x1 - x0);
    }
    return x - xs.front() < xs.back() - x ? ys.front() : ys.back();
}

}  // namespace

TimingMap::TimingMap(const tune::Tune& tune)
    : rpm_(wholeValues(tune.rpm)),
      base_(wholeValues(tune.baseTiming)),
      map_(wholeValues(tune.map)),
      adj_(wholeValues(tune.mapAdj)) {}

double TimingMap::base(double rpm) const {
    return interpolate(rpm_, base_, rpm);
}

double TimingMap::adjustment(double kpa) const {
    return interpolate(map_, adj_, kpa);
}

}  // namespace plot

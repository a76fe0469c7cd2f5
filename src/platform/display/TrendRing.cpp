#include "platform/display/TrendRing.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace platform::display {

namespace {

constexpr double kNoValue = std::numeric_limits<double>::quiet_NaN();

bool usableRange(double miny, double maxy) {
    return std::isfinite(maxy - miny) && maxy != miny;
}

}  // namespace

TrendRing::TrendRing(int penCount)
    : pens_(std::max(penCount, 0)),
      samples_(static_cast<std::size_t>(kSampleCount) * static_cast<std::size_t>(pens_), kNoValue) {
}

std::size_t TrendRing::slot(int samplesBack) const {
    return (current_ + kSampleCount - static_cast<std::size_t>(samplesBack)) % kSampleCount;
}

void TrendRing::advance() {
    current_ = (current_ + 1) % kSampleCount;
    ++advances_;
    const auto first = samples_.begin() + static_cast<std::ptrdiff_t>(current_ * pens_);
    std::fill(first, first + pens_, kNoValue);
}

void TrendRing::set(int pen, double value) {
    if (pen >= 0 && pen < pens_)
        samples_[current_ * pens_ + static_cast<std::size_t>(pen)] = value;
}

double TrendRing::at(int pen, int samplesBack) const {
    if (pen < 0 || pen >= pens_ || samplesBack < 0 || samplesBack >= kSampleCount)
        return kNoValue;
    return samples_[slot(samplesBack) * pens_ + static_cast<std::size_t>(pen)];
}

bool TrendRing::gridLineAt(int samplesBack, int gridspacex) const {
    if (gridspacex < 1)
        return false;
    const auto index = static_cast<std::int64_t>(advances_) - samplesBack;
    return index % gridspacex == 0;
}

double TrendRing::xFor(int samplesBack, double width) {
    return width * (kSampleCount - 1 - samplesBack) / (kSampleCount - 1);
}

double TrendRing::yFor(double value, double miny, double maxy, double height) {
    if (std::isnan(value))
        return kNoValue;
    if (!usableRange(miny, maxy))
        return height / 2;
    const double y = height * ((maxy - value) / (maxy - miny));
    return std::isnan(y) ? height / 2 : std::clamp(y, -kOutside, height + kOutside);
}

double TrendRing::drawnValue(double value, float scale) {
    return scale == 0 ? value : value * static_cast<double>(scale);
}

std::vector<double> TrendRing::gridValues(double miny, double maxy, double gridspacey) {
    if (!usableRange(miny, maxy))
        return {};
    std::vector<double> values{miny};
    const double steps = std::abs(maxy - miny) / gridspacey;
    if (!(gridspacey > 0) || !(steps < kMaxGridLines))
        return values;
    const double direction = maxy > miny ? 1 : -1;
    for (int k = 1; k <= static_cast<int>(steps); ++k)
        values.push_back(miny + direction * k * gridspacey);
    return values;
}

}  // namespace platform::display

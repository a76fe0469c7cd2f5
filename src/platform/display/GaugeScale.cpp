#include "platform/display/GaugeScale.h"

#include <algorithm>
#include <cmath>

#include "tune/Numeric.h"

namespace platform::display {

double GaugeScale::angleFor(double value) const {
    const double range = maximum - minimum;
    if (!std::isfinite(range) || range == 0 || std::isnan(value))
        return kStartAngle;
    const double share = std::clamp((value - minimum) / range, 0.0, 1.0);
    return kStartAngle - kSweep * share;
}

int GaugeScale::divisions() const {
    return std::clamp(majorDivisions, 1, kMaxDivisions);
}

double GaugeScale::divisionAngle(int i) const {
    return kStartAngle - kSweep * i / divisions();
}

std::vector<std::string> GaugeScale::figures() const {
    const int count = divisions();
    std::vector<std::string> texts;
    texts.reserve(static_cast<std::size_t>(count) + 1);
    for (int i = 0; i <= count; ++i)
        texts.push_back(num::formatFixed(minimum + (maximum - minimum) * i / count, 0));
    return texts;
}

ZoneSpans GaugeScale::zoneSpans(double green, double yellow, double red) const {
    const auto span = [this](double from, double to) {
        if (std::isnan(from) || std::isnan(to))
            return ZoneSpan{};
        const ZoneSpan s{angleFor(from), angleFor(to)};
        return s.empty() ? ZoneSpan{} : s;
    };
    return {span(green, yellow), span(yellow, red), span(red, maximum)};
}

int GaugeScale::figureStride(double divisionArc, double figureWidth) const {
    const int count = divisions();
    for (int stride = 1; stride < count; ++stride) {
        if (count % stride == 0 && stride * divisionArc >= figureWidth)
            return stride;
    }
    return count;
}

}  // namespace platform::display

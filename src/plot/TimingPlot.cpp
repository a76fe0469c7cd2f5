#include "plot/TimingPlot.h"

#include <algorithm>
#include <utility>

#include "tune/Numeric.h"

namespace plot {

namespace {

constexpr std::uint32_t kBlack = 0;
constexpr std::int32_t kWallDegrees = 40;

float single(double value) {
    return static_cast<float>(num::toSingle(value));
}

std::int32_t whole(double value) {
    return num::rnd32(value);
}

std::array<double, 6> values(const std::array<std::string, 6>& cells) {
    std::array<double, 6> read{};
    std::transform(cells.begin(), cells.end(), read.begin(), num::readNumber);
    return read;
}

// A number prints with a blank where a plus sign would stand.
std::string printed(std::int32_t value) {
    return (value < 0 ? "" : " ") + num::integerText(value);
}

}  // namespace

TimingPlot::TimingPlot(const tune::Tune& tune, const PlotSettings& settings, TextWidth textWidth)
    : x0_(single(kWidth * 0.35)),
      y0_(single(kHeight * 0.85)),
      rpmMax_(settings.rpmMax),
      mapMax_(tune.option(tune::Option::Map115) ? 115 : 250),
      gridColor_(settings.gridColor),
      rpm_(values(tune.rpm)),
      base_(values(tune.baseTiming)),
      map_(values(tune.map)),
      adj_(values(tune.mapAdj)),
      textWidth_(std::move(textWidth)) {}

Point TimingPlot::Project(std::int32_t rpm, std::int32_t map, std::int32_t deg) const {
    // Depth: 0 at the highest pressure (front), 2000 at none (back). Worked in doubles, which
    // hold every whole number met here exactly, so a wild field text cannot overflow.
    const double d = num::roundHalfEven((static_cast<double>(mapMax_) - map) / mapMax_ * 2000);
    const double x = static_cast<double>(rpm) / rpmMax_ * kWidth * 0.6 - d + x0_;
    const double rise = static_cast<double>(deg) * 40 + d;
    return {single(x), single(y0_ - rise)};
}

Primitives TimingPlot::load() const {
    Drawing drawing;
    drawing.clear();
    drawFrame(drawing);
    drawLabels(drawing);
    drawGrid(drawing);
    drawSurface(drawing);
    return drawing.take();
}

Primitives TimingPlot::DrawSurface() const {
    Drawing drawing;
    drawSurface(drawing);
    return drawing.take();
}

Primitives TimingPlot::ChooseGridColor(platform::ColorDialog& chooser,
                                       platform::SettingsStore& store) {
    const std::optional<std::uint32_t> chosen = chooser.chooseColor(lastChosen_);
    if (!chosen) {
        return {};
    }
    lastChosen_ = *chosen;
    gridColor_ = static_cast<std::int32_t>(*chosen);
    storeGridColor(store, gridColor_);
    return DrawSurface();
}

Point TimingPlot::offset(Point p, double dx, double dy) {
    return {single(p.x + dx), single(p.y + dy)};
}

Point TimingPlot::midpoint(Point a, Point b) {
    return {single((static_cast<double>(a.x) + b.x) / 2),
            single((static_cast<double>(a.y) + b.y) / 2)};
}

std::uint32_t TimingPlot::surfaceColor() const {
    // Only the low 24 bits name a colour; a stored value beyond them keeps its colour part.
    return static_cast<std::uint32_t>(gridColor_) & 0xFFFFFFu;
}

void TimingPlot::drawFrame(Drawing& drawing) const {
    // The floor, the back wall at pressure 0 and the right wall at RPMmax; front and left open.
    drawing.style(Primitive::Style::Solid);
    drawing.pixel(Project(0, 0, 0), kBlack);
    drawing.lineTo(Project(rpmMax_, 0, 0), kBlack);
    drawing.lineTo(Project(rpmMax_, mapMax_, 0), kBlack);
    drawing.lineTo(Project(0, mapMax_, 0), kBlack);
    drawing.lineTo(Project(0, 0, 0), kBlack);
    drawing.lineTo(Project(0, 0, kWallDegrees), kBlack);
    drawing.lineTo(Project(rpmMax_, 0, kWallDegrees), kBlack);
    drawing.lineTo(Project(rpmMax_, 0, 0), kBlack);
    drawing.pixel(Project(rpmMax_, 0, kWallDegrees), kBlack);
    drawing.lineTo(Project(rpmMax_, mapMax_, kWallDegrees), kBlack);
    drawing.lineTo(Project(rpmMax_, mapMax_, 0), kBlack);
}

void TimingPlot::drawLabels(Drawing& drawing) const {
    const Point back = Project(0, 0, 0);
    const Point front = Project(0, mapMax_, 0);
    const Point frontRight = Project(rpmMax_, mapMax_, 0);
    const Point top = Project(0, 0, kWallDegrees);
    drawing.text(offset(back, -120, -90), "0");
    drawing.text(offset(front, -400, -90), printed(mapMax_));
    drawing.text(offset(midpoint(back, front), -500, -90), "MAP");
    drawing.text(offset(front, -20, 80), "0");
    drawing.text(offset(frontRight, -textWidth_(num::integerText(rpmMax_)), 80), printed(rpmMax_));
    drawing.text(offset(midpoint(front, frontRight), -100, 80), "RPM");
    drawing.text(offset(top, -220, -90), "40");
    drawing.text(offset(midpoint(back, top), -350, -100), "IGN");
}

void TimingPlot::drawGrid(Drawing& drawing) const {
    drawing.style(Primitive::Style::Dotted);
    for (const double rpm : rpm_) {
        const std::int32_t r = whole(rpm);
        drawing.line(Project(r, 0, 0), Project(r, mapMax_, 0), kBlack);
    }
    for (const double map : map_) {
        const std::int32_t m = whole(map);
        drawing.line(Project(0, m, 0), Project(rpmMax_, m, 0), kBlack);
    }
    for (const std::int32_t deg : {10, 20, 30}) {
        drawing.line(Project(0, 0, deg), Project(rpmMax_, 0, deg), kBlack);
        drawing.lineTo(Project(rpmMax_, mapMax_, deg), kBlack);
    }
}

void TimingPlot::drawSurface(Drawing& drawing) const {
    // The table holds flat beyond its first and last breakpoints, on both axes: row -1 and
    // column -1 sit at 0, row 6 and column 6 at the axis maximum, with the nearest cell's value.
    drawing.style(Primitive::Style::Solid);
    const std::uint32_t color = surfaceColor();
    const auto held = [](int k) { return std::clamp(k, 0, 5); };

    for (int j = -1; j <= 6; ++j) {  // constant pressure
        const std::int32_t a = whole(adj_[held(j)]);
        const std::int32_t m = j < 0 ? 0 : j > 5 ? mapMax_ : whole(map_[j]);
        drawing.pixel(Project(0, m, whole(base_[0] + a)), color);
        for (int i = 0; i < 6; ++i) {
            drawing.lineTo(Project(whole(rpm_[i]), m, whole(base_[i] + a)), color);
        }
        if (rpm_[5] < rpmMax_) {
            drawing.lineTo(Project(rpmMax_, m, whole(base_[5] + a)), color);
        }
    }
    for (int i = -1; i <= 6; ++i) {  // constant speed
        const std::int32_t b = whole(base_[held(i)]);
        const std::int32_t r = i < 0 ? 0 : i > 5 ? rpmMax_ : whole(rpm_[i]);
        drawing.pixel(Project(r, 0, whole(b + adj_[0])), color);
        for (int j = 0; j < 6; ++j) {
            drawing.lineTo(Project(r, whole(map_[j]), whole(b + adj_[j])), color);
        }
        if (map_[5] < mapMax_) {
            drawing.lineTo(Project(r, mapMax_, whole(b + adj_[5])), color);
        }
    }
}

}  // namespace plot

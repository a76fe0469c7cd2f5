#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>

#include "platform/Dialogs.h"
#include "platform/SettingsStore.h"
#include "plot/PlotSettings.h"
#include "plot/Primitive.h"
#include "tune/Tune.h"

namespace plot {

// The width of a text in the drawing area's font, in twips.
using TextWidth = std::function<double(const std::string& text)>;

// The timing plot without its window: the projection of (rpm, MAP, degrees) onto the drawing
// area and every drawing step, as primitive lists. It copies what it needs when it is made, so
// later edits of the Tune do not reach a plot already drawn.
class TimingPlot {
public:
    // The drawing area, in twips.
    static constexpr double kWidth = 8055;
    static constexpr double kHeight = 4935;

    TimingPlot(const tune::Tune& tune, const PlotSettings& settings, TextWidth textWidth);

    // The screen point of rpm, pressure and advance.
    Point Project(std::int32_t rpm, std::int32_t map, std::int32_t deg) const;

    // Everything the window draws when it opens: clear, frame, labels, dotted grid, surface.
    Primitives load() const;
    // The surface in the grid colour, over whatever is drawn already.
    Primitives DrawSurface() const;
    // The Grid Color button: the chooser starts on the colour last chosen here (black at
    // first). A choice becomes the grid colour, is stored and the surface is drawn again in it;
    // a cancel changes nothing and draws nothing.
    Primitives ChooseGridColor(platform::ColorDialog& chooser, platform::SettingsStore& store);

    float X0() const { return x0_; }
    float Y0() const { return y0_; }
    int RPMmax() const { return rpmMax_; }
    int MAPmax() const { return mapMax_; }
    std::int32_t GridColor() const { return gridColor_; }

private:
    // The projected point shifted by an offset, kept in single precision.
    static Point offset(Point p, double dx, double dy);
    static Point midpoint(Point a, Point b);
    std::uint32_t surfaceColor() const;
    void drawFrame(Drawing& drawing) const;
    void drawLabels(Drawing& drawing) const;
    void drawGrid(Drawing& drawing) const;
    void drawSurface(Drawing& drawing) const;

    float x0_;
    float y0_;
    int rpmMax_;
    int mapMax_;
    std::int32_t gridColor_;
    std::uint32_t lastChosen_ = 0;
    // Cell values as their texts read by the number rule, not yet rounded.
    std::array<double, 6> rpm_{}, base_{}, map_{}, adj_{};
    TextWidth textWidth_;
};

}  // namespace plot

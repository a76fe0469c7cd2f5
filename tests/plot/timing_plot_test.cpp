// The timing plot's projection and drawing steps, compared primitive by primitive.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "platform/FakePlatform.h"
#include "plot/PlotSettings.h"
#include "plot/TimingMap.h"
#include "plot/TimingPlot.h"
#include "tune/Tune.h"

namespace {

using plot::Point;
using plot::Primitive;
using plot::Primitives;
using Kind = Primitive::Kind;
using Style = Primitive::Style;

tune::Tune belTune(bool oneBar = false) {
    tune::Tune tune = tune::Tune::startup(tune::Edition::BEL);
    tune.setOption(tune::Option::Map115, oneBar);
    return tune;
}

// Labels measured as if every character were 100 twips wide.
plot::TimingPlot plotOf(const tune::Tune& tune, int rpmMax = 8000) {
    return plot::TimingPlot(tune, plot::PlotSettings{rpmMax, 65535}, [](const std::string& text) {
        return 100.0 * static_cast<double>(text.size());
    });
}

Primitive pixel(float x, float y, std::uint32_t color) {
    return {Kind::Pixel, {x, y}, {x, y}, Style::Solid, color, {}};
}

Primitive line(Point from, Point to, std::uint32_t color, Style style = Style::Solid) {
    return {Kind::Line, from, to, style, color, {}};
}

// The BEL start-up tune at 8000 on the 2-bar sensor, every step: clear, frame, labels, the dotted
// grid and the surface held flat beyond the table's first and last breakpoints.
TEST(TimingPlotGolden, theBelStartupTuneDrawsTheRecordedList) {
    std::ostringstream actual;
    for (const Primitive& p : plotOf(belTune()).load())
        actual << plot::describe(p) << '\n';
    std::ifstream golden(VOLCRESTONE_PLOT_GOLDEN);  // a missing file fails as an empty list
    EXPECT_EQ(actual.str(), std::string(std::istreambuf_iterator<char>(golden), {}));
}

TEST(TimingPlotProjection, matchesTheWorkedPointsForBothSensorsAndSpeedScales) {
    // The box's corners are the same for either sensor and scale: see the recorded list. One
    // bar: depth 956.52 is taken to 957, 1304.35 down to 1304; 140 kPa, in front of the box, is
    // in the load test. Two bar: pressure 160 lies at depth 720.
    const struct {
        bool oneBar;
        int rpmMax, rpm, map, deg;
        Point expected;
    } rows[] = {{true, 8000, 2500, 60, 18, {3372.5625f, 2517.75f}},
                {true, 8000, 0, 40, 0, {1515.25f, 2890.75f}},
                {false, 12000, 0, 160, 0, {2099.25f, 3474.75f}},
                {false, 12000, 6000, 250, 10, {5235.75f, 3794.75f}}};
    for (const auto& r : rows) {
        EXPECT_EQ(plotOf(belTune(r.oneBar), r.rpmMax).Project(r.rpm, r.map, r.deg), r.expected)
            << r.rpmMax << " " << r.rpm << " " << r.map << " " << r.deg;
    }
}

TEST(TimingPlotLoad, theOneBarSensorLabelsItsAxisAndBreakpointsBeyondTheAxesAreDrawnOutside) {
    tune::Tune tune = belTune(true);
    tune.rpm[5] = "12700";
    tune.map[5] = "140";  // above the 1-bar sensor's 115
    const Primitives drawn = plotOf(tune).load();
    // Neither last breakpoint lies inside its axis: no surface line gets a run on to the end.
    ASSERT_EQ(drawn.size(), 1u + 11 + 8 + 18 + 8 * 7 + 8 * 7);
    const Point label{2419.25f, 4104.75f};
    EXPECT_EQ(drawn[13], (Primitive{Kind::Text, label, label, Style::Solid, std::nullopt, " 115"}));
    // tbRPM(5)'s floor line lies right of the right wall, beyond the drawing area's width.
    EXPECT_EQ(drawn[25], line({8491.6375f, 2194.75f}, {10491.6375f, 4194.75f}, 0, Style::Dotted));
    // tbMap(5)'s floor line lies in front of the box.
    EXPECT_EQ(drawn[31], line({3254.25f, 4629.75f}, {8087.25f, 4629.75f}, 0, Style::Dotted));
}

TEST(TimingPlotSurface, aLastSpeedCellAtTheAxisEndGetsNoExtraSegmentButItsSpeedLineIsDrawnTwice) {
    tune::Tune tune = belTune();
    tune.rpm[5] = "12000";
    const Primitives surface = plotOf(tune, 12000).DrawSurface();
    // Eight lines of constant pressure with a pixel and six segments each (their shape is in the
    // recorded list), then eight of constant speed with the flat run to 250 each.
    ASSERT_EQ(surface.size(), 8u * 7 + 8 * 8);
    const Primitives lastCell(surface.begin() + 56 + 6 * 8, surface.begin() + 56 + 7 * 8);
    const Primitives axisEnd(surface.begin() + 56 + 7 * 8, surface.end());
    EXPECT_EQ(lastCell, axisEnd);
    EXPECT_EQ(axisEnd.front(), pixel(5652.25f, 754.75f, 65535));
}

TEST(TimingPlotSurface, cellsAreReadByTheNumberRuleAndRoundedHalfToEvenAfterAdding) {
    tune::Tune tune = belTune();
    tune.baseTiming[0] = " 1 2.5abc";  // reads 12.5; with +6 it is 18.5 and goes to 18
    tune.mapAdj[0] = "6";
    tune.rpm[0] = "&H3E8";  // 1000
    const Primitives surface = plotOf(tune).DrawSurface();
    EXPECT_EQ(surface[0], pixel(819.25f, 1474.75f, 65535));
    EXPECT_EQ(surface[1].to, (Point{1423.375f, 1474.75f}));
    // Constant speed at 0: b = whole(12.5) = 12, plus 6.
    EXPECT_EQ(surface[64], pixel(819.25f, 1474.75f, 65535));
}

TEST(TimingPlotSettings, readTheRpmScaleAndTheGridColourByTheirRules) {
    const struct {
        const char *rpm, *color;
        int rpmMax;
        std::int32_t gridColor;
    } rows[] = {{nullptr, nullptr, 8000, 65535}, {"12", "16711680", 12000, 16711680},
                {"8", "abc", 8000, 0},           {"12K", " 2 55.5", 8000, 256},
                {"", "&HFF", 8000, 255},         {" 12", "1E3", 8000, 1000}};
    for (const auto& r : rows) {
        platform::FakeSettingsStore store;
        if (r.rpm)
            store.write("Realtime", "RPM", r.rpm);
        if (r.color)
            store.write("Plot", "GridColor", r.color);
        const plot::PlotSettings read = plot::readPlotSettings(store);
        EXPECT_EQ(std::pair(read.rpmMax, read.gridColor), std::pair(r.rpmMax, r.gridColor))
            << (r.rpm ? r.rpm : "(none)") << " " << (r.color ? r.color : "(none)");
    }
}

// The BEL start-up map: rpm 1000 .. 6500 with 8, 18, 24, 32, 32, 30 degrees; kPa 40 .. 160 with
// +6, +4, +2, 0, -2, -5.
TEST(TimingMap, isLinearBetweenCellsFlatBeyondTheEndsAndAddsTheMapCorrection) {
    tune::Tune tune = belTune();
    tune.rpm[5] = " 6500.4x";  // read by the number rule, taken whole
    const plot::TimingMap map(tune);
    const struct {
        double rpm, kpa, advance;
    } rows[] = {
        {1000, 100, 8},  {2500, 100, 18}, {1750, 100, 13}, {3000, 100, 21}, {500, 100, 8},
        {9000, 100, 30}, {6000, 100, 31}, {4500, 40, 38},  {4500, 80, 34},  {4500, 140, 30},
        {4500, 160, 27}, {4500, 120, 31}, {4500, 20, 38},  {4500, 250, 27}, {3000, 50, 26},
    };
    for (const auto& row : rows)
        EXPECT_DOUBLE_EQ(map.advance(row.rpm, row.kpa), row.advance) << row.rpm << " " << row.kpa;
    EXPECT_DOUBLE_EQ(map.rpmPoints()[5], 6500);
}

}  // namespace

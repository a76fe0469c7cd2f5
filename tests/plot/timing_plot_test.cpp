// The timing plot's projection and drawing steps, compared primitive by primitive.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <sstream>
#include <tuple>

#include "plot/PlotSettings.h"
#include "plot/TimingPlot.h"
#include "support/FakePlatform.h"
#include "tune/Tune.h"

namespace {

using plot::Point;
using plot::Primitive;
using plot::Primitives;
using Kind = Primitive::Kind;
using Style = Primitive::Style;

// Labels as if every character were 100 twips wide.
double fakeWidth(const std::string& text) {
    return 100.0 * static_cast<double>(text.size());
}

tune::Tune belTune(bool oneBar = false) {
    tune::Tune tune = tune::Tune::startup(tune::Edition::BEL);
    if (oneBar)
        tune.setOption(tune::Option::Map115, true);
    return tune;
}

plot::TimingPlot plotOf(const tune::Tune& tune, int rpmMax = 8000, std::int32_t color = 65535) {
    return plot::TimingPlot(tune, plot::PlotSettings{rpmMax, color}, fakeWidth);
}

Primitive pixel(float x, float y, std::uint32_t color) {
    return {Kind::Pixel, {x, y}, {x, y}, Style::Solid, color, {}};
}

Primitive line(Point from, Point to, std::uint32_t color, Style style = Style::Solid) {
    return {Kind::Line, from, to, style, color, {}};
}

Primitive text(float x, float y, const char* words) {
    return {Kind::Text, {x, y}, {x, y}, Style::Solid, std::nullopt, words};
}

std::size_t count(const Primitives& list, Kind kind) {
    return static_cast<std::size_t>(std::count_if(
        list.begin(), list.end(), [kind](const Primitive& p) { return p.kind == kind; }));
}

TEST(TimingPlotProjection, matchesTheWorkedPointsOnTheOneBarAreaAtEightThousand) {
    const plot::TimingPlot plot = plotOf(belTune(true));
    EXPECT_EQ(plot.X0(), 2819.25f);
    EXPECT_EQ(plot.Y0(), 4194.75f);
    EXPECT_EQ(plot.MAPmax(), 115);
    EXPECT_EQ(plot.RPMmax(), 8000);
    const std::tuple<int, int, int, Point> rows[] = {
        {0, 115, 0, {2819.25f, 4194.75f}},      {0, 0, 0, {819.25f, 2194.75f}},
        {8000, 115, 0, {7652.25f, 4194.75f}},   {0, 0, 40, {819.25f, 594.75f}},
        {2500, 60, 18, {3372.5625f, 2517.75f}},  // depth 956.52 taken to 957
        {0, 40, 0, {1515.25f, 2890.75f}},        // depth 1304.35 taken down to 1304
        {0, 140, 0, {3254.25f, 4629.75f}},       // depth -435: in front of the box
    };
    for (const auto& [rpm, map, deg, expected] : rows) {
        SCOPED_TRACE(testing::Message() << rpm << " " << map << " " << deg);
        EXPECT_EQ(plot.Project(rpm, map, deg), expected);
    }
}

TEST(TimingPlotProjection, twoBarSensorPutsPressure160AtDepth720AndTwelveKStretchesTheSpeedAxis) {
    const plot::TimingPlot plot = plotOf(belTune(), 12000);
    EXPECT_EQ(plot.MAPmax(), 250);
    EXPECT_EQ(plot.Project(0, 160, 0), (Point{2099.25f, 3474.75f}));
    EXPECT_EQ(plot.Project(12000, 250, 0), (Point{7652.25f, 4194.75f}));
    EXPECT_EQ(plot.Project(6000, 250, 10), (Point{5235.75f, 3794.75f}));
}

TEST(TimingPlotProjection, wildFieldTextsStayFiniteInsteadOfOverflowing) {
    tune::Tune tune = belTune();
    tune.baseTiming[2] = "1E20";
    tune.rpm[3] = "-1E20";
    tune.map[4] = "&H7FFFFFFF";
    const plot::TimingPlot plot = plotOf(tune);
    for (const Primitive& p : plot.load()) {
        EXPECT_TRUE(std::isfinite(p.from.x) && std::isfinite(p.from.y) && std::isfinite(p.to.x) &&
                    std::isfinite(p.to.y))
            << plot::describe(p);
    }
}

TEST(TimingPlotLoad, drawsTheFrameLabelsAndDottedGridInBlackBeforeTheSurface) {
    const Primitives drawn = plotOf(belTune(true)).load();
    // tbMap(5) = 160 lies beyond 115: the lines of constant speed get no run on to the axis.
    ASSERT_EQ(drawn.size(), 1u + 11 + 8 + 18 + 8 * 8 + 8 * 7);
    EXPECT_EQ(drawn[0].kind, Kind::Clear);
    const Point back{819.25f, 2194.75f}, backRight{5652.25f, 2194.75f};
    const Point front{2819.25f, 4194.75f}, frontRight{7652.25f, 4194.75f};
    const Point top{819.25f, 594.75f}, topRight{5652.25f, 594.75f};
    const Point frontRightTop{7652.25f, 2594.75f};
    const Primitives frame = {pixel(819.25f, 2194.75f, 0),
                              line(back, backRight, 0),
                              line(backRight, frontRight, 0),
                              line(frontRight, front, 0),
                              line(front, back, 0),
                              line(back, top, 0),
                              line(top, topRight, 0),
                              line(topRight, backRight, 0),
                              pixel(5652.25f, 594.75f, 0),
                              line(topRight, frontRightTop, 0),
                              line(frontRightTop, frontRight, 0)};
    EXPECT_EQ(Primitives(drawn.begin() + 1, drawn.begin() + 12), frame);
    const Primitives labels = {text(699.25f, 2104.75f, "0"),      text(2419.25f, 4104.75f, " 115"),
                               text(1319.25f, 3104.75f, "MAP"),   text(2799.25f, 4274.75f, "0"),
                               text(7252.25f, 4274.75f, " 8000"), text(5135.75f, 4274.75f, "RPM"),
                               text(599.25f, 504.75f, "40"),      text(469.25f, 1294.75f, "IGN")};
    EXPECT_EQ(Primitives(drawn.begin() + 12, drawn.begin() + 20), labels);
    for (std::size_t i = 20; i < 38; ++i) {
        EXPECT_EQ(drawn[i].style, Style::Dotted);
        EXPECT_EQ(drawn[i].color, 0u);
    }
    // First tbRPM cell (1000) across the floor; the 30-degree line around both walls.
    EXPECT_EQ(drawn[20], line({1423.375f, 2194.75f}, {3423.375f, 4194.75f}, 0, Style::Dotted));
    EXPECT_EQ(drawn[36], line({819.25f, 994.75f}, {5652.25f, 994.75f}, 0, Style::Dotted));
    EXPECT_EQ(drawn[37], line({5652.25f, 994.75f}, {7652.25f, 2994.75f}, 0, Style::Dotted));
    for (std::size_t i = 38; i < drawn.size(); ++i)
        EXPECT_EQ(drawn[i].color, 65535u);
}

TEST(TimingPlotLoad, breakpointsBeyondTheAxesAreDrawnOutsideTheBox) {
    tune::Tune tune = belTune(true);
    tune.rpm[5] = "12700";
    tune.map[5] = "140";  // above the 1-bar sensor's 115
    const Primitives drawn = plotOf(tune).load();
    // tbRPM(5)'s floor line lies right of the right wall, beyond the drawing area's width.
    EXPECT_EQ(drawn[25], line({8491.6375f, 2194.75f}, {10491.6375f, 4194.75f}, 0, Style::Dotted));
    // tbMap(5)'s floor line lies in front of the box.
    EXPECT_EQ(drawn[31], line({3254.25f, 4629.75f}, {8087.25f, 4629.75f}, 0, Style::Dotted));
}

TEST(TimingPlotSurface, holdsTheTableFlatBeyondItsFirstAndLastBreakpoints) {
    // BEL start-up: rpm 1000..6500, advance 8 18 24 32 32 30, pressure 40..160, adjust +6..-5.
    const Primitives surface = plotOf(belTune()).DrawSurface();
    ASSERT_EQ(surface.size(), 8u * 8 + 8 * 8);
    EXPECT_EQ(count(surface, Kind::Pixel), 16u);
    // Constant pressure at 0 (j = -1) carries tbMapAdj(0) = +6: starts at rpm 0 with 8 + 6 = 14
    // degrees and runs on flat from tbRPM(5) to 8000 at 30 + 6 = 36 degrees.
    EXPECT_EQ(surface[0], pixel(819.25f, 1634.75f, 65535));
    EXPECT_EQ(surface[7], line({4746.0625f, 754.75f}, {5652.25f, 754.75f}, 65535));
    // Constant pressure at 250 (j = 6) carries tbMapAdj(5) = -5 and ends at the front right.
    EXPECT_EQ(surface[56], pixel(2819.25f, 4074.75f, 65535));
    EXPECT_EQ(surface[63], line({6746.0625f, 3194.75f}, {7652.25f, 3194.75f}, 65535));
    // Constant speed at 0 (i = -1) carries tbBaseTiming(0) = 8 from pressure 0 (8 + 6) to 250
    // (8 - 5), past tbMap(5) = 160.
    EXPECT_EQ(surface[64], pixel(819.25f, 1634.75f, 65535));
    EXPECT_EQ(surface[71], line({2099.25f, 3354.75f}, {2819.25f, 4074.75f}, 65535));
    // Constant speed at 8000 (i = 6) carries tbBaseTiming(5) = 30.
    EXPECT_EQ(surface[120], pixel(5652.25f, 754.75f, 65535));
}

TEST(TimingPlotSurface, aLastSpeedCellAtTheAxisEndGetsNoExtraSegmentButItsSpeedLineIsDrawnTwice) {
    tune::Tune tune = belTune();
    tune.rpm[5] = "12000";
    const Primitives surface = plotOf(tune, 12000).DrawSurface();
    // Eight lines of constant pressure with a pixel and six segments each, then eight of constant
    // speed with the flat run to 250 each.
    ASSERT_EQ(surface.size(), 8u * 7 + 8 * 8);
    for (std::size_t j = 0; j < 8; ++j)
        EXPECT_EQ(surface[j * 7].kind, Kind::Pixel);
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

TEST(TimingPlotSurface, keepsTheTuneAsItWasWhenThePlotWasMade) {
    tune::Tune tune = belTune();
    const plot::TimingPlot plot = plotOf(tune);
    const Primitives before = plot.DrawSurface();
    tune.baseTiming[3] = "45";
    tune.setOption(tune::Option::Map115, true);
    EXPECT_EQ(plot.DrawSurface(), before);
}

TEST(TimingPlotSettings, readTheRpmScaleAndTheGridColourByTheirRules) {
    const std::tuple<const char*, const char*, int, std::int32_t> rows[] = {
        {nullptr, nullptr, 8000, 65535}, {"12", "16711680", 12000, 16711680},
        {"8", "abc", 8000, 0},           {"12K", " 2 55.5", 8000, 256},
        {"", "&HFF", 8000, 255},         {" 12", "1E3", 8000, 1000}};
    for (const auto& [rpm, color, rpmMax, gridColor] : rows) {
        support::FakeSettingsStore store;
        if (rpm)
            store.write("Realtime", "RPM", rpm);
        if (color)
            store.write("Plot", "GridColor", color);
        const plot::PlotSettings read = plot::readPlotSettings(store);
        EXPECT_EQ(read.rpmMax, rpmMax) << (rpm ? rpm : "(none)");
        EXPECT_EQ(read.gridColor, gridColor) << (color ? color : "(none)");
    }
}

TEST(TimingPlotGridColor, startsOnTheLastChoiceStoresItsDecimalTextAndRedrawsOnlyTheSurface) {
    support::FakeSettingsStore store;
    support::FakeColorDialog chooser;
    chooser.answers = {16711680, std::nullopt, 255};
    plot::TimingPlot plot = plotOf(belTune());

    const Primitives blue = plot.ChooseGridColor(chooser, store);
    EXPECT_EQ(store.read("Plot", "GridColor", ""), "16711680");
    EXPECT_EQ(plot.GridColor(), 16711680);
    ASSERT_EQ(blue.size(), 128u);
    EXPECT_TRUE(std::all_of(blue.begin(), blue.end(),
                            [](const Primitive& p) { return p.color == 16711680u; }));
    EXPECT_EQ(blue.front(), pixel(819.25f, 1634.75f, 16711680));

    EXPECT_TRUE(plot.ChooseGridColor(chooser, store).empty());
    EXPECT_EQ(store.read("Plot", "GridColor", ""), "16711680");
    EXPECT_EQ(plot.GridColor(), 16711680);

    EXPECT_EQ(plot.ChooseGridColor(chooser, store).front().color, 255u);
    EXPECT_EQ(chooser.initials, (std::vector<std::uint32_t>{0, 16711680, 16711680}));
}

TEST(TimingPlotGolden, theBelStartupTuneDrawsTheRecordedList) {
    std::ostringstream actual;
    for (const Primitive& p : plotOf(belTune()).load())
        actual << plot::describe(p) << '\n';
    std::ifstream golden(VOLCRESTONE_PLOT_GOLDEN);
    ASSERT_TRUE(golden) << VOLCRESTONE_PLOT_GOLDEN;
    std::ostringstream expected;
    expected << golden.rdbuf();
    EXPECT_EQ(actual.str(), expected.str());
}

}  // namespace

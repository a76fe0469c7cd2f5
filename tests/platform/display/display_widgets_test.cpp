#include <gtest/gtest.h>

#include <QImage>
#include <cmath>
#include <limits>

#include "platform/display/RoundGauge.h"
#include "platform/display/SevenSegmentDisplay.h"
#include "platform/display/TrendGraph.h"

namespace {

using namespace platform::display;

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

// Paints a widget as a screen of that pixel ratio would, into an image.
QImage paintAt(QWidget& widget, qreal ratio) {
    QImage image((QSizeF(widget.size()) * ratio).toSize(), QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(ratio);
    image.fill(Qt::transparent);
    widget.render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
    return image;
}

// Share of pixels of `a` with no pixel of like colour at most one pixel left or right in `b`:
// scrolling by whole pixels may leave a picture up to a pixel off its freshly drawn self.
double differingShare(const QImage& a, const QImage& b) {
    const auto near = [](QRgb p, QRgb q) {
        return std::abs(qRed(p) - qRed(q)) + std::abs(qGreen(p) - qGreen(q)) +
                   std::abs(qBlue(p) - qBlue(q)) <=
               96;
    };
    int differing = 0;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 1; x + 1 < a.width(); ++x) {
            const QRgb p = a.pixel(x, y);
            if (!near(p, b.pixel(x - 1, y)) && !near(p, b.pixel(x, y)) &&
                !near(p, b.pixel(x + 1, y)))
                ++differing;
        }
    }
    return static_cast<double>(differing) / (a.width() * a.height());
}

TEST(RoundGauge, keepsItsSettingsAndDrawsARoundDialWhoseNeedleFollowsTheValue) {
    RoundGauge gauge;
    QPalette window;
    window.setColor(QPalette::Window, QColor(1, 2, 3));
    gauge.setPalette(window);
    gauge.resize(240, 200);
    gauge.setMinimum(0);
    gauge.setMaximum(12000);
    gauge.setMajorDivisions(8);
    gauge.setCaption("RPM");
    gauge.setZoneLimits(60, 7000, 7500);
    gauge.setBorderColor(65535);
    gauge.setUpperLimit(6800);
    gauge.setValue(3106);
    EXPECT_EQ(gauge.minimum(), 0);
    EXPECT_EQ(gauge.maximum(), 12000);
    EXPECT_EQ(gauge.majorDivisions(), 8);
    EXPECT_EQ(gauge.caption(), "RPM");
    EXPECT_EQ(gauge.yellowLimit(), 7000);
    EXPECT_EQ(gauge.borderColor(), 65535u);
    EXPECT_EQ(gauge.upperLimit(), 6800);
    EXPECT_EQ(gauge.value(), 3106);
    EXPECT_TRUE(std::isnan(RoundGauge().upperLimit()));

    for (const qreal ratio : {1.0, 2.0}) {
        SCOPED_TRACE(ratio);
        const QImage low = paintAt(gauge, ratio);
        // Round, centred in the wider widget, the corners in the window's colour.
        EXPECT_EQ(low.pixel(QPoint(1, 1) * ratio), qRgb(1, 2, 3));
        EXPECT_EQ(low.pixel(QPoint(12, 100) * ratio), qRgb(1, 2, 3));
        // The bezel on the right is in the border colour, yellow.
        const QRgb bezel = low.pixel(QPoint(218, 100) * ratio);
        EXPECT_GT(qRed(bezel), 100);
        EXPECT_LT(qBlue(bezel), 80);
        gauge.setValue(11000);
        const QImage high = paintAt(gauge, ratio);
        EXPECT_NE(low, high);
        gauge.setValue(3106);
        EXPECT_EQ(paintAt(gauge, ratio), low);
    }
}

TEST(RoundGauge, drawsWhateverItIsGivenWithoutFailing) {
    const struct {
        double minimum, maximum;
        int divisions;
        double value, limit;
    } cases[] = {{0, 0, 8, 5, 5},
                 {40, -40, 20, kNaN, kNaN},
                 {0, 8000, 0, kInf, -kInf},
                 {-1E308, 1E308, -3, 1E308, 0},
                 {kNaN, kInf, 1000000, -1E300, kNaN},
                 {0, 1, 1, -0.0, 2}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.value);
        RoundGauge gauge;
        gauge.resize(150, 150);
        gauge.setMinimum(c.minimum);
        gauge.setMaximum(c.maximum);
        gauge.setMajorDivisions(c.divisions);
        gauge.setZoneLimits(c.value, c.limit, c.minimum);
        gauge.setUpperLimit(c.limit);
        gauge.setCaption(QString(500, 'W'));
        gauge.setValue(c.value);
        for (const qreal ratio : {1.0, 2.0})
            EXPECT_EQ(qAlpha(paintAt(gauge, ratio).pixel(QPoint(75, 75) * ratio)), 255);
    }
    RoundGauge tiny;
    tiny.resize(3, 1);
    paintAt(tiny, 1);
}

TEST(SevenSegmentDisplay, showsTheSinglePrecisionValueOnItsPlaces) {
    SevenSegmentDisplay readout;
    readout.resize(100, 40);
    readout.setDigits(4);
    readout.setValue(3106.0f);
    EXPECT_EQ(readout.digits(), 4);
    EXPECT_EQ(readout.value(), 3106.0f);
    EXPECT_EQ(readout.text(), "3106");
    const QImage shown = paintAt(readout, 1);
    readout.setValue(std::numeric_limits<float>::quiet_NaN());
    EXPECT_EQ(readout.text(), "----");
    EXPECT_NE(paintAt(readout, 2), paintAt(readout, 1).scaled(200, 80));
    EXPECT_NE(paintAt(readout, 1), shown);
    readout.setDigits(0);
    EXPECT_EQ(readout.digits(), 1);
    readout.setDigits(1000);
    EXPECT_EQ(readout.digits(), 12);
    readout.setValue(-1E38f);
    paintAt(readout, 2);
}

TEST(TrendGraph, startsWithTheDashboardsDefaultsAndKeepsWhatIsSet) {
    TrendGraph graph(4);
    EXPECT_EQ(graph.samplecount(), 545);
    EXPECT_EQ(graph.gridColor(), 12640511u);
    EXPECT_EQ(graph.originColor(), 12640511u);
    EXPECT_EQ(graph.backColor(), 0u);
    EXPECT_EQ(graph.cursorColor(), 16777215u);
    EXPECT_EQ(graph.gridSpaceX(), 20);
    EXPECT_EQ(graph.cursorPosition(), 0);

    graph.setRange(100, 200);
    graph.setPenColor(2, 65535);
    graph.setPenHidden(1, true);
    graph.setPenScale(0, 8.0f / 12.0f);
    graph.setGridSpaceY(666);
    graph.setGridSpaceX(10);
    graph.setBackColor(255);
    graph.setGridColor(65280);
    graph.setOriginColor(16711680);
    graph.setCursorPosition(1000);
    graph.setPenValue(3, 150);
    graph.advance();
    graph.setPenValue(3, 160);
    EXPECT_EQ(graph.miny(), 100);
    EXPECT_EQ(graph.maxy(), 200);
    EXPECT_EQ(graph.penColor(2), 65535u);
    EXPECT_TRUE(graph.penHidden(1));
    EXPECT_EQ(graph.penScale(0), 8.0f / 12.0f);
    EXPECT_EQ(graph.gridSpaceY(), 666);
    EXPECT_EQ(graph.gridSpaceX(), 10);
    EXPECT_EQ(graph.backColor(), 255u);
    EXPECT_EQ(graph.gridColor(), 65280u);
    EXPECT_EQ(graph.originColor(), 16711680u);
    EXPECT_EQ(graph.cursorPosition(), 544);
    EXPECT_EQ(graph.penValue(3, 0), 160);
    EXPECT_EQ(graph.penValue(3, 1), 150);
    EXPECT_FALSE(graph.penHidden(9));
}

TEST(TrendGraph, plottingSampleBySampleDrawsWhatAFullRepaintDraws) {
    for (const qreal ratio : {1.0, 2.0}) {
        SCOPED_TRACE(ratio);
        TrendGraph graph(3);
        graph.resize(600, 150);
        graph.setRange(0, 8000);
        graph.setGridSpaceY(1000);
        graph.setPenColor(0, 65535);
        graph.setPenColor(1, 255);
        graph.setPenColor(2, 16776960);
        int n = 0;
        const auto addSample = [&] {
            graph.advance();
            graph.setPenValue(0, 4000 + 3000 * std::sin(n / 15.0));
            graph.setPenValue(1, 2000 + n * 10);
            graph.setPenValue(2, n % 90 == 0 ? kNaN : 9000 * std::cos(n / 40.0));
            graph.plot();
            ++n;
        };
        for (int i = 0; i < 300; ++i)
            addSample();
        paintAt(graph, ratio);
        for (int i = 0; i < 120; ++i) {
            addSample();
            if (i % 3 == 0)
                paintAt(graph, ratio);
        }
        const QImage plotted = paintAt(graph, ratio);
        graph.Repaint();
        const QImage full = paintAt(graph, ratio);
        EXPECT_LT(differingShare(plotted, full), 0.01);
    }
}

TEST(TrendGraph, drawsItsCursorOnlyWhenItStandsBackFromTheNewestSample) {
    TrendGraph graph(1);
    graph.resize(545, 100);
    graph.setGridSpaceX(0);
    graph.setGridSpaceY(0);
    EXPECT_EQ(paintAt(graph, 1).pixel(544, 50), qRgb(0, 0, 0));
    graph.setCursorPosition(100);
    EXPECT_EQ(paintAt(graph, 1).pixel(444, 50), qRgb(255, 255, 255));
    EXPECT_EQ(paintAt(graph, 2).pixel(889, 100), qRgb(255, 255, 255));
}

TEST(TrendGraph, drawsWhateverItIsGivenWithoutFailing) {
    TrendGraph graph(2);
    graph.resize(300, 80);
    const double values[] = {kNaN, kInf, -kInf, 1E308, -1E308, 0};
    const struct {
        double miny, maxy, gridY;
        int gridX;
    } settings[] = {{0, 8000, 1000, 20},
                    {5, 5, 0, 0},
                    {200, 100, kNaN, -5},
                    {-kInf, kInf, 1E-12, 1},
                    {0, 1E-300, 1E-301, 1000000}};
    for (const auto& s : settings) {
        graph.setRange(s.miny, s.maxy);
        graph.setGridSpaceY(s.gridY);
        graph.setGridSpaceX(s.gridX);
        graph.setPenScale(1, -1E30f);
        for (const double v : values) {
            graph.advance();
            graph.setPenValue(0, v);
            graph.setPenValue(1, v);
            graph.setPenValue(7, v);
            graph.plot();
            paintAt(graph, 1);
            paintAt(graph, 2);
        }
    }
    TrendGraph empty(-1);
    empty.resize(1, 1);
    empty.advance();
    empty.plot();
    paintAt(empty, 1);
    EXPECT_TRUE(std::isnan(empty.penValue(0, 0)));
}

}  // namespace

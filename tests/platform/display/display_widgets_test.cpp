#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QPaintEvent>
#include <array>
#include <cmath>
#include <limits>

#include "platform/display/RoundGauge.h"
#include "platform/display/SevenSegmentDisplay.h"
#include "platform/display/TrendGraph.h"
#include "platform/display/ValueLabel.h"

namespace {

using namespace platform::display;

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr float kNaNf = std::numeric_limits<float>::quiet_NaN();
constexpr float kInff = std::numeric_limits<float>::infinity();

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
    const auto near = [&b](QRgb p, int x, int y) {
        const QRgb q = b.pixel(x, y);
        return std::abs(qRed(p) - qRed(q)) + std::abs(qGreen(p) - qGreen(q)) +
                   std::abs(qBlue(p) - qBlue(q)) <=
               96;
    };
    int differing = 0;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 1; x + 1 < a.width(); ++x) {
            const QRgb p = a.pixel(x, y);
            differing += !near(p, x - 1, y) && !near(p, x, y) && !near(p, x + 1, y) ? 1 : 0;
        }
    }
    return static_cast<double>(differing) / (a.width() * a.height());
}

TEST(RoundGauge, drawsARoundDialInItsBorderColourWhoseNeedleFollowsTheValue) {
    RoundGauge gauge;
    gauge.setPalette(QPalette(QColor(1, 2, 3)));  // the window's colour too
    gauge.resize(240, 200);
    gauge.setMaximum(12000);
    gauge.setZoneLimits(60, 7000, 7500);
    gauge.setBorderColor(65535);
    gauge.setUpperLimit(6800);
    gauge.setValue(3106);
    EXPECT_TRUE(std::isnan(RoundGauge().upperLimit()));  // no limit mark until one is set
    for (const qreal ratio : {1.0, 2.0}) {
        SCOPED_TRACE(ratio);
        const QImage low = paintAt(gauge, ratio);
        // Round, centred in the wider widget, the corners in the window's colour.
        EXPECT_EQ(std::pair(low.pixel(QPoint(1, 1) * ratio), low.pixel(QPoint(12, 100) * ratio)),
                  std::pair(qRgb(1, 2, 3), qRgb(1, 2, 3)));
        // The bezel on the right is in the border colour, yellow.
        const QRgb bezel = low.pixel(QPoint(218, 100) * ratio);
        EXPECT_TRUE(qRed(bezel) > 100 && qBlue(bezel) < 80);
        gauge.setValue(11000);
        EXPECT_NE(paintAt(gauge, ratio), low);
        gauge.setValue(3106);
        EXPECT_EQ(paintAt(gauge, ratio), low);
    }
}

TEST(RoundGauge, needleMovesInOnePassPaintOnceAndOnlyAroundTheNeedle) {
    struct PaintCounter : QObject {
        int paints = 0;
        QRegion region;
        bool eventFilter(QObject*, QEvent* event) override {
            if (event->type() == QEvent::Paint) {
                ++paints;
                region += static_cast<QPaintEvent*>(event)->region();
            }
            return false;
        }
    } counter;
    RoundGauge gauge;
    gauge.resize(200, 200);
    gauge.show();
    QApplication::processEvents();
    gauge.installEventFilter(&counter);
    for (const double value : {2.0, 4.0, 6.0})
        gauge.setValue(value);
    QApplication::processEvents();
    EXPECT_EQ(counter.paints, 1);
    // The needle from 0 to 6 % of the scale points down to the left: that quarter and the hub.
    EXPECT_TRUE(QRect(20, 75, 110, 95).contains(counter.region.boundingRect()));
}

TEST(SevenSegmentDisplay, showsTheSinglePrecisionValueOnItsPlacesKeptFromOneToTwelve) {
    SevenSegmentDisplay readout;
    readout.resize(100, 40);
    readout.setDigits(4);
    readout.setValue(3106.0f);
    const QImage shown = paintAt(readout, 1);
    readout.setValue(kNaNf);  // "----", as the readout table has it
    EXPECT_NE(paintAt(readout, 1), shown);
    EXPECT_NE(paintAt(readout, 2), paintAt(readout, 1).scaled(200, 80));
    readout.setDigits(0);
    EXPECT_EQ(readout.digits(), 1);
    readout.setDigits(1000);
    EXPECT_EQ(readout.digits(), 12);
}

TEST(TrendGraph, putsALineEveryTwentySamplesAndDrawsItsCursorOnlyWhenItStandsBack) {
    TrendGraph graph(1);
    EXPECT_EQ(graph.gridSpaceX(), 20);
    graph.resize(545, 100);
    graph.setGridSpaceX(0);
    graph.setGridSpaceY(0);
    EXPECT_EQ(paintAt(graph, 1).pixel(544, 50), qRgb(0, 0, 0));  // a black back, no cursor
    graph.setCursorPosition(100);
    EXPECT_EQ(paintAt(graph, 2).pixel(889, 100), qRgb(255, 255, 255));
    graph.setCursorPosition(1000);
    EXPECT_EQ(graph.cursorPosition(), 544);
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
        for (int n = 0; n < 420; ++n) {
            graph.advance();
            graph.setPenValue(0, 4000 + 3000 * std::sin(n / 15.0));
            graph.setPenValue(1, 2000 + n * 10);
            graph.setPenValue(2, n % 90 == 0 ? kNaN : 9000 * std::cos(n / 40.0));
            graph.plot();
            if (n == 299 || (n >= 300 && n % 3 == 0))
                paintAt(graph, ratio);
        }
        const QImage plotted = paintAt(graph, ratio);
        graph.Repaint();
        EXPECT_LT(differingShare(plotted, paintAt(graph, ratio)), 0.01);
    }
}

// The box round every pixel a widget painted on a transparent image, or only round red ones.
QRect inkBox(const QImage& image, bool redOnly = false) {
    QRect box;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QRgb p = image.pixel(x, y);
            if (qAlpha(p) > 0 && (!redOnly || (qRed(p) > 150 && qGreen(p) < 60)))
                box |= QRect(x, y, 1, 1);
        }
    }
    return box;
}

TEST(ValueLabel, drawsItsTextWhereALabelWouldInAnyAlignmentFontAndRatio) {
    QFont big;
    big.setBold(true);
    big.setPointSizeF(big.pointSizeF() * 1.6);
    QPalette red;
    red.setColor(QPalette::WindowText, Qt::red);
    const Qt::Alignment alignments[] = {Qt::AlignCenter, Qt::AlignRight | Qt::AlignVCenter,
                                        Qt::AlignLeft | Qt::AlignTop};
    for (const qreal ratio : {1.0, 2.0}) {
        for (const Qt::Alignment alignment : alignments) {
            for (const char* text : {"-1234.5", "$0A", "Battery"}) {
                QLabel label(text);
                ValueLabel value(text, nullptr);
                // As first drawn, then after a new font and text, then after a new colour, each
                // drawn before the next comes.
                for (int step = 0; step < 3; ++step) {
                    SCOPED_TRACE(testing::Message()
                                 << ratio << " " << alignment << " " << text << " " << step);
                    for (QLabel* l : std::array<QLabel*, 2>{&label, &value}) {
                        l->setAlignment(alignment);
                        l->resize(120, 40);
                        if (step == 1) {
                            l->setFont(big);
                            l->setText("77");
                        }
                        if (step == 2)
                            l->setPalette(red);
                    }
                    const QRect expected = inkBox(paintAt(label, ratio));
                    const QRect drawn = inkBox(paintAt(value, ratio), step == 2);
                    const QMargins off(drawn.left() - expected.left(), drawn.top() - expected.top(),
                                       drawn.right() - expected.right(),
                                       drawn.bottom() - expected.bottom());
                    const int slack = static_cast<int>(ratio) + 1;
                    EXPECT_TRUE(std::max({std::abs(off.left()), std::abs(off.top()),
                                          std::abs(off.right()), std::abs(off.bottom())}) <= slack)
                        << off.left() << " " << off.top() << " " << off.right() << " "
                        << off.bottom();
                }
            }
        }
    }
}

// Every pairing of ordinary and wild numbers as range, zones, limits, values and divisions.
TEST(DisplayWidgets, drawWhateverTheyAreGivenWithoutFailing) {
    const double wild[] = {0, 5, -0.0, kNaN, kInf, -kInf, 1E308, -1E308, 1E-300};
    const float wildFloats[] = {0, 5, -0.0f, kNaNf, kInff, -kInff, 3E38f, -3E38f, 1E-40f};
    const int counts[] = {8, 0, -3, 1000000, 1, 20};
    RoundGauge gauge;
    gauge.resize(150, 150);
    gauge.setCaption(QString(500, 'W'));
    TrendGraph graph(2);
    graph.resize(300, 80);
    graph.setPenScale(1, -1E30f);
    SevenSegmentDisplay readout;
    readout.resize(60, 20);
    for (std::size_t i = 0; i < std::size(wild); ++i) {
        for (std::size_t k = 0; k < std::size(wild); ++k) {
            SCOPED_TRACE(testing::Message() << wild[i] << " " << wild[k]);
            const double a = wild[i], b = wild[k];
            const int n = counts[(i + k) % std::size(counts)];
            gauge.setMinimum(a);
            gauge.setMaximum(b);
            gauge.setMajorDivisions(n);
            gauge.setZoneLimits(b, a, b);
            gauge.setUpperLimit(a);
            gauge.setValue(b);
            graph.setRange(a, b);
            graph.setGridSpaceY(b);
            graph.setGridSpaceX(n);
            graph.advance();
            graph.setPenValue(0, a);
            graph.setPenValue(1, b);
            graph.setPenValue(7, a);
            graph.plot();
            readout.setDigits(n);
            readout.setValue(wildFloats[k]);
            for (const qreal ratio : {1.0, 2.0}) {
                EXPECT_EQ(qAlpha(paintAt(gauge, ratio).pixel(QPoint(75, 75) * ratio)), 255);
                paintAt(graph, ratio);
                paintAt(readout, ratio);
            }
        }
    }
    gauge.resize(3, 1);
    paintAt(gauge, 1);
}

}  // namespace

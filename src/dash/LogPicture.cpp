#include "dash/LogPicture.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "tune/Numeric.h"

namespace dash {

namespace {

constexpr double kTwips = 15;  // to the logical pixel at 96 DPI
constexpr std::uint32_t kBlack = 0x000000;
constexpr std::uint32_t kBlue = 0xC00000;
constexpr std::uint32_t kRed = 0x0000D0;
constexpr std::uint32_t kGrey = 0xA0A0A0;

plot::Point at(double x, double y) {
    return {static_cast<float>(x * kTwips), static_cast<float>(y * kTwips)};
}

// A rectangle of the picture in logical pixels, and a value range on each of its axes.
struct Box {
    double left, top, width, height;
    double xLow = 0, xHigh = 1, yLow = 0, yHigh = 1;

    double right() const { return left + width; }
    double bottom() const { return top + height; }
    double x(double value) const { return left + (value - xLow) / (xHigh - xLow) * width; }
    double y(double value) const { return bottom() - (value - yLow) / (yHigh - yLow) * height; }
};

std::string whole(double value) {
    return num::integerText(num::rnd32(value));
}

void frame(plot::Drawing& d, const Box& b, const std::string& title) {
    d.line(at(b.left, b.top), at(b.right(), b.top), kBlack);
    d.line(at(b.right(), b.top), at(b.right(), b.bottom()), kBlack);
    d.line(at(b.right(), b.bottom()), at(b.left, b.bottom()), kBlack);
    d.line(at(b.left, b.bottom()), at(b.left, b.top), kBlack);
    d.text(at(b.left, b.top - 17), title);
}

void valueLabels(plot::Drawing& d, const Box& b) {
    d.text(at(b.left - 52, b.top - 6), whole(b.yHigh));
    d.text(at(b.left - 52, b.bottom() - 8), whole(b.yLow));
}

// From 0 (or the lowest value, when below) to a tenth above the highest, so that the highest
// values stay clear of the frame.
void fitY(Box& b, const Span& span, bool any) {
    b.yLow = any ? std::min(0.0, std::floor(span.min)) : 0;
    const double high = any ? std::ceil(span.max) : 0;
    b.yHigh = high + std::max(1.0, std::ceil((high - b.yLow) / 10));
}

void strip(plot::Drawing& d, Box b, const std::string& title, const LogReport& report,
           Span LogReport::Column::*member, Span span) {
    fitY(b, span, report.records() > 0);
    frame(d, b, title);
    valueLabels(d, b);
    const auto& columns = report.columns();
    const double n = static_cast<double>(columns.size());
    for (std::size_t i = 0; i < columns.size(); ++i) {
        const Span& s = columns[i].*member;
        const double x = b.left + (static_cast<double>(i) + 0.5) * b.width / n;
        if (s.min == s.max)
            d.pixel(at(x, b.y(s.min)), kBlue);
        else
            d.line(at(x, b.y(s.min)), at(x, b.y(s.max)), kBlue);
        if (i > 0) {
            const Span& before = columns[i - 1].*member;
            const double xBefore = b.left + (static_cast<double>(i) - 0.5) * b.width / n;
            d.line(at(xBefore, b.y((before.min + before.max) / 2)), at(x, b.y((s.min + s.max) / 2)),
                   kBlue);
        }
    }
}

// Set pixels of a bitmap as runs along each row: one line per run keeps a dense cloud cheap.
void runs(plot::Drawing& d, const std::vector<bool>& bits, int width, int height, double left,
          double top) {
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            if (!bits[static_cast<std::size_t>(y * width + x)])
                continue;
            int end = x;
            while (end + 1 < width && bits[static_cast<std::size_t>(y * width + end + 1)])
                ++end;
            if (end == x)
                d.pixel(at(left + x, top + y), kBlue);
            else
                d.line(at(left + x, top + y), at(left + end, top + y), kBlue);
            x = end;
        }
    }
}

void scatter(plot::Drawing& d, Box b, const LogReport& report) {
    const plot::TimingMap& map = report.map();
    const auto& points = map.rpmPoints();
    const bool any = report.records() > 0;
    b.xHigh = std::max(1000.0, std::ceil(std::max(any ? report.rpm().max : 0.0,
                                                  *std::max_element(points.begin(), points.end())) /
                                         1000) *
                                   1000);
    std::vector<double> lineRpm = {0, b.xHigh};
    for (const double p : points) {
        if (p > 0 && p < b.xHigh)
            lineRpm.push_back(p);
    }
    std::sort(lineRpm.begin(), lineRpm.end());
    const double kpa = report.medianKpa();
    Span mapSpan{map.advance(0, kpa), map.advance(0, kpa)};
    for (const double r : lineRpm) {
        mapSpan.min = std::min(mapSpan.min, map.advance(r, kpa));
        mapSpan.max = std::max(mapSpan.max, map.advance(r, kpa));
    }
    const Span seen = any ? report.advance() : mapSpan;
    b.yLow = std::floor(std::min({0.0, seen.min, mapSpan.min}) / 5) * 5;
    b.yHigh = std::max(std::ceil(std::max(seen.max, mapSpan.max) / 5) * 5, b.yLow + 5);
    frame(d, b, "advance (deg) against rpm; line: the map at " + whole(kpa) + " kPa");
    valueLabels(d, b);
    d.text(at(b.left, b.bottom() + 3), "0");
    d.text(at(b.right() - 30, b.bottom() + 3), whole(b.xHigh));

    const int width = static_cast<int>(b.width);
    const int height = static_cast<int>(b.height);
    std::vector<bool> bits(static_cast<std::size_t>(width * height));
    for (int row = 0; row < LogReport::kScatterRows && any; ++row) {
        const double advance = LogReport::kLowestAdvance + row * 0.5;
        const int y = static_cast<int>(std::floor(b.y(advance) - b.top));
        for (int column = 0; column < LogReport::kScatterColumns; ++column) {
            if (!report.scatterAt(column, row))
                continue;
            const double rpm = (column + 0.5) * LogReport::kScatterRpmStep;
            const int x = static_cast<int>(std::floor(b.x(rpm) - b.left));
            // A dot of 3 x 3 pixels, so that a single record can be seen.
            for (int dy = -1; dy <= 1; ++dy)
                for (int dx = -1; dx <= 1; ++dx)
                    if (x + dx >= 0 && x + dx < width && y + dy >= 0 && y + dy < height)
                        bits[static_cast<std::size_t>((y + dy) * width + x + dx)] = true;
        }
    }
    runs(d, bits, width, height, b.left, b.top);

    for (std::size_t i = 1; i < lineRpm.size(); ++i)
        d.line(at(b.x(lineRpm[i - 1]), b.y(map.advance(lineRpm[i - 1], kpa))),
               at(b.x(lineRpm[i]), b.y(map.advance(lineRpm[i], kpa))), kRed);
}

void bars(plot::Drawing& d, const Box& b, const LogReport& report) {
    frame(d, b, "share of records per rpm band (%)");
    const auto shares = report.bandShares();
    const auto names = report.bandNames();
    const double slot = b.width / kBands;
    for (std::size_t i = 0; i < kBands; ++i) {
        const double left = b.left + static_cast<double>(i) * slot;
        const double top = b.bottom() - shares[i] / 100 * b.height;
        for (double x = left + 6; x < left + slot - 6; ++x) {
            if (shares[i] > 0)
                d.line(at(x, b.bottom() - 1), at(x, std::min(top, b.bottom() - 1)), kGrey);
        }
        d.text(at(left + 8, std::min(top, b.bottom()) - 15), num::formatFixed(shares[i], 1));
        // Every other name one line lower, so that long ones do not run into each other.
        d.text(at(left + 2, b.bottom() + (i % 2 == 0 ? 3 : 17)), names[i]);
    }
}

}  // namespace

plot::Primitives logPicture(const LogReport& report) {
    plot::Drawing d;
    d.clear();
    const double stripHeight = 240;
    const Box rpm{70, 40, 580, stripHeight};
    const Box kpa{70, 330, 580, stripHeight};
    const Box advance{70, 620, 580, stripHeight};
    strip(d, rpm, "rpm over the record number", report, &LogReport::Column::rpm, report.rpm());
    strip(d, kpa, "kPa over the record number", report, &LogReport::Column::kpa, report.kpa());
    strip(d, advance, "advance (deg) over the record number", report, &LogReport::Column::advance,
          report.advance());
    if (report.records() > 0) {
        d.text(at(advance.left, advance.bottom() + 3), "1");
        d.text(at(advance.right() - 60, advance.bottom() + 3), num::integerText(report.records()));
    }
    scatter(d, Box{730, 40, 440, 440}, report);
    bars(d, Box{730, 560, 440, 290}, report);
    return d.take();
}

}  // namespace dash

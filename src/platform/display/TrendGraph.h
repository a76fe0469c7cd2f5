#pragma once

#include <QImage>
#include <QWidget>
#include <cstdint>
#include <vector>

#include "platform/display/TrendRing.h"

namespace platform::display {

// A scrolling strip chart of up to a few pens over the last 545 samples, newest at the right.
// Background, grid and curves live in one cached picture: plot() scrolls it left by the new
// samples (by moving where it starts, not its pixels) and draws only them, the grid lines moving
// with the samples; any change of range, colours, pens or grid (or Repaint()) redraws it once
// from the stored samples.
//
// Horizontal grid lines run every gridspacey from the range's minimum, whose own line is the origin
// line in origincolor. Values outside the range leave the picture at its edge; NaN samples (and
// samples never set) leave a gap. The cursor is a vertical line in cursorcolor, drawn only when it
// stands back from the newest sample (position > 0), so a live graph shows none.
class TrendGraph : public QWidget {
public:
    explicit TrendGraph(int penCount, QWidget* parent = nullptr);

    int samplecount() const { return TrendRing::kSampleCount; }
    int penCount() const { return ring_.penCount(); }

    // A reversed range (miny > maxy) draws upside down; an empty or infinite one draws every
    // value across the middle.
    void setRange(double miny, double maxy);
    double miny() const { return miny_; }
    double maxy() const { return maxy_; }

    // Pens out of range are ignored (getters give white, false, 0, NaN).
    void setPenColor(int pen, std::uint32_t color);
    std::uint32_t penColor(int pen) const;
    void setPenHidden(int pen, bool hidden);
    bool penHidden(int pen) const;
    // 0 = no scaling; otherwise the pen draws value * scale.
    void setPenScale(int pen, float scale);
    float penScale(int pen) const;
    // The current sample of a pen, and the sample samplesBack before it.
    void setPenValue(int pen, double value);
    double penValue(int pen, int samplesBack) const { return ring_.at(pen, samplesBack); }

    // Starts a new current sample (the oldest drops out).
    void advance();
    // Draws the samples added since the last plot.
    void plot();
    // Redraws everything from the stored samples.
    void Repaint();

    // Samples back from the newest, kept within 0..544.
    void setCursorPosition(int samplesBack);
    int cursorPosition() const { return cursor_; }
    std::uint32_t cursorColor() const { return 16777215; }

    void setBackColor(std::uint32_t color);
    std::uint32_t backColor() const { return back_; }
    void setGridColor(std::uint32_t color);
    std::uint32_t gridColor() const { return grid_; }
    void setOriginColor(std::uint32_t color);
    std::uint32_t originColor() const { return origin_; }
    // Samples between vertical grid lines; below 1 there are none.
    void setGridSpaceX(int samples);
    int gridSpaceX() const { return gridSpaceX_; }
    // Value between horizontal grid lines; not a positive number leaves only the origin line.
    void setGridSpaceY(double step);
    double gridSpaceY() const { return gridSpaceY_; }

    QSize sizeHint() const override { return {545, 200}; }
    QSize minimumSizeHint() const override { return {160, 60}; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    struct Pen {
        std::uint32_t color = 16777215;
        bool hidden = false;
        float scale = 0;
    };

    void layerChanged();
    void redrawLayer();
    void scrollLayer(int samples);
    void paintBackground(QPainter& p, int fromX) const;
    // Positions count samples back from the right edge of the picture; the ring holds them
    // `lag` further back when advance() ran since the last plot().
    void paintGridLine(QPainter& p, int position, int lag) const;
    void paintCurves(QPainter& p, int oldest, int lag) const;
    int gridLineWidth() const;
    QColor gridLineColor() const;
    double xAt(int samplesBack) const;
    double yAt(int pen, int samplesBack) const;

    TrendRing ring_;
    std::vector<Pen> pens_;
    double miny_ = 0, maxy_ = 100;
    int cursor_ = 0;
    std::uint32_t back_ = 0, grid_ = 12640511, origin_ = 12640511;
    int gridSpaceX_ = 20;
    double gridSpaceY_ = 10;

    QImage layer_;  // background, grid and curves, in device pixels
    int seam_ = 0;  // the layer column that shows at the picture's left edge
    qreal layerRatio_ = 1;
    bool layerValid_ = false;
    std::uint64_t drawnUpTo_ = 0;    // ring advances the layer shows
    std::uint64_t plottedUpTo_ = 0;  // ring advances plot() has asked to show
    double scrollOwed_ = 0;          // how far the picture lies right of the samples' places
};

}  // namespace platform::display

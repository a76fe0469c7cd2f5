#include "platform/display/TrendGraph.h"

#include <QPainter>
#include <algorithm>
#include <cmath>

#include "platform/Colors.h"
#include "platform/display/PaintTarget.h"

namespace platform::display {

namespace {

constexpr int kSamples = TrendRing::kSampleCount;
// More new samples than this at once are cheaper to draw afresh than to scroll in.
constexpr int kMostScrolled = kSamples / 4;
// Grid lines are a blend of the grid colour into the background so the curves stay the strongest
// thing on the chart; the origin line has the full colour. The blend is worked out here rather
// than drawn see-through: Qt hands see-through fills to worker threads, costing more than the fill.
constexpr double kGridShare = 0.45;
constexpr double kPenWidth = 1.6;

}  // namespace

TrendGraph::TrendGraph(int penCount, QWidget* parent)
    : QWidget(parent), ring_(penCount), pens_(static_cast<std::size_t>(ring_.penCount())) {
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void TrendGraph::setRange(double miny, double maxy) {
    miny_ = miny;
    maxy_ = maxy;
    layerChanged();
}

std::uint32_t TrendGraph::penColor(int pen) const {
    return pen >= 0 && pen < penCount() ? pens_[static_cast<std::size_t>(pen)].color : 16777215;
}

bool TrendGraph::penHidden(int pen) const {
    return pen >= 0 && pen < penCount() && pens_[static_cast<std::size_t>(pen)].hidden;
}

float TrendGraph::penScale(int pen) const {
    return pen >= 0 && pen < penCount() ? pens_[static_cast<std::size_t>(pen)].scale : 0;
}

void TrendGraph::setPenColor(int pen, std::uint32_t color) {
    if (pen >= 0 && pen < penCount())
        pens_[static_cast<std::size_t>(pen)].color = color & 0xFFFFFFu;
    layerChanged();
}

void TrendGraph::setPenHidden(int pen, bool hidden) {
    if (pen >= 0 && pen < penCount())
        pens_[static_cast<std::size_t>(pen)].hidden = hidden;
    layerChanged();
}

void TrendGraph::setPenScale(int pen, float scale) {
    if (pen >= 0 && pen < penCount())
        pens_[static_cast<std::size_t>(pen)].scale = scale;
    layerChanged();
}

void TrendGraph::setPenValue(int pen, double value) {
    ring_.set(pen, value);
}

void TrendGraph::advance() {
    ring_.advance();
}

void TrendGraph::plot() {
    // Plotting the same sample again means its values changed under the picture.
    if (ring_.advances() == drawnUpTo_)
        layerValid_ = false;
    plottedUpTo_ = ring_.advances();
    update();
}

void TrendGraph::Repaint() {
    layerChanged();
}

void TrendGraph::setCursorPosition(int samplesBack) {
    cursor_ = std::clamp(samplesBack, 0, kSamples - 1);
    update();
}

void TrendGraph::setBackColor(std::uint32_t color) {
    back_ = color & 0xFFFFFFu;
    layerChanged();
}

void TrendGraph::setGridColor(std::uint32_t color) {
    grid_ = color & 0xFFFFFFu;
    layerChanged();
}

void TrendGraph::setOriginColor(std::uint32_t color) {
    origin_ = color & 0xFFFFFFu;
    layerChanged();
}

void TrendGraph::setGridSpaceX(int samples) {
    gridSpaceX_ = samples;
    layerChanged();
}

void TrendGraph::setGridSpaceY(double step) {
    gridSpaceY_ = step;
    layerChanged();
}

void TrendGraph::layerChanged() {
    layerValid_ = false;
    update();
}

double TrendGraph::xAt(int samplesBack) const {
    return TrendRing::xFor(samplesBack, layer_.width() - 1) + scrollOwed_;
}

double TrendGraph::yAt(int pen, int samplesBack) const {
    const double value = TrendRing::drawnValue(ring_.at(pen, samplesBack),
                                               pens_[static_cast<std::size_t>(pen)].scale);
    return TrendRing::yFor(value, miny_, maxy_, layer_.height() - 1);
}

void TrendGraph::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const qreal ratio = paintRatio(p);
    const QSize pixels = (QSizeF(size()) * ratio).toSize();
    if (pixels.isEmpty())
        return;
    if (layer_.size() != pixels) {
        layer_ = QImage(pixels, QImage::Format_RGB32);
        layerValid_ = false;
    }
    if (!layerValid_ || layerRatio_ != ratio) {
        layerRatio_ = ratio;
        redrawLayer();
    } else if (plottedUpTo_ > drawnUpTo_) {
        const auto added = plottedUpTo_ - drawnUpTo_;
        if (added > kMostScrolled)
            redrawLayer();
        else
            scrollLayer(static_cast<int>(added));
    }
    // The picture from the seam on, then what wrapped round to the layer's start.
    const int width = layer_.width();
    const int left = width - seam_;
    p.drawImage(QRectF(0, 0, left / ratio, height()), layer_,
                QRectF(seam_, 0, left, layer_.height()));
    if (seam_ > 0)
        p.drawImage(QRectF(left / ratio, 0, seam_ / ratio, height()), layer_,
                    QRectF(0, 0, seam_, layer_.height()));

    if (cursor_ > 0) {
        const double x = std::round(xAt(cursor_)) / ratio;
        p.fillRect(QRectF(x, 0, 1, height()), toQColor(cursorColor()));
    }
}

void TrendGraph::redrawLayer() {
    drawnUpTo_ = plottedUpTo_ = ring_.advances();
    scrollOwed_ = 0;
    seam_ = 0;
    layerValid_ = true;
    QPainter p(&layer_);
    paintBackground(p, 0);
    for (int k = 0; k < kSamples; ++k)
        paintGridLine(p, k, 0);
    paintCurves(p, kSamples - 1, 0);
}

void TrendGraph::scrollLayer(int samples) {
    // Whole pixels only. The fraction is carried, and new samples are drawn that far off their
    // place, so all samples keep their spacing and the picture keeps pace with the ring.
    const int width = layer_.width();
    const double exact = samples * (width - 1.0) / (kSamples - 1) + scrollOwed_;
    const int shift = std::clamp(static_cast<int>(std::lround(exact)), 0, width);
    scrollOwed_ = exact - shift;

    // The layer is a ring: scrolling moves the seam instead of the pixels.
    seam_ = (seam_ + shift) % width;

    // advance() may have run again since the last plot(); those samples wait for the next one.
    const int lag = static_cast<int>(ring_.advances() - plottedUpTo_);
    drawnUpTo_ = plottedUpTo_;
    // Picture column x lies at layer column x + seam_, or x + seam_ - width past the layer's end:
    // the new strip, and the stroke back to the last sample before it, are drawn at both places
    // where they can land, each clipped by the layer's edge.
    const int reach = width - shift - static_cast<int>(std::ceil(kPenWidth * layerRatio_)) - 2;
    QPainter p(&layer_);
    for (const int offset : {seam_, seam_ - width}) {
        if (reach + offset >= width || width + offset <= 0)
            continue;
        p.save();
        p.translate(offset, 0);
        paintBackground(p, width - shift);
        for (int k = 0; k < samples; ++k)
            paintGridLine(p, k, lag);
        paintCurves(p, samples, lag);
        p.restore();
    }
}

void TrendGraph::paintBackground(QPainter& p, int fromX) const {
    const QRect strip(fromX, 0, layer_.width() - fromX, layer_.height());
    p.fillRect(strip, toQColor(back_));
    const int line = gridLineWidth();
    const std::vector<double> values = TrendRing::gridValues(miny_, maxy_, gridSpaceY_);
    // Drawn from the top down so the origin line ends up over any line it touches.
    for (std::size_t i = values.size(); i-- > 0;) {
        const double y = TrendRing::yFor(values[i], miny_, maxy_, layer_.height() - 1);
        const int row = std::min(static_cast<int>(std::lround(y)), layer_.height() - line);
        p.fillRect(QRect(strip.x(), row, strip.width(), line),
                   i == 0 ? toQColor(origin_) : gridLineColor());
    }
}

void TrendGraph::paintGridLine(QPainter& p, int position, int lag) const {
    if (!ring_.gridLineAt(position + lag, gridSpaceX_))
        return;
    const int line = gridLineWidth();
    const int x = static_cast<int>(std::lround(xAt(position)));
    p.fillRect(QRect(std::min(x, layer_.width() - line), 0, line, layer_.height()),
               gridLineColor());
}

void TrendGraph::paintCurves(QPainter& p, int oldest, int lag) const {
    p.setRenderHint(QPainter::Antialiasing);
    QPolygonF run;
    run.reserve(oldest + 1);
    // Pen 0 last, so the first pen lies on top.
    for (int pen = penCount() - 1; pen >= 0; --pen) {
        const Pen& style = pens_[static_cast<std::size_t>(pen)];
        if (style.hidden)
            continue;
        p.setPen(QPen(toQColor(style.color), kPenWidth * layerRatio_, Qt::SolidLine, Qt::RoundCap,
                      Qt::RoundJoin));
        run.clear();
        for (int k = oldest; k >= 0; --k) {
            const double y = yAt(pen, k + lag);
            if (std::isnan(y)) {
                if (run.size() > 1)
                    p.drawPolyline(run);
                run.clear();
                continue;
            }
            run.append(QPointF(xAt(k), y));
        }
        if (run.size() > 1)
            p.drawPolyline(run);
    }
}

int TrendGraph::gridLineWidth() const {
    return std::max(1, static_cast<int>(std::lround(layerRatio_)));
}

QColor TrendGraph::gridLineColor() const {
    const QColor grid = toQColor(grid_), back = toQColor(back_);
    const auto blend = [](int b, int g) { return static_cast<int>(b + (g - b) * kGridShare); };
    return QColor(blend(back.red(), grid.red()), blend(back.green(), grid.green()),
                  blend(back.blue(), grid.blue()));
}

}  // namespace platform::display

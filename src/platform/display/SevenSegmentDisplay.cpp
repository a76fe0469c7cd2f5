#include "platform/display/SevenSegmentDisplay.h"

#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <array>

#include "platform/display/PaintTarget.h"
#include "platform/display/SegmentText.h"

namespace platform::display {

namespace {

// One digit in its own units: 9 wide, 18 high, segments 2.2 thick, leaning right like the real
// thing. A place every 16 units: the decimal point, a dot as thick as a segment on the baseline,
// lives in the gap with clear space on both sides, so "17.5" never reads as "175".
constexpr double kDigitWidth = 9;
constexpr double kDigitHeight = 18;
constexpr double kThickness = 2.2;
constexpr double kGap = 0.45;
constexpr double kPitch = 16;
constexpr double kPointSize = 2.8;
constexpr double kSlant = 0.1;
constexpr double kPadding = 3.5;

const QColor kLit(255, 176, 32);
const QColor kGlow(255, 150, 0, 70);
const QColor kUnlit(255, 176, 32, 20);
const QColor kPanel(6, 7, 9, 236);
const QColor kPanelEdge(84, 88, 98);

QPolygonF horizontalSegment(double y) {
    const double h = kThickness / 2;
    const double x0 = kGap, x1 = kDigitWidth - kGap;
    return QPolygonF({QPointF(x0, y), QPointF(x0 + h, y - h), QPointF(x1 - h, y - h),
                      QPointF(x1, y), QPointF(x1 - h, y + h), QPointF(x0 + h, y + h)});
}

QPolygonF verticalSegment(double x, double top) {
    const double h = kThickness / 2;
    const double y0 = top + kGap, y1 = top + kDigitHeight / 2 - kGap;
    return QPolygonF({QPointF(x, y0), QPointF(x + h, y0 + h), QPointF(x + h, y1 - h),
                      QPointF(x, y1), QPointF(x - h, y1 - h), QPointF(x - h, y0 + h)});
}

// Segments a..g in the order of segmentMask's bits.
const std::array<QPolygonF, 7>& segmentShapes() {
    static const std::array<QPolygonF, 7> shapes = {horizontalSegment(0),
                                                    verticalSegment(kDigitWidth, 0),
                                                    verticalSegment(kDigitWidth, kDigitHeight / 2),
                                                    horizontalSegment(kDigitHeight),
                                                    verticalSegment(0, kDigitHeight / 2),
                                                    verticalSegment(0, 0),
                                                    horizontalSegment(kDigitHeight / 2)};
    return shapes;
}

// Between the right segments' outer edge (kDigitWidth + kThickness / 2) and the next place's
// left one (kPitch - kThickness / 2), in the middle, its bottom on the bottom segment's.
QRectF pointShape() {
    const double centre = (kDigitWidth + kPitch) / 2;
    const double bottom = kDigitHeight + kThickness / 2;
    return {centre - kPointSize / 2, bottom - kPointSize, kPointSize, kPointSize};
}

QPainterPath cellPath(const SegmentCell& cell, double left) {
    QPainterPath path;
    const std::uint8_t mask = segmentMask(cell.glyph);
    for (std::size_t s = 0; s < 7; ++s) {
        if (mask & (1u << s))
            path.addPolygon(segmentShapes()[s].translated(left, 0));
    }
    if (cell.point)
        path.addEllipse(pointShape().translated(left, 0));
    path.setFillRule(Qt::WindingFill);
    return path;
}

// Fits the digits, padding included, into the widget keeping their proportions, and leans them.
QTransform toDigitSpace(const QSize& size, int digits) {
    const double w = digits * kPitch - (kPitch - kDigitWidth) + 2 * kPadding;
    const double h = kDigitHeight + 2 * kPadding;
    const double unit = std::min(size.width() / w, size.height() / h);
    QTransform t;
    t.translate((size.width() - w * unit) / 2 + kPadding * unit,
                (size.height() - h * unit) / 2 + kPadding * unit);
    t.scale(unit, unit);
    t.translate(kSlant * kDigitHeight / 2, 0);
    t.shear(-kSlant, 0);
    return t;
}

// Where place `index` draws, in whole device pixels, with room for its point and the smoothed
// edges.
QRect cellPixels(const QTransform& toWidget, int index, qreal ratio) {
    const QRectF cell(index * kPitch - 2, -2, kPitch + 2, kDigitHeight + 4);
    const QRectF widget = toWidget.mapRect(cell);
    return QRectF(widget.topLeft() * ratio, widget.size() * ratio).toAlignedRect();
}

// A lit glyph and its point in one byte: segmentMask's seven bits and the point above them.
std::size_t glyphKey(const SegmentCell& cell) {
    return segmentMask(cell.glyph) | (cell.point ? 0x80u : 0u);
}

}  // namespace

SevenSegmentDisplay::SevenSegmentDisplay(QWidget* parent)
    : QWidget(parent), text_(segmentText(value_, digits_, decimals_)) {}

void SevenSegmentDisplay::setDigits(int digits) {
    digits_ = std::clamp(digits, 1, kMaxSegmentDigits);
    text_ = segmentText(value_, digits_, decimals_);
    panel_ = QPixmap();
    update();
}

void SevenSegmentDisplay::setDecimals(int decimals) {
    decimals_ = decimals;
    text_ = segmentText(value_, digits_, decimals_);
    update();
}

void SevenSegmentDisplay::setValue(float value) {
    value_ = value;
    std::string text = segmentText(value, digits_, decimals_);
    if (text == text_)
        return;
    text_ = std::move(text);
    update();
}

QSize SevenSegmentDisplay::sizeHint() const {
    return {digits_ * 20 + 16, 40};
}

QSize SevenSegmentDisplay::minimumSizeHint() const {
    return {digits_ * 8 + 8, 16};
}

void SevenSegmentDisplay::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const qreal ratio = paintRatio(p);
    const QSize pixels = (QSizeF(size()) * ratio).toSize();
    if (panel_.size() != pixels || panel_.devicePixelRatio() != ratio) {
        panel_ = QPixmap(pixels);
        panel_.setDevicePixelRatio(ratio);
        panel_.fill(Qt::transparent);
        QPainter pp(&panel_);
        paintPanel(pp);
        glyphs_.assign(static_cast<std::size_t>(digits_), {});
    }
    p.drawPixmap(0, 0, panel_);

    const QTransform toWidget = toDigitSpace(size(), digits_);
    const std::vector<SegmentCell> cells = segmentCells(text_, digits_);
    for (std::size_t i = 0; i < cells.size(); ++i) {
        if (glyphKey(cells[i]) == 0)
            continue;
        const int index = static_cast<int>(i);
        const QRect at = cellPixels(toWidget, index, ratio);
        p.drawPixmap(QPointF(at.topLeft()) / ratio, litGlyph(cells[i], index, toWidget, at, ratio));
    }
}

const QPixmap& SevenSegmentDisplay::litGlyph(const SegmentCell& cell, int index,
                                             const QTransform& toWidget, const QRect& at,
                                             qreal ratio) {
    QPixmap& glyph = glyphs_[static_cast<std::size_t>(index)][glyphKey(cell)];
    if (glyph.isNull()) {
        // Drawn where it will stand, to the fraction of a pixel, so that it covers its unlit
        // segments on the panel exactly.
        glyph = QPixmap(at.size());
        glyph.setDevicePixelRatio(ratio);
        glyph.fill(Qt::transparent);
        QPainter gp(&glyph);
        gp.setRenderHint(QPainter::Antialiasing);
        gp.translate(-QPointF(at.topLeft()) / ratio);
        gp.setTransform(toWidget, true);
        gp.setPen(Qt::NoPen);
        gp.setBrush(kLit);
        gp.drawPath(cellPath(cell, index * kPitch));
    }
    return glyph;
}

void SevenSegmentDisplay::paintPanel(QPainter& p) const {
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF box = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    const double radius = std::min(box.width(), box.height()) * 0.14;
    p.setPen(QPen(kPanelEdge, 1));
    p.setBrush(kPanel);
    p.drawRoundedRect(box, radius, radius);

    p.setTransform(toDigitSpace(size(), digits_), true);
    const SegmentCell all{'8', true};
    p.setPen(Qt::NoPen);
    p.setBrush(kUnlit);
    for (int i = 0; i < digits_; ++i)
        p.drawPath(cellPath(all, i * kPitch));
}

}  // namespace platform::display

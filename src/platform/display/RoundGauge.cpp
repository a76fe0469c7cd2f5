#include "platform/display/RoundGauge.h"

#include <QEvent>
#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QtMath>
#include <algorithm>
#include <cmath>
#include <limits>
#include <tuple>

#include "platform/Colors.h"
#include "platform/display/PaintTarget.h"

namespace platform::display {

namespace {

// Radii in the 200 x 200 dial space.
constexpr double kBezelOuter = 99;
constexpr double kFaceRadius = 89;
constexpr double kScaleRadius = 83;  // outer end of the ticks
constexpr double kMajorTick = 12;
constexpr double kMinorTick = 6;
constexpr double kZoneWidth = 6;
constexpr double kFigureRadius = 59;
constexpr int kMinorPerMajor = 5;
constexpr double kHubRadius = 9.5;
const QPointF kShadowOffset(1.6, 2.2);

const QColor kFaceCentre(44, 48, 56);
const QColor kFaceEdge(10, 11, 14);
const QColor kTickColor(236, 238, 242);
const QColor kFigureColor(240, 242, 246);
const QColor kCaptionColor(176, 184, 196);
const QColor kZoneGreen(30, 176, 72);
const QColor kZoneYellow(236, 200, 20);
const QColor kZoneRed(224, 36, 36);
const QColor kLimitColor(255, 70, 40);
const QColor kNeedleColor(255, 96, 32);

QPointF polar(double radius, double degrees) {
    const double a = qDegreesToRadians(degrees);
    return {radius * std::cos(a), -radius * std::sin(a)};
}

QColor mix(const QColor& a, const QColor& b, double share) {
    const auto blend = [share](int x, int y) { return static_cast<int>(x + (y - x) * share); };
    return QColor(blend(a.red(), b.red()), blend(a.green(), b.green()), blend(a.blue(), b.blue()));
}

// From the dial's 200 x 200 space, centred on (0, 0), to the square it fills.
QTransform dialToWidget(const QRectF& square) {
    QTransform t;
    t.translate(square.center().x(), square.center().y());
    t.scale(square.width() / 200, square.width() / 200);
    return t;
}

const QPolygonF& needleOutline() {
    static const QPolygonF outline({QPointF(-17, -3.4), QPointF(76, -1.1), QPointF(81, 0),
                                    QPointF(76, 1.1), QPointF(-17, 3.4)});
    return outline;
}

QFont dialFont(const QFont& base, int pixelSize, bool bold) {
    QFont font = base;
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    // Unhinted glyphs keep their proportions at every scale, so the face looks the same at any
    // size.
    font.setHintingPreference(QFont::PreferNoHinting);
    return font;
}

}  // namespace

RoundGauge::RoundGauge(QWidget* parent)
    : QWidget(parent),
      green_(std::numeric_limits<double>::quiet_NaN()),
      yellow_(green_),
      red_(green_),
      upperLimit_(green_) {
    // The face is drawn whole, corners included, so nothing behind the dial is painted again when
    // the needle moves.
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void RoundGauge::changeEvent(QEvent* event) {
    if (event->type() == QEvent::PaletteChange)
        faceChanged();
    QWidget::changeEvent(event);
}

void RoundGauge::setValue(double value) {
    const double before = scale_.angleFor(value_);
    value_ = value;
    const double after = scale_.angleFor(value_);
    // Only where the needle was and where it goes; a value pinned at an end moves nothing.
    if (after != before)
        update(needleRect(before) | needleRect(after));
}

QRect RoundGauge::needleRect(double angle) const {
    const QRectF needle = QTransform().rotate(-angle).map(needleOutline()).boundingRect();
    const QRectF area = needle | needle.translated(kShadowOffset) |
                        QRectF(-kHubRadius, -kHubRadius, 2 * kHubRadius, 2 * kHubRadius);
    return dialToWidget(dialRect()).mapRect(area).adjusted(-2, -2, 2, 2).toAlignedRect();
}

void RoundGauge::setMinimum(double minimum) {
    scale_.minimum = minimum;
    faceChanged();
}

void RoundGauge::setMaximum(double maximum) {
    scale_.maximum = maximum;
    faceChanged();
}

void RoundGauge::setMajorDivisions(int divisions) {
    scale_.majorDivisions = divisions;
    faceChanged();
}

void RoundGauge::setCaption(const QString& caption) {
    caption_ = caption;
    faceChanged();
}

void RoundGauge::setZoneLimits(double green, double yellow, double red) {
    green_ = green;
    yellow_ = yellow;
    red_ = red;
    faceChanged();
}

void RoundGauge::setBorderColor(std::uint32_t color) {
    border_ = color & 0xFFFFFFu;
    faceChanged();
}

void RoundGauge::setUpperLimit(double limit) {
    upperLimit_ = limit;
    faceChanged();
}

void RoundGauge::PaintGraph() {
    faceChanged();
}

void RoundGauge::faceChanged() {
    faceValid_ = false;
    update();
}

QRectF RoundGauge::dialRect() const {
    const double side = std::min(width(), height());
    return {(width() - side) / 2, (height() - side) / 2, side, side};
}

QRectF RoundGauge::readoutRect() const {
    const QRectF dial = dialRect();
    const double unit = dial.width() / 200;
    return {dial.center().x() - 31 * unit, dial.center().y() + 47 * unit, 62 * unit, 27 * unit};
}

void RoundGauge::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const qreal ratio = paintRatio(p);
    const QSize pixels = (QSizeF(size()) * ratio).toSize();
    if (!faceValid_ || face_.size() != pixels || face_.devicePixelRatio() != ratio) {
        face_ = QPixmap(pixels);
        face_.setDevicePixelRatio(ratio);
        face_.fill(palette().color(backgroundRole()));
        QPainter fp(&face_);
        fp.setRenderHint(QPainter::Antialiasing);
        fp.setTransform(dialToWidget(dialRect()), true);
        paintFace(fp);
        paintHubPixmap(ratio);
        faceValid_ = true;
    }
    p.drawPixmap(0, 0, face_);
    p.setRenderHint(QPainter::Antialiasing);
    p.save();
    p.setTransform(dialToWidget(dialRect()), true);
    paintNeedle(p);
    p.restore();
    p.drawPixmap(QPointF(hubAt_.topLeft()) / ratio, hub_);
}

void RoundGauge::paintHubPixmap(qreal ratio) {
    // In whole device pixels, so that it lands where it was drawn to the fraction of a pixel.
    const QTransform toWidget = dialToWidget(dialRect());
    const QRectF box = toWidget.mapRect(
        QRectF(-kHubRadius - 1, -kHubRadius - 1, 2 * kHubRadius + 2, 2 * kHubRadius + 2));
    hubAt_ = QRectF(box.topLeft() * ratio, box.size() * ratio).toAlignedRect();
    hub_ = QPixmap(hubAt_.size());
    hub_.setDevicePixelRatio(ratio);
    hub_.fill(Qt::transparent);
    QPainter hp(&hub_);
    hp.setRenderHint(QPainter::Antialiasing);
    hp.setPen(Qt::NoPen);
    hp.translate(-QPointF(hubAt_.topLeft()) / ratio);
    hp.setTransform(toWidget, true);
    const std::tuple<QPointF, double, QColor> discs[] = {{{0, 0}, kHubRadius, QColor(20, 22, 26)},
                                                         {{-0.6, -0.6}, 8, QColor(74, 78, 88)},
                                                         {{-3, -3}, 2.6, QColor(120, 126, 138)},
                                                         {{0, 0}, 3, kNeedleColor.darker(140)}};
    for (const auto& [centre, radius, color] : discs) {
        hp.setBrush(color);
        hp.drawEllipse(centre, radius, radius);
    }
}

void RoundGauge::paintFace(QPainter& p) const {
    const QColor border = toQColor(border_);
    p.setPen(Qt::NoPen);

    // Bezel: the border colour lit from the upper left, with a bevel turned the other way inside.
    QLinearGradient bezel(-70, -70, 70, 70);
    bezel.setColorAt(0, mix(border, Qt::white, 0.55));
    bezel.setColorAt(0.5, border);
    bezel.setColorAt(1, mix(border, Qt::black, 0.6));
    p.setBrush(bezel);
    p.drawEllipse(QPointF(0, 0), kBezelOuter, kBezelOuter);
    QLinearGradient bevel(-70, -70, 70, 70);
    bevel.setColorAt(0, mix(border, Qt::black, 0.6));
    bevel.setColorAt(1, mix(border, Qt::white, 0.35));
    p.setBrush(bevel);
    p.drawEllipse(QPointF(0, 0), kFaceRadius + 4, kFaceRadius + 4);

    QRadialGradient face(QPointF(0, -25), 115);
    face.setColorAt(0, kFaceCentre);
    face.setColorAt(1, kFaceEdge);
    p.setBrush(face);
    p.setPen(QPen(QColor(0, 0, 0, 200), 1.2));
    p.drawEllipse(QPointF(0, 0), kFaceRadius, kFaceRadius);

    paintZones(p);
    paintTicks(p);
    paintFigures(p);
    paintUpperLimit(p);

    if (!caption_.isEmpty()) {
        const QFont font = dialFont(this->font(), 11, true);
        p.setFont(font);
        p.setPen(kCaptionColor);
        const QRectF box(-55, -38, 110, 16);
        p.drawText(box, Qt::AlignCenter,
                   QFontMetricsF(font).elidedText(caption_, Qt::ElideRight, box.width()));
    }

    // A faint reflection on the glass over the upper half.
    QLinearGradient glass(0, -kFaceRadius, 0, 0);
    glass.setColorAt(0, QColor(255, 255, 255, 26));
    glass.setColorAt(1, QColor(255, 255, 255, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(glass);
    p.drawEllipse(QRectF(-kFaceRadius * 0.8, -kFaceRadius + 2, kFaceRadius * 1.6, kFaceRadius));
}

void RoundGauge::paintZones(QPainter& p) const {
    const ZoneSpans spans = scale_.zoneSpans(green_, yellow_, red_);
    const double r = kScaleRadius - kZoneWidth / 2;
    const QRectF arcBox(-r, -r, 2 * r, 2 * r);
    const std::pair<ZoneSpan, QColor> zones[] = {
        {spans.green, kZoneGreen}, {spans.yellow, kZoneYellow}, {spans.red, kZoneRed}};
    p.setBrush(Qt::NoBrush);
    for (const auto& [span, color] : zones) {
        if (span.empty())
            continue;
        QPainterPath arc;
        arc.arcMoveTo(arcBox, span.toAngle);
        arc.arcTo(arcBox, span.toAngle, span.fromAngle - span.toAngle);
        p.setPen(QPen(color, kZoneWidth, Qt::SolidLine, Qt::FlatCap));
        p.drawPath(arc);
    }
}

void RoundGauge::paintTicks(QPainter& p) const {
    const int divisions = scale_.divisions();
    // Fewer minor ticks where the major ones already sit close together.
    const int minor = divisions > 12 ? 2 : kMinorPerMajor;
    p.setPen(QPen(kTickColor, 1, Qt::SolidLine, Qt::FlatCap));
    for (int i = 0; i < divisions * minor; ++i) {
        if (i % minor == 0)
            continue;
        const double a = GaugeScale::kStartAngle - GaugeScale::kSweep * i / (divisions * minor);
        p.drawLine(polar(kScaleRadius, a), polar(kScaleRadius - kMinorTick, a));
    }
    p.setPen(QPen(kTickColor, 2.4, Qt::SolidLine, Qt::FlatCap));
    for (int i = 0; i <= divisions; ++i) {
        const double a = scale_.divisionAngle(i);
        p.drawLine(polar(kScaleRadius, a), polar(kScaleRadius - kMajorTick, a));
    }
}

void RoundGauge::paintFigures(QPainter& p) const {
    const std::vector<std::string> figures = scale_.figures();
    std::size_t longest = 0;
    for (const std::string& f : figures)
        longest = std::max(longest, f.size());
    const QFont font = dialFont(this->font(), longest <= 3 ? 11 : longest == 4 ? 10 : 9, true);
    const QFontMetricsF metrics(font);
    double widest = 0;
    for (const std::string& f : figures)
        widest = std::max(widest, metrics.horizontalAdvance(QString::fromStdString(f)));
    const double divisionArc =
        kFigureRadius * qDegreesToRadians(GaugeScale::kSweep / scale_.divisions());
    const int stride = scale_.figureStride(divisionArc, widest + 5);

    // A figure far too long for the face (a huge scale) is cut off at the rim, not painted over it.
    QPainterPath rim;
    rim.addEllipse(QPointF(0, 0), kFaceRadius - 2, kFaceRadius - 2);
    p.save();
    p.setClipPath(rim);
    p.setFont(font);
    p.setPen(kFigureColor);
    for (int i = 0; i < static_cast<int>(figures.size()); i += stride) {
        const QPointF at = polar(kFigureRadius, scale_.divisionAngle(i));
        p.drawText(QRectF(at.x() - 40, at.y() - 10, 80, 20), Qt::AlignCenter,
                   QString::fromStdString(figures[static_cast<std::size_t>(i)]));
    }
    p.restore();
}

void RoundGauge::paintUpperLimit(QPainter& p) const {
    if (std::isnan(upperLimit_))
        return;
    const double a = scale_.angleFor(upperLimit_);
    p.setPen(QPen(kLimitColor, 2.6, Qt::SolidLine, Qt::FlatCap));
    p.drawLine(polar(kScaleRadius - kMajorTick - 4, a), polar(kScaleRadius, a));
    // A small pointer just inside the rim.
    QPolygonF pointer;
    pointer << polar(kScaleRadius, a) << polar(kFaceRadius + 1, a - 4)
            << polar(kFaceRadius + 1, a + 4);
    p.setPen(Qt::NoPen);
    p.setBrush(kLimitColor);
    p.drawPolygon(pointer);
}

void RoundGauge::paintNeedle(QPainter& p) const {
    // Opaque solid fills only: Qt hands see-through fills of this size to worker threads, which
    // costs far more than the drawing. Two halves in two shades give the needle its ridge; the
    // shadow is a dark shape rather than a see-through one, and without smoothed edges, which
    // cost more than the rest of the needle and do not show dark on the dark face.
    static const QPolygonF lit(
        {QPointF(-17, -3.4), QPointF(76, -1.1), QPointF(81, 0), QPointF(-17, 0)});
    static const QPolygonF shaded(
        {QPointF(-17, 0), QPointF(81, 0), QPointF(76, 1.1), QPointF(-17, 3.4)});
    const double angle = -scale_.angleFor(value_);
    p.setPen(Qt::NoPen);
    p.save();
    p.translate(kShadowOffset);  // the shadow falls the same way whatever the needle's angle
    p.rotate(angle);
    p.setBrush(QColor(5, 6, 8));
    p.setRenderHint(QPainter::Antialiasing, false);
    p.drawPolygon(needleOutline());
    p.restore();
    p.save();
    p.rotate(angle);
    p.setBrush(kNeedleColor.lighter(115));
    p.drawPolygon(lit);
    p.setBrush(kNeedleColor.darker(125));
    p.drawPolygon(shaded);
    p.restore();
}

}  // namespace platform::display

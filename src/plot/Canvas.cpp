#include "plot/Canvas.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QPainter>
#include <QPen>
#include <algorithm>
#include <cmath>
#include <optional>

#include "platform/Colors.h"

namespace plot {

namespace {

constexpr double kTwipsPerInch = 1440;
constexpr double kLabelPoints = 8;
// Beyond this many pixels off the image nothing can show; keeps far-off points out of the
// painter's integer arithmetic.
constexpr double kFarOff = 1e6;

// Font point sizes turn into pixels by the image's own resolution.
void setResolution(QImage& image, double dpi) {
    const int dotsPerMeter = static_cast<int>(std::lround(dpi / 0.0254));
    image.setDotsPerMeterX(dotsPerMeter);
    image.setDotsPerMeterY(dotsPerMeter);
}

struct Segment {
    double x1, y1, x2, y2;
};

// Liang-Barsky: the part of the segment inside [lo, hiX] x [lo, hiY], if any.
std::optional<Segment> clipped(Segment s, double lo, double hiX, double hiY) {
    double t0 = 0;
    double t1 = 1;
    const double dx = s.x2 - s.x1;
    const double dy = s.y2 - s.y1;
    const double p[] = {-dx, dx, -dy, dy};
    const double q[] = {s.x1 - lo, hiX - s.x1, s.y1 - lo, hiY - s.y1};
    for (int k = 0; k < 4; ++k) {
        if (p[k] == 0) {
            if (q[k] < 0)
                return std::nullopt;
            continue;
        }
        const double t = q[k] / p[k];
        if (p[k] < 0)
            t0 = std::max(t0, t);
        else
            t1 = std::min(t1, t);
        if (t0 > t1)
            return std::nullopt;
    }
    return Segment{s.x1 + t0 * dx, s.y1 + t0 * dy, s.x1 + t1 * dx, s.y1 + t1 * dy};
}

}  // namespace

Canvas::Canvas(double logicalDpi, double pixelRatio, double widthTwips, double heightTwips)
    : logicalDpi_(logicalDpi),
      ratio_(pixelRatio),
      penWidth_(std::max(1, static_cast<int>(std::lround(pixelRatio)))),
      logicalSize_(static_cast<int>(std::lround(widthTwips * logicalDpi / kTwipsPerInch)),
                   static_cast<int>(std::lround(heightTwips * logicalDpi / kTwipsPerInch))),
      image_(static_cast<int>(std::ceil(logicalSize_.width() * pixelRatio)),
             static_cast<int>(std::ceil(logicalSize_.height() * pixelRatio)), QImage::Format_RGB32),
      font_(QGuiApplication::font()) {
    font_.setPointSizeF(kLabelPoints);
    setResolution(image_, logicalDpi * pixelRatio);
    image_.fill(platform::toQColor(kBackground));
    image_.setDevicePixelRatio(ratio_);
}

double Canvas::textWidth(const std::string& text) const {
    QImage logical(1, 1, QImage::Format_RGB32);
    setResolution(logical, logicalDpi_);
    const int pixels =
        QFontMetrics(font_, &logical).horizontalAdvance(QString::fromStdString(text));
    return pixels * kTwipsPerInch / logicalDpi_;
}

void Canvas::draw(const Primitives& primitives) {
    // Painted in device pixels; the ratio goes back on once the painter is done.
    image_.setDevicePixelRatio(1);
    {
        QPainter painter(&image_);
        painter.setRenderHint(QPainter::Antialiasing, false);
        painter.setRenderHint(QPainter::TextAntialiasing, true);
        painter.setFont(font_);
        const double half = penWidth_ / 2.0;
        const double edgeX = image_.width() + penWidth_;
        const double edgeY = image_.height() + penWidth_;
        // The device pixel a twip falls in; lines run through pixel centres.
        const auto pixel = [this](double twips) {
            return std::floor(twips * logicalDpi_ * ratio_ / kTwipsPerInch);
        };
        for (const Primitive& p : primitives) {
            switch (p.kind) {
                case Primitive::Kind::Clear:
                    painter.fillRect(image_.rect(),
                                     platform::toQColor(p.color.value_or(kBackground)));
                    break;
                case Primitive::Kind::Pixel: {
                    const double x = pixel(p.from.x);
                    const double y = pixel(p.from.y);
                    if (x >= 0 && y >= 0 && x < image_.width() && y < image_.height())
                        painter.fillRect(QRectF(x, y, penWidth_, penWidth_),
                                         platform::toQColor(p.color.value_or(kText)));
                    break;
                }
                case Primitive::Kind::Line: {
                    const std::optional<Segment> inside =
                        clipped({pixel(p.from.x), pixel(p.from.y), pixel(p.to.x), pixel(p.to.y)},
                                -penWidth_, edgeX, edgeY);
                    if (!inside)
                        break;
                    const bool dotted = p.style == Primitive::Style::Dotted;
                    QPen pen(platform::toQColor(p.color.value_or(kText)), penWidth_,
                             dotted ? Qt::DotLine : Qt::SolidLine,
                             dotted ? Qt::FlatCap : Qt::SquareCap);
                    pen.setCosmetic(true);
                    painter.setPen(pen);
                    painter.drawLine(
                        QPointF(std::floor(inside->x1) + half, std::floor(inside->y1) + half),
                        QPointF(std::floor(inside->x2) + half, std::floor(inside->y2) + half));
                    break;
                }
                case Primitive::Kind::Text: {
                    const double x = pixel(p.from.x);
                    const double y = pixel(p.from.y);
                    if (std::abs(x) > kFarOff || std::abs(y) > kFarOff)
                        break;
                    painter.setPen(platform::toQColor(p.color.value_or(kText)));
                    painter.drawText(QPointF(x, y + painter.fontMetrics().ascent()),
                                     QString::fromStdString(p.text));
                    break;
                }
            }
        }
    }
    image_.setDevicePixelRatio(ratio_);
}

}  // namespace plot

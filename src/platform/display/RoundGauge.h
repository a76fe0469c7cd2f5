#pragma once

#include <QPixmap>
#include <QString>
#include <QWidget>
#include <cstdint>

#include "platform/display/GaugeScale.h"

namespace platform::display {

// A round instrument dial: a 270-degree scale with figures, major and minor ticks, green, yellow
// and red zones, an optional upper-limit mark, a bezel in the border colour and a needle. It is
// drawn in a 200 x 200 space centred in the widget, so it stays round and crisp at any size and
// pixel ratio. Everything but the needle is cached; a new value only redraws the needle.
//
// The corners outside the dial are painted in the palette's window colour (inherited from the
// parent unless set), so the gauge is opaque and a needle move repaints nothing behind it.
//
// Odd settings never break it: see GaugeScale for values off the scale, NaN and empty scales.
class RoundGauge : public QWidget {
public:
    explicit RoundGauge(QWidget* parent = nullptr);

    void setValue(double value);
    double value() const { return value_; }

    void setMinimum(double minimum);
    double minimum() const { return scale_.minimum; }
    void setMaximum(double maximum);
    double maximum() const { return scale_.maximum; }
    void setMajorDivisions(int divisions);
    int majorDivisions() const { return scale_.majorDivisions; }
    void setCaption(const QString& caption);
    QString caption() const { return caption_; }

    // Green from the green limit to the yellow one, yellow up to red, red up to the maximum; no
    // zones until this is called (the limits read NaN until then).
    void setZoneLimits(double green, double yellow, double red);
    double greenLimit() const { return green_; }
    double yellowLimit() const { return yellow_; }
    double redLimit() const { return red_; }

    void setBorderColor(std::uint32_t color);
    std::uint32_t borderColor() const { return border_; }

    // The mark stays off until a limit is set (upperLimit() is NaN until then).
    void setUpperLimit(double limit);
    double upperLimit() const { return upperLimit_; }

    // Redraws the whole dial, face included.
    void PaintGraph();

    // Where a readout fits in the lower part of the dial, below the needle's hub and between the
    // two ends of the scale, in this widget's coordinates.
    QRectF readoutRect() const;

    QSize sizeHint() const override { return {200, 200}; }
    QSize minimumSizeHint() const override { return {120, 120}; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void faceChanged();
    QRectF dialRect() const;
    QRect needleRect(double angle) const;
    void paintFace(QPainter& p) const;
    void paintZones(QPainter& p) const;
    void paintTicks(QPainter& p) const;
    void paintFigures(QPainter& p) const;
    void paintUpperLimit(QPainter& p) const;
    void paintNeedle(QPainter& p) const;
    void paintHubPixmap(qreal ratio);

    GaugeScale scale_{0, 100, 10};
    double value_ = 0;
    QString caption_;
    // No zones and no limit mark until they are set.
    double green_, yellow_, red_;
    std::uint32_t border_ = 0xC0C0C0;
    double upperLimit_;

    QPixmap face_;
    QPixmap hub_;  // the needle's hub, which never turns, drawn over it
    QRect hubAt_;  // where, in device pixels
    bool faceValid_ = false;
};

}  // namespace platform::display

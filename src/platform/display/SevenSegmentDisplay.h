#pragma once

#include <QPixmap>
#include <QWidget>
#include <array>
#include <string>
#include <vector>

#include "platform/display/SegmentText.h"

namespace platform::display {

// A seven-segment readout: `digits` places drawn as slanted segment polygons (no font), lit
// amber on a dark rounded panel with the unlit segments faintly visible, as on a real display.
// The panel with the unlit segments and each lit glyph are drawn once per size and pixel ratio;
// a new value repaints only when its text changes, by copying its glyphs onto the panel.
// What each value shows: see segmentText.
class SevenSegmentDisplay : public QWidget {
public:
    explicit SevenSegmentDisplay(QWidget* parent = nullptr);

    // Places, kept within 1..12.
    void setDigits(int digits);
    int digits() const { return digits_; }

    // Decimals at most, fewer where the places run out; by default as many as fit.
    void setDecimals(int decimals);
    int decimals() const { return decimals_; }

    void setValue(float value);
    float value() const { return value_; }

    // What the places show now, as in segmentText ("2.51", "---").
    QString text() const { return QString::fromStdString(text_); }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void paintPanel(QPainter& p) const;
    // The glyph of `cell` lit in place `index`, which covers `at` in device pixels.
    const QPixmap& litGlyph(const SegmentCell& cell, int index, const QTransform& toWidget,
                            const QRect& at, qreal ratio);

    int digits_ = 3;
    int decimals_ = kMaxSegmentDigits;
    float value_ = 0;
    std::string text_;
    QPixmap panel_;
    // By place, then by glyph and point (segmentMask's bits, the point as bit 7).
    std::vector<std::array<QPixmap, 256>> glyphs_;
};

}  // namespace platform::display

#pragma once

#include <QPixmap>
#include <QWidget>
#include <string>

#include "platform/display/SegmentText.h"

namespace platform::display {

// A seven-segment readout: `digits` places drawn as slanted segment polygons (no font), lit
// amber on a dark rounded panel with the unlit segments faintly visible, as on a real display.
// The panel and the unlit segments are cached; a new value redraws only when its text changes.
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

    int digits_ = 3;
    int decimals_ = kMaxSegmentDigits;
    float value_ = 0;
    std::string text_;
    QPixmap panel_;
};

}  // namespace platform::display

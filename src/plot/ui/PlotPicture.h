#pragma once

#include <QWidget>
#include <memory>

#include "plot/Canvas.h"
#include "plot/Primitive.h"

namespace plot {

// Picture1: the drawing area. What is drawn on it is kept as an image, so covering and
// uncovering the window shows it unchanged; moved to a screen of another pixel ratio it is
// drawn again from what it was given, at that screen's sharpness.
class PlotPicture : public QWidget {
public:
    PlotPicture(double logicalDpi, QWidget* parent);

    // Twips, for the labels' placement.
    double textWidth(const std::string& text) const { return canvas_->textWidth(text); }
    // Over what is drawn already.
    void draw(const Primitives& primitives);
    const QImage& image() const { return canvas_->image(); }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    double logicalDpi_;
    std::unique_ptr<Canvas> canvas_;
    Primitives drawn_;
};

}  // namespace plot

#pragma once

#include <QFont>
#include <QImage>
#include <QSize>
#include <string>

#include "plot/Primitive.h"
#include "plot/TimingPlot.h"

namespace plot {

// The drawing area as an image: replays primitives in twips onto device pixels. Twips map to
// pixels by the logical DPI (1440 twips to the inch), so the plot keeps its proportions at any
// scale; the image holds logical DPI x device pixel ratio pixels per inch so that it stays crisp
// on a dense screen. Lines and pixels are drawn without smoothing, in exactly the colours asked
// for. Needs a QGuiApplication (fonts).
class Canvas {
public:
    // The drawing area is the timing plot's unless another size (in twips) is given.
    Canvas(double logicalDpi, double pixelRatio, double widthTwips = TimingPlot::kWidth,
           double heightTwips = TimingPlot::kHeight);

    // The drawing area in logical pixels (537 x 329 at 96 DPI).
    QSize logicalSize() const { return logicalSize_; }
    double pixelRatio() const { return ratio_; }
    // The image at device resolution, its device pixel ratio set.
    const QImage& image() const { return image_; }

    // Width of a label in twips, measured at the logical DPI whatever the pixel ratio, so that
    // the drawing steps come out the same on every screen of that DPI.
    double textWidth(const std::string& text) const;

    void draw(const Primitives& primitives);

    // The drawing area's colours: black labels on white.
    static constexpr std::uint32_t kBackground = 0xFFFFFF;
    static constexpr std::uint32_t kText = 0x000000;

private:
    double logicalDpi_;
    double ratio_;
    int penWidth_;  // device pixels: one logical pixel, at least one device pixel
    QSize logicalSize_;
    QImage image_;
    QFont font_;
};

}  // namespace plot

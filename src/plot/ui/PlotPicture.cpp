#include "plot/ui/PlotPicture.h"

#include <QPainter>

namespace plot {

PlotPicture::PlotPicture(double logicalDpi, QWidget* parent)
    : QWidget(parent),
      logicalDpi_(logicalDpi),
      canvas_(std::make_unique<Canvas>(logicalDpi, parent->devicePixelRatioF())) {
    setFixedSize(canvas_->logicalSize());
}

void PlotPicture::draw(const Primitives& primitives) {
    drawn_.insert(drawn_.end(), primitives.begin(), primitives.end());
    canvas_->draw(primitives);
    update();
}

void PlotPicture::paintEvent(QPaintEvent*) {
    if (devicePixelRatioF() != canvas_->pixelRatio()) {
        canvas_ = std::make_unique<Canvas>(logicalDpi_, devicePixelRatioF());
        canvas_->draw(drawn_);
    }
    QPainter(this).drawImage(QPoint(0, 0), canvas_->image());
}

}  // namespace plot

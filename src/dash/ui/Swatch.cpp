#include "dash/ui/Swatch.h"

#include <QLabel>
#include <QPainter>
#include <QVBoxLayout>

#include "platform/Colors.h"

namespace dash {

Swatch::Swatch(const QString& name, QLabel* value, QWidget* parent) : QFrame(parent) {
    setObjectName(name);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 3, 6, 3);
    layout->addWidget(value);
}

void Swatch::setOutlineColor(std::uint32_t color) {
    color_ = color;
    update();
}

void Swatch::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(platform::toQColor(color_), 2.0));
    painter.setBrush(Qt::NoBrush);
    painter.drawRoundedRect(QRectF(rect()).adjusted(1.5, 1.5, -1.5, -1.5), 6, 6);
}

}  // namespace dash

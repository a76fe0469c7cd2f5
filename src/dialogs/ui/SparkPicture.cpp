#include "dialogs/ui/SparkPicture.h"

#include <QPainter>
#include <QPainterPath>

namespace dialogs {

void SparkPicture::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(width() / 100.0, height() / 100.0);

    p.fillRect(QRectF(0, 0, 100, 100), QColor(24, 32, 48));

    // Coil body with its windings.
    p.setPen(QPen(QColor(20, 20, 20), 2));
    p.setBrush(QColor(70, 90, 120));
    p.drawRoundedRect(QRectF(14, 12, 34, 56), 6, 6);
    p.setPen(QPen(QColor(205, 140, 60), 3));
    for (int y = 20; y <= 60; y += 8)
        p.drawLine(QLineF(16, y, 46, y + 3));

    // High-tension lead down to the plug's electrode.
    p.setPen(QPen(QColor(200, 200, 200), 3));
    p.drawLine(QLineF(31, 68, 31, 80));
    p.drawLine(QLineF(31, 80, 56, 80));

    // The spark: a jagged bolt and a glow.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 220, 80, 90));
    p.drawEllipse(QPointF(72, 62), 22, 22);
    QPainterPath bolt;
    bolt.moveTo(86, 30);
    bolt.lineTo(64, 60);
    bolt.lineTo(74, 60);
    bolt.lineTo(58, 88);
    bolt.lineTo(88, 54);
    bolt.lineTo(77, 54);
    bolt.closeSubpath();
    p.setBrush(QColor(255, 236, 120));
    p.setPen(QPen(QColor(255, 160, 30), 1.5));
    p.drawPath(bolt);
}

}  // namespace dialogs

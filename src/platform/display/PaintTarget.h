#pragma once

#include <QPaintDevice>
#include <QPaintEngine>
#include <QPainter>

namespace platform::display {

// The pixel ratio of what a widget's painter really draws on: the screen, or the image that
// QWidget::render() was given. Caches are built at this ratio so they stay crisp on either.
inline qreal paintRatio(QPainter& painter) {
    const QPaintEngine* engine = painter.paintEngine();
    return engine && engine->paintDevice() ? engine->paintDevice()->devicePixelRatio()
                                           : painter.device()->devicePixelRatio();
}

}  // namespace platform::display

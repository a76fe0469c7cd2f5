#include "platform/display/ValueLabel.h"

#include <QEvent>
#include <QHash>
#include <QImage>
#include <QPainter>
#include <QStyle>
#include <cmath>
#include <map>
#include <tuple>

#include "platform/display/PaintTarget.h"

namespace platform::display {

namespace {

// Room either side of a character's advance for ink that reaches past it.
constexpr int kOverhang = 2;

struct Glyph {
    QImage image;  // the character at its advance, kOverhang logical pixels in
    qreal advance = 0;
};

}  // namespace

// The characters drawn so far in one font, colour and pixel ratio.
class GlyphSet {
public:
    GlyphSet(const QFont& font, const QColor& color, qreal ratio)
        : font_(font), metrics_(font), color_(color), ratio_(ratio) {}

    qreal height() const { return metrics_.height(); }

    const Glyph& glyph(QChar c) {
        auto found = glyphs_.find(c);
        if (found == glyphs_.end())
            found = glyphs_.insert(c, draw(c));
        return *found;
    }

private:
    Glyph draw(QChar c) const {
        Glyph g;
        g.advance = metrics_.horizontalAdvance(c);
        const QSizeF logical(g.advance + 2 * kOverhang, metrics_.height());
        g.image = QImage((logical * ratio_).toSize(), QImage::Format_ARGB32_Premultiplied);
        g.image.setDevicePixelRatio(ratio_);
        g.image.fill(Qt::transparent);
        QPainter p(&g.image);
        p.setFont(font_);
        p.setPen(color_);
        p.drawText(QPointF(kOverhang, metrics_.ascent()), QString(c));
        return g;
    }

    QFont font_;
    QFontMetricsF metrics_;
    QColor color_;
    qreal ratio_;
    QHash<QChar, Glyph> glyphs_;
};

namespace {

GlyphSet& glyphSet(const QFont& font, const QColor& color, qreal ratio) {
    // A handful of fonts and colours over a whole run: the values of two windows.
    static std::map<std::tuple<QString, QRgb, qreal>, GlyphSet> sets;
    const auto key = std::make_tuple(font.key(), color.rgba(), ratio);
    auto found = sets.find(key);
    if (found == sets.end())
        found = sets.try_emplace(key, font, color, ratio).first;
    return found->second;
}

}  // namespace

ValueLabel::ValueLabel(const QString& text, QWidget* parent) : QLabel(text, parent) {
    setTextFormat(Qt::PlainText);
}

void ValueLabel::paintEvent(QPaintEvent*) {
    QPainter p(this);
    drawFrame(&p);
    const QString shown = text();
    if (shown.isEmpty())
        return;
    const qreal ratio = paintRatio(p);
    if (glyphs_ == nullptr || ratio != ratio_) {
        glyphs_ = &glyphSet(font(), palette().color(foregroundRole()), ratio);
        ratio_ = ratio;
    }
    GlyphSet& glyphs = *glyphs_;
    qreal width = 0;
    for (const QChar c : shown)
        width += glyphs.glyph(c).advance;
    const QRect box = contentsRect().adjusted(margin(), margin(), -margin(), -margin());
    const Qt::Alignment align = QStyle::visualAlignment(layoutDirection(), alignment());
    qreal x = box.left();
    if (align & Qt::AlignHCenter)
        x += (box.width() - width) / 2;
    else if (align & Qt::AlignRight)
        x += box.width() - width;
    qreal top = box.top();
    if (align & Qt::AlignVCenter)
        top += (box.height() - glyphs.height()) / 2;
    else if (align & Qt::AlignBottom)
        top += box.height() - glyphs.height();
    top = std::round(top * ratio) / ratio;
    for (const QChar c : shown) {
        const Glyph& g = glyphs.glyph(c);
        // Whole device pixels, each from the exact running position: even spacing, crisp ink.
        const qreal left = std::round((x - kOverhang) * ratio) / ratio;
        p.drawImage(QPointF(left, top), g.image);
        x += g.advance;
    }
}

void ValueLabel::changeEvent(QEvent* event) {
    if (event->type() == QEvent::FontChange || event->type() == QEvent::PaletteChange ||
        event->type() == QEvent::EnabledChange || event->type() == QEvent::StyleChange)
        glyphs_ = nullptr;
    QLabel::changeEvent(event);
}

}  // namespace platform::display

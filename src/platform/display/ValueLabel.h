#pragma once

#include <QLabel>

namespace platform::display {

class GlyphSet;

// A label for a value that changes many times a second. Its characters are drawn from images
// made once per font, colour and pixel ratio and shared by every such label, so a new text costs
// no text layout and no shaping; frame, margins and alignment are the QLabel's own. Plain text
// of single characters only: the values are numbers and short words.
class ValueLabel : public QLabel {
public:
    ValueLabel(const QString& text, QWidget* parent);

protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    // The characters in this label's font and colour at `ratio_`, looked up again only when one
    // of those changes: finding them costs more than drawing them.
    GlyphSet* glyphs_ = nullptr;
    qreal ratio_ = 0;
};

}  // namespace platform::display

#pragma once

#include <QPushButton>

namespace setup {

// A push button whose caption wraps onto several lines, as the exchange buttons' captions do
// ("   Send to     Volcrestone"). text() keeps the caption exactly.
class WrapButton : public QPushButton {
    Q_OBJECT

public:
    explicit WrapButton(const QString& caption, QWidget* parent = nullptr);
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
};

}  // namespace setup

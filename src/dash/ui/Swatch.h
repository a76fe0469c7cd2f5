#pragma once

#include <QFrame>
#include <cstdint>

class QLabel;

namespace dash {

// A value label framed by a rounded outline in the colour of its pen, so each number in the
// value column matches its trace.
class Swatch : public QFrame {
    Q_OBJECT
public:
    Swatch(const QString& name, QLabel* value, QWidget* parent = nullptr);

    void setOutlineColor(std::uint32_t color);
    std::uint32_t outlineColor() const { return color_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    std::uint32_t color_ = 0;
};

}  // namespace dash

#pragma once

#include <QWidget>

#include "platform/Dialogs.h"

namespace platform {

// Modal message boxes; the parent (may be null) keeps them over the right window.
class QtMessageBox final : public MessageBox {
public:
    explicit QtMessageBox(QWidget* parent = nullptr) : parent_(parent) {}

    Answer show(const std::string& text, const std::string& title, Icon icon,
                Buttons buttons = Buttons::Ok) override;

private:
    QWidget* parent_;
};

}  // namespace platform

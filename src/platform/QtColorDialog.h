#pragma once

#include <QWidget>

#include "platform/Dialogs.h"

namespace platform {

// Qt's modal colour dialog.
class QtColorDialog final : public ColorDialog {
public:
    explicit QtColorDialog(QWidget* parent = nullptr) : parent_(parent) {}

    std::optional<std::uint32_t> chooseColor(std::uint32_t initial) override;

private:
    QWidget* parent_;
};

}  // namespace platform

#include "platform/QtColorDialog.h"

#include <QColorDialog>

#include "platform/Colors.h"

namespace platform {

std::optional<std::uint32_t> QtColorDialog::chooseColor(std::uint32_t initial) {
    const QColor chosen = QColorDialog::getColor(toQColor(initial), parent_);
    if (!chosen.isValid()) {
        return std::nullopt;
    }
    return fromQColor(chosen);
}

}  // namespace platform

#pragma once

#include <QWidget>

#include "platform/Dialogs.h"

namespace platform {

// Qt's file dialogs, opening in the given folder. Paths are in the local 8-bit encoding, as the
// file functions of the core expect them.
class QtFileDialog final : public FileDialog {
public:
    explicit QtFileDialog(QWidget* parent = nullptr) : parent_(parent) {}

    std::string openFile(const std::string& filter, const std::string& folder) override;
    std::string saveFile(const std::string& filter, const std::string& folder) override;
    std::string openFileWithPlace(const std::string& filter, const std::string& folder,
                                  const std::string& place) override;

private:
    QWidget* parent_;
};

}  // namespace platform

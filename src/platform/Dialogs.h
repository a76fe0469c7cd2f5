#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace platform {

// Message boxes, so that a test can read what the user would see and give the answer.
class MessageBox {
public:
    enum class Icon { Critical, Information, Exclamation };
    enum class Buttons { Ok, OkCancel, YesNoCancel };
    enum class Answer { Ok, Cancel, Yes, No };

    virtual ~MessageBox() = default;
    virtual Answer show(const std::string& text, const std::string& title, Icon icon,
                        Buttons buttons = Buttons::Ok) = 0;
};

// The file dialogs: the chosen path, or empty when the user cancelled.
class FileDialog {
public:
    virtual ~FileDialog() = default;
    // `filter` is in the "Description (*.ext)|*.ext|All Files (*.*)|*.*" form.
    virtual std::string openFile(const std::string& filter, const std::string& folder) = 0;
    virtual std::string saveFile(const std::string& filter, const std::string& folder) = 0;
    // openFile with the folder `place` (when not empty) added to the dialog's side bar, where
    // the dialog has one.
    virtual std::string openFileWithPlace(const std::string& filter, const std::string& folder,
                                          const std::string& /*place*/) {
        return openFile(filter, folder);
    }
};

// The colour chooser. Colours are 24-bit numbers blue * 65536 + green * 256 + red.
class ColorDialog {
public:
    virtual ~ColorDialog() = default;
    // Opens on `initial`; the chosen colour, or nothing when the user cancelled.
    virtual std::optional<std::uint32_t> chooseColor(std::uint32_t initial) = 0;
};

}  // namespace platform

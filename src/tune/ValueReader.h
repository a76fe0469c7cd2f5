#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tune {

// One value of a settings file as the old comma-separated reader saw it.
struct FileValue {
    enum class Kind { Boolean, Number, Text } kind = Kind::Text;
    bool flag = false;  // Boolean: #TRUE# / #FALSE#
    double number = 0;  // Number: an unquoted value that is a number on its own
    std::string text;   // the value as written: inside its quotes, or trimmed
};

// Reads values one after another from the body of a settings file. A comma and a line end
// (CR LF, LF or CR) both end a value, so the line structure is not checked. Every call either
// consumes input or reports the end, so no input can make a caller loop forever.
class ValueReader {
public:
    explicit ValueReader(std::string_view data) : data_(data) {}

    // The next value; nothing once the input is used up (reading past the end).
    std::optional<FileValue> next();
    // The next `count` values, or nothing when the input ends before the last of them.
    std::optional<std::vector<FileValue>> take(std::size_t count);

private:
    void skipToNextValue();

    std::string_view data_;
    std::size_t pos_ = 0;
};

// Whether an unquoted value is a number on its own (not merely text that begins with one).
std::optional<double> standaloneNumber(std::string_view text);

}  // namespace tune

#include "tune/ValueReader.h"

#include <cctype>

#include "tune/Numeric.h"

namespace tune {

namespace {

bool isSeparator(char c) {
    return c == ',' || c == '\r' || c == '\n';
}

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

std::string_view trimmed(std::string_view text) {
    while (!text.empty() && isBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

bool isDigitIn(char c, int radix) {
    const auto u = static_cast<unsigned char>(c);
    if (radix == 8)
        return c >= '0' && c <= '7';
    if (radix == 16)
        return std::isxdigit(u) != 0;
    return std::isdigit(u) != 0;
}

std::size_t digitsFrom(std::string_view s, std::size_t i, int radix) {
    while (i < s.size() && isDigitIn(s[i], radix))
        ++i;
    return i;
}

}  // namespace

std::optional<double> standaloneNumber(std::string_view s) {
    if (s.size() > 2 && s[0] == '&' && (s[1] == 'H' || s[1] == 'h' || s[1] == 'O' || s[1] == 'o')) {
        const int radix = (s[1] == 'H' || s[1] == 'h') ? 16 : 8;
        if (digitsFrom(s, 2, radix) != s.size())
            return std::nullopt;
        return num::readNumber(s);
    }
    std::size_t i = 0;
    if (i < s.size() && (s[i] == '+' || s[i] == '-'))
        ++i;
    std::size_t end = digitsFrom(s, i, 10);
    bool digits = end > i;
    i = end;
    if (i < s.size() && s[i] == '.') {
        end = digitsFrom(s, i + 1, 10);
        digits = digits || end > i + 1;
        i = end;
    }
    if (!digits)
        return std::nullopt;
    if (i < s.size() && (s[i] == 'E' || s[i] == 'e')) {
        std::size_t j = i + 1;
        if (j < s.size() && (s[j] == '+' || s[j] == '-'))
            ++j;
        end = digitsFrom(s, j, 10);
        if (end == j)
            return std::nullopt;
        i = end;
    }
    if (i != s.size())
        return std::nullopt;
    return num::readNumber(s);
}

std::optional<FileValue> ValueReader::next() {
    while (pos_ < data_.size() && isBlank(data_[pos_]))
        ++pos_;
    if (pos_ >= data_.size())
        return std::nullopt;

    FileValue value;
    if (data_[pos_] == '"') {
        // Up to the next quote, wherever it is; there is no escape.
        const std::size_t close = data_.find('"', pos_ + 1);
        const std::size_t end = close == std::string_view::npos ? data_.size() : close;
        value.text = std::string(data_.substr(pos_ + 1, end - pos_ - 1));
        pos_ = close == std::string_view::npos ? data_.size() : close + 1;
        skipToNextValue();
        return value;
    }

    std::size_t end = pos_;
    while (end < data_.size() && !isSeparator(data_[end]))
        ++end;
    const std::string_view raw = trimmed(data_.substr(pos_, end - pos_));
    pos_ = end;
    skipToNextValue();

    value.text = std::string(raw);
    if (raw == "#TRUE#" || raw == "#FALSE#") {
        value.kind = FileValue::Kind::Boolean;
        value.flag = raw == "#TRUE#";
    } else if (const auto n = standaloneNumber(raw)) {
        value.kind = FileValue::Kind::Number;
        value.number = *n;
    }
    return value;
}

void ValueReader::skipToNextValue() {
    // Whatever stands between a closing quote and the separator is ignored.
    while (pos_ < data_.size() && !isSeparator(data_[pos_]))
        ++pos_;
    if (pos_ >= data_.size())
        return;
    const char separator = data_[pos_++];
    if (separator == '\r' && pos_ < data_.size() && data_[pos_] == '\n')
        ++pos_;
}

std::optional<std::vector<FileValue>> ValueReader::take(std::size_t count) {
    std::vector<FileValue> values;
    values.reserve(count);
    while (values.size() < count) {
        auto value = next();
        if (!value)
            return std::nullopt;
        values.push_back(std::move(*value));
    }
    return values;
}

}  // namespace tune

#include "platform/FileFilter.h"

#include <vector>

namespace platform {

namespace {

std::vector<std::string> split(const std::string& text, char separator) {
    std::vector<std::string> parts;
    std::string::size_type start = 0;
    for (;;) {
        const auto end = text.find(separator, start);
        parts.push_back(text.substr(start, end - start));
        if (end == std::string::npos) {
            return parts;
        }
        start = end + 1;
    }
}

std::string qtPatterns(const std::string& patterns) {
    std::string joined;
    for (const std::string& pattern : split(patterns, ';')) {
        if (pattern.empty()) {
            continue;
        }
        if (!joined.empty()) {
            joined += ' ';
        }
        joined += pattern == "*.*" ? "*" : pattern;
    }
    return joined.empty() ? "*" : joined;
}

// Qt takes the patterns from the description's last parentheses, so they are replaced there.
std::string describe(const std::string& description, const std::string& patterns) {
    std::string text = description;
    const auto open = text.rfind('(');
    if (!text.empty() && text.back() == ')' && open != std::string::npos) {
        text.erase(open);
    } else if (!text.empty() && text.back() != ' ') {
        text += ' ';
    }
    return text + "(" + qtPatterns(patterns) + ")";
}

}  // namespace

std::string qtFileFilter(const std::string& filter) {
    const std::vector<std::string> parts = split(filter, '|');
    std::string result;
    for (std::size_t i = 0; i < parts.size(); i += 2) {
        const std::string patterns = i + 1 < parts.size() ? parts[i + 1] : std::string("*");
        if (!result.empty()) {
            result += ";;";
        }
        result += describe(parts[i], patterns);
    }
    return result;
}

}  // namespace platform

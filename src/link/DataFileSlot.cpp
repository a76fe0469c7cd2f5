#include "link/DataFileSlot.h"

#include <filesystem>
#include <system_error>

namespace link {

DataFileSlot::~DataFileSlot() {
    close();
}

bool DataFileSlot::openForWriting(const std::string& path, Use use) {
    close();
    file_ = std::fopen(path.c_str(), "wb");
    if (file_ == nullptr) {
        return false;
    }
    use_ = use;
    return true;
}

bool DataFileSlot::openForReading(const std::string& path, Use use) {
    close();
    std::error_code error;
    if (std::filesystem::is_directory(path, error)) {
        return false;
    }
    file_ = std::fopen(path.c_str(), "rb");
    if (file_ == nullptr) {
        return false;
    }
    const std::uintmax_t size = std::filesystem::file_size(path, error);
    length_ = error ? 0 : static_cast<std::int64_t>(size);
    use_ = use;
    return true;
}

void DataFileSlot::close() {
    if (file_ != nullptr) {
        std::fclose(file_);
    }
    file_ = nullptr;
    use_ = Use::None;
    length_ = 0;
}

bool DataFileSlot::writeLine(std::string_view line) {
    if (file_ == nullptr) {
        return false;
    }
    const bool written = std::fwrite(line.data(), 1, line.size(), file_) == line.size() &&
                         std::fwrite("\r\n", 1, 2, file_) == 2;
    return std::fflush(file_) == 0 && written;
}

bool DataFileSlot::atEnd() {
    if (file_ == nullptr) {
        return true;
    }
    const int next = std::getc(file_);
    if (next == EOF) {
        return true;
    }
    std::ungetc(next, file_);
    return false;
}

std::optional<DataFileSlot::Line> DataFileSlot::readLine() {
    if (atEnd()) {
        return std::nullopt;
    }
    Line line{{}, 0};
    for (int c = std::getc(file_); c != EOF; c = std::getc(file_)) {
        if (c == '\n') {
            break;
        }
        if (c == '\r') {
            const int next = std::getc(file_);
            if (next != '\n' && next != EOF) {
                std::ungetc(next, file_);
            }
            break;
        }
        if (line.text.size() < kMaxLineKept) {
            line.text.push_back(static_cast<char>(c));
        }
        ++line.length;
    }
    return line;
}

}  // namespace link

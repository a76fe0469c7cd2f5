#include "comlink/DataFileSlot.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <system_error>

namespace comlink {

namespace {
constexpr std::size_t kReadChunk = 64 * 1024;

// The first CR or LF in [from, to), or `to`.
const char* lineEnd(const char* from, const char* to) {
    const auto* lf = static_cast<const char*>(std::memchr(from, '\n', to - from));
    const char* before = lf != nullptr ? lf : to;
    const auto* cr = static_cast<const char*>(std::memchr(from, '\r', before - from));
    return cr != nullptr ? cr : before;
}
}  // namespace

DataFileSlot::~DataFileSlot() {
    close();
}

bool DataFileSlot::openForWriting(const std::string& path, Use use) {
    close();
    errno = 0;
    file_ = std::fopen(path.c_str(), "wb");
    if (file_ == nullptr) {
        error_ = errno;
        return false;
    }
    use_ = use;
    return true;
}

bool DataFileSlot::openForReading(const std::string& path, Use use) {
    close();
    std::error_code error;
    if (std::filesystem::is_directory(path, error)) {
        errno = EISDIR;  // the reason a reader of the file is told
        return false;
    }
    file_ = std::fopen(path.c_str(), "rb");
    if (file_ == nullptr) {
        return false;
    }
    const std::uintmax_t size = std::filesystem::file_size(path, error);
    length_ = error ? 0 : static_cast<std::int64_t>(size);
    buffer_.resize(kReadChunk);
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
    buffer_ = {};
    next_ = 0;
    end_ = 0;
}

bool DataFileSlot::writeLine(std::string_view line) {
    if (file_ == nullptr) {
        return false;
    }
    errno = 0;
    const bool written = std::fwrite(line.data(), 1, line.size(), file_) == line.size() &&
                         std::fwrite("\r\n", 1, 2, file_) == 2;
    if (std::fflush(file_) == 0 && written) {
        return true;
    }
    error_ = errno;
    return false;
}

std::string DataFileSlot::errorText() const {
    return error_ == 0 ? "unknown error" : std::strerror(error_);
}

bool DataFileSlot::fill() {
    if (next_ < end_) {
        return true;
    }
    if (file_ == nullptr || buffer_.empty()) {
        return false;
    }
    next_ = 0;
    end_ = std::fread(buffer_.data(), 1, buffer_.size(), file_);
    return end_ > 0;
}

bool DataFileSlot::atEnd() {
    return !fill();
}

std::optional<DataFileSlot::Line> DataFileSlot::readLine() {
    if (!fill()) {
        return std::nullopt;
    }
    // Nearly every line lies whole in the buffer: it is handed out from there, uncopied.
    const char* first = buffer_.data() + next_;
    const char* ending = lineEnd(first, buffer_.data() + end_);
    if (ending != buffer_.data() + end_) {
        const auto count = static_cast<std::size_t>(ending - first);
        std::string_view text(first, std::min(count, kMaxLineKept));
        next_ += count + 1;
        if (*ending == '\r') {
            // Its LF may start the next chunk, which is read into the same buffer.
            if (next_ == end_) {
                line_.assign(text);
                text = line_;
            }
            if (fill() && buffer_[next_] == '\n') {
                ++next_;
            }
        }
        return Line{text, static_cast<std::int64_t>(count)};
    }
    line_.clear();
    std::int64_t length = 0;
    while (fill()) {
        const char* from = buffer_.data() + next_;
        const char* to = buffer_.data() + end_;
        const char* stop = lineEnd(from, to);
        const auto count = static_cast<std::size_t>(stop - from);
        line_.append(from, std::min(count, kMaxLineKept - line_.size()));
        length += static_cast<std::int64_t>(count);
        next_ += count;
        if (stop != to) {
            ++next_;
            if (*stop == '\r' && fill() && buffer_[next_] == '\n') {
                ++next_;
            }
            break;
        }
    }
    return Line{line_, length};
}

}  // namespace comlink

#include "dash/LogReplay.h"

#include <algorithm>
#include <charconv>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <limits>
#include <system_error>

#include "tune/Numeric.h"

namespace dash {

namespace {

// Probed before anything changes, so that a file that cannot be read leaves a running log, the
// live display and the last replay as they were.
bool readable(const std::string& path) {
    std::error_code error;
    if (std::filesystem::is_directory(path, error)) {
        return false;
    }
    std::ifstream in(path, std::ios::binary);
    return in.good();
}

// A plain whole number between blanks, nearly every field of a log, straight from the text;
// anything else by the number rule.
std::int32_t fieldValue(std::string_view field) {
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\n'; };
    const char* begin = field.data();
    const char* end = begin + field.size();
    while (begin != end && blank(*begin))
        ++begin;
    while (end != begin && blank(end[-1]))
        --end;
    std::int64_t whole = 0;
    const auto [stop, fault] = std::from_chars(begin, end, whole);
    if (fault == std::errc() && stop == end) {
        return static_cast<std::int32_t>(
            std::clamp<std::int64_t>(whole, std::numeric_limits<std::int32_t>::min(),
                                     std::numeric_limits<std::int32_t>::max()));
    }
    return num::rnd32(num::readNumber(field));
}

}  // namespace

Record readRecord(std::string_view line) {
    Record record{};
    const char* field = line.data();
    const char* const end = field + line.size();
    for (std::size_t k = 0; k < record.size(); ++k) {
        // One pass for what the program writes: blanks, up to nine digits, blanks, the comma.
        const char* stop = field;
        while (stop != end && *stop == ' ')
            ++stop;
        const char* digits = stop;
        const char* most = digits + std::min<std::ptrdiff_t>(end - digits, 9);
        std::int32_t whole = 0;
        for (; stop != most; ++stop) {
            const auto digit = static_cast<unsigned>(static_cast<unsigned char>(*stop) - '0');
            if (digit > 9)
                break;
            whole = whole * 10 + static_cast<std::int32_t>(digit);
        }
        const bool number = stop != digits;
        while (stop != end && *stop == ' ')
            ++stop;
        if (number && (stop == end || *stop == ',')) {
            record[k] = whole;
        } else {
            const auto* comma = static_cast<const char*>(std::memchr(field, ',', end - field));
            stop = comma != nullptr ? comma : end;
            record[k] = fieldValue(std::string_view(field, stop - field));
        }
        if (stop == end) {
            break;
        }
        field = stop + 1;
    }
    return record;
}

std::string percentText(std::int64_t bytesRead, std::int64_t fileLen) {
    // A file that was empty when it was opened has nothing to measure against; all of it is read.
    const double share =
        fileLen > 0 ? static_cast<double>(bytesRead) / static_cast<double>(fileLen) : 1.0;
    return num::formatFixed(share * 100, 1) + "%";
}

std::string cannotOpenLogText(const std::string& path) {
    return "Could not open the log " + path;
}

LogReplay::LogReplay(int sampleCount, ReplayServices services, ReplayView& view)
    : sampleCount_(std::max(sampleCount, 1)),
      services_(std::move(services)),
      view_(view),
      buffer_(static_cast<std::size_t>(sampleCount_) + 1) {}

LogReplay::~LogReplay() {
    *alive_ = false;
}

int LogReplay::halfGraph() const {
    return num::rnd32(sampleCount_ / 2.0);
}

void LogReplay::cmdLoadFile_Click() {
    if (services_.firmwareUpdating()) {
        services_.messages.show(comlink::kFirmwareUpdateRunningText, services_.appName,
                                platform::MessageBox::Icon::Critical);
        return;
    }
    const std::string path = services_.files.openFile(kLogFilter, services_.defaultDir);
    if (path.empty()) {
        return;
    }
    if (!readable(path)) {
        services_.messages.show(cannotOpenLogText(path), services_.appName,
                                platform::MessageBox::Icon::Critical);
        return;
    }
    view_.startReplay();
    view_.showFileName(path);
    if (!services_.dataFile.openForReading(path, comlink::DataFileSlot::Use::Replay)) {
        // Gone since the probe: the forward buttons then simply have nothing to read.
        services_.messages.show(cannotOpenLogText(path), services_.appName,
                                platform::MessageBox::Icon::Critical);
        return;
    }
    fileLen_ = services_.dataFile.length();
    bytesRead_ = 0;
    // Row goes on from the last file: the graphs keep their samples too, and the row under the
    // cursor must stay the record of the sample under it.
    cursor_ = 0;
    view_.setGraphCursor(0);
    view_.showWindows();
    if (letWindowsPaint()) {
        Forward(sampleCount_ - 1);
    }
}

void LogReplay::Forward(int n) {
    // The cursor walks the stored rows also once the file is gone (the Dashboard was closed
    // during the replay), so the user can always come back to the newest record.
    if (cursor_ > 0) {
        const int m = std::min(n, cursor_);
        n -= m;
        cursor_ -= m;
        view_.setGraphCursor(cursor_);
        ShowAtCursor();
    }
    if (!replaying()) {
        return;
    }
    // Events run after each record: a click may close the file or start another one meanwhile.
    for (int i = 0; i < n && replaying() && !services_.dataFile.atEnd(); ++i) {
        if (!ReadRecord()) {
            return;
        }
    }
    if (replaying() && services_.dataFile.atEnd()) {
        view_.setPercentText(kEndOfFileText);
    }
}

void LogReplay::Back(int n) {
    cursor_ = std::min(cursor_ + std::max(n, 0), sampleCount_ - 1);
    view_.setGraphCursor(cursor_);
    ShowAtCursor();
}

bool LogReplay::replaying() const {
    return services_.dataFile.use() == comlink::DataFileSlot::Use::Replay;
}

bool LogReplay::ReadRecord() {
    const std::optional<comlink::DataFileSlot::Line> line = services_.dataFile.readLine();
    if (!line) {
        return true;
    }
    bytesRead_ += line->length + 2;
    view_.setPercentText(percentText(bytesRead_, fileLen_));
    row_ = (row_ + 1) % sampleCount_;
    Record& stored = buffer_[static_cast<std::size_t>(row_)];
    stored = readRecord(line->text);
    std::copy(stored.begin(), stored.end(), block_.begin());
    view_.showBlock(block_, true);
    return letWindowsPaint();
}

void LogReplay::ShowAtCursor() {
    int r = row_ - cursor_;
    if (r < 0) {
        r += sampleCount_;
    }
    const Record& stored = buffer_[static_cast<std::size_t>(r)];
    std::copy(stored.begin(), stored.end(), block_.begin());
    view_.showBlock(block_, false);
}

bool LogReplay::letWindowsPaint() {
    const std::shared_ptr<bool> alive = alive_;
    view_.letWindowsPaint();
    return *alive;
}

}  // namespace dash

#pragma once

#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace comlink {

// The one slot for data files that the data log, the replayed log and the firmware file share:
// at most one of them holds a file at a time, and ending realtime mode closes whatever it holds.
// Files are read as a stream of lines, never whole, so a log of any size costs flat memory.
class DataFileSlot {
public:
    enum class Use { None, Log, Replay, Firmware };

    struct Line {
        // Without its line end, cut at kMaxLineKept characters; valid until the next readLine.
        std::string_view text;
        std::int64_t length;  // characters on the line, also those cut off
    };
    // More of a single line than any data or S-record line needs; the rest is skipped.
    static constexpr std::size_t kMaxLineKept = 1 << 20;

    DataFileSlot() = default;
    DataFileSlot(const DataFileSlot&) = delete;
    DataFileSlot& operator=(const DataFileSlot&) = delete;
    ~DataFileSlot();

    // Whatever the slot held is closed first. False (and the slot empty) when the file cannot
    // be opened; writing replaces an existing file.
    bool openForWriting(const std::string& path, Use use);
    bool openForReading(const std::string& path, Use use);
    void close();

    bool isOpen() const { return file_ != nullptr; }
    // The system's reason for the last open or write that failed ("No space left on device").
    std::string errorText() const;
    Use use() const { return use_; }
    // The file's length in bytes when it was opened for reading.
    std::int64_t length() const { return length_; }

    // Appends `line` and CR LF, handed to the system at once so that a killed program keeps
    // every complete line. False when the write failed (disk full, the device went away).
    bool writeLine(std::string_view line);
    // True when nothing more can be read.
    bool atEnd();
    // The next line; CR LF, LF and CR each end a line. Nothing at the end of the file.
    std::optional<Line> readLine();

private:
    // True when the read buffer holds at least one more byte.
    bool fill();

    std::FILE* file_ = nullptr;
    int error_ = 0;
    Use use_ = Use::None;
    std::int64_t length_ = 0;
    // Lines are cut out of large reads: a byte at a time through the C library is several times
    // slower on a log of a gigabyte.
    std::vector<char> buffer_;
    std::size_t next_ = 0;
    std::size_t end_ = 0;
    std::string line_;  // the last line read, its room kept for the next
};

}  // namespace comlink

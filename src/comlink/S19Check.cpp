#include "comlink/S19Check.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <vector>

namespace comlink {

namespace {

constexpr const char* kNotARecord = "not an S-record";

int hexValue(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    return -1;
}

// Address bytes of each record type; S4 is reserved and has none.
constexpr int kAddressBytes[10] = {2, 2, 3, 4, 0, 2, 3, 4, 3, 2};

// The reason one line is not a well-formed S-record, or nothing.
const char* recordFault(std::string_view line) {
    if (line.size() < 4 || line[0] != 'S' || line[1] < '0' || line[1] > '9' ||
        line.size() % 2 != 0) {
        return kNotARecord;
    }
    std::vector<int> bytes;
    for (std::size_t at = 2; at < line.size(); at += 2) {
        const int high = hexValue(line[at]);
        const int low = hexValue(line[at + 1]);
        if (high < 0 || low < 0) {
            return kNotARecord;
        }
        bytes.push_back(high * 16 + low);
    }
    const int count = bytes.front();
    if (count != static_cast<int>(bytes.size()) - 1) {
        return "byte count does not match";
    }
    if (count < kAddressBytes[line[1] - '0'] + 1) {
        return kNotARecord;
    }
    int sum = 0;
    for (std::size_t i = 0; i + 1 < bytes.size(); ++i) {
        sum += bytes[i];
    }
    if ((~sum & 0xFF) != bytes.back()) {
        return "bad checksum";
    }
    return nullptr;
}

// Calls `each(line, number)` for every line as the update reads them: CR LF, LF and CR each end
// a line, and nothing follows the last line end. Returns the number of lines.
template <typename Each>
std::int64_t forEachLine(std::string_view text, Each each) {
    std::int64_t number = 0;
    std::size_t at = 0;
    while (at < text.size()) {
        std::size_t end = text.find_first_of("\r\n", at);
        std::size_t next = end;
        if (end == std::string_view::npos) {
            end = next = text.size();
        } else {
            next =
                end + (text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n' ? 2 : 1);
        }
        if (!each(text.substr(at, end - at), ++number, next)) {
            break;
        }
        at = next;
    }
    return number;
}

}  // namespace

std::string S19Refusal::text() const {
    return "** Not an S19 file: line " + std::to_string(line) + ": " + reason;
}

std::optional<S19Refusal> checkS19Text(std::string_view text) {
    std::optional<S19Refusal> refusal;
    if (static_cast<std::int64_t>(text.size()) > kMaxFirmwareBytes) {
        // Named by the line on which the file passes the limit.
        forEachLine(text, [&](std::string_view, std::int64_t number, std::size_t next) {
            if (static_cast<std::int64_t>(next) <= kMaxFirmwareBytes) {
                return true;
            }
            refusal = S19Refusal{number, "file too large"};
            return false;
        });
        return refusal;
    }
    bool haveData = false;
    char lastType = 0;
    const std::int64_t lines =
        forEachLine(text, [&](std::string_view line, std::int64_t number, std::size_t) {
            if (line.empty()) {
                return true;
            }
            if (const char* fault = recordFault(line)) {
                refusal = S19Refusal{number, fault};
                return false;
            }
            lastType = line[1];
            haveData = haveData || (lastType >= '1' && lastType <= '3');
            return true;
        });
    if (refusal) {
        return refusal;
    }
    const std::int64_t lastLine = lines > 0 ? lines : 1;
    if (!haveData) {
        return S19Refusal{lastLine, "no data records"};
    }
    if (lastType < '7') {
        return S19Refusal{lastLine, "no end record"};
    }
    return std::nullopt;
}

S19FileCheck checkS19File(const std::string& path) {
    S19FileCheck check;
    std::error_code ignored;
    if (std::filesystem::is_directory(path, ignored)) {
        check.error = std::strerror(EISDIR);
        return check;
    }
    const std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "rb"),
                                                               &std::fclose);
    if (!file) {
        check.error = std::strerror(errno);
        return check;
    }
    // One byte past the limit is enough to know the file is too large; a small file costs only
    // its own size.
    const std::size_t wanted = static_cast<std::size_t>(kMaxFirmwareBytes) + 1;
    std::string text;
    char chunk[64 * 1024];
    std::size_t read = 0;
    while (text.size() < wanted && (read = std::fread(chunk, 1, sizeof chunk, file.get())) > 0) {
        text.append(chunk, std::min(read, wanted - text.size()));
    }
    if (std::ferror(file.get()) != 0) {
        check.error = std::strerror(errno);
        return check;
    }
    check.readable = true;
    check.refusal = checkS19Text(text);
    return check;
}

}  // namespace comlink

#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace comlink {

// A firmware file larger than this is no firmware for the controller.
inline constexpr std::int64_t kMaxFirmwareBytes = 4 * 1024 * 1024;

// Why a firmware file is not sent: the line it was found on (1 = the first, counted as the
// update reads lines) and the reason in plain words.
struct S19Refusal {
    std::int64_t line = 1;
    std::string reason;

    // "** Not an S19 file: line N: REASON", the line the update logs.
    std::string text() const;
};

// Checks a whole firmware file before any of it goes to the bootloader, which answers the
// upload command by erasing: every line that is not empty is a well-formed S-record with a
// checksum that holds, there is at least one data record (S1, S2, S3) and the last record is a
// termination record (S7, S8, S9). Nothing when the text may be sent.
std::optional<S19Refusal> checkS19Text(std::string_view text);

struct S19FileCheck {
    bool readable = false;  // false: the file could not be read (`error` says why)
    std::string error;
    std::optional<S19Refusal> refusal;
};

// Reads the file once, at most kMaxFirmwareBytes and one byte more.
S19FileCheck checkS19File(const std::string& path);

}  // namespace comlink

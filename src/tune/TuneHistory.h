#pragma once

#include <cstddef>
#include <ctime>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The tune history: every Tune read from or sent to the controller, kept as a settings file in
// one folder, so that the Tune before the last send can always be put back.
namespace tune {

enum class HistoryKind { Read, Sent };

struct HistoryEntry {
    std::filesystem::path path;
    std::string when;  // "YYYY-MM-DD HH:MM:SS", local time of keeping
    HistoryKind kind = HistoryKind::Read;
};

// How many entries stay; older ones go once a new one is written.
inline constexpr std::size_t kHistoryEntriesKept = 1000;

// $XDG_DATA_HOME/<appName>/history, or ~/.local/share/<appName>/history when that variable is
// unset, empty or not an absolute path.
std::filesystem::path historyFolder(std::string_view appName);

// The entries in `folder`, newest first. Files not named as entries are left out.
std::vector<HistoryEntry> listHistory(const std::filesystem::path& folder);

struct KeepOutcome {
    bool kept = true;  // also when an identical newest entry made a new one needless
    std::filesystem::path path;
    std::string reason;  // why not, when not kept
};

// Keeps `content` (a whole settings file) as YYYYMMDD-HHMMSS-read.cfg or -sent.cfg for the
// local time `now` ("-2", "-3" ... before ".cfg" for later entries of the same second), written
// atomically, unless it equals the newest entry of the same kind; then prunes to `entriesKept`.
KeepOutcome keepInHistory(const std::filesystem::path& folder, HistoryKind kind,
                          std::string_view content, std::time_t now,
                          std::size_t entriesKept = kHistoryEntriesKept);

// "Tune history not kept: PATH: REASON"
std::string historyNotKeptText(const KeepOutcome& outcome);

// "@1  2026-12-06 23:15:00  read  /path/20261206-231500-read.cfg"
std::string historyLine(std::size_t number, const HistoryEntry& entry);

// Whether a file operand names a history entry: "@" and digits.
bool isHistoryReference(std::string_view operand);
// The file of the entry "@N" names (N = 1 for the newest), if there is one.
std::optional<std::filesystem::path> historyEntryPath(const std::filesystem::path& folder,
                                                      std::string_view reference);
// "No tune history entry @N (volcrestone-cli history lists them)"
std::string noHistoryEntryText(std::string_view reference);

}  // namespace tune

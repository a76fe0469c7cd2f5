#include "tune/TuneHistory.h"

#include <pwd.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <system_error>

#include "tune/SettingsFile.h"

namespace tune {

namespace fs = std::filesystem;

namespace {

constexpr std::string_view kExtension = ".cfg";
constexpr std::size_t kStampLength = 15;  // YYYYMMDD-HHMMSS

std::string_view kindWord(HistoryKind kind) {
    return kind == HistoryKind::Read ? "read" : "sent";
}

bool allDigits(std::string_view text) {
    return !text.empty() && std::all_of(text.begin(), text.end(),
                                        [](unsigned char c) { return std::isdigit(c) != 0; });
}

// An entry's name taken apart; the stamp and the sequence within its second order the entries.
struct EntryName {
    std::string stamp;
    int sequence = 1;
    HistoryKind kind = HistoryKind::Read;
};

std::optional<EntryName> parseName(std::string_view name) {
    if (name.size() < kStampLength + 5 + kExtension.size() || !name.ends_with(kExtension))
        return std::nullopt;
    name.remove_suffix(kExtension.size());
    const std::string_view stamp = name.substr(0, kStampLength);
    if (!allDigits(stamp.substr(0, 8)) || stamp[8] != '-' || !allDigits(stamp.substr(9)) ||
        name[kStampLength] != '-')
        return std::nullopt;
    std::string_view rest = name.substr(kStampLength + 1);
    EntryName parsed{std::string(stamp), 1, HistoryKind::Read};
    if (rest.starts_with("read"))
        parsed.kind = HistoryKind::Read;
    else if (rest.starts_with("sent"))
        parsed.kind = HistoryKind::Sent;
    else
        return std::nullopt;
    rest.remove_prefix(4);
    if (rest.empty())
        return parsed;
    if (rest.size() < 2 || rest.size() > 5 || rest[0] != '-' || !allDigits(rest.substr(1)))
        return std::nullopt;
    parsed.sequence = std::atoi(std::string(rest.substr(1)).c_str());
    return parsed.sequence >= 2 ? std::optional(parsed) : std::nullopt;
}

struct Found {
    EntryName name;
    fs::path path;
};

// Newest first: later stamps, then later entries of the same second.
std::vector<Found> entriesIn(const fs::path& folder) {
    std::vector<Found> found;
    std::error_code error;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        std::error_code notAFile;
        if (const auto name = parseName(it->path().filename().string());
            name && it->is_regular_file(notAFile))
            found.push_back({*name, it->path()});
    }
    std::sort(found.begin(), found.end(), [](const Found& a, const Found& b) {
        return a.name.stamp != b.name.stamp ? a.name.stamp > b.name.stamp
                                            : a.name.sequence > b.name.sequence;
    });
    return found;
}

bool sameContent(const fs::path& path, std::string_view content) {
    std::error_code error;
    if (fs::file_size(path, error) != content.size() || error)
        return false;
    std::ifstream in(path, std::ios::binary);
    const std::string kept{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    return kept == content;
}

std::string stampOf(std::time_t now) {
    std::tm local{};
    localtime_r(&now, &local);
    char text[32];
    std::strftime(text, sizeof text, "%Y%m%d-%H%M%S", &local);
    return text;
}

fs::path homeFolder() {
    if (const char* home = std::getenv("HOME"); home != nullptr && *home != '\0')
        return home;
    const passwd* user = ::getpwuid(::getuid());
    return user != nullptr && user->pw_dir != nullptr ? fs::path(user->pw_dir) : fs::path("/");
}

}  // namespace

fs::path historyFolder(std::string_view appName) {
    const char* data = std::getenv("XDG_DATA_HOME");
    const fs::path base = data != nullptr && fs::path(data).is_absolute()
                              ? fs::path(data)
                              : homeFolder() / ".local" / "share";
    return base / appName / "history";
}

std::vector<HistoryEntry> listHistory(const fs::path& folder) {
    std::vector<HistoryEntry> entries;
    for (const Found& found : entriesIn(folder)) {
        const std::string& s = found.name.stamp;
        entries.push_back({found.path,
                           s.substr(0, 4) + "-" + s.substr(4, 2) + "-" + s.substr(6, 2) + " " +
                               s.substr(9, 2) + ":" + s.substr(11, 2) + ":" + s.substr(13, 2),
                           found.name.kind});
    }
    return entries;
}

KeepOutcome keepInHistory(const fs::path& folder, HistoryKind kind, std::string_view content,
                          std::time_t now, std::size_t entriesKept) {
    std::error_code error;
    fs::create_directories(folder, error);
    if (error)
        return {false, folder, error.message()};

    const std::vector<Found> entries = entriesIn(folder);
    const auto newestOfKind = std::find_if(entries.begin(), entries.end(),
                                           [kind](const Found& f) { return f.name.kind == kind; });
    if (newestOfKind != entries.end() && sameContent(newestOfKind->path, content))
        return {true, newestOfKind->path, {}};

    const std::string stamp = stampOf(now);
    int sequence = 1;
    for (const Found& f : entries) {
        if (f.name.stamp == stamp)
            sequence = std::max(sequence, f.name.sequence + 1);
    }
    std::string name = stamp + "-" + std::string(kindWord(kind));
    if (sequence > 1)
        name += "-" + std::to_string(sequence);
    const fs::path path = folder / (name + std::string(kExtension));

    errno = 0;
    const SaveOutcome saved = saveSettingsFile(path, content);
    if (saved != SaveOutcome::Saved) {
        const int cause = errno;
        return {false, path, cause != 0 ? std::strerror(cause) : "could not be written"};
    }
    // The new entry counts among those kept; the oldest beyond the limit go.
    for (std::size_t i = entriesKept > 0 ? entriesKept - 1 : 0; i < entries.size(); ++i)
        fs::remove(entries[i].path, error);
    return {true, path, {}};
}

std::string historyNotKeptText(const KeepOutcome& outcome) {
    return "Tune history not kept: " + outcome.path.string() + ": " + outcome.reason;
}

std::string historyLine(std::size_t number, const HistoryEntry& entry) {
    return "@" + std::to_string(number) + "  " + entry.when + "  " +
           std::string(kindWord(entry.kind)) + "  " + entry.path.string();
}

bool isHistoryReference(std::string_view operand) {
    return operand.size() > 1 && operand[0] == '@' && allDigits(operand.substr(1));
}

std::optional<fs::path> historyEntryPath(const fs::path& folder, std::string_view reference) {
    if (!isHistoryReference(reference) || reference.size() > 10)
        return std::nullopt;
    const auto number = std::strtoull(std::string(reference.substr(1)).c_str(), nullptr, 10);
    const std::vector<Found> entries = entriesIn(folder);
    if (number < 1 || number > entries.size())
        return std::nullopt;
    return entries[number - 1].path;
}

std::string noHistoryEntryText(std::string_view reference) {
    return "No tune history entry " + std::string(reference) +
           " (volcrestone-cli history lists them)";
}

}  // namespace tune

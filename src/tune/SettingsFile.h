#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include "tune/Tune.h"

namespace tune {

// The header line's fixed words; every Edition writes them, the Ferrodyn one included.
inline constexpr std::string_view kHeaderWords = "Volcrestone Settings";

// The whole file: header "Volcrestone Settings <EditionName> v1", the settings text, CR LF.
std::string settingsFileText(const Tune& tune, std::string_view editionName);

// LoadSettings: reads the values that follow the header into the fields, in file order, with
// `version` the header's last three characters. Fields read before a failing step keep the
// file's values; true only when every step succeeded.
bool loadSettings(Tune& tune, std::string_view body, std::string_view version);

// On CannotOpen (and a failed save) errno holds the system's reason.
enum class LoadOutcome { Loaded, CannotOpen, NotSettingsFile, Failed };
// Reads a settings file into the Tune (left untouched unless the header is ours). The header is
// looked at first, so any file without it is "not a settings file", however big.
LoadOutcome loadSettingsFile(Tune& tune, const std::filesystem::path& path);
// The same for the file's whole contents already in memory; loadSettingsFile hands its bytes here.
LoadOutcome loadSettingsContents(Tune& tune, std::string_view contents);

enum class SaveOutcome { Saved, CannotOpen, Failed };
// Saves `content` as the file `path`. CannotOpen, with nothing touched, when the target cannot be
// opened for writing (missing folder, a folder of that name, no permission, a read-only file, a
// name too long). Otherwise a temporary file in the same folder is written, flushed and renamed
// over the target, so a later failure (Failed) leaves any existing file as it was.
SaveOutcome saveSettingsFile(const std::filesystem::path& path, std::string_view content);

// The messages of "&Load Settings..." and "&Save Settings...". A file that cannot be opened is
// named by the file channel it was given, not by its name.
std::string loadOutcomeText(LoadOutcome outcome, int channel);
std::string saveOutcomeText(SaveOutcome outcome, int channel);

}  // namespace tune

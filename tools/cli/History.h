#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "tune/TuneHistory.h"

namespace cli {

class Runner;

// The Edition's history folder.
std::filesystem::path historyFolder(const Runner& runner);

// A settings-file operand as a path: "@N" names history entry N. Prints why on standard error
// and gives nothing when there is no such entry.
std::optional<std::string> settingsOperand(Runner& runner, const std::string& operand);

// Keeps a Tune read or sent in the history; one line on standard error when that fails, and
// the exchange's own result stands.
void keepTune(Runner& runner, tune::HistoryKind kind, std::string_view fileText);

}  // namespace cli

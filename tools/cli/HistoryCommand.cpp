// history: the kept Tunes, newest first, as "@N  YYYY-MM-DD HH:MM:SS  read|sent  PATH"; and the
// history's part in the other commands (the "@N" operands, keeping what was read or sent).
#include <ostream>

#include "cli/Commands.h"
#include "cli/History.h"
#include "cli/Runner.h"

namespace cli {

std::filesystem::path historyFolder(const Runner& runner) {
    return tune::historyFolder(runner.edition().appName);
}

std::optional<std::string> settingsOperand(Runner& runner, const std::string& operand) {
    if (!tune::isHistoryReference(operand))
        return operand;
    if (const auto path = tune::historyEntryPath(historyFolder(runner), operand))
        return path->string();
    runner.err() << tune::noHistoryEntryText(operand) << std::endl;
    return std::nullopt;
}

void keepTune(Runner& runner, tune::HistoryKind kind, std::string_view fileText) {
    const tune::KeepOutcome outcome =
        tune::keepInHistory(historyFolder(runner), kind, fileText,
                            static_cast<std::time_t>(runner.host().clock().nowSeconds()));
    if (!outcome.kept)
        runner.err() << tune::historyNotKeptText(outcome) << std::endl;
}

int runHistory(Runner& runner) {
    std::size_t number = 0;
    for (const tune::HistoryEntry& entry : tune::listHistory(historyFolder(runner)))
        runner.out() << tune::historyLine(++number, entry) << '\n';
    runner.out().flush();
    return kDone;
}

}  // namespace cli

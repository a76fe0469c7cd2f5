// send FILE.cfg: loaded and checked as the Setup window does, then sent and stored.
#include <optional>
#include <ostream>

#include "cli/Commands.h"
#include "cli/History.h"
#include "cli/Runner.h"
#include "comlink/Transfer.h"
#include "tune/SettingsFile.h"

namespace cli {

int runSend(Runner& runner) {
    // The file and the checks come first, so that a refused Tune never touches the port.
    tune::Tune tune = runner.startupTune();
    const std::optional<std::string> path = settingsOperand(runner, runner.arguments().operands[0]);
    if (!path || !runner.loadSettings(tune, *path)) {
        return kFailed;
    }
    comlink::EngineConstants constants;
    if (const std::optional<comlink::Refusal> refusal =
            comlink::checkBeforeSend(tune, runner.arguments().edition, constants)) {
        runner.err() << consoleText(refusal->message) << std::endl;
        return kFailed;
    }
    ControllerCommand command(runner);
    if (!runner.openPort(command)) {
        return kFailed;
    }
    if (!comlink::sendTune(runner.engine(), tune, constants) || !runner.drained()) {
        // A vanished device has been named already.
        if (!runner.finished()) {
            runner.err() << "Could not send to " << portName(runner.arguments())
                         << ": the line stopped before the Tune was out" << std::endl;
        }
        return kFailed;
    }
    runner.out() << "Download Done!" << std::endl;
    keepTune(runner, tune::HistoryKind::Sent,
             tune::settingsFileText(tune, runner.edition().editionName));
    return kDone;
}

}  // namespace cli

// monitor [--frames N] [--log FILE.csv]: the live values as the Dashboard's value labels show
// them, one line per accepted block, until N blocks or Ctrl-C.
#include <cerrno>
#include <optional>
#include <ostream>

#include "cli/Commands.h"
#include "cli/Readout.h"
#include "cli/Runner.h"
#include "comlink/DataFileSlot.h"
#include "comlink/Realtime.h"
#include "dash/LogFormat.h"
#include "tune/Numeric.h"

namespace cli {

namespace {

class Monitor final : public ControllerCommand, public Readout {
public:
    Monitor(Runner& runner, std::optional<long long> frames)
        : ControllerCommand(runner), Readout(runner, true), frames_(frames) {
        realtime_.setDisplay(this);
    }

    bool openLog(const std::string& path) {
        errno = 0;
        if (!log_.openForWriting(path, comlink::DataFileSlot::Use::Log)) {
            const int error = errno;
            runner_.err() << "Could not create the log " << path << std::endl;
            runner_.explainFile(path, error);
            return false;
        }
        return true;
    }

    // comlink::EngineEvents
    void realtimeBlock(const comlink::RxBuffer& block) override {
        // Blocks can come faster than the ticks that stop the stream: past N, none is shown
        // or logged.
        if (!enoughShown()) {
            realtime_.copyATdata(block, true);
        }
    }
    void noResponse(int mode) override {
        // A stream that ran and paused is restarted by the link; only a silent start fails.
        if (shown() == 0) {
            ControllerCommand::noResponse(mode);
        }
    }

    // comlink::RealtimeDisplay
    void logBlock(const comlink::RxBuffer& block) override {
        if (log_.isOpen() && !log_.writeLine(dash::logLine(block))) {
            runner_.err() << "Could not write to the log; logging stopped" << std::endl;
            log_.close();
        }
    }

    // After each tick: enough blocks shown.
    void checkDone() {
        if (enoughShown()) {
            stop();
        }
    }
    // "N", and the line drained, so the controller is quiet when we leave.
    void stop() {
        runner_.engine().cmdN();
        runner_.drained();
        runner_.finish(kDone);
    }

private:
    bool enoughShown() const { return frames_ && shown() >= *frames_; }

    std::optional<long long> frames_;
    comlink::Realtime realtime_;
    comlink::DataFileSlot log_;
};

std::optional<long long> frameCount(const std::string& text, bool& valid) {
    valid = true;
    if (text.empty()) {
        return std::nullopt;
    }
    const double n = num::readNumber(text);
    valid = text.find_first_not_of("0123456789") == std::string::npos && n >= 1;
    return static_cast<long long>(n);
}

}  // namespace

int runMonitor(Runner& runner) {
    bool valid = true;
    const std::optional<long long> frames =
        frameCount(runner.arguments().option("--frames"), valid);
    if (!valid) {
        runner.err() << "volcrestone-cli: --frames needs a whole number of at least 1" << std::endl;
        return kUsage;
    }
    Monitor command(runner, frames);
    if (!runner.openPort(command)) {
        return kFailed;
    }
    if (runner.arguments().has("--log") && !command.openLog(runner.arguments().option("--log"))) {
        return kFailed;
    }
    runner.host().setOnInterrupt([&command] { command.stop(); });
    command.printHeader();
    runner.engine().cmdM();
    return runner.waitUntilFinished([&command] { command.checkDone(); });
}

}  // namespace cli

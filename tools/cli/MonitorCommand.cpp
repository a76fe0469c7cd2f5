// monitor [--frames N] [--log FILE.csv]: the live values as the Dashboard's value labels show
// them, one line per accepted block, until N blocks or Ctrl-C.
#include <optional>
#include <ostream>

#include "cli/Commands.h"
#include "cli/Runner.h"
#include "dash/DisplaySettings.h"
#include "dash/LogFormat.h"
#include "link/DataFileSlot.h"
#include "link/Realtime.h"
#include "tune/Numeric.h"

namespace cli {

namespace {

class Monitor final : public ControllerCommand, public link::RealtimeDisplay {
public:
    Monitor(Runner& runner, std::optional<long long> frames)
        : ControllerCommand(runner), frames_(frames) {
        const dash::DisplaySettings stored = dash::DisplaySettings::load(runner.host().settings());
        options_.edition = runner.arguments().edition;
        options_.threeBar = runner.arguments().threeBar;
        options_.celsius = stored.celsius;
        options_.wideBandAfr = !stored.o2Voltage;
        realtime_.setDisplay(this);
    }

    bool openLog(const std::string& path) {
        if (!log_.openForWriting(path, link::DataFileSlot::Use::Log)) {
            runner_.err() << "Could not create the log " << path << std::endl;
            return false;
        }
        return true;
    }

    // link::EngineEvents
    void realtimeBlock(const link::RxBuffer& block) override { realtime_.copyATdata(block, true); }
    void noResponse(int mode) override {
        // A stream that ran and paused is restarted by the link; only a silent start fails.
        if (shown_ == 0) {
            ControllerCommand::noResponse(mode);
        }
    }

    // link::RealtimeDisplay
    link::RealtimeOptions options() const override { return options_; }
    void showReadoutTexts(const link::ReadoutTexts& t) override {
        runner_.out() << t.rpm << ',' << t.map << ',' << t.coolant << ',' << t.ignition << ','
                      << t.ignMsd << ',' << t.tps << ',' << t.battery << ',' << t.o2afr
                      << std::endl;
        ++shown_;
    }
    void logBlock(const link::RxBuffer& block) override {
        if (log_.isOpen() && !log_.writeLine(dash::logLine(block))) {
            runner_.err() << "Could not write to the log; logging stopped" << std::endl;
            log_.close();
        }
    }

    // After each tick: enough blocks shown.
    void checkDone() {
        if (frames_ && shown_ >= *frames_) {
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
    std::optional<long long> frames_;
    link::RealtimeOptions options_;
    link::Realtime realtime_;
    link::DataFileSlot log_;
    long long shown_ = 0;
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
    runner.out() << "RPM,MAP,Coolant,Ignition,MSD,TPS,Battery,O2" << std::endl;
    runner.engine().cmdM();
    return runner.waitUntilFinished([&command] { command.checkDone(); });
}

}  // namespace cli

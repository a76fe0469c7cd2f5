#include "cli/Runner.h"

#include <cerrno>
#include <cstring>
#include <ostream>
#include <utility>

#include "dash/LogReplay.h"

namespace cli {

namespace {
// How long the last bytes of a send may take to leave the port before we give up on it.
constexpr std::int64_t kDrainSeconds = 5;
}  // namespace

Runner::Runner(const Arguments& arguments, Host& host, std::ostream& out, std::ostream& err)
    : arguments_(arguments),
      host_(host),
      edition_(tune::editionInfo(arguments.edition)),
      out_(out),
      err_(err),
      engine_(host.port(), host.clock(), host.pump()) {}

tune::Tune Runner::startupTune() const {
    tune::Tune tune = tune::Tune::startup(arguments_.edition);
    tune.check1 = arguments_.threeBar ? 1 : 0;
    return tune;
}

bool Runner::loadSettings(tune::Tune& tune, const std::string& path) {
    errno = 0;
    const tune::LoadOutcome outcome = tune::loadSettingsFile(tune, path);
    const int error = errno;
    if (outcome != tune::LoadOutcome::Loaded) {
        err_ << tune::loadOutcomeText(outcome, kSettingsFileChannel) << std::endl;
        if (outcome == tune::LoadOutcome::CannotOpen) {
            explainFile(path, error);
        }
        return false;
    }
    return true;
}

bool Runner::openLog(comlink::DataFileSlot& log, const std::string& path) {
    errno = 0;
    if (log.openForReading(path, comlink::DataFileSlot::Use::Replay)) {
        return true;
    }
    const int error = errno;
    err_ << dash::cannotOpenLogText(path) << std::endl;
    explainFile(path, error);
    return false;
}

bool Runner::openPort(comlink::EngineEvents& listener, std::function<void()> onVanished) {
    if (!host_.port().open(arguments_.comNumber)) {
        // The message the program shows stays a line of its own; a device path has none.
        const std::string name = portName(arguments_);
        if (arguments_.device.empty()) {
            err_ << "Could not open " << name << '\n'
                 << "Could not open " << name << " (" << host_.portDevice(arguments_.comNumber)
                 << ")";
        } else {
            err_ << "Could not open " << name;
        }
        err_ << ": " << host_.portError() << '\n' << kDoctorHint << std::endl;
        return false;
    }
    if (!onVanished) {
        onVanished = [this] {
            err_ << portGoneText() << std::endl;
            finish(kFailed);
        };
    }
    host_.setOnPortVanished(std::move(onVanished));
    engine_.setListener(&listener);
    return true;
}

void Runner::explainFile(const std::string& path, int error) {
    if (error != 0) {
        err_ << path << ": " << std::strerror(error) << std::endl;
    }
}

std::string Runner::portGoneText() const {
    return portName(arguments_) + " is gone";
}

int Runner::waitUntilFinished(const std::function<void()>& afterTick) {
    if (!result_) {
        host_.runTicks([this, &afterTick] {
            engine_.tick();
            if (afterTick && !result_) {
                afterTick();
            }
        });
    }
    return result_.value_or(kFailed);
}

void Runner::finish(int code) {
    if (result_) {
        return;
    }
    result_ = code;
    host_.stop(code);
}

bool Runner::drained() {
    platform::SerialPort& port = host_.port();
    const std::int64_t start = host_.clock().nowSeconds();
    while (port.isOpen() && port.bytesToWrite() > 0) {
        if (host_.clock().nowSeconds() - start > kDrainSeconds) {
            return false;
        }
        host_.pump().processEvents();
    }
    return port.isOpen();
}

std::string consoleText(std::string text) {
    for (std::size_t at = text.find("\r\n"); at != std::string::npos; at = text.find("\r\n", at)) {
        text.replace(at, 2, "\n");
    }
    return text;
}

void ControllerCommand::noResponse(int) {
    runner_.err() << "No Response from Controller!\n" << kDoctorHint << std::endl;
    runner_.finish(kFailed);
}

}  // namespace cli

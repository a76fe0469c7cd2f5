// flash FILE.s19: new firmware through the controller's bootloader, each step printed as the
// firmware update window logs it, the count of lines sent and why an update failed on standard
// error.
#include <ostream>
#include <string>

#include "cli/Commands.h"
#include "cli/Runner.h"
#include "comlink/Bootloader.h"
#include "comlink/DataFileSlot.h"
#include "comlink/S19Check.h"
#include "tune/Numeric.h"

namespace cli {

namespace {

class Flash final : public comlink::EngineEvents, public comlink::BootloaderView {
public:
    explicit Flash(Runner& runner)
        : runner_(runner),
          bootloader_(runner.engine(), files_, [&runner] { return portName(runner.arguments()); }) {
        bootloader_.setView(this);
    }

    comlink::Bootloader& bootloader() { return bootloader_; }

    void bootloaderTick(int mode) override { bootloader_.step(mode); }

    void log(const std::string& line) override {
        endCounter();
        runner_.out() << line << '\n' << std::flush;
    }
    void showLineCount(int count) override {
        // Rewritten in place: a large file would otherwise print a line per S19 line.
        runner_.err() << '\r' << comlink::kLinesCaption << ' ' << count << std::flush;
        counterShown_ = true;
    }
    void updateEnded(bool done) override {
        if (!done && !bootloader_.failure().empty()) {
            say("Firmware update failed: " + bootloader_.failure());
            sayFlashAgain();
        }
        endCounter();
        runner_.finish(done ? kDone : kFailed);
    }

    // A message of the tool's own, on a line of its own.
    void say(const std::string& message) {
        endCounter();
        runner_.err() << message << std::endl;
    }
    // Once "!" has gone out the controller may have erased its firmware and wait for another.
    void sayFlashAgain() {
        say("The controller may be waiting in its bootloader: run volcrestone-cli flash " +
            runner_.arguments().operands[0] + " again.");
    }
    // Ctrl-C or SIGTERM: nothing more is sent, so a controller that got "!" stays in its
    // bootloader until it is flashed again or reset.
    void interrupted() {
        if (bootloader_.done()) {
            say("Interrupted");
        } else {
            say("Interrupted after " + num::integerText(runner_.engine().lineCount()) +
                " lines: the controller stays in its bootloader");
            sayFlashAgain();
        }
        runner_.finish(kFailed);
    }

private:
    void endCounter() {
        if (counterShown_) {
            runner_.err() << '\n' << std::flush;
            counterShown_ = false;
        }
    }

    Runner& runner_;
    comlink::DataFileSlot files_;
    comlink::Bootloader bootloader_;
    bool counterShown_ = false;
};

}  // namespace

int runFlash(Runner& runner) {
    // A file that is not firmware is refused before the port is even opened.
    const std::string& path = runner.arguments().operands[0];
    const comlink::S19FileCheck check = comlink::checkS19File(path);
    if (check.refusal) {
        runner.err() << check.refusal->text() << std::endl;
        return kFailed;
    }
    Flash flash(runner);
    // A vanished port is named here; the update itself sees the closed port on its next step,
    // logs it once and cleans up.
    if (!runner.openPort(flash, [&flash, &runner] { flash.say(runner.portGoneText()); })) {
        return kFailed;
    }
    runner.host().setOnInterrupt([&flash] { flash.interrupted(); });
    flash.bootloader().downLoad(path);
    if (runner.engine().mode() == comlink::kIdle) {
        // Nothing was sent: the log says the file could not be opened, here is why.
        if (!check.readable) {
            flash.say(path + ": " + check.error);
        }
        return kFailed;
    }
    const int code = runner.waitUntilFinished();
    // "x" must be on the line before the port closes, or the controller stays in its bootloader.
    if (code == kDone && !runner.drained()) {
        flash.say("Could not send to " + portName(runner.arguments()) +
                  ": the controller stays in its bootloader");
        flash.sayFlashAgain();
        return kFailed;
    }
    return code;
}

}  // namespace cli

// doctor: why the controller cannot be reached, checked step by step, one line per check.
#include <optional>
#include <ostream>
#include <string>
#include <utility>

#include "cli/Commands.h"
#include "cli/Doctor.h"
#include "cli/Runner.h"
#include "tune/Numeric.h"

namespace cli {

namespace {

constexpr const char* kLineSettings = "9600 baud, 8 data bits, no parity, 1 stop bit";
// How long the bootloader may take to answer a carriage return with its prompt: a second.
constexpr int kPromptTicks = 10;

class AskRevision final : public comlink::EngineEvents {
public:
    AskRevision(Runner& runner, std::string port) : runner_(runner), port_(std::move(port)) {}

    void revisionReceived(int revision) override {
        report(runner_.out(), Verdict::Ok,
               "the controller answers 'Q': firmware revision " + num::hex2(revision));
        runner_.finish(kDone);
    }
    // A controller left in its bootloader by an interrupted update ignores 'Q' but answers a
    // carriage return with its prompt, which the engine collects in the prompt state.
    void noResponse(int) override {
        runner_.engine().send("\r");
        runner_.engine().setMode(comlink::kBootPrompt);
    }
    void bootloaderTick(int) override {
        comlink::Engine& engine = runner_.engine();
        const bool prompted = engine.bootText().find("Boot>") != std::string::npos;
        if (!prompted && ++promptTicks_ < kPromptTicks) {
            return;
        }
        engine.setMode(comlink::kIdle);
        if (prompted) {
            report(runner_.out(), Verdict::Failed, "the controller is waiting in its bootloader",
                   "run volcrestone-cli flash FILE.s19 again, or send \"x\" to leave it");
        } else {
            report(runner_.out(), Verdict::Failed, "the controller does not answer 'Q'",
                   "check that it has power, that its cable is plugged in at both ends and "
                   "that " +
                       port_ + " is the port it is on");
        }
        runner_.finish(kFailed);
    }

private:
    Runner& runner_;
    std::string port_;
    int promptTicks_ = 0;
};

}  // namespace

int runDoctor(Runner& runner) {
    const std::optional<std::string> device =
        checkBeforeOpening(runner.arguments(), runner.host().system(), runner.out());
    if (!device) {
        return kFailed;
    }
    if (!runner.host().port().open(runner.arguments().comNumber)) {
        report(runner.out(), Verdict::Failed,
               *device + " does not open at " + kLineSettings + ": " + runner.host().portError(),
               "close any program that holds it (see above), or unplug the adapter and plug it in "
               "again");
        return kFailed;
    }
    report(runner.out(), Verdict::Ok, *device + " opens at " + kLineSettings);
    AskRevision ask(runner, portName(runner.arguments()));
    runner.engine().setListener(&ask);
    runner.engine().cmdQ();
    return runner.waitUntilFinished();
}

}  // namespace cli

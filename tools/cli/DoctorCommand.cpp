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

class AskRevision final : public comlink::EngineEvents {
public:
    AskRevision(Runner& runner, std::string port) : runner_(runner), port_(std::move(port)) {}

    void revisionReceived(int revision) override {
        report(runner_.out(), Verdict::Ok,
               "the controller answers 'Q': firmware revision " + num::hex2(revision));
        runner_.finish(kDone);
    }
    void noResponse(int) override {
        report(runner_.out(), Verdict::Failed, "the controller does not answer 'Q'",
               "check that it has power, that its cable is plugged in at both ends and that " +
                   port_ + " is the port it is on");
        runner_.finish(kFailed);
    }

private:
    Runner& runner_;
    std::string port_;
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

// revision: the controller's firmware revision as two hexadecimal digits.
#include <ostream>

#include "cli/Commands.h"
#include "cli/Runner.h"
#include "tune/Numeric.h"

namespace cli {

namespace {

class Revision final : public ControllerCommand {
public:
    using ControllerCommand::ControllerCommand;

    void revisionReceived(int revision) override {
        runner_.out() << num::hex2(revision) << std::endl;
        runner_.finish(kDone);
    }
};

}  // namespace

int runRevision(Runner& runner) {
    Revision command(runner);
    if (!runner.openPort(command)) {
        return kFailed;
    }
    runner.engine().cmdQ();
    return runner.waitUntilFinished();
}

}  // namespace cli

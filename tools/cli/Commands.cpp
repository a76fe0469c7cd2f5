#include "cli/Commands.h"

#include "cli/Runner.h"

namespace cli {

const std::vector<CommandSpec>& commandTable() {
    static const std::vector<CommandSpec> table = {
        {"revision", "", "print the controller's firmware revision", 0, 0, {}, runRevision},
        {"upload",
         "FILE.cfg",
         "read the Tune from the controller into a settings file",
         1,
         1,
         {},
         runUpload},
        {"send",
         "FILE.cfg",
         "check a settings file, send it and make the controller store it",
         1,
         1,
         {},
         runSend},
        {"monitor",
         "[--frames N] [--log FILE.csv]",
         "show the live values as the Dashboard does, one line per block",
         0,
         0,
         {{"--frames", true}, {"--log", true}},
         runMonitor},
        {"replay",
         "FILE.csv",
         "show a data log's records as the Dashboard does, one line per record",
         1,
         1,
         {},
         runReplay},
    };
    return table;
}

const CommandSpec* findCommand(const std::string& name) {
    for (const CommandSpec& spec : commandTable()) {
        if (name == spec.name) {
            return &spec;
        }
    }
    return nullptr;
}

int runCommand(const Arguments& arguments, Host& host, std::ostream& out, std::ostream& err) {
    const CommandSpec* spec = findCommand(arguments.command);
    if (spec == nullptr) {
        return kFailed;
    }
    Runner runner(arguments, host, out, err);
    return spec->run(runner);
}

}  // namespace cli

#include "cli/Commands.h"

#include "cli/Runner.h"

namespace cli {

const std::vector<CommandEntry>& commandTable() {
    static const std::vector<CommandEntry> table = {
        {"revision", "", "print the controller's firmware revision", 0, 0, {}, runRevision},
        {"upload",
         "FILE.cfg",
         "read the Tune from the controller into a settings file",
         1,
         1,
         {},
         runUpload},
        {"send",
         "FILE.cfg|@N",
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
        {"doctor",
         "",
         "check step by step why the controller cannot be reached",
         0,
         0,
         {},
         runDoctor},
        {"diff",
         "A.cfg B.cfg\nA.cfg --controller",
         "list the fields in which two Tunes differ (exit 1 when they do)\n"
         "the same between a file and the Tune read from the controller",
         1,
         2,
         {{"--controller", false}},
         runDiff},
        {"plot",
         "FILE.cfg|@N --png OUT.png",
         "draw the timing map of a settings file as a PNG picture",
         1,
         1,
         {{"--png", true}},
         runPlot,
         true},
        {"flash",
         "FILE.s19",
         "send a firmware file through the controller's bootloader",
         1,
         1,
         {},
         runFlash},
        {"replay",
         "FILE.csv",
         "show a data log's records as the Dashboard does, one line per record",
         1,
         1,
         {},
         runReplay},
        {"history",
         "",
         "list the kept Tunes, newest first, as the @N that stand for files",
         0,
         0,
         {},
         runHistory},
        {"report",
         "LOG.csv --png OUT.png [--tune FILE.cfg|@N] [--scale N]",
         "summarise a data log and draw it as a PNG picture",
         1,
         1,
         {{"--png", true}, {"--tune", true}, {"--scale", true}},
         runReport,
         true},
    };
    return table;
}

const CommandEntry* findCommand(const std::string& name) {
    for (const CommandEntry& entry : commandTable()) {
        if (name == entry.name) {
            return &entry;
        }
    }
    return nullptr;
}

int runCommand(const Arguments& arguments, Host& host, std::ostream& out, std::ostream& err) {
    const CommandEntry* entry = findCommand(arguments.command);
    if (entry == nullptr) {
        return kFailed;
    }
    Runner runner(arguments, host, out, err);
    return entry->run(runner);
}

}  // namespace cli

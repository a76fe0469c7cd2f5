#pragma once

#include <iosfwd>
#include <string>
#include <vector>

#include "cli/Arguments.h"
#include "cli/Host.h"

// The commands of volcrestone-cli: one file each, found here by name.
namespace cli {

class Runner;

struct CommandOption {
    const char* name;  // "--frames"
    bool takesValue;
};

struct CommandEntry {
    const char* name;
    // As the usage shows them: "FILE.cfg". A command used in several ways has one line per way
    // here and in `summary`.
    const char* operands;
    const char* summary;
    std::size_t minOperands;
    std::size_t maxOperands;
    std::vector<CommandOption> options;
    int (*run)(Runner& runner);
    bool draws = false;  // renders text into a picture, so it needs a QGuiApplication
};

const std::vector<CommandEntry>& commandTable();
const CommandEntry* findCommand(const std::string& name);

// Runs one command against the controller on the host's port. Results go to `out`, messages
// to `err`; returns the exit code (0 done, 1 failed).
int runCommand(const Arguments& arguments, Host& host, std::ostream& out, std::ostream& err);

// The commands, each in its own file.
int runRevision(Runner& runner);
int runUpload(Runner& runner);
int runSend(Runner& runner);
int runMonitor(Runner& runner);
int runDoctor(Runner& runner);
int runDiff(Runner& runner);
int runPlot(Runner& runner);
int runFlash(Runner& runner);
int runReplay(Runner& runner);
int runHistory(Runner& runner);
int runReport(Runner& runner);

}  // namespace cli

#pragma once

#include <optional>
#include <span>
#include <string>

#include "Controller.h"
#include "SerialLine.h"

// The simulator's command line.
namespace sim {

struct Options {
    bool help = false;       // --help or -h: print the usage, nothing else
    std::string storePath;   // --store FILE
    std::string recordPath;  // --record FILE
    std::string linkPath;    // --link PATH
    std::string s19Path;     // --s19-out FILE
    int revision = 10;       // --revision N
    int vanishAfter = 0;     // --vanish-after N: the terminal goes away after N bytes; 0 = never
    int rate = 0;            // --rate N: frames a second, see ControllerSetup
    Faults
        faults;  // --silent, --short, --answer-garbage, --out-of-step N, --boot-fault KIND[:ANSWER]
    LineFaults lineFaults;  // --split, --garbage, --slow, --slow-rate N
    // --in-bootloader: waiting at the bootloader's prompt, as an interrupted update leaves it
    bool inBootloader = false;
};

// One option as --help and the manual page show it: its value's name ("" for a flag) and what it
// does. An option that is not in optionTable() is refused, so none can ship unlisted.
struct OptionHelp {
    const char* name;   // "--store"
    const char* value;  // "FILE"
    const char* summary;
};

std::span<const OptionHelp> optionTable();

// What --help prints: the synopsis, then one line per option.
std::string usageText();

// The options, or nothing with `error` saying which argument is wrong.
std::optional<Options> parseOptions(std::span<const std::string> args, std::string& error);

}  // namespace sim

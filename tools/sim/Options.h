#pragma once

#include <optional>
#include <span>
#include <string>

#include "Controller.h"
#include "SerialLine.h"

// The simulator's command line.
namespace sim {

struct Options {
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
};

inline constexpr const char* kUsage =
    "usage: volcrestone-sim [--store FILE] [--record FILE] [--link PATH] [--revision N]\n"
    "                       [--s19-out FILE] [--silent] [--short] [--split] [--out-of-step N]\n"
    "                       [--garbage] [--answer-garbage] [--slow] [--slow-rate N]\n"
    "                       [--vanish-after N] [--rate N]\n"
    "                       [--boot-fault wrong|late|blank|split|silent[:prompt|ack|complete]]\n";

// The options, or nothing with `error` saying which argument is wrong.
std::optional<Options> parseOptions(std::span<const std::string> args, std::string& error);

}  // namespace sim

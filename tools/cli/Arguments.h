#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "tune/Edition.h"

// The command line of volcrestone-cli: the options every command shares, then the command's
// own words and options, which the command table checks.
namespace cli {

struct Arguments {
    std::string command;                         // "revision", "upload", ...
    std::vector<std::string> operands;           // the command's words after its name
    std::map<std::string, std::string> options;  // the command's own options ("" for a flag)
    int comNumber = 1;                           // COM1..COM4, used when no device path was given
    std::string device;                          // an explicit device path from --port
    tune::Edition edition = tune::Edition::BEL;
    bool threeBar = true;  // --no-3bar clears the "3 Bar" scaling of the pressures

    bool has(const std::string& option) const { return options.count(option) != 0; }
    std::string option(const std::string& name) const;
};

struct ParseResult {
    std::optional<Arguments> arguments;
    bool helpRequested = false;
    std::string error;  // why the line was refused, when there are no arguments and no help
};

// The arguments after the program name.
ParseResult parseArguments(const std::vector<std::string>& args);

std::string usageText();

// "COM<n>" or the device path, as the user named the port.
std::string portName(const Arguments& arguments);

}  // namespace cli

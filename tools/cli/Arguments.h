#pragma once

#include <optional>
#include <string>
#include <vector>

#include "tune/Edition.h"

// The command line of volcrestone-cli.
namespace cli {

enum class Command { Revision, Upload, Send };

struct Arguments {
    Command command = Command::Revision;
    std::string file;    // the settings file of upload and send
    int comNumber = 1;   // COM1..COM4, used when no device path was given
    std::string device;  // an explicit device path from --port
    tune::Edition edition = tune::Edition::BEL;
    bool threeBar = true;  // --no-3bar clears the "3 Bar" scaling of the pressures
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

#pragma once

#include <iosfwd>

#include "cli/Arguments.h"
#include "cli/Host.h"

namespace cli {

// Runs one command against the controller on the host's port. Results go to `out`, messages
// to `err`; returns the exit code (0 done, 1 failed).
int runCommand(const Arguments& arguments, Host& host, std::ostream& out, std::ostream& err);

}  // namespace cli

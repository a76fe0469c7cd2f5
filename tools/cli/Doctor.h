#pragma once

#include <iosfwd>
#include <optional>
#include <string>

#include "cli/Arguments.h"
#include "cli/SystemView.h"

// The doctor's report: one line per check, "ok   ", "warn " or "FAIL " and what was found; a
// warning or failure goes on with ". Fix: " and what to do about it, when there is something.
namespace cli {

enum class Verdict { Ok, Warning, Failed };

void report(std::ostream& out, Verdict verdict, const std::string& finding,
            const std::string& fix = {});

// The checks before the port is opened, in order: which device the port is and how it was
// chosen, which serial adapters are plugged in (and whether COMn passed one over for a built-in
// port), that brltty is not running, that it is a character device, that this user may read and
// write it, that no other program holds it and that ModemManager leaves it alone. The device to
// open, or nothing when a failure makes opening it pointless (the checks stop there).
std::optional<std::string> checkBeforeOpening(const Arguments& arguments, const SystemView& system,
                                              std::ostream& out);

}  // namespace cli

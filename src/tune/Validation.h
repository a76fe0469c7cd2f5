#pragma once

#include <optional>
#include <string>

#include "tune/Tune.h"

namespace tune {

// The checks made before a Tune is sent, in their order; the message of the first rule that
// fails (CR LF inside where it has two lines), or nothing when the Tune may be sent.
std::optional<std::string> firstBrokenRule(const Tune& tune, Edition edition);

}  // namespace tune

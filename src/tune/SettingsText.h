#pragma once

#include <string>

#include "tune/Tune.h"

namespace tune {

// SettingStr: the twelve comma-separated lines (joined by CR LF, none after the last) that hold
// every field but "3 Bar". It is the body of a settings file and the fingerprint of unsaved edits.
std::string settingStr(const Tune& tune);

}  // namespace tune

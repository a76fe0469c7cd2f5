#pragma once

#include "platform/SerialPort.h"
#include "platform/SettingsStore.h"

namespace comlink {

// Switches the link to COM`number`: closes the open port, remembers the number in "Config" /
// "Port" (before trying, so a port that fails is still the default next time) and opens it.
// True when the port opened.
bool openPort(platform::SerialPort& port, platform::SettingsStore& settings, int number);

}  // namespace comlink

#pragma once

#include <string>

#include "platform/SettingsStore.h"

namespace platform {

// Where the device behind a COM number came from.
enum class ComSource { Environment, Settings, System };

struct ComMapping {
    std::string device;
    ComSource source = ComSource::System;
};

// The device behind COM`number`: the environment variable VOLCRESTONE_COMn, else the text under
// "Config" / "COMn" in `settings` (when given and present), else the system's own name for it.
ComMapping comMapping(int number, const SettingsStore* settings);
std::string comDevice(int number, const SettingsStore* settings);

}  // namespace platform

#pragma once

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "cli/SystemView.h"

namespace support {

// The doctor's view of the machine, set by hand: by default joe may use /dev/ttyUSB0, which
// VOLCRESTONE_COM1 names, nobody else holds it, every process could be looked at, no adapter is
// plugged in and neither ModemManager nor brltty is running.
struct Machine {
    platform::ComMapping mapping{"/dev/ttyUSB0", platform::ComSource::Environment};
    std::optional<cli::DeviceFile> file =
        cli::DeviceFile{"/dev/ttyUSB0", true, false, "dialout", 0660};
    cli::DeviceAccess userAccess{true, "joe", true, true};
    std::vector<cli::Holder> others{};
    bool seesAll = true;
    std::vector<cli::SerialDevice> adapters{};
    std::vector<std::string> programs{};
};

class FakeSystem : public cli::SystemView, public Machine {
public:
    platform::ComMapping comMapping(int) const override { return mapping; }
    std::string settingsFile() const override {
        return "/home/joe/.config/Volcrestone/Volcrestone.ini";
    }
    std::optional<cli::DeviceFile> device(const std::string&) const override { return file; }
    cli::DeviceAccess access(const std::string&) const override { return userAccess; }
    std::vector<cli::Holder> holders(const std::string&) const override { return others; }
    bool seesEveryProcess() const override { return seesAll; }
    std::vector<cli::SerialDevice> serialDevices() const override { return adapters; }
    bool running(const std::string& program) const override {
        return std::find(programs.begin(), programs.end(), program) != programs.end();
    }
};

}  // namespace support

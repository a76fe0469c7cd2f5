#pragma once

#include <string>

#include "cli/SystemView.h"
#include "platform/SettingsStore.h"

namespace cli {

// The real system on Linux: stat(2), the user's groups, lock files in /var/lock and /run/lock
// and every process's open files under /proc.
class PosixSystem final : public SystemView {
public:
    // COM numbers are mapped as the program maps them, with these settings (may be null).
    PosixSystem(const platform::SettingsStore* settings, std::string settingsFile);

    platform::ComMapping comMapping(int number) const override;
    std::string settingsFile() const override { return settingsFile_; }
    std::optional<DeviceFile> device(const std::string& path) const override;
    DeviceAccess access(const std::string& path) const override;
    std::vector<Holder> holders(const std::string& path) const override;
    bool seesEveryProcess() const override;
    std::vector<SerialDevice> serialDevices() const override;
    bool running(const std::string& program) const override;

private:
    const platform::SettingsStore* settings_;
    std::string settingsFile_;
};

}  // namespace cli

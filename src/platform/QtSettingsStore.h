#pragma once

#include <QSettings>
#include <string>

#include "platform/SettingsStore.h"

namespace platform {

// The per-user settings of the application `appName` as an INI file in the user's configuration
// folder (XDG_CONFIG_HOME on Linux); sections are the file's groups. Texts are Latin-1.
class QtSettingsStore final : public SettingsStore {
public:
    explicit QtSettingsStore(const std::string& appName);

    std::string read(const std::string& section, const std::string& key,
                     const std::string& fallback) const override;
    // Written through to the file at once, so a later crash does not lose it.
    void write(const std::string& section, const std::string& key,
               const std::string& value) override;

    // The folder that holds `appName`'s settings file, found without reading its settings.
    static std::string folderOf(const std::string& appName);
    // The settings file itself.
    std::string fileName() const;

private:
    QSettings settings_;
};

}  // namespace platform

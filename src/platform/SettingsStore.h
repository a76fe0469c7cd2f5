#pragma once

#include <string>

namespace platform {

// The per-user settings store: texts by application key (AppName), section and key.
class SettingsStore {
public:
    virtual ~SettingsStore() = default;
    virtual std::string read(const std::string& section, const std::string& key,
                             const std::string& fallback) const = 0;
    virtual void write(const std::string& section, const std::string& key,
                       const std::string& value) = 0;
};

}  // namespace platform

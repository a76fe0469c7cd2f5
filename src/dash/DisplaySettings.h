#pragma once

#include <cstdint>
#include <string>

#include "platform/SettingsStore.h"
#include "tune/Edition.h"

// The Dashboard's display settings as the settings store keeps them, section "Realtime" under
// AppName, and the dial and graph set-up each choice stands for.
namespace dash {

inline constexpr const char* kSection = "Realtime";

// A value of the graph view that has a colour (and a swatch, pen and maybe a dial).
enum class Channel { RPM, TPS, MAP, Coolant, Ignition, IgnMSD, O2AFR };
inline constexpr int kChannelCount = 7;
// A value of the graph view that can be shown or hidden.
enum class Optional { Coolant, TPS, MAP, IgnMSD, O2AFR };
inline constexpr int kOptionalCount = 5;

struct ChannelInfo {
    const char* colorKey;
    std::uint32_t defaultColor;
};
ChannelInfo channelInfo(Channel channel);
const char* showKey(Optional value);

// Colour keys of the graphs as a whole.
inline constexpr const char* kBackColorKey = "BackColor";
inline constexpr const char* kGridColorKey = "GridColor";
inline constexpr const char* kNeedleColorKey = "NeedleColor";
inline constexpr std::uint32_t kDefaultBackColor = 0;
inline constexpr std::uint32_t kDefaultGridColor = 12640511;

// What the store holds, read with its defaults. A colour that is not a whole number from 0 to
// 16777215 counts as absent (its default); a show/hide text other than "True" or "False" counts
// as "False", the default, in any letter case but those two.
struct DisplaySettings {
    std::uint32_t backColor = kDefaultBackColor;
    std::uint32_t gridColor = kDefaultGridColor;
    std::uint32_t colors[kChannelCount]{};
    bool celsius = false;
    bool rpm12k = false;
    bool o2Voltage = false;
    bool show[kOptionalCount]{};
    bool showDials = false;

    static DisplaySettings load(const platform::SettingsStore& store);
    std::uint32_t color(Channel c) const { return colors[static_cast<int>(c)]; }
    bool shown(Optional v) const { return show[static_cast<int>(v)]; }
};

std::uint32_t readColor(const platform::SettingsStore& store, const std::string& key,
                        std::uint32_t fallback);
bool readFlag(const platform::SettingsStore& store, const std::string& key);
void writeColor(platform::SettingsStore& store, const std::string& key, std::uint32_t color);
void writeFlag(platform::SettingsStore& store, const std::string& key, bool value);
// The stored RPM scale: "12" means 12000, any other text 8000.
bool storedRpm12k(const platform::SettingsStore& store);

// The coolant dial for a temperature unit.
struct DialScale {
    double minimum;
    double maximum;
    int majorDivisions;
    const char* caption;
};
DialScale coolantDialScale(bool celsius, tune::Edition edition);

// What the RPM scale sets: tgRPM's RPM pen scale (0 = none), its grid step, the dial's end and
// the places of its readout (five for 12000, so the top of the scale never shows as dashes).
struct RpmScale {
    float penScale;
    double gridSpaceY;
    double dialMaximum;
    int readoutDigits;
};
RpmScale rpmScale(bool twelveK);

}  // namespace dash

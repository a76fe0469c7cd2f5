#include "dash/DisplaySettings.h"

#include <cctype>
#include <cstdlib>

#include "tune/Numeric.h"

namespace dash {

namespace {

constexpr std::uint32_t kLargestColor = 0xFFFFFF;

const char* const kShowKeys[kOptionalCount] = {"ShowCoolant", "ShowTPS", "ShowMAP", "ShowMSD",
                                               "ShowO2AFR"};

const ChannelInfo kChannels[kChannelCount] = {
    {"RPMColor", 65535},        {"TPSColor", 255},        {"MAPColor", 16776960},
    {"CoolantColor", 16711680}, {"IgnitionColor", 65280}, {"IgnMSDColor", 16761087},
    {"O2AFRColor", 65535},
};

// Only plain decimal digits make a colour; anything else would paint some colour nobody chose.
bool isColorText(const std::string& text) {
    if (text.empty() || text.size() > 8) {
        return false;
    }
    for (const char c : text) {
        if (std::isdigit(static_cast<unsigned char>(c)) == 0) {
            return false;
        }
    }
    return std::strtoul(text.c_str(), nullptr, 10) <= kLargestColor;
}

}  // namespace

ChannelInfo channelInfo(Channel channel) {
    return kChannels[static_cast<int>(channel)];
}

const char* showKey(Optional value) {
    return kShowKeys[static_cast<int>(value)];
}

std::uint32_t readColor(const platform::SettingsStore& store, const std::string& key,
                        std::uint32_t fallback) {
    const std::string text = store.read(kSection, key, "");
    if (!isColorText(text)) {
        return fallback;
    }
    return static_cast<std::uint32_t>(std::strtoul(text.c_str(), nullptr, 10));
}

bool readFlag(const platform::SettingsStore& store, const std::string& key) {
    return store.read(kSection, key, "False") == "True";
}

void writeColor(platform::SettingsStore& store, const std::string& key, std::uint32_t color) {
    store.write(kSection, key, num::integerText(color));
}

void writeFlag(platform::SettingsStore& store, const std::string& key, bool value) {
    store.write(kSection, key, value ? "True" : "False");
}

bool storedRpm12k(const platform::SettingsStore& store) {
    return store.read(kSection, "RPM", "8") == "12";
}

DisplaySettings DisplaySettings::load(const platform::SettingsStore& store) {
    DisplaySettings s;
    s.backColor = readColor(store, kBackColorKey, kDefaultBackColor);
    s.gridColor = readColor(store, kGridColorKey, kDefaultGridColor);
    for (int i = 0; i < kChannelCount; ++i) {
        s.colors[i] = readColor(store, kChannels[i].colorKey, kChannels[i].defaultColor);
    }
    s.celsius = store.read(kSection, "Temp", "F") == "C";
    s.rpm12k = storedRpm12k(store);
    s.o2Voltage = store.read(kSection, "O2", "WBAFR") == "Voltage";
    for (int i = 0; i < kOptionalCount; ++i) {
        s.show[i] = readFlag(store, kShowKeys[i]);
    }
    s.showDials = readFlag(store, "ShowDials");
    return s;
}

DialScale coolantDialScale(bool celsius, tune::Edition edition) {
    const bool ruk = edition == tune::Edition::RUK;
    if (celsius) {
        return ruk ? DialScale{-20, 120, 10, "Water C"} : DialScale{-40, 100, 10, "Water C"};
    }
    return ruk ? DialScale{0, 255, 20, "Water F"} : DialScale{-40, 215, 20, "Water F"};
}

RpmScale rpmScale(bool twelveK) {
    if (twelveK) {
        return {8.0f / 12.0f, 666, 12000, 5};
    }
    return {0.0f, 1000, 8000, 4};
}

}  // namespace dash

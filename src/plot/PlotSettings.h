#pragma once

#include <cstdint>

#include "platform/SettingsStore.h"

namespace plot {

// What the plot takes from the settings store when it opens.
struct PlotSettings {
    int rpmMax = 8000;               // the Dashboard's RPM scale: 12000 for "12K", else 8000
    std::int32_t gridColor = 65535;  // the surface colour, yellow until the user picks one
};

// "Realtime"/"RPM" ("12" means 12K; any other text 8K) and "Plot"/"GridColor" (number rule;
// 65535 when missing). The Dashboard stores its RPM choice the moment it is made, so the store
// always holds the live scale.
PlotSettings readPlotSettings(const platform::SettingsStore& store);

// Keeps a chosen grid colour for the next plot, as its decimal text.
void storeGridColor(platform::SettingsStore& store, std::int32_t color);

}  // namespace plot

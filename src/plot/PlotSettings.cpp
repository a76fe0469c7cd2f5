#include "plot/PlotSettings.h"

#include "tune/Numeric.h"

namespace plot {

PlotSettings readPlotSettings(const platform::SettingsStore& store) {
    PlotSettings settings;
    settings.rpmMax = store.read("Realtime", "RPM", "8") == "12" ? 12000 : 8000;
    settings.gridColor = num::rnd32(num::readNumber(store.read("Plot", "GridColor", "65535")));
    return settings;
}

void storeGridColor(platform::SettingsStore& store, std::int32_t color) {
    store.write("Plot", "GridColor", num::integerText(color));
}

}  // namespace plot

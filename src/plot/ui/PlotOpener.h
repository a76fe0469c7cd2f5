#pragma once

#include <QPointer>

#include "platform/Dialogs.h"
#include "platform/SettingsStore.h"
#include "plot/ui/Plot.h"
#include "tune/Tune.h"

namespace plot {

// The program's one plot window. Plot3D makes a fresh one from the Tune as it stands, or brings
// an open one to the front unchanged; closing the window discards it.
class PlotOpener {
public:
    PlotOpener(const tune::Tune& tune, platform::SettingsStore& store,
               platform::ColorDialog& colors);
    ~PlotOpener();
    PlotOpener(const PlotOpener&) = delete;
    PlotOpener& operator=(const PlotOpener&) = delete;

    void open();
    // Unloads the window now, if there is one.
    void unload();
    // The open window, or null.
    Plot* window() const;

private:
    const tune::Tune& tune_;
    platform::SettingsStore& store_;
    platform::ColorDialog& colors_;
    QPointer<Plot> window_;
};

}  // namespace plot

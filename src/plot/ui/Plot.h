#pragma once

#include <QWidget>

#include "platform/Dialogs.h"
#include "platform/SettingsStore.h"
#include "plot/TimingPlot.h"
#include "tune/Tune.h"

namespace plot {

class PlotPicture;

// The window "Ignition Timing Plot". It draws the whole plot once, from the Tune as it stands
// when the window is made, and again only the surface after a new grid colour. Children carry
// their control names: Picture1, Label1, cmdGridColor.
class Plot : public QWidget {
    Q_OBJECT
public:
    Plot(const tune::Tune& tune, platform::SettingsStore& store, platform::ColorDialog& colors,
         QWidget* parent = nullptr);

    const TimingPlot& timing() const { return timing_; }
    const PlotPicture& picture() const { return *picture_; }

    void cmdGridColor_Click();

private:
    platform::SettingsStore& store_;
    platform::ColorDialog& colors_;
    double logicalDpi_;
    PlotPicture* picture_;
    TimingPlot timing_;
};

}  // namespace plot

#include "plot/ui/PlotOpener.h"

namespace plot {

PlotOpener::PlotOpener(const tune::Tune& tune, platform::SettingsStore& store,
                       platform::ColorDialog& colors)
    : tune_(tune), store_(store), colors_(colors) {}

PlotOpener::~PlotOpener() {
    unload();
}

void PlotOpener::open() {
    // A closed window waits for its deferred delete; it no longer counts as open.
    if (window() == nullptr) {
        window_ = new Plot(tune_, store_, colors_);
        window_->show();
    }
    if (window_->isMinimized())
        window_->showNormal();
    window_->raise();
    window_->activateWindow();
}

void PlotOpener::unload() {
    delete window_.data();
}

Plot* PlotOpener::window() const {
    return window_ && window_->isVisible() ? window_.data() : nullptr;
}

}  // namespace plot

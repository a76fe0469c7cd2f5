#include "dash/RealtimeMode.h"

namespace dash {

void RealtimeMode::StartRealtime() {
    view_.setSetupExchangeEnabled(false);
    view_.setLinkCommandsEnabled(false);
    // Sends "M" only when the port is open and nothing else is pending; the Dashboard shows
    // either way and simply receives nothing.
    engine_.cmdM();
    view_.showDashboard();
}

void RealtimeMode::StopRealtime() {
    // Ends a running data log, and also closes a firmware file left open, but never the one an
    // update is still sending.
    if (!engine_.firmwareUpdateRunning()) {
        dataFile_.close();
    }
    engine_.cmdN();
    view_.hideDashboard();
    view_.setSetupExchangeEnabled(true);
    view_.setLinkCommandsEnabled(true);
    view_.hideNoResponse();
}

}  // namespace dash

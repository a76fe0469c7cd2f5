#pragma once

#include "comlink/DataFileSlot.h"
#include "comlink/Engine.h"

namespace dash {

// What entering and leaving realtime mode changes on the windows.
class RealtimeModeView {
public:
    virtual ~RealtimeModeView() = default;
    // The Setup window's "Load from" and "Send to" (send follows DownloadAllowed when enabled).
    virtual void setSetupExchangeEnabled(bool enabled) = 0;
    // The link window's cmdAt, cmdBoot, cmdC, cmdQ and cmdU; cmdM and cmdN stay usable.
    virtual void setLinkCommandsEnabled(bool enabled) = 0;
    virtual void showDashboard() = 0;
    // Hides a loaded Dashboard and turns its "Log Data" button off.
    virtual void hideDashboard() = 0;
    virtual void hideNoResponse() = 0;
};

// StartRealtime and StopRealtime: the monitor stream, the exchange buttons it locks and the
// Dashboard it feeds.
class RealtimeMode {
public:
    RealtimeMode(comlink::Engine& engine, comlink::DataFileSlot& dataFile, RealtimeModeView& view)
        : engine_(engine), dataFile_(dataFile), view_(view) {}

    void StartRealtime();
    void StopRealtime();

private:
    comlink::Engine& engine_;
    comlink::DataFileSlot& dataFile_;
    RealtimeModeView& view_;
};

}  // namespace dash

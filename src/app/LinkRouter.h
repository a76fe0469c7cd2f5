#pragma once

#include <functional>
#include <vector>

#include "comlink/Bootloader.h"
#include "comlink/Engine.h"
#include "plot/ui/PlotOpener.h"
#include "setup/Session.h"

namespace dialogs {
class AboutBox;
}
namespace comlink {
class NoCommWindow;
class SerialWindow;
}  // namespace comlink

namespace app {

class LiveData;

// Carries what the protocol engine and the Setup session report to the windows that show it:
// Mode to the Controller link window, realtime blocks to CopyATdata, lost answers to NoComm, the
// revision to the About box, an uploaded image to the Session, the bootloader's ticks to the
// firmware update; and the Setup window's requests to the other windows.
class LinkRouter : public comlink::EngineEvents, public setup::SessionView {
public:
    LinkRouter(comlink::SerialWindow& serial, comlink::NoCommWindow& noComm,
               dialogs::AboutBox& about, setup::Session& session, LiveData& live,
               plot::PlotOpener& plot, comlink::Bootloader& firmware,
               std::function<void()> showFirmwareWindow);

    // comlink::EngineEvents
    void modeChanged(int mode) override;
    void noResponse(int mode) override;
    void bytesArrived() override;
    void revisionReceived(int revision) override;
    bool aboutShowing() const override;
    void realtimeBlock(const comlink::RxBuffer& rx) override;
    void imageReceived(const comlink::RxBuffer& rx) override;
    void bootloaderTick(int mode) override;
    void tickEnded() override;

    // setup::SessionView: the windows the Setup window does not own.
    void hideNoResponse() override;
    void showAbout() override;
    bool dashboardVisible() const override;
    void unloadDashboard() override;
    void setRpmUpperLimit(double rpm) override;
    void startRealtime() override;
    void showDashboard() override;
    void showPlot() override;
    void showFirmwareUpdate() override;
    bool dataLogOpen() const override;
    bool replayVisible() const override;
    void showLogReplay() override;

private:
    comlink::SerialWindow& serial_;
    comlink::NoCommWindow& noComm_;
    dialogs::AboutBox& about_;
    setup::Session& session_;
    LiveData& live_;
    plot::PlotOpener& plot_;
    comlink::Bootloader& firmware_;
    std::function<void()> showFirmwareWindow_;
    std::vector<comlink::RxBuffer> tickBlocks_;  // the realtime blocks of this tick so far
};

}  // namespace app

#pragma once

#include "link/Engine.h"
#include "setup/Session.h"

namespace dialogs {
class About;
}
namespace link {
class NoCommWindow;
class SerialWindow;
}  // namespace link

namespace app {

class LiveData;

// Carries what the protocol engine and the Setup session report to the windows that show it:
// Mode to the Controller link window, realtime blocks to CopyATdata, lost answers to NoComm, the
// revision to the About box, an uploaded image to the Session; and the Setup window's requests
// to the live display.
class LinkRouter : public link::EngineEvents, public setup::SessionView {
public:
    LinkRouter(link::SerialWindow& serial, link::NoCommWindow& noComm, dialogs::About& about,
               setup::Session& session, LiveData& live);

    // link::EngineEvents
    void modeChanged(int mode) override;
    void noResponse(int mode) override;
    void bytesArrived() override;
    void revisionReceived(int revision) override;
    bool aboutShowing() const override;
    void realtimeBlock(const link::RxBuffer& rx) override;
    void imageReceived(const link::RxBuffer& rx) override;

    // setup::SessionView: the windows the Setup window does not own.
    void hideNoResponse() override;
    void showAbout() override;
    bool dashboardVisible() const override;
    void unloadDashboard() override;
    void setRpmUpperLimit(double rpm) override;
    void startRealtime() override;
    void showDashboard() override;
    bool replayVisible() const override;
    void showLogReplay() override;

private:
    link::SerialWindow& serial_;
    link::NoCommWindow& noComm_;
    dialogs::About& about_;
    setup::Session& session_;
    LiveData& live_;
};

}  // namespace app

#pragma once

#include <QObject>
#include <memory>

#include "comlink/DataFileSlot.h"
#include "comlink/Realtime.h"
#include "dash/RealtimeMode.h"
#include "platform/Clock.h"
#include "platform/Dialogs.h"
#include "platform/SettingsStore.h"
#include "setup/Session.h"

namespace dash {
class Config;
class File;
class Realtime;
}  // namespace dash
namespace comlink {
class NoCommWindow;
class SerialWindow;
}  // namespace comlink

namespace app {

// The live display: realtime mode, the Dashboard (loaded on first use, unloaded by a port change
// or NoComm) and its Display settings, and CopyATdata's outputs on the link window and the
// Dashboard.
class LiveData : public QObject, public dash::RealtimeModeView {
    Q_OBJECT
public:
    struct Services {
        platform::SettingsStore& store;
        platform::ColorDialog& colors;
        platform::MessageBox& messages;
        platform::FileDialog& files;
        platform::EventPump& events;
        const platform::Clock& clock;
    };
    LiveData(setup::Session& session, comlink::Engine& engine, comlink::SerialWindow& serial,
             comlink::NoCommWindow& noComm, comlink::DataFileSlot& dataFile, Services services);
    ~LiveData() override;

    comlink::Realtime& realtime() { return realtime_; }
    dash::RealtimeMode& mode() { return mode_; }

    // The Display settings; loaded with the first Dashboard.
    dash::Config& config() { return *config_; }
    // The Dashboard, loaded (hidden) when it is not.
    dash::Realtime& dashboard();
    bool dashboardLoaded() const { return dashboard_ != nullptr; }
    bool dashboardVisible() const;
    // The data log holds the shared file slot (a settings file then gets channel 2).
    bool dataLogOpen() const { return dataFile_.use() == comlink::DataFileSlot::Use::Log; }
    // Unloading ends realtime mode.
    void unloadDashboard();
    // The log replay window, loaded when it is not, which loads the Dashboard.
    dash::File& replay();
    bool replayVisible() const;
    void showLogReplay();
    // At exit: the log replay window, the Dashboard, then the Display settings.
    void unload();

    // dash::RealtimeModeView
    void setSetupExchangeEnabled(bool enabled) override;
    void setLinkCommandsEnabled(bool enabled) override;
    void showDashboard() override;
    void hideDashboard() override;
    void hideNoResponse() override;

private:
    setup::Session& session_;
    comlink::Engine& engine_;
    comlink::SerialWindow& serial_;
    comlink::NoCommWindow& noComm_;
    comlink::DataFileSlot& dataFile_;
    Services services_;
    comlink::Realtime realtime_;
    dash::RealtimeMode mode_;
    std::unique_ptr<dash::Config> config_;
    std::unique_ptr<dash::Realtime> dashboard_;
    std::unique_ptr<dash::File> replay_;
};

}  // namespace app

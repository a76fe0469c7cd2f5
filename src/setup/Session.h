#pragma once

#include <filesystem>
#include <string>

#include "comlink/Codec.h"
#include "comlink/Engine.h"
#include "platform/Clock.h"
#include "platform/Dialogs.h"
#include "platform/SerialPort.h"
#include "platform/SettingsStore.h"
#include "tune/Tune.h"
#include "tune/TuneHistory.h"

// The Setup window's behaviour without the window: start-up values, the commands of its buttons
// and menus, the unsaved-changes question. The window mirrors the Tune and the button states and
// forwards its events here; tests drive this class with fakes.
namespace setup {

// What the Session asks of the windows (the Setup window and the ones it opens).
class SessionView {
public:
    virtual ~SessionView() = default;
    // The Tune changed as a whole (loaded from a file or the controller): show every field.
    virtual void showTune() {}
    // cmdRealtime / cmdUpload / cmdDownLoad enabled states or the COM check mark changed.
    virtual void showCommands() {}
    virtual void hideNoResponse() {}
    // The Dashboard: unloaded by a port change, its RPM dial limit set by an upload.
    virtual bool dashboardVisible() const { return false; }
    virtual void unloadDashboard() {}
    virtual void setRpmUpperLimit(double /*rpm*/) {}
    virtual void startRealtime() {}
    virtual bool replayVisible() const { return false; }
    virtual void showDashboard() {}
    virtual void showAbout() {}
    // Windows opened from the menu bar without a modal wait.
    virtual void showPlot() {}
    virtual void showLogReplay() {}
    virtual void showFirmwareUpdate() {}
    // The data log holds the shared data file slot, so a settings file gets the next channel.
    virtual bool dataLogOpen() const { return false; }
};

struct Services {
    platform::MessageBox& messages;
    platform::FileDialog& files;
    platform::SettingsStore& store;  // already bound to the application key AppName
};

class Session {
public:
    // `homeFolder` is where Edition RUK's file dialogs open.
    Session(const tune::EditionInfo& edition, comlink::Engine& engine, platform::SerialPort& port,
            Services services, std::string currentFolder,
            std::string homeFolder = userHomeFolder());

    // The user's home folder ("C:\" on Windows).
    static std::string userHomeFolder();

    void setView(SessionView* view);
    // Keeps every Tune read from or sent to the controller in the tune history `folder`, which
    // the "&Load Settings..." dialog then offers in its side bar. Without it nothing is kept.
    void keepHistoryIn(std::filesystem::path folder, const platform::Clock& clock);

    // Start-up after the window exists: the Edition's Tune, SavedSettings, DefaultDir, the
    // remembered port with its check mark, and OpenPort.
    void start();

    tune::Tune& tune() { return tune_; }
    const tune::Tune& tune() const { return tune_; }
    const tune::EditionInfo& edition() const { return edition_; }
    const std::string& savedSettings() const { return savedSettings_; }
    const std::string& defaultDir() const { return defaultDir_; }
    bool downloadAllowed() const { return downloadAllowed_; }
    // While the firmware window is open its update may use the link at any moment: the
    // exchange and realtime buttons stay off whatever else happens.
    bool realtimeEnabled() const { return realtimeEnabled_ && !firmwareWindowOpen_; }
    bool uploadEnabled() const { return uploadEnabled_ && !firmwareWindowOpen_; }
    bool downloadEnabled() const { return downloadEnabled_ && !firmwareWindowOpen_; }
    int checkedPort() const { return checkedPort_; }
    bool portOpen() const { return port_.isOpen(); }
    bool hasUnsavedChanges() const;

    // Menu and button commands.
    void sendToController();    // cmdDownLoad_Click
    void loadFromController();  // cmdUpload_Click
    void realtime();            // cmdRealtime_Click
    void saveSettings();        // mSaveSettings_Click
    void loadSettings();        // mLoadSettings_Click
    void choosePort(int n);     // mCOM1_Click .. mCOM4_Click
    void openPort(int n);       // OpenPort
    // Form_QueryUnload: true when the window may close.
    bool queryClose();

    // From the link: the upload's 63rd byte arrived.
    void imageReceived(const comlink::RxBuffer& image);
    // From the port: the device went away while open. Reported once; choosing its COM entry
    // again reopens it.
    void portLost();
    // Realtime mode changed the exchange buttons (StartRealtime / StopRealtime).
    void setExchangeEnabled(bool enabled);
    // The firmware update window holds cmdRealtime while it is loaded. Enabled again only with
    // an open port, as OpenPort leaves it.
    void setRealtimeEnabled(bool enabled);
    // The firmware update window was loaded or unloaded.
    void setFirmwareWindowOpen(bool open);

private:
    void enableExchange();
    void allowDownload();
    void showPortNotOpen(const std::string& what);
    int fileChannel() const;
    // Keeps the Tune in the history, then shows the exchange's own message; a history that
    // cannot be written is said once per run, after it.
    void keepThenShow(tune::HistoryKind kind, const std::string& done);

    tune::EditionInfo edition_;
    comlink::Engine& engine_;
    platform::SerialPort& port_;
    Services services_;
    SessionView none_;
    SessionView* view_ = &none_;
    tune::Tune tune_;
    std::string savedSettings_;
    std::string defaultDir_;
    std::string currentFolder_;
    std::string homeFolder_;
    comlink::EngineConstants constants_;
    bool downloadAllowed_ = false;
    bool realtimeEnabled_ = true;
    bool uploadEnabled_ = true;
    bool downloadEnabled_ = false;
    int checkedPort_ = 1;
    bool exchangeLocked_ = false;  // realtime mode holds the upload and send buttons
    bool firmwareWindowOpen_ = false;
    bool portLostReported_ = false;
    bool sending_ = false;  // the port may vanish while a send lets events run
    std::filesystem::path historyFolder_;
    const platform::Clock* historyClock_ = nullptr;
    bool historyFailureShown_ = false;
};

}  // namespace setup

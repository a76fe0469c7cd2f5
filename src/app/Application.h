#pragma once

#include <QObject>
#include <QTimer>
#include <memory>
#include <string>

#include "app/LinkRouter.h"
#include "app/LiveData.h"
#include "comlink/Bootloader.h"
#include "comlink/DataFileSlot.h"
#include "comlink/Engine.h"
#include "dialogs/ui/AboutBox.h"
#include "platform/Clock.h"
#include "platform/Dialogs.h"
#include "platform/SerialPort.h"
#include "platform/SettingsStore.h"
#include "plot/ui/PlotOpener.h"
#include "setup/Session.h"
#include "tune/Edition.h"

namespace comlink {
class NoCommWindow;
class S19Window;
class SerialWindow;
}  // namespace comlink
namespace setup {
class Ignition;
}

namespace app {

// What the program needs from the machine. main() hands in the real ones; tests hand in fakes
// or a real port on the simulator.
struct Platform {
    platform::SerialPort& port;
    platform::SettingsStore& store;  // bound to AppName
    const platform::Clock& clock;
    platform::EventPump& events;
    platform::MessageBox& messages;
    platform::FileDialog& files;
    platform::ColorDialog& colors;
};

// The whole program once the Edition is known: the protocol engine, the Setup session and every
// window, connected to each other. It owns the 100 ms poll timer.
class Application : public QObject {
    Q_OBJECT
public:
    Application(const tune::EditionInfo& edition, Platform platform, std::string currentFolder);
    ~Application() override;

    // The rest of start-up: the Controller link window comes up, the Setup window gets its Tune
    // and opens the remembered port, then shows; the poll timer starts last.
    void start();
    // Unloads the other windows in their fixed order (the link closes the port). Runs once.
    void unload();

    comlink::Engine& engine() { return engine_; }
    setup::Session& session() { return session_; }
    setup::Ignition& ignition() { return *ignition_; }
    dialogs::AboutBox& about() { return about_; }
    comlink::SerialWindow& serialWindow() { return *serial_; }
    comlink::NoCommWindow& noComm() { return *noComm_; }
    LiveData& live() { return *live_; }
    plot::PlotOpener& plot() { return plot_; }
    // The firmware update window while it is loaded, else null.
    comlink::S19Window* firmwareWindow() { return s19_.get(); }

signals:
    // The Setup window closed and everything else is unloaded: the program may end.
    void finished();

private:
    void setupWindowClosed();
    // "&S19": loads the firmware window, which holds the Setup window's exchange and realtime
    // buttons until it closes; a loaded one only comes to the front.
    void showFirmwareUpdate();
    void firmwareWindowClosed();

    platform::SerialPort& port_;
    comlink::Engine engine_;
    // The one slot for the data log, the replayed log and the firmware file.
    comlink::DataFileSlot dataFiles_;
    comlink::Bootloader firmware_;
    setup::Session session_;
    dialogs::AboutBox about_;
    std::unique_ptr<comlink::SerialWindow> serial_;
    std::unique_ptr<comlink::NoCommWindow> noComm_;
    std::unique_ptr<LiveData> live_;
    plot::PlotOpener plot_;
    std::unique_ptr<comlink::S19Window> s19_;
    LinkRouter router_;
    std::unique_ptr<setup::Ignition> ignition_;
    QTimer poll_;
    bool unloaded_ = false;
};

}  // namespace app

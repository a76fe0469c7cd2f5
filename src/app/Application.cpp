#include "app/Application.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QIcon>

#include "comlink/ui/NoCommWindow.h"
#include "comlink/ui/S19Window.h"
#include "comlink/ui/SerialWindow.h"
#include "setup/ui/Ignition.h"

namespace app {

namespace {
constexpr int kPollMilliseconds = 100;

// Every size of the packaged icon, as built in.
QIcon programIcon() {
    QIcon icon;
    for (const QFileInfo& file : QDir(":/icons").entryInfoList(QDir::Files)) {
        icon.addFile(file.filePath());
    }
    return icon;
}
}  // namespace

Application::Application(const tune::EditionInfo& edition, Platform platform,
                         std::string currentFolder)
    : port_(platform.port),
      engine_(platform.port, platform.clock, platform.events),
      firmware_(engine_, dataFiles_,
                [this] { return "COM" + std::to_string(session_.checkedPort()); }),
      session_(edition, engine_, platform.port,
               setup::Services{platform.messages, platform.files, platform.store},
               std::move(currentFolder)),
      about_(edition, engine_),
      serial_(std::make_unique<comlink::SerialWindow>(engine_)),
      noComm_(std::make_unique<comlink::NoCommWindow>(edition.appName)),
      live_(std::make_unique<LiveData>(
          session_, engine_, *serial_, *noComm_, dataFiles_,
          LiveData::Services{platform.store, platform.colors, platform.messages, platform.files,
                             platform.events, platform.clock})),
      plot_(session_.tune(), platform.store, platform.colors),
      router_(*serial_, *noComm_, about_, session_, *live_, plot_, firmware_,
              [this] { showFirmwareUpdate(); }),
      ignition_(std::make_unique<setup::Ignition>(session_, &router_)) {
    engine_.setListener(&router_);
    session_.keepHistoryIn(tune::historyFolder(edition.appName), platform.clock);
    poll_.setInterval(kPollMilliseconds);
    connect(&poll_, &QTimer::timeout, this, [this] { engine_.tick(); });
    // Acknowledging a lost answer also ends a live display that would only wait for more.
    connect(noComm_.get(), &comlink::NoCommWindow::acknowledged, this, [this] {
        if (router_.dashboardVisible())
            router_.unloadDashboard();
    });
    // The Setup window's close handler has asked about unsaved changes; once it lets the window
    // go, every other window goes with it. Queued, so the close event finishes first.
    connect(ignition_.get(), &setup::Ignition::closing, this, &Application::setupWindowClosed,
            Qt::QueuedConnection);
}

Application::~Application() {
    unload();
}

void Application::start() {
    QApplication::setWindowIcon(programIcon());
    serial_->show();
    session_.start();
    ignition_->show();
    poll_.start();
}

void Application::unload() {
    if (unloaded_)
        return;
    unloaded_ = true;
    poll_.stop();
    engine_.setListener(nullptr);
    ignition_->setOtherWindows(nullptr);
    // Fixed order: the plot and the log replay window; then the Dashboard and the display
    // settings, the link window and its port, the firmware update, NoComm and About.
    plot_.unload();
    live_->unload();
    serial_.reset();
    if (port_.isOpen())
        port_.close();
    s19_.reset();
    noComm_.reset();
    about_.unload();
}

void Application::showFirmwareUpdate() {
    if (!s19_) {
        s19_ = std::make_unique<comlink::S19Window>(firmware_, session_.edition().edition);
        // Queued: the window is unloaded once its close event is over.
        connect(s19_.get(), &comlink::S19Window::closed, this, &Application::firmwareWindowClosed,
                Qt::QueuedConnection);
        session_.setFirmwareWindowOpen(true);
    }
    s19_->show();
    s19_->raise();
    s19_->activateWindow();
}

void Application::firmwareWindowClosed() {
    // Ending realtime mode (StopRealtime) gives back cmdUpload and cmdDownLoad and closes a
    // firmware file left open; cmdRealtime was held by this window alone.
    if (unloaded_)
        return;
    s19_.reset();
    session_.setFirmwareWindowOpen(false);
    live_->mode().StopRealtime();
    session_.setRealtimeEnabled(true);
}

void Application::setupWindowClosed() {
    if (unloaded_)
        return;
    unload();
    emit finished();
}

}  // namespace app

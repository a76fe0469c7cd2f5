#include "app/LiveData.h"

#include "comlink/ui/NoCommWindow.h"
#include "comlink/ui/SerialWindow.h"
#include "dash/ui/Config.h"
#include "dash/ui/File.h"
#include "dash/ui/Realtime.h"

namespace app {

LiveData::LiveData(setup::Session& session, comlink::Engine& engine, comlink::SerialWindow& serial,
                   comlink::NoCommWindow& noComm, comlink::DataFileSlot& dataFile,
                   Services services)
    : session_(session),
      engine_(engine),
      serial_(serial),
      noComm_(noComm),
      dataFile_(dataFile),
      services_(services),
      mode_(engine, dataFile_, *this) {
    // The update writes to the Dashboard's labels, which loads it (hidden) when it is not.
    realtime_.setRawView([this](const comlink::RxBuffer& block) {
        serial_.showBlock(block);
        dashboard();
    });
}

LiveData::~LiveData() {
    unload();
}

dash::Realtime& LiveData::dashboard() {
    if (dashboard_ != nullptr) {
        return *dashboard_;
    }
    const tune::EditionInfo& edition = session_.edition();
    if (config_ == nullptr) {
        config_ =
            std::make_unique<dash::Config>(edition, services_.store, services_.colors, realtime_);
    }
    dashboard_ = std::make_unique<dash::Realtime>(
        edition,
        dash::DashboardLinks{services_.store, *config_, dataFile_,
                             [this] { return session_.tune().check1 != 0; },
                             [this] { return engine_.replayActive(); }, session_.defaultDir(),
                             services_.clock, [this] { return engine_.firmwareUpdateRunning(); }});
    realtime_.setDisplay(dashboard_.get());
    connect(dashboard_.get(), &dash::Realtime::closeRequested, this,
            [this] { mode_.StopRealtime(); });
    connect(dashboard_.get(), &dash::Realtime::logFailed, this, [this](const QString& message) {
        services_.messages.show(message.toLocal8Bit().toStdString(), session_.edition().appName,
                                platform::MessageBox::Icon::Critical);
    });
    return *dashboard_;
}

bool LiveData::dashboardVisible() const {
    return dashboard_ != nullptr && dashboard_->isVisible();
}

void LiveData::unloadDashboard() {
    if (dashboard_ == nullptr) {
        return;
    }
    mode_.StopRealtime();
    realtime_.setDisplay(nullptr);
    dashboard_.reset();
}

dash::File& LiveData::replay() {
    if (replay_ == nullptr) {
        replay_ = std::make_unique<dash::File>(
            dash::ReplayServices{dataFile_, services_.files, services_.messages,
                                 session_.defaultDir(), session_.edition().appName,
                                 [this] { return engine_.firmwareUpdateRunning(); }},
            dash::ReplayLinks{engine_, realtime_,
                              [this]() -> dash::Realtime& { return dashboard(); },
                              services_.events});
    }
    return *replay_;
}

bool LiveData::replayVisible() const {
    return replay_ != nullptr && replay_->isVisible();
}

void LiveData::showLogReplay() {
    dash::File& window = replay();
    window.setWindowState(window.windowState() & ~Qt::WindowMinimized);
    window.show();
    window.raise();
    window.activateWindow();
}

void LiveData::unload() {
    replay_.reset();
    unloadDashboard();
    config_.reset();
}

void LiveData::setSetupExchangeEnabled(bool enabled) {
    session_.setExchangeEnabled(enabled);
}

void LiveData::setLinkCommandsEnabled(bool enabled) {
    serial_.setCommandsEnabled(enabled);
}

void LiveData::showDashboard() {
    dash::Realtime& window = dashboard();
    window.show();
    window.raise();
    window.activateWindow();
}

void LiveData::hideDashboard() {
    if (dashboard_ != nullptr) {
        dashboard_->hide();
        dashboard_->setLogButtonOff();
    }
}

void LiveData::hideNoResponse() {
    noComm_.hide();
}

}  // namespace app

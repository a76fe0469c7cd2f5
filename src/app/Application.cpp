#include "app/Application.h"

#include <QEvent>

#include "dialogs/ui/About.h"
#include "link/ui/NoCommWindow.h"
#include "link/ui/SerialWindow.h"
#include "setup/ui/Ignition.h"

namespace app {

namespace {
constexpr int kPollMilliseconds = 100;
}

Application::Application(const tune::EditionInfo& edition, Platform platform,
                         std::string currentFolder)
    : port_(platform.port),
      engine_(platform.port, platform.clock, platform.events),
      session_(edition, engine_, platform.port,
               setup::Services{platform.messages, platform.files, platform.store},
               std::move(currentFolder)),
      about_(std::make_unique<dialogs::About>(edition, engine_)),
      serial_(std::make_unique<link::SerialWindow>(engine_)),
      noComm_(std::make_unique<link::NoCommWindow>(edition.appName)),
      router_(*serial_, *noComm_, *about_, session_),
      ignition_(std::make_unique<setup::Ignition>(session_, &router_)) {
    engine_.setListener(&router_);
    poll_.setInterval(kPollMilliseconds);
    connect(&poll_, &QTimer::timeout, this, [this] { engine_.tick(); });
    ignition_->installEventFilter(this);
}

Application::~Application() {
    unload();
}

void Application::start() {
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
    // Fixed order: the plot, log replay, Dashboard and display settings windows would go first;
    // then the link window and its port, the firmware update, NoComm and About.
    serial_.reset();
    if (port_.isOpen())
        port_.close();
    noComm_.reset();
    about_.reset();
}

bool Application::eventFilter(QObject* watched, QEvent* event) {
    // Whether the Setup window really closes is decided by its own close handler (the unsaved
    // changes question), which runs after this filter; look again once it is done.
    if (watched == ignition_.get() && event->type() == QEvent::Close) {
        QMetaObject::invokeMethod(this, &Application::closeIfSetupWindowGone, Qt::QueuedConnection);
    }
    return QObject::eventFilter(watched, event);
}

void Application::closeIfSetupWindowGone() {
    if (unloaded_ || ignition_->isVisible())
        return;
    unload();
    emit finished();
}

}  // namespace app

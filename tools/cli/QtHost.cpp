#include "cli/QtHost.h"

#include <QTimer>
#include <csignal>
#include <utility>

#include "tune/Edition.h"

namespace cli {

namespace {

volatile std::sig_atomic_t interrupted = 0;

void noteInterrupt(int) {
    interrupted = 1;
}

}  // namespace

QtHost::QtHost(const Arguments& arguments)
    : settings_(std::make_unique<platform::QtSettingsStore>(
          tune::editionInfo(arguments.edition).appName)) {
    if (arguments.device.empty()) {
        port_ = std::make_unique<platform::QtSerialPort>(*settings_);
    } else {
        port_ = std::make_unique<platform::QtSerialPort>(arguments.device);
    }
    system_ = std::make_unique<PosixSystem>(settings_.get(), settings_->fileName());
}

int QtHost::runTicks(const std::function<void()>& tick) {
    QTimer timer;
    timer.setInterval(100);
    QObject::connect(&timer, &QTimer::timeout, [this, &tick] {
        // The handler only notes the signal; what it means is decided here, between two ticks.
        if (interrupted != 0 && onInterrupt_) {
            interrupted = 0;
            onInterrupt_();
            return;
        }
        tick();
    });
    timer.start();
    return loop_.exec();
}

void QtHost::stop(int code) {
    loop_.exit(code);
}

void QtHost::setOnPortVanished(std::function<void()> callback) {
    port_->setOnVanished(std::move(callback));
}

void QtHost::setOnInterrupt(std::function<void()> callback) {
    onInterrupt_ = std::move(callback);
    std::signal(SIGINT, noteInterrupt);
    std::signal(SIGTERM, noteInterrupt);
}

}  // namespace cli

#pragma once

#include <QEventLoop>
#include <memory>

#include "cli/Arguments.h"
#include "cli/Host.h"
#include "cli/PosixSystem.h"
#include "platform/QtSerialPort.h"
#include "platform/QtSettingsStore.h"
#include "platform/SystemClock.h"

namespace cli {

// The tool's Host: QSerialPort on the device or COM number of the command line (COMn mapped
// as the program maps it), the system clock and the Qt event loop. Needs a QCoreApplication.
class QtHost final : public Host {
public:
    explicit QtHost(const Arguments& arguments);

    platform::SerialPort& port() override { return *port_; }
    std::string portDevice(int number) const override { return port_->deviceFor(number); }
    std::string portError() const override { return port_->errorText(); }
    const platform::Clock& clock() override { return clock_; }
    platform::EventPump& pump() override { return pump_; }
    const platform::SettingsStore& settings() override { return *settings_; }
    const SystemView& system() override { return *system_; }

    int runTicks(const std::function<void()>& tick) override;
    void stop(int code) override;
    void setOnPortVanished(std::function<void()> callback) override;
    void setOnInterrupt(std::function<void()> callback) override;

private:
    std::unique_ptr<platform::QtSettingsStore> settings_;
    std::unique_ptr<platform::QtSerialPort> port_;
    std::unique_ptr<PosixSystem> system_;
    platform::SystemClock clock_;
    platform::QtEventPump pump_;
    QEventLoop loop_;
    std::function<void()> onInterrupt_;
};

}  // namespace cli

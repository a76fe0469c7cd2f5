#pragma once

#include <functional>
#include <string>

#include "cli/SystemView.h"
#include "platform/Clock.h"
#include "platform/SerialPort.h"
#include "platform/SettingsStore.h"

namespace cli {

// What a command needs from its surroundings: the port, the clock, an event pump and a poll
// that calls the link's tick. The tool runs on Qt; tests drive the same commands with fakes.
class Host {
public:
    virtual ~Host() = default;

    virtual platform::SerialPort& port() = 0;
    // The device that port().open(number) opens, and the system's reason why the last open
    // failed ("Permission denied").
    virtual std::string portDevice(int number) const = 0;
    virtual std::string portError() const = 0;
    virtual const platform::Clock& clock() = 0;
    virtual platform::EventPump& pump() = 0;
    // The per-user settings under the Edition's AppName (the Dashboard's display options).
    virtual const platform::SettingsStore& settings() = 0;
    // The device files, users and processes that the doctor looks at.
    virtual const SystemView& system() = 0;

    // Calls `tick` every 100 ms until stop(); returns the code given to stop().
    virtual int runTicks(const std::function<void()>& tick) = 0;
    virtual void stop(int code) = 0;

    // Runs once when the port's device disappears while it is open.
    virtual void setOnPortVanished(std::function<void()> callback) = 0;
    // Runs from the next tick after Ctrl-C or SIGTERM, in place of ending the process; without
    // it those signals end the process at once.
    virtual void setOnInterrupt(std::function<void()> /*callback*/) {}
};

}  // namespace cli

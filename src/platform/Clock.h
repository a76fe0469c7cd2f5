#pragma once

#include <cstdint>

namespace platform {

// Wall clock with one-second resolution (the bootloader's time-outs compare whole seconds).
class Clock {
public:
    virtual ~Clock() = default;
    virtual std::int64_t nowSeconds() const = 0;
};

// Lets pending window and timer events run; used while waiting for the serial output to drain.
class EventPump {
public:
    virtual ~EventPump() = default;
    virtual void processEvents() = 0;
    // Runs only what is already waiting, without waiting for more (a replay step paints its
    // windows after every record and must not idle between them).
    virtual void processPendingEvents() { processEvents(); }
};

}  // namespace platform

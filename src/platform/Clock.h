#pragma once

#include <cstdint>
#include <ctime>

namespace platform {

// A moment as the calendar and the wall clock show it.
struct LocalTime {
    int year;
    int month;  // 1 to 12
    int day;
    int hour;  // 0 to 23
    int minute;
    int second;
};

// Wall clock with one-second resolution (the bootloader's time-outs compare whole seconds).
class Clock {
public:
    virtual ~Clock() = default;
    virtual std::int64_t nowSeconds() const = 0;
    // nowSeconds() in the user's time zone; data logs are named by it.
    virtual LocalTime localTime() const {
        const auto now = static_cast<std::time_t>(nowSeconds());
        std::tm local{};
        localtime_r(&now, &local);
        return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday,
                local.tm_hour,        local.tm_min,     local.tm_sec};
    }
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

#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <utility>

#include "platform/Clock.h"
#include "platform/SettingsStore.h"
#include "support/FakeSerialPort.h"

namespace support {

// A clock the test sets by hand.
class FakeClock : public platform::Clock {
public:
    std::int64_t seconds = 1000;

    std::int64_t nowSeconds() const override { return seconds; }
    void advance(std::int64_t by) { seconds += by; }
};

// Counts how often the program let events run. Each call drains the given port's output queue,
// as the real event loop would, then runs `onProcess` (to act from inside a wait).
class FakeEventPump : public platform::EventPump {
public:
    explicit FakeEventPump(FakeSerialPort* port = nullptr) : port_(port) {}

    int calls = 0;
    std::function<void()> onProcess;

    void processEvents() override {
        ++calls;
        if (port_ != nullptr)
            port_->drainOutput();
        if (onProcess)
            onProcess();
    }

private:
    FakeSerialPort* port_;
};

// The per-user settings as a map from (section, key) to text.
class FakeSettingsStore : public platform::SettingsStore {
public:
    std::map<std::pair<std::string, std::string>, std::string> values;

    std::string read(const std::string& section, const std::string& key,
                     const std::string& fallback) const override {
        auto it = values.find({section, key});
        return it == values.end() ? fallback : it->second;
    }
    void write(const std::string& section, const std::string& key,
               const std::string& value) override {
        values[{section, key}] = value;
    }
};

}  // namespace support

#pragma once

#include <cstdint>
#include <ctime>
#include <deque>
#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "platform/Clock.h"
#include "platform/Dialogs.h"
#include "platform/SerialPort.h"
#include "platform/SettingsStore.h"

// Test doubles of the platform interfaces, shared by the tests, the fuzz targets and the
// benchmarks: each records what it was asked and answers from a script the caller sets.
namespace platform {

// `written` keeps every byte handed to write(), even while closed. With `holdOutput`, written
// bytes wait in bytesToWrite() until drainOutput(), to show Burn waiting; with `lineStalled`
// too, they never leave.
class FakeSerialPort : public platform::SerialPort {
public:
    bool openSucceeds = true;
    bool holdOutput = false;
    bool lineStalled = false;
    std::vector<std::uint8_t> written;
    std::vector<int> openedNumbers;  // every number open() was asked for, in order

    bool open(int number) override {
        openedNumbers.push_back(number);
        open_ = open_ || openSucceeds;
        return openSucceeds;
    }
    void close() override {
        open_ = false;
        queued_ = 0;
    }
    bool isOpen() const override { return open_; }
    void write(const std::vector<std::uint8_t>& bytes) override {
        written.insert(written.end(), bytes.begin(), bytes.end());
        queued_ += open_ && holdOutput ? static_cast<int>(bytes.size()) : 0;
    }
    int bytesAvailable() override { return open_ ? static_cast<int>(incoming_.size()) : 0; }
    std::vector<std::uint8_t> readAll() override {
        return open_ ? std::exchange(incoming_, {}) : std::vector<std::uint8_t>{};
    }
    int bytesToWrite() override { return queued_; }

    // Bytes from the controller, waiting to be read.
    void push(const std::vector<std::uint8_t>& bytes) {
        incoming_.insert(incoming_.end(), bytes.begin(), bytes.end());
    }
    void pushText(const std::string& text) { push({text.begin(), text.end()}); }
    void push(std::uint8_t byte, int count) { incoming_.insert(incoming_.end(), count, byte); }
    int waiting() const { return static_cast<int>(incoming_.size()); }

    // The first `count` bytes of the output queue leave the port.
    void drainOutput(int count = INT32_MAX) {
        if (!lineStalled)
            queued_ = count >= queued_ ? 0 : queued_ - count;
    }
    // The adapter is unplugged: the port is closed and whatever was waiting is lost.
    void vanish() {
        open_ = false;
        queued_ = 0;
        incoming_.clear();
    }

    std::string writtenText() const { return std::string(written.begin(), written.end()); }
    void clearWritten() { written.clear(); }

private:
    bool open_ = false;
    int queued_ = 0;
    std::vector<std::uint8_t> incoming_;
};

class FakeClock : public platform::Clock {
public:
    std::int64_t seconds = 1000;

    std::int64_t nowSeconds() const override { return seconds; }
    // The fake's time zone is UTC, so a test can fix the moment a log is named after.
    platform::LocalTime localTime() const override {
        const auto now = static_cast<std::time_t>(seconds);
        std::tm utc{};
        gmtime_r(&now, &utc);
        return {utc.tm_year + 1900, utc.tm_mon + 1, utc.tm_mday,
                utc.tm_hour,        utc.tm_min,     utc.tm_sec};
    }
    void advance(std::int64_t by) { seconds += by; }
};

// Counts how often the program let events run. Each call drains the given port's output queue,
// as the real event loop would, then runs `onProcess` (to act from inside a wait).
class FakeEventPump : public platform::EventPump {
public:
    explicit FakeEventPump(FakeSerialPort* port = nullptr) : port_(port) {}

    int calls = 0;
    std::function<void()> onProcess = [] {};

    void processEvents() override {
        ++calls;
        if (port_ != nullptr)
            port_->drainOutput();
        onProcess();
    }

private:
    FakeSerialPort* port_;
};

class FakeSettingsStore : public platform::SettingsStore {
public:
    std::map<std::pair<std::string, std::string>, std::string> values;  // by (section, key)

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

template <typename T>
T nextOf(std::deque<T>& script, T fallback) {
    T next = script.empty() ? fallback : script.front();
    if (!script.empty())
        script.pop_front();
    return next;
}

// Records every message box and answers from a script; an empty script answers Ok.
class FakeMessageBox : public platform::MessageBox {
public:
    struct Shown {
        std::string text;
        std::string title;
        Icon icon;
        Buttons buttons;
    };
    std::vector<Shown> shown;
    std::deque<Answer> answers;

    Answer show(const std::string& text, const std::string& title, Icon icon,
                Buttons buttons = Buttons::Ok) override {
        shown.push_back({text, title, icon, buttons});
        return nextOf(answers, Answer::Ok);
    }
    const Shown& last() const { return shown.back(); }
};

// Returns scripted paths in order (empty = the user cancelled) and records each request.
class FakeFileDialog : public platform::FileDialog {
public:
    struct Request {
        bool save;
        std::string filter;
        std::string folder;
    };
    std::deque<std::string> paths;
    std::vector<Request> requests;

    std::string openFile(const std::string& filter, const std::string& folder) override {
        requests.push_back({false, filter, folder});
        return nextOf(paths, std::string());
    }
    std::string saveFile(const std::string& filter, const std::string& folder) override {
        requests.push_back({true, filter, folder});
        return nextOf(paths, std::string());
    }
};

// Answers colour choices from a script (nothing = the user cancelled) and records where each
// chooser started.
class FakeColorDialog : public platform::ColorDialog {
public:
    std::deque<std::optional<std::uint32_t>> answers;
    std::vector<std::uint32_t> initials;

    std::optional<std::uint32_t> chooseColor(std::uint32_t initial) override {
        initials.push_back(initial);
        return nextOf(answers, std::optional<std::uint32_t>());
    }
};

}  // namespace platform

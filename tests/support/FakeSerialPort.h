#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "platform/SerialPort.h"

namespace support {

// An in-memory serial port; `written` keeps every byte handed to write(), even while closed. With
// `holdOutput`, written bytes wait in bytesToWrite() until drainOutput(), to show Burn waiting.
class FakeSerialPort : public platform::SerialPort {
public:
    bool openSucceeds = true;
    bool holdOutput = false;
    // Called after every write with the bytes just written (a scripted controller can answer).
    std::function<void(const std::vector<std::uint8_t>&)> onWrite;

    std::vector<std::uint8_t> written;
    std::vector<int> openedNumbers;  // every number open() was asked for, in order
    int closeCalls = 0;

    bool open(int number) override {
        openedNumbers.push_back(number);
        open_ = open_ || openSucceeds;
        return openSucceeds;
    }
    void close() override {
        ++closeCalls;
        open_ = false;
        queued_ = 0;
    }
    bool isOpen() const override { return open_; }
    void write(const std::vector<std::uint8_t>& bytes) override {
        written.insert(written.end(), bytes.begin(), bytes.end());
        queued_ += open_ && holdOutput ? static_cast<int>(bytes.size()) : 0;
        if (onWrite)
            onWrite(bytes);
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

    // The output queue leaves the port (all of it, or the first `count` bytes).
    void drainOutput() { queued_ = 0; }
    void drainOutput(int count) { queued_ = count >= queued_ ? 0 : queued_ - count; }
    // The adapter is unplugged: the port is closed and whatever was waiting is lost.
    void vanish() {
        open_ = false;
        incoming_.clear();
        queued_ = 0;
    }

    std::string writtenText() const { return std::string(written.begin(), written.end()); }
    void clearWritten() { written.clear(); }

private:
    bool open_ = false;
    int queued_ = 0;
    std::vector<std::uint8_t> incoming_;
};

}  // namespace support

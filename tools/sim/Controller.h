#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "Image.h"

// The ignition controller as the host sees it through the serial line: bytes in, bytes out.
// Time is handed in by the caller (milliseconds on any steady scale), so tests step it freely.
namespace sim {

// Misbehaviour on request, for testing how the host copes.
struct Faults {
    bool silent = false;        // answer nothing at all
    bool shortReplies = false;  // every reply loses its last byte
    int outOfStepEvery = 0;     // every Nth monitor frame jumps secl by 5; 0 = never
};

struct ControllerSetup {
    Image firstImage{};     // the image when the store holds none
    std::string storePath;  // permanent memory; empty = 'B' keeps nothing
    int revision = 10;      // answer to 'Q'
    Faults faults;
    std::int64_t powerUpMs = 0;
};

class Controller {
public:
    static constexpr std::int64_t kFrameIntervalMs = 100;
    // Silence after the last firmware byte that ends a firmware upload.
    static constexpr std::int64_t kUploadPauseMs = 500;

    explicit Controller(ControllerSetup setup);

    // Bytes from the host; returns what the controller answers at once.
    Bytes receive(std::span<const std::uint8_t> bytes, std::int64_t nowMs);
    // What falls due with time alone: monitor frames, the end of a firmware upload.
    Bytes advance(std::int64_t nowMs);
    // When advance() next has something to send; nothing while no timer runs.
    std::optional<std::int64_t> nextDueMs() const;

    const Image& workingImage() const { return image_; }
    bool streaming() const { return streaming_; }
    bool inBootloader() const { return state_ != State::Commands; }
    // Nothing under way: no stream, no half-received command, not in the bootloader.
    bool idle() const;
    // The S19 lines received by the bootloader, without their carriage returns.
    const std::vector<std::string>& firmwareLines() const { return firmwareLines_; }

private:
    enum class State { Commands, BootEntered, BootPrompt, BootReceiving };

    void command(std::uint8_t byte, std::int64_t nowMs, Bytes& out);
    void bootloader(std::uint8_t byte, std::int64_t nowMs, Bytes& out);
    void reply(Bytes bytes, Bytes& out) const;
    Frame nextFrame(std::int64_t nowMs);
    void store();

    ControllerSetup setup_;
    Image image_;
    State state_ = State::Commands;
    std::vector<std::uint8_t> pendingWrite_;
    bool writeStarted_ = false;
    bool streaming_ = false;
    std::int64_t nextFrameMs_ = 0;
    int streamFrames_ = 0;
    std::uint8_t secl_ = 0;
    std::int64_t lastBootByteMs_ = 0;
    std::string bootLine_;
    std::vector<std::string> firmwareLines_;
};

}  // namespace sim

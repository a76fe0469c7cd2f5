#pragma once

#include <cstdint>
#include <deque>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "Image.h"

// The ignition controller as the host sees it through the serial line: bytes in, bytes out.
// Time is handed in by the caller (milliseconds on any steady scale), so tests step it freely.
namespace sim {

// How the bootloader spoils one of its answers.
enum class BootFault {
    None,
    Wrong,   // its first byte is missing
    Late,    // it comes Controller::kLateAnswerMs after the host's byte
    Blank,   // a blank follows it
    Split,   // its second half comes Controller::kSplitPauseMs after the first
    Silent,  // it never comes
};

struct BootFaults {
    BootFault prompt = BootFault::None;       // CR LF "Boot>" after a carriage return
    BootFault acknowledge = BootFault::None;  // "u - waiting ..." after "u"
    BootFault complete = BootFault::None;     // "  Complete" ... after the end record
};

// Misbehaviour on request, for testing how the host copes.
struct Faults {
    bool silent = false;          // answer nothing at all
    bool shortReplies = false;    // every reply loses its last byte
    bool garbageReplies = false;  // every reply comes as as many meaningless bytes
    int outOfStepEvery = 0;       // every Nth monitor frame jumps secl by 5; 0 = never
    BootFaults boot{};
};

struct ControllerSetup {
    Image firstImage{};     // the image when the store holds none
    std::string storePath;  // permanent memory; empty = 'B' keeps nothing
    int revision = 10;      // answer to 'Q'
    Faults faults;
    std::int64_t powerUpMs = 0;
    bool inBootloader = false;  // waiting at its prompt, as an interrupted update leaves it
    // Monitor frames a second, every shown value moving in each frame (a load test at the line's
    // limit of 32); 0 keeps the controller's own frame every kFrameIntervalMs.
    int framesPerSecond = 0;
};

class Controller {
public:
    static constexpr std::int64_t kFrameIntervalMs = 100;
    // Later than any host waits for a bootloader answer (two whole seconds at most).
    static constexpr std::int64_t kLateAnswerMs = 2500;
    // Longer than the host's 100 ms poll, so the halves of a split answer land in two ticks.
    static constexpr std::int64_t kSplitPauseMs = 250;

    explicit Controller(ControllerSetup setup);

    // Bytes from the host; returns what the controller answers at once.
    Bytes receive(std::span<const std::uint8_t> bytes, std::int64_t nowMs);
    // What falls due with time alone: monitor frames, late bootloader answers.
    Bytes advance(std::int64_t nowMs);
    // When advance() next has something to send; nothing while no timer runs.
    std::optional<std::int64_t> nextDueMs() const;

    const Image& workingImage() const { return image_; }
    bool streaming() const { return streaming_; }
    // Nothing under way: no stream, no half-received command, not in the bootloader.
    bool idle() const;
    // The S19 lines of the bootloader's last upload, without their carriage returns.
    const std::vector<std::string>& firmwareLines() const { return firmwareLines_; }

private:
    enum class State { Commands, BootEntered, BootPrompt, BootReceiving };

    void command(std::uint8_t byte, std::int64_t nowMs, Bytes& out);
    void bootloader(std::uint8_t byte, std::int64_t nowMs, Bytes& out);
    void firmwareLineEnded(std::int64_t nowMs, Bytes& out);
    void reply(Bytes bytes, Bytes& out);
    void answer(BootFault fault, std::string_view text, std::int64_t nowMs, Bytes& out);
    Frame nextFrame(std::int64_t nowMs);
    std::int64_t frameIntervalMs() const;
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
    Frame lastFrame_{};        // with framesPerSecond, the frame before the next
    std::uint32_t noise_ = 1;  // the state of the garbage replies' pseudo-random bytes
    std::string bootLine_;
    std::vector<std::string> firmwareLines_;
    struct Scheduled {
        std::int64_t atMs;
        Bytes bytes;
    };
    std::deque<Scheduled> scheduled_;  // bootloader answers still to come, in order
};

}  // namespace sim

#include "Controller.h"

#include <algorithm>
#include <iostream>
#include <string_view>
#include <utility>

#include "EngineModel.h"
#include "ImageStore.h"

namespace sim {

namespace {

constexpr std::uint8_t kCarriageReturn = 13;
constexpr std::uint8_t kLineFeed = 10;

Bytes textBytes(std::string_view text) {
    return Bytes(text.begin(), text.end());
}

}  // namespace

Controller::Controller(ControllerSetup setup)
    : setup_(std::move(setup)),
      image_(setup_.firstImage),
      state_(setup_.inBootloader ? State::BootPrompt : State::Commands) {
    if (!setup_.storePath.empty()) {
        if (const auto stored = loadImage(setup_.storePath)) {
            image_ = *stored;
        }
    }
}

bool Controller::idle() const {
    return state_ == State::Commands && !streaming_ && !writeStarted_ && scheduled_.empty();
}

Bytes Controller::receive(std::span<const std::uint8_t> bytes, std::int64_t nowMs) {
    Bytes out;
    for (const std::uint8_t byte : bytes) {
        if (state_ == State::Commands) {
            command(byte, nowMs, out);
        } else {
            bootloader(byte, nowMs, out);
        }
    }
    return out;
}

void Controller::command(std::uint8_t byte, std::int64_t nowMs, Bytes& out) {
    if (writeStarted_) {
        pendingWrite_.push_back(byte);
        if (pendingWrite_.size() == 2) {
            if (pendingWrite_[0] < kImageSize) {
                image_[pendingWrite_[0]] = pendingWrite_[1];
            }
            pendingWrite_.clear();
            writeStarted_ = false;
        }
        return;
    }
    switch (byte) {
        case 'U':
            reply(Bytes(image_.begin(), image_.end()), out);
            break;
        case 'W':
            writeStarted_ = true;
            break;
        case 'B':
            store();
            break;
        case 'Q':
            reply({static_cast<std::uint8_t>(setup_.revision)}, out);
            break;
        case 'C':
            reply({secl_}, out);
            break;
        case '@': {
            const Frame frame = nextFrame(nowMs);
            reply(Bytes(frame.begin(), frame.end()), out);
            break;
        }
        case 'M':
            if (!streaming_) {
                streaming_ = true;
                nextFrameMs_ = nowMs;  // the first frame goes out at once
            }
            break;
        case 'N':
            streaming_ = false;
            break;
        case '!':
            streaming_ = false;
            state_ = State::BootEntered;
            break;
        default:
            break;  // unknown letters are ignored, as the firmware does
    }
}

void Controller::bootloader(std::uint8_t byte, std::int64_t nowMs, Bytes& out) {
    if (state_ == State::BootReceiving) {
        if (byte == kCarriageReturn) {
            firmwareLineEnded(nowMs, out);
        } else if (byte != kLineFeed) {
            bootLine_.push_back(static_cast<char>(byte));
        }
        return;
    }
    if (byte == kCarriageReturn) {
        answer(setup_.faults.boot.prompt, "\r\nBoot>", nowMs, out);
        state_ = State::BootPrompt;
    } else if (byte == 'u' && state_ == State::BootPrompt) {
        answer(setup_.faults.boot.acknowledge, "u - waiting ...", nowMs, out);
        state_ = State::BootReceiving;
        bootLine_.clear();
        firmwareLines_.clear();
    } else if (byte == 'x') {
        state_ = State::Commands;
    }
}

void Controller::firmwareLineEnded(std::int64_t nowMs, Bytes& out) {
    firmwareLines_.push_back(std::exchange(bootLine_, {}));
    // An S7, S8 or S9 record ends the program: the upload is complete.
    const std::string& line = firmwareLines_.back();
    if (line.size() >= 2 && line[0] == 'S' && line[1] >= '7' && line[1] <= '9') {
        answer(setup_.faults.boot.complete, "  Complete\r\nBoot>\r\nBoot>", nowMs, out);
        state_ = State::BootPrompt;
    }
}

void Controller::answer(BootFault fault, std::string_view text, std::int64_t nowMs, Bytes& out) {
    Bytes bytes;
    reply(textBytes(text), bytes);
    if (bytes.empty()) {
        return;
    }
    switch (fault) {
        case BootFault::None:
            break;
        case BootFault::Wrong:
            bytes.erase(bytes.begin());
            break;
        case BootFault::Blank:
            bytes.push_back(' ');
            break;
        case BootFault::Late:
            scheduled_.push_back({nowMs + kLateAnswerMs, std::move(bytes)});
            return;
        case BootFault::Split: {
            const auto half = bytes.begin() + static_cast<std::ptrdiff_t>(bytes.size() / 2);
            scheduled_.push_back({nowMs + kSplitPauseMs, Bytes(half, bytes.end())});
            bytes.erase(half, bytes.end());
            break;
        }
        case BootFault::Silent:
            return;
    }
    out.insert(out.end(), bytes.begin(), bytes.end());
}

Bytes Controller::advance(std::int64_t nowMs) {
    Bytes out;
    if (streaming_ && nowMs >= nextFrameMs_) {
        if (setup_.faults.outOfStepEvery > 0 &&
            ++streamFrames_ % setup_.faults.outOfStepEvery == 0) {
            secl_ = static_cast<std::uint8_t>(secl_ + 5);
        }
        const Frame frame = nextFrame(nowMs);
        reply(Bytes(frame.begin(), frame.end()), out);
        // Keep the rhythm, but never catch up with a burst after a late call.
        nextFrameMs_ += frameIntervalMs();
        if (nextFrameMs_ <= nowMs) {
            nextFrameMs_ = nowMs + frameIntervalMs();
        }
    }
    while (!scheduled_.empty() && scheduled_.front().atMs <= nowMs) {
        out.insert(out.end(), scheduled_.front().bytes.begin(), scheduled_.front().bytes.end());
        scheduled_.pop_front();
    }
    return out;
}

std::optional<std::int64_t> Controller::nextDueMs() const {
    std::optional<std::int64_t> due;
    if (streaming_) {
        due = nextFrameMs_;
    }
    if (!scheduled_.empty()) {
        due = due ? std::min(*due, scheduled_.front().atMs) : scheduled_.front().atMs;
    }
    return due;
}

std::int64_t Controller::frameIntervalMs() const {
    return setup_.framesPerSecond > 0 ? 1000 / setup_.framesPerSecond : kFrameIntervalMs;
}

Frame Controller::nextFrame(std::int64_t nowMs) {
    Frame frame = realtimeFrame(nowMs - setup_.powerUpMs, secl_, image_);
    if (setup_.framesPerSecond > 0) {
        keepMoving(frame, lastFrame_);
        lastFrame_ = frame;
    }
    secl_ = static_cast<std::uint8_t>(secl_ + 1);
    return frame;
}

void Controller::reply(Bytes bytes, Bytes& out) {
    if (setup_.faults.silent) {
        return;
    }
    if (setup_.faults.shortReplies && !bytes.empty()) {
        bytes.pop_back();
    }
    if (setup_.faults.garbageReplies) {
        // A fixed sequence, so a failing run can be repeated byte for byte.
        for (std::uint8_t& byte : bytes) {
            noise_ = noise_ * 1103515245u + 12345u;
            byte = static_cast<std::uint8_t>(noise_ >> 16);
        }
    }
    out.insert(out.end(), bytes.begin(), bytes.end());
}

void Controller::store() {
    if (setup_.storePath.empty()) {
        return;
    }
    if (!saveImage(setup_.storePath, image_)) {
        std::cerr << "volcrestone-sim: could not store the image in " << setup_.storePath << '\n';
    }
}

}  // namespace sim

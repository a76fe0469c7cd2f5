#include "Controller.h"

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
    : setup_(std::move(setup)), image_(setup_.firstImage) {
    if (!setup_.storePath.empty()) {
        if (const auto stored = loadImage(setup_.storePath)) {
            image_ = *stored;
        }
    }
}

bool Controller::idle() const {
    return state_ == State::Commands && !streaming_ && !writeStarted_;
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
        lastBootByteMs_ = nowMs;
        if (byte == kCarriageReturn) {
            firmwareLines_.push_back(bootLine_);
            bootLine_.clear();
        } else if (byte != kLineFeed) {
            bootLine_.push_back(static_cast<char>(byte));
        }
        return;
    }
    if (byte == kCarriageReturn) {
        reply(textBytes("\r\nBoot>"), out);
        state_ = State::BootPrompt;
    } else if (byte == 'u' && state_ == State::BootPrompt) {
        reply(textBytes("u - waiting ..."), out);
        state_ = State::BootReceiving;
        lastBootByteMs_ = nowMs;
        bootLine_.clear();
    } else if (byte == 'x') {
        state_ = State::Commands;
    }
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
        // Keep the 100 ms rhythm, but never catch up with a burst after a late call.
        nextFrameMs_ += kFrameIntervalMs;
        if (nextFrameMs_ <= nowMs) {
            nextFrameMs_ = nowMs + kFrameIntervalMs;
        }
    }
    if (state_ == State::BootReceiving && nowMs - lastBootByteMs_ >= kUploadPauseMs) {
        reply(textBytes("  Complete\r\nBoot>\r\nBoot>"), out);
        state_ = State::BootPrompt;
    }
    return out;
}

std::optional<std::int64_t> Controller::nextDueMs() const {
    if (streaming_) {
        return nextFrameMs_;
    }
    if (state_ == State::BootReceiving) {
        return lastBootByteMs_ + kUploadPauseMs;
    }
    return std::nullopt;
}

Frame Controller::nextFrame(std::int64_t nowMs) {
    const Frame frame = realtimeFrame(nowMs - setup_.powerUpMs, secl_, image_);
    secl_ = static_cast<std::uint8_t>(secl_ + 1);
    return frame;
}

void Controller::reply(Bytes bytes, Bytes& out) const {
    if (setup_.faults.silent) {
        return;
    }
    if (setup_.faults.shortReplies && !bytes.empty()) {
        bytes.pop_back();
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

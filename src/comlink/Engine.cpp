#include "comlink/Engine.h"

namespace comlink {

namespace {

constexpr int kMonitor = 'M';
constexpr int kCounter = 'C';
constexpr int kRevision = 'Q';
constexpr int kVars = '@';
constexpr int kUpload = 'U';

// Below this value Mode is a bootloader state; from it on, the letter of a pending command.
constexpr int kFirstCommand = 10;
// A pending command is given up when its fifth tick ends without a complete reply.
constexpr int kTicksBeforeTimeOut = 4;

bool isBootloaderStep(int mode) {
    return (mode >= 1 && mode <= 5) || mode == kBootCleanUp;
}

}  // namespace

Engine::Engine(platform::SerialPort& port, const platform::Clock& clock,
               platform::EventPump& events)
    : port_(port), clock_(clock), events_(events) {}

void Engine::setListener(EngineEvents* listener) {
    listener_ = listener != nullptr ? listener : &none_;
}

void Engine::tick() {
    listener_->modeChanged(mode_);
    receive();
    if (mode_ == kIdle) {
        waitTicks_ = 0;
    } else if (mode_ >= kFirstCommand) {
        countWaitTick();
    } else if (isBootloaderStep(mode_)) {
        listener_->bootloaderTick(mode_);
    }
    listener_->tickEnded();
}

void Engine::receive() {
    // Once a reply completes, whatever is still waiting stays in the port: the next tick reads
    // and drops it.
    do {
        if (!port_.isOpen() || port_.bytesAvailable() <= 0) {
            return;
        }
        const std::vector<std::uint8_t> bytes = port_.readAll();
        if (bytes.empty()) {
            return;
        }
        listener_->bytesArrived();
        for (std::uint8_t b : bytes) {
            file(b);
        }
    } while (mode_ != kIdle);
}

void Engine::file(std::uint8_t b) {
    if (mode_ <= kIdle) {
        return;
    }
    if (mode_ < kFirstCommand) {
        bootText_ += static_cast<char>(b);
        return;
    }
    // Only a command this engine does not know can run this far; it must not write past the
    // buffer while it waits for its time-out.
    if (rxCount_ >= static_cast<int>(rxBuf_.size())) {
        return;
    }
    rxBuf_[static_cast<std::size_t>(rxCount_)] = b;
    ++rxCount_;
    switch (mode_) {
        case kCounter:
            mode_ = kIdle;
            break;
        case kRevision:
            mode_ = kIdle;
            listener_->revisionReceived(rxBuf_[0]);
            break;
        case kVars:
            if (rxCount_ >= kRealtimeBlockSize) {
                mode_ = kIdle;
                if (!replayActive_) {
                    listener_->realtimeBlock(rxBuf_);
                }
            }
            break;
        case kMonitor:
            if (rxCount_ >= kRealtimeBlockSize) {
                completeMonitorFrame();
            }
            break;
        case kUpload:
            if (rxCount_ >= kImageSize) {
                mode_ = kIdle;
                listener_->imageReceived(rxBuf_);
            }
            break;
        default:
            break;
    }
}

void Engine::completeMonitorFrame() {
    // The first byte is the controller's counter: between two frames it repeats or steps by one.
    const int first = rxBuf_[0];
    const bool synchronising = monitorSeq_ == -1;
    const bool inStep = first == monitorSeq_ || first == (monitorSeq_ + 1) % 256;
    rxCount_ = 0;
    waitTicks_ = 0;
    if (synchronising) {
        monitorSeq_ = first;
    } else if (inStep) {
        monitorSeq_ = first;
        if (!replayActive_) {
            listener_->realtimeBlock(rxBuf_);
        }
    } else {
        // Out of step: stop the stream; the time-out restarts it and resynchronises.
        send("N");
    }
}

void Engine::countWaitTick() {
    ++waitTicks_;
    if (waitTicks_ <= kTicksBeforeTimeOut) {
        return;
    }
    const int pending = mode_;
    waitTicks_ = 0;
    if (pending == kMonitor) {
        send("M");
        monitorSeq_ = -1;
        rxCount_ = 0;
    } else {
        mode_ = kIdle;
    }
    // The About box asks for the revision itself and keeps "??" while no answer comes.
    if (!(pending == kRevision && listener_->aboutShowing())) {
        listener_->noResponse(pending);
    }
}

void Engine::startCommand(char letter) {
    send(std::string(1, letter));
    mode_ = letter;
    rxCount_ = 0;
    // A count left over from a command stopped between two ticks must not shorten this one.
    waitTicks_ = 0;
}

void Engine::cmdM() {
    if (!portIdle()) {
        return;
    }
    startCommand('M');
    monitorSeq_ = -1;
}

void Engine::cmdN() {
    if (!port_.isOpen() || (mode_ != kIdle && mode_ != kMonitor)) {
        return;
    }
    send("N");
    mode_ = kIdle;
    rxCount_ = 0;
}

void Engine::cmdC() {
    if (portIdle()) {
        startCommand('C');
    }
}

void Engine::cmdQ() {
    if (portIdle()) {
        startCommand('Q');
    }
}

void Engine::cmdAt() {
    if (portIdle()) {
        getVars();
    }
}

void Engine::cmdBoot() {
    if (portIdle()) {
        send("!");
    }
}

void Engine::getVars() {
    startCommand('@');
}

void Engine::upload() {
    if (mode_ == kIdle) {
        startCommand('U');
    }
}

void Engine::writeByte(int offset, int value) {
    if (offset < 0 || offset > 255 || value < 0 || value > 255) {
        return;
    }
    sendBytes({'W', static_cast<std::uint8_t>(offset), static_cast<std::uint8_t>(value)});
}

bool Engine::burn() {
    // "B" makes the controller store its image, so it must follow every write queued before it.
    int lastQueued = -1;
    std::int64_t lastProgress = clock_.nowSeconds();
    while (port_.isOpen()) {
        const int queued = port_.bytesToWrite();
        if (queued <= 0) {
            send("B");
            return true;
        }
        const std::int64_t now = clock_.nowSeconds();
        if (queued != lastQueued) {
            lastQueued = queued;
            lastProgress = now;
        } else if (now - lastProgress > kBurnStallSeconds) {
            return false;
        }
        events_.processEvents();
    }
    return false;
}

void Engine::portLost() {
    if (mode_ >= kFirstCommand) {
        mode_ = kIdle;
        rxCount_ = 0;
        waitTicks_ = 0;
    }
}

bool Engine::firmwareUpdate() {
    if (mode_ != kIdle) {
        return false;
    }
    lineCount_ = 0;
    send("!");
    setMode(1);
    return true;
}

void Engine::setMode(int m) {
    mode_ = m == -1 ? mode_ + 1 : m;
    stateStart_ = clock_.nowSeconds();
    bootText_.clear();
}

void Engine::restartStateClock() {
    stateStart_ = clock_.nowSeconds();
}

bool Engine::firmwareUpdateRunning() const {
    return isBootloaderStep(mode_);
}

void Engine::send(const std::string& bytes) {
    std::vector<std::uint8_t> raw;
    raw.reserve(bytes.size());
    for (char c : bytes) {
        raw.push_back(static_cast<std::uint8_t>(c));
    }
    sendBytes(raw);
}

void Engine::sendBytes(const std::vector<std::uint8_t>& bytes) {
    // With no port there is nobody to talk to; the caller's time-out reports it where one applies.
    if (port_.isOpen()) {
        port_.write(bytes);
    }
}

}  // namespace comlink

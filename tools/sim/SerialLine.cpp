#include "SerialLine.h"

#include <algorithm>
#include <array>

namespace sim {

namespace {

// Line noise a host must drop while it waits for nothing: a mix of bytes that look like
// command letters, line ends and binary values.
constexpr std::array<std::uint8_t, 6> kStrayBytes{0xFF, 0x00, 'U', 0x0D, 0x7E, '@'};

}  // namespace

SerialLine::SerialLine(Controller& controller, LineFaults faults)
    : controller_(controller), faults_(faults) {}

void SerialLine::fromHost(std::span<const std::uint8_t> bytes, std::int64_t nowMs) {
    lastActivityMs_ = nowMs;
    queue(controller_.receive(bytes, nowMs), nowMs);
}

void SerialLine::queue(const Bytes& bytes, std::int64_t nowMs) {
    if (bytes.empty()) {
        return;
    }
    lastActivityMs_ = nowMs;
    if (faults_.slowBytesPerSecond > 0) {
        std::int64_t atUs = std::max(nowMs * 1000, slowLineFreeUs_);
        for (const std::uint8_t byte : bytes) {
            pieces_.push_back({atUs / 1000, {byte}});
            atUs += 1000000 / faults_.slowBytesPerSecond;
        }
        slowLineFreeUs_ = atUs;
        return;
    }
    if (!faults_.split) {
        pieces_.push_back({nowMs, bytes});
        return;
    }
    std::int64_t at = pieces_.empty() ? nowMs : std::max(nowMs, pieces_.back().atMs);
    for (std::size_t start = 0; start < bytes.size(); start += kPieceSize) {
        const std::size_t end = std::min(bytes.size(), start + kPieceSize);
        pieces_.push_back({at, Bytes(bytes.begin() + static_cast<std::ptrdiff_t>(start),
                                     bytes.begin() + static_cast<std::ptrdiff_t>(end))});
        at += kPiecePauseMs;
    }
}

bool SerialLine::quiet() const {
    return pieces_.empty() && controller_.idle();
}

Bytes SerialLine::toHost(std::int64_t nowMs) {
    if (!lineBusy()) {
        queue(controller_.advance(nowMs), nowMs);
    }
    if (faults_.garbage && quiet() && nowMs - lastActivityMs_ >= kStrayPauseMs) {
        pieces_.push_back({nowMs, {kStrayBytes[strayIndex_]}});
        strayIndex_ = (strayIndex_ + 1) % kStrayBytes.size();
        lastActivityMs_ = nowMs;
    }
    Bytes out;
    while (!pieces_.empty() && pieces_.front().atMs <= nowMs) {
        out.insert(out.end(), pieces_.front().bytes.begin(), pieces_.front().bytes.end());
        pieces_.pop_front();
    }
    return out;
}

std::optional<std::int64_t> SerialLine::nextDueMs() const {
    std::optional<std::int64_t> due;
    if (!lineBusy()) {
        due = controller_.nextDueMs();
    }
    const auto earliest = [&due](std::int64_t at) { due = due ? std::min(*due, at) : at; };
    if (!pieces_.empty()) {
        earliest(pieces_.front().atMs);
    }
    if (faults_.garbage && quiet()) {
        earliest(lastActivityMs_ + kStrayPauseMs);
    }
    return due;
}

}  // namespace sim

#pragma once

#include <cstdint>
#include <deque>
#include <optional>
#include <span>

#include "Controller.h"

// The simulator's end of the serial line: takes the host's bytes to the controller and hands
// back, at the right moments, what goes to the host. The line-level faults live here: replies
// cut into pieces with pauses, stray bytes while the controller has nothing to say, and a line
// that crawls.
namespace sim {

struct LineFaults {
    bool split = false;
    bool garbage = false;
    // Bytes a second on a crawling line, one byte after the other; 0 is the full rate.
    int slowBytesPerSecond = 0;
};

class SerialLine {
public:
    static constexpr std::size_t kPieceSize = 7;
    static constexpr std::int64_t kPiecePauseMs = 15;
    static constexpr std::int64_t kStrayPauseMs = 700;

    SerialLine(Controller& controller, LineFaults faults);

    void fromHost(std::span<const std::uint8_t> bytes, std::int64_t nowMs);
    // Everything due for the host at `nowMs`, in order.
    Bytes toHost(std::int64_t nowMs);
    // When toHost() next has something; nothing while the line has nothing planned.
    std::optional<std::int64_t> nextDueMs() const;

private:
    struct Piece {
        std::int64_t atMs;
        Bytes bytes;
    };

    void queue(const Bytes& bytes, std::int64_t nowMs);
    bool quiet() const;
    // A slow line holds the controller back: nothing new is said until its last words are out.
    bool lineBusy() const { return faults_.slowBytesPerSecond > 0 && !pieces_.empty(); }

    Controller& controller_;
    LineFaults faults_;
    std::deque<Piece> pieces_;
    std::int64_t lastActivityMs_ = 0;
    std::size_t strayIndex_ = 0;
    std::int64_t slowLineFreeUs_ = 0;
};

}  // namespace sim

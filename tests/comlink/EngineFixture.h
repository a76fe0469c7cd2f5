#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

#include "comlink/Engine.h"
#include "platform/FakePlatform.h"
#include "support/RecordingEngineEvents.h"

// An engine on an open fake port, its clock and pump, with every report recorded. Table rows
// each build their own, so one row cannot leave state behind for the next.
struct EngineRig {
    EngineRig() {
        port.open(1);
        engine.setListener(&events);
    }

    void ticks(int count) {
        for (int i = 0; i < count; ++i)
            engine.tick();
    }

    std::string sent() const { return port.writtenText(); }

    // Four more ticks are still in time; the fifth reports the command `mode` timed out, once.
    void expectTimeOutOnTheFifthTick(int mode) {
        ticks(4);
        EXPECT_TRUE(events.noResponses.empty());
        engine.tick();
        EXPECT_EQ(events.noResponses, std::vector<int>{mode});
    }

    platform::FakeSerialPort port;
    platform::FakeClock clock;
    platform::FakeEventPump pump{&port};
    comlink::Engine engine{port, clock, pump};
    support::RecordingEngineEvents events;
};

class EngineTest : public ::testing::Test, protected EngineRig {};

// `count` bytes first, first + 1, ... (modulo 256).
inline std::vector<std::uint8_t> counting(int count, int first = 1) {
    std::vector<std::uint8_t> bytes;
    for (int i = 0; i < count; ++i)
        bytes.push_back(static_cast<std::uint8_t>((first + i) % 256));
    return bytes;
}

// A 30-byte realtime frame whose sequence byte is `seq`.
inline std::vector<std::uint8_t> frame(int seq) {
    std::vector<std::uint8_t> bytes = counting(30, 100);
    bytes[0] = static_cast<std::uint8_t>(seq);
    return bytes;
}

// Frames of these sequence bytes back to back, as the line carries them.
inline std::vector<std::uint8_t> frames(std::initializer_list<int> sequence) {
    std::vector<std::uint8_t> bytes;
    for (int seq : sequence) {
        const std::vector<std::uint8_t> one = frame(seq);
        bytes.insert(bytes.end(), one.begin(), one.end());
    }
    return bytes;
}

// The frames of these sequence bytes as the listener receives them.
inline std::vector<std::vector<int>> framesShown(std::initializer_list<int> sequence) {
    const std::vector<std::uint8_t> bytes = frames(sequence);
    std::vector<std::vector<int>> shown;
    for (auto at = bytes.begin(); at != bytes.end(); at += 30)
        shown.emplace_back(at, at + 30);
    return shown;
}

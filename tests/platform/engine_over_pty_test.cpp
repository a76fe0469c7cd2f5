#include <gtest/gtest.h>

#include <functional>

#include "Pty.h"
#include "link/Engine.h"
#include "platform/QtSerialPort.h"
#include "platform/SystemClock.h"
#include "support/RecordingEngineEvents.h"

namespace {

// The engine on the real Qt serial port, with the controller's side played through a pty.
class EngineOverPtyTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(pty.ok());
        ASSERT_TRUE(port.open(1)) << port.errorText();
        engine.setListener(&events);
    }

    bool pumpUntil(const std::function<bool()>& done) {
        for (int i = 0; i < 250; ++i) {
            if (done()) {
                return true;
            }
            pump.processEvents();
        }
        return done();
    }

    // What the controller side has received, once `count` bytes are there.
    std::vector<std::uint8_t> controllerReads(std::size_t count) {
        pumpUntil([&] {
            pty.collect();
            return pty.received.size() >= count;
        });
        return pty.received;
    }

    Pty pty;
    platform::QtSerialPort port{pty.device()};
    platform::SystemClock clock;
    platform::QtEventPump pump;
    link::Engine engine{port, clock, pump};
    support::RecordingEngineEvents events;
};

TEST_F(EngineOverPtyTest, revisionQueryIsAnsweredThroughTheLine) {
    engine.cmdQ();
    EXPECT_EQ(controllerReads(1), std::vector<std::uint8_t>{'Q'});
    pty.send({0xAB});
    ASSERT_TRUE(pumpUntil([&] { return port.bytesAvailable() == 1; }));
    engine.tick();
    EXPECT_EQ(events.revisions, std::vector<int>{171});
    EXPECT_EQ(engine.mode(), 0);
}

TEST_F(EngineOverPtyTest, uploadCollectsTheWholeImage) {
    engine.upload();
    EXPECT_EQ(controllerReads(1), std::vector<std::uint8_t>{'U'});
    std::vector<std::uint8_t> image;
    for (int i = 0; i < 63; ++i) {
        image.push_back(static_cast<std::uint8_t>(255 - i));
    }
    pty.send(image);
    ASSERT_TRUE(pumpUntil([&] { return port.bytesAvailable() == 63; }));
    engine.tick();
    ASSERT_EQ(events.images.size(), 1u);
    EXPECT_EQ(events.images[0], std::vector<int>(image.begin(), image.end()));
}

TEST_F(EngineOverPtyTest, burnFollowsEveryQueuedWrite) {
    std::vector<std::uint8_t> expected;
    for (int offset = 0; offset < 53; ++offset) {
        engine.writeByte(offset, 200 + offset % 50);
        expected.insert(expected.end(), {'W', static_cast<std::uint8_t>(offset),
                                         static_cast<std::uint8_t>(200 + offset % 50)});
    }
    EXPECT_TRUE(engine.burn());
    expected.push_back('B');
    EXPECT_EQ(controllerReads(expected.size()), expected);
}

}  // namespace

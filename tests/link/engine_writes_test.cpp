#include "link/EngineFixture.h"
#include "link/OpenPort.h"

namespace {

struct WriteCase {
    int offset;
    int value;
    std::vector<std::uint8_t> bytes;
};

TEST_F(EngineTest, writeByteSendsWOffsetValueOnlyWhenBothFitAndLeavesAPendingCommandAlone) {
    const WriteCase cases[] = {{10, 256, {}},
                               {-1, 5, {}},
                               {256, 0, {}},
                               {0, -1, {}},
                               {0, 0, {0x57, 0x00, 0x00}},
                               {12, 140, {0x57, 0x0C, 0x8C}},
                               {255, 255, {0x57, 0xFF, 0xFF}}};
    engine.cmdAt();
    for (const WriteCase& c : cases) {
        SCOPED_TRACE(testing::Message() << c.offset << ", " << c.value);
        port.clearWritten();
        engine.writeByte(c.offset, c.value);
        EXPECT_EQ(port.written, c.bytes);
    }
    EXPECT_EQ(engine.mode(), 64);
}

TEST_F(EngineTest, sendPassesEveryByteThroughUnchanged) {
    engine.send(std::string("S1\x00\xFF\r", 5));
    EXPECT_EQ(port.written, (std::vector<std::uint8_t>{'S', '1', 0x00, 0xFF, 0x0D}));
}

struct StallCase {
    int secondsPerWait;
    int bytesDrainedPerWait;
    bool unplugged;
    bool burned;
    int waits;
};

TEST(EngineBurnTest, burnSendsBOnceTheQueueDrainsButGivesUpOnAVanishedPortOrAFiveSecondStall) {
    const StallCase cases[] = {
        {1, 0, false, false, 6}, {4, 1, false, true, 12}, {0, 0, true, false, 1}};
    for (const StallCase& c : cases) {
        SCOPED_TRACE(testing::Message() << c.secondsPerWait << " s, " << c.bytesDrainedPerWait);
        EngineRig rig;
        rig.port.holdOutput = true;
        for (int offset = 0; offset < 4; ++offset) {
            rig.engine.writeByte(offset, 1);
        }
        support::FakeEventPump waiter;  // drains only what the row says
        link::Engine waiting(rig.port, rig.clock, waiter);
        waiter.onProcess = [&] {
            rig.clock.advance(c.secondsPerWait);
            rig.port.drainOutput(c.bytesDrainedPerWait);
            if (c.unplugged) {
                rig.port.vanish();
            }
        };
        EXPECT_EQ(waiting.burn(), c.burned);
        EXPECT_EQ(waiter.calls, c.waits);
        EXPECT_EQ(rig.sent().back() == 'B', c.burned);
    }
}

TEST_F(EngineTest, bootButtonSendsExclamationButFirmwareUpdateOnlyWhenIdleAndEntersStateOne) {
    engine.cmdBoot();
    EXPECT_EQ(engine.mode(), 0);
    engine.cmdM();
    EXPECT_FALSE(engine.firmwareUpdate());
    engine.cmdN();
    engine.setLineCount(12);
    clock.seconds = 5000;
    EXPECT_TRUE(engine.firmwareUpdate());
    EXPECT_EQ(sent(), "!MN!");
    EXPECT_EQ(engine.mode(), 1);
    EXPECT_EQ(engine.lineCount(), 0);
    EXPECT_EQ(engine.stateStart(), 5000);
}

TEST_F(EngineTest, bootloaderStepSeesEveryByteCollectedSoFarUntilTheNextState) {
    engine.setMode(2);
    std::string seen;
    events.onBootloaderTick = [&](int) { seen = engine.bootText(); };
    port.pushText("\r\n");
    engine.tick();
    port.push(std::vector<std::uint8_t>{'B', 'o', 'o', 't', '>', 0x00, 0xE9});
    engine.tick();
    EXPECT_EQ(seen, std::string("\r\nBoot>\x00\xE9", 9));
    clock.seconds = 7777;
    engine.setMode(-1);  // the next state starts with its own clock and text
    EXPECT_EQ(engine.mode(), 3);
    EXPECT_EQ(engine.stateStart(), 7777);
    EXPECT_EQ(engine.bootText(), "");
}

TEST_F(EngineTest, bootloaderStepRunsOnlyInStatesOneToFiveAndNineWhichNeverTimeOut) {
    for (int state = 1; state <= 9; ++state) {
        engine.setMode(state);
        engine.tick();
    }
    EXPECT_EQ(events.bootloaderTicks, (std::vector<int>{1, 2, 3, 4, 5, 9}));
    ticks(50);
    EXPECT_TRUE(events.noResponses.empty());
    EXPECT_EQ(engine.mode(), 9);
}

TEST(OpenPortTest, remembersTheNumberEvenWhenOpeningFailsAndClosesOnlyAnOpenPortFirst) {
    support::FakeSettingsStore store;
    support::FakeSerialPort port;
    port.openSucceeds = false;
    EXPECT_FALSE(link::openPort(port, store, 3));
    EXPECT_EQ(store.read("Config", "Port", ""), "3");
    EXPECT_EQ(port.closeCalls, 0);
    port.openSucceeds = true;
    EXPECT_TRUE(link::openPort(port, store, 2));
    EXPECT_TRUE(link::openPort(port, store, 4));
    EXPECT_EQ(port.closeCalls, 1);
    EXPECT_EQ(port.openedNumbers, (std::vector<int>{3, 2, 4}));
    EXPECT_EQ(store.read("Config", "Port", ""), "4");
}

}  // namespace

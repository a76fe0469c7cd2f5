#include <tuple>

#include "comlink/EngineFixture.h"

namespace {

TEST_F(EngineTest, writeByteSendsWOffsetValueOnlyWhenBothFitAndLeavesAPendingCommandAlone) {
    using Bytes = std::vector<std::uint8_t>;
    const std::tuple<int, int, Bytes> cases[] = {
        {10, 256, {}}, {-1, 5, {}}, {0, 0, {0x57, 0x00, 0x00}}, {255, 255, {0x57, 0xFF, 0xFF}}};
    engine.cmdAt();
    for (const auto& [offset, value, bytes] : cases) {
        SCOPED_TRACE(testing::Message() << offset << ", " << value);
        port.clearWritten();
        engine.writeByte(offset, value);
        EXPECT_EQ(port.written, bytes);
    }
    EXPECT_EQ(engine.mode(), 64);
}

TEST_F(EngineTest, sendPassesEveryByteThroughUnchanged) {
    engine.send(std::string("S1\x00\xFF\r", 5));
    EXPECT_EQ(port.written, (std::vector<std::uint8_t>{'S', '1', 0x00, 0xFF, 0x0D}));
}

TEST_F(EngineTest, uploadAnsweredWith62BytesDeliversNoImageAndALate63rdByteIsDropped) {
    engine.upload();
    port.push(counting(62));
    expectTimeOutOnTheFifthTick(85);
    port.push({63});
    engine.tick();
    EXPECT_EQ(std::tuple(events.images.size(), engine.rxBuf()[62], port.waiting()),
              std::tuple(0u, 0, 0));
}

TEST(EngineBurnTest, burnSendsBOnceTheQueueDrainsButGivesUpOnAVanishedPortOrAFiveSecondStall) {
    // Seconds passing and bytes drained per wait, an unplugged adapter; burned, waits.
    const std::tuple<int, int, bool, bool, int> cases[] = {
        {1, 0, false, false, 6}, {4, 1, false, true, 12}, {0, 0, true, false, 1}};
    for (const auto& [seconds, drained, unplugged, burned, waits] : cases) {
        SCOPED_TRACE(testing::Message() << seconds << " s, " << drained);
        EngineRig rig;
        rig.port.holdOutput = true;
        for (int offset = 0; offset < 4; ++offset)
            rig.engine.writeByte(offset, 1);
        rig.pump = platform::FakeEventPump();  // drains only what the row says
        rig.pump.onProcess = [&] {
            rig.clock.advance(seconds);
            rig.port.drainOutput(drained);
            if (unplugged)
                rig.port.vanish();
        };
        EXPECT_EQ(rig.engine.burn(), burned);
        EXPECT_EQ(rig.pump.calls, waits);
        EXPECT_EQ(rig.sent().back() == 'B', burned);
    }
}

}  // namespace

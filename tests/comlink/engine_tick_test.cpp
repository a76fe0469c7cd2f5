#include <algorithm>
#include <tuple>

#include "comlink/EngineFixture.h"

namespace {

using comlink::Engine;
using Command = void (Engine::*)();

// Every button the link window offers, each guarded by the port and the pending command.
const Command kButtons[] = {&Engine::cmdM,  &Engine::cmdN,    &Engine::cmdC,  &Engine::cmdQ,
                            &Engine::cmdAt, &Engine::cmdBoot, &Engine::upload};

TEST_F(EngineTest, buttonsDoNothingWithThePortClosedOrACommandPendingButUploadStillTimesOut) {
    port.close();
    for (Command button : kButtons)
        (engine.*button)();
    EXPECT_EQ(sent(), "");
    ticks(12);
    EXPECT_EQ(events.noResponses, std::vector<int>{85});
    port.open(1);
    engine.cmdC();
    for (Command button : kButtons)
        (engine.*button)();
    EXPECT_EQ(engine.mode(), 67);
    port.push({1});
    engine.tick();
    engine.cmdN();  // stopping the stream is allowed while idle
    EXPECT_EQ(sent(), "CN");
}

TEST_F(EngineTest, bytesArrivingDuringTheTickAreReadOnlyWhileTheReplyIsIncomplete) {
    engine.cmdAt();
    const std::vector<std::uint8_t> reply = frame(40);
    port.push(std::vector<std::uint8_t>(reply.begin(), reply.begin() + 20));
    events.onBytesArrived = [&] {
        if (events.arrivals == 1) {
            port.push(std::vector<std::uint8_t>(reply.begin() + 20, reply.end()));
            port.push({9, 9, 9});  // read with the end of the reply and dropped
        } else {
            port.push({1, 2, 3, 4, 5});
        }
    };
    engine.tick();
    EXPECT_EQ(events.blocks, framesShown({40}));
    EXPECT_EQ(port.waiting(), 5);  // left for the next tick, which drops them
}

TEST_F(EngineTest, onlyAnUnansweredRevisionIsKeptQuietWhileTheAboutBoxShows) {
    events.aboutVisible = true;
    engine.cmdQ();
    ticks(5);
    engine.cmdC();  // sent only if the revision request has ended
    ticks(5);
    EXPECT_EQ(events.noResponses, std::vector<int>{67});
}

TEST_F(EngineTest, endlessBytesForAnUnknownCommandStayInsideTheBuffer) {
    engine.setMode('Z');
    port.push(0x55, 1000);
    engine.tick();
    EXPECT_EQ(std::tuple(engine.rxCount(), engine.rxBuf()[256]), std::tuple(257, 0x55));
}

class MonitorTest : public EngineTest {
protected:
    MonitorTest() { engine.cmdM(); }
};

TEST(MonitorStreamTest, frames17_17_18_18_19AreAllShownButTheFirstHoweverTheyAreSplit) {
    const std::vector<std::uint8_t> stream = frames({17, 17, 18, 18, 19});
    for (int chunk : {11, 30, 150}) {
        SCOPED_TRACE(chunk);
        EngineRig rig;
        rig.engine.cmdM();
        for (int start = 0; start < 150; start += chunk) {
            const auto from = stream.begin() + start;
            rig.port.push(std::vector<std::uint8_t>(from, from + std::min(chunk, 150 - start)));
            rig.engine.tick();
        }
        EXPECT_EQ(rig.events.blocks, framesShown({17, 18, 18, 19}));
        EXPECT_EQ(rig.sent(), "M");
    }
}

TEST(MonitorStreamTest, aFrameIsInStepWhenItRepeatsOrStepsByOneModulo256ElseNIsSent) {
    const std::tuple<int, int, bool> cases[] = {{255, 0, true},  {255, 255, true}, {0, 1, true},
                                                {19, 21, false}, {19, 18, false},  {0, 255, false}};
    for (const auto& [last, next, shown] : cases) {
        SCOPED_TRACE(testing::Message() << last << " then " << next);
        EngineRig rig;
        rig.engine.cmdM();
        rig.port.push(frames({last, next}));
        rig.engine.tick();
        EXPECT_EQ(std::tuple(rig.events.blocks.size(), rig.sent(), rig.engine.monitorSeq(),
                             rig.engine.mode()),
                  std::tuple(shown ? 1u : 0u, shown ? "M" : "MN", shown ? next : last, 77));
    }
}

TEST_F(MonitorTest, silentStreamIsRestartedOnEveryFifthTickDroppingAHalfFrameAndItsSequence) {
    port.push(frame(50));
    ticks(4);
    port.push(frame(51));  // a frame every fourth tick keeps the stream alive
    port.push(counting(12, 60));
    expectTimeOutOnTheFifthTick(77);
    EXPECT_EQ(std::tuple(sent(), engine.rxCount(), engine.monitorSeq()), std::tuple("MM", 0, -1));
    port.push(frames({3, 4}));
    engine.tick();
    EXPECT_EQ(events.blocks, framesShown({51, 4}));
}

TEST_F(MonitorTest, stopEndsTheStreamAndTheNextCommandGetsFiveFreshTicksWhileFramesAreDropped) {
    ticks(3);  // the silent stream has counted three of its five
    engine.cmdN();
    engine.cmdC();  // before the next tick
    expectTimeOutOnTheFifthTick(67);
    port.push(frames({1, 2}));
    ticks(10);
    EXPECT_EQ(std::tuple(sent(), events.blocks.size()), std::tuple("MNC", 0u));
}

TEST_F(MonitorTest, framesDuringAReplayKeepTheStreamInStep) {
    engine.setReplayActive();
    port.push(frames({5, 6, 7}));
    engine.tick();  // the replay window's tests see no live block shown
    EXPECT_EQ(std::tuple(engine.monitorSeq(), sent()), std::tuple(7, "M"));
}

}  // namespace

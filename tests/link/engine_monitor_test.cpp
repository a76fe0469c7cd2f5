#include <algorithm>

#include "link/EngineFixture.h"

namespace {

class MonitorTest : public EngineTest {
protected:
    MonitorTest() { engine.cmdM(); }
};

// The sequence bytes of the frames shown.
std::vector<int> shownSequence(const support::RecordingEngineEvents& events) {
    std::vector<int> firsts;
    for (const auto& block : events.blocks) {
        firsts.push_back(block[0]);
    }
    return firsts;
}

TEST(MonitorStreamTest, frames17_17_18_18_19AreAllShownButTheFirstHoweverTheyAreSplit) {
    std::vector<std::uint8_t> stream;
    for (int seq : {17, 17, 18, 18, 19}) {
        const auto f = frame(seq);
        stream.insert(stream.end(), f.begin(), f.end());
    }
    for (std::size_t chunk : {11u, 30u, 150u}) {
        SCOPED_TRACE(chunk);
        EngineRig rig;
        rig.engine.cmdM();
        for (std::size_t start = 0; start < stream.size(); start += chunk) {
            const std::size_t end = std::min(start + chunk, stream.size());
            rig.port.push(std::vector<std::uint8_t>(stream.begin() + static_cast<long>(start),
                                                    stream.begin() + static_cast<long>(end)));
            rig.engine.tick();
        }
        EXPECT_EQ(shownSequence(rig.events), (std::vector<int>{17, 18, 18, 19}));
        EXPECT_EQ(rig.events.blocks.back(), asInts(frame(19)));
        EXPECT_EQ(rig.sent(), "M");
    }
}

struct StepCase {
    int last;
    int next;
    bool shown;
};

TEST(MonitorStreamTest, aFrameIsInStepWhenItRepeatsOrStepsByOneModulo256ElseNIsSent) {
    const StepCase cases[] = {{255, 0, true},  {255, 255, true}, {0, 1, true},
                              {19, 21, false}, {19, 18, false},  {0, 255, false}};
    for (const StepCase& c : cases) {
        SCOPED_TRACE(testing::Message() << c.last << " then " << c.next);
        EngineRig rig;
        rig.engine.cmdM();
        rig.port.push(frame(c.last));
        rig.port.push(frame(c.next));
        rig.engine.tick();
        EXPECT_EQ(rig.events.blocks.size(), c.shown ? 1u : 0u);
        EXPECT_EQ(rig.sent(), c.shown ? "M" : "MN");
        EXPECT_EQ(rig.engine.monitorSeq(), c.shown ? c.next : c.last);
        EXPECT_EQ(rig.engine.mode(), 77);
    }
}

TEST_F(MonitorTest, silentStreamIsRestartedOnEveryFifthTickDroppingAHalfFrameAndItsSequence) {
    port.push(frame(50));
    ticks(4);
    port.push(frame(51));  // a frame every fourth tick keeps the stream alive
    port.push(counting(12, 60));
    ticks(4);
    EXPECT_TRUE(events.noResponses.empty());
    engine.tick();
    EXPECT_EQ(events.noResponses, std::vector<int>{77});
    EXPECT_EQ(sent(), "MM");
    EXPECT_EQ(engine.rxCount(), 0);
    EXPECT_EQ(engine.monitorSeq(), -1);
    port.push(frame(3));
    port.push(frame(4));
    engine.tick();
    EXPECT_EQ(shownSequence(events), (std::vector<int>{51, 4}));
}

TEST_F(MonitorTest, stopEndsTheStreamAndLaterFramesAreDropped) {
    port.push(frame(1));
    engine.tick();
    engine.cmdN();
    EXPECT_EQ(sent(), "MN");
    EXPECT_EQ(engine.mode(), 0);
    port.push(frame(2));
    ticks(10);
    EXPECT_TRUE(events.blocks.empty());
    EXPECT_TRUE(events.noResponses.empty());
}

TEST_F(MonitorTest, framesDuringAReplayAreNotShownButKeepTheStreamInStep) {
    engine.setReplayActive();
    for (int seq : {5, 6, 7}) {
        port.push(frame(seq));
        engine.tick();
    }
    EXPECT_TRUE(events.blocks.empty());
    EXPECT_EQ(engine.monitorSeq(), 7);
    EXPECT_EQ(sent(), "M");
}

TEST_F(MonitorTest, aFrameArrivingWhileTheLastIsHandedOnIsReadInTheSameTick) {
    port.push(frame(1));
    port.push(frame(2));
    events.onBlock = [&] {
        if (events.blocks.size() == 1) {
            port.push(frame(3));
        }
    };
    engine.tick();
    EXPECT_EQ(shownSequence(events), (std::vector<int>{2, 3}));
}

}  // namespace

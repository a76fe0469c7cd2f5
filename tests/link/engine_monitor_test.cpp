#include "link/EngineFixture.h"

namespace {

class MonitorTest : public EngineTest {
protected:
    MonitorTest() { engine.cmdM(); }

    std::vector<int> shownSequence() const {
        std::vector<int> firsts;
        for (const auto& block : events.blocks) {
            firsts.push_back(block[0]);
        }
        return firsts;
    }
};

TEST_F(MonitorTest, startSendsMAndForgetsTheLastSequence) {
    EXPECT_EQ(sent(), "M");
    EXPECT_EQ(engine.mode(), 77);
    EXPECT_EQ(engine.monitorSeq(), -1);
}

TEST_F(MonitorTest, firstFrameAfterAStartOnlySynchronises) {
    port.push(frame(17));
    engine.tick();
    EXPECT_TRUE(events.blocks.empty());
    EXPECT_EQ(engine.monitorSeq(), 17);
    EXPECT_EQ(engine.mode(), 77);
    EXPECT_EQ(engine.rxCount(), 0);
}

TEST_F(MonitorTest, framesRunning17_17_18_18_19AreAllShownButTheFirst) {
    for (int seq : {17, 17, 18, 18, 19}) {
        port.push(frame(seq));
        engine.tick();
    }
    EXPECT_EQ(shownSequence(), (std::vector<int>{17, 18, 18, 19}));
    EXPECT_EQ(events.blocks.back(), asInts(frame(19)));
    EXPECT_EQ(sent(), "M");
}

TEST_F(MonitorTest, framesInOneReadGiveTheSameResultAsFramesInSeparateTicks) {
    for (int seq : {17, 17, 18, 18, 19}) {
        port.push(frame(seq));
    }
    engine.tick();
    EXPECT_EQ(shownSequence(), (std::vector<int>{17, 18, 18, 19}));
    EXPECT_EQ(port.waiting(), 0);
}

TEST_F(MonitorTest, framesSplitAcrossTicksAtOddPlacesAreReassembled) {
    std::vector<std::uint8_t> stream;
    for (int seq : {40, 41, 41}) {
        const auto f = frame(seq);
        stream.insert(stream.end(), f.begin(), f.end());
    }
    for (std::size_t start = 0; start < stream.size(); start += 7) {
        const std::size_t end = std::min(start + 7, stream.size());
        port.push(std::vector<std::uint8_t>(stream.begin() + static_cast<long>(start),
                                            stream.begin() + static_cast<long>(end)));
        engine.tick();
    }
    EXPECT_EQ(shownSequence(), (std::vector<int>{41, 41}));
    EXPECT_TRUE(events.noResponses.empty());
}

TEST_F(MonitorTest, frameOutOfStepSendsNAndIsNotShown) {
    for (int seq : {17, 18, 19, 21}) {
        port.push(frame(seq));
        engine.tick();
    }
    EXPECT_EQ(shownSequence(), (std::vector<int>{18, 19}));
    EXPECT_EQ(sent(), "MN");
    EXPECT_EQ(engine.monitorSeq(), 19);
    EXPECT_EQ(engine.mode(), 77);
}

struct StepCase {
    int last;
    int next;
    bool shown;
};

TEST_F(MonitorTest, aFrameIsInStepWhenItRepeatsOrStepsByOneModulo256) {
    const StepCase cases[] = {
        {255, 0, true},  {255, 255, true}, {0, 1, true},    {19, 20, true},
        {19, 21, false}, {19, 18, false},  {254, 0, false}, {0, 255, false},
    };
    for (const StepCase& c : cases) {
        SCOPED_TRACE(testing::Message() << c.last << " then " << c.next);
        support::FakeSerialPort freshPort;
        freshPort.open(1);
        link::Engine fresh(freshPort, clock, pump);
        support::RecordingEngineEvents freshEvents;
        fresh.setListener(&freshEvents);
        fresh.cmdM();
        freshPort.push(frame(c.last));
        freshPort.push(frame(c.next));
        fresh.tick();
        EXPECT_EQ(freshEvents.blocks.size(), c.shown ? 1u : 0u);
        EXPECT_EQ(freshPort.writtenText(), c.shown ? "M" : "MN");
        EXPECT_EQ(fresh.monitorSeq(), c.shown ? c.next : c.last);
    }
}

TEST_F(MonitorTest, silentStreamIsRestartedOnEveryFifthTick) {
    ticks(4);
    EXPECT_TRUE(events.noResponses.empty());
    engine.tick();
    EXPECT_EQ(events.noResponses, std::vector<int>{77});
    EXPECT_EQ(sent(), "MM");
    EXPECT_EQ(engine.mode(), 77);
    ticks(5);
    EXPECT_EQ(events.noResponses, (std::vector<int>{77, 77}));
    EXPECT_EQ(sent(), "MMM");
}

TEST_F(MonitorTest, afterARestartTheNextFrameResynchronisesWhateverItsSequence) {
    port.push(frame(17));
    engine.tick();
    port.push(frame(90));  // out of step: "N"
    engine.tick();
    ticks(5);  // silent: "M" again
    EXPECT_EQ(sent(), "MNM");
    EXPECT_EQ(engine.monitorSeq(), -1);
    port.push(frame(3));
    port.push(frame(4));
    engine.tick();
    EXPECT_EQ(shownSequence(), std::vector<int>{4});
}

TEST_F(MonitorTest, aHalfFrameBeforeARestartIsDiscarded) {
    port.push(counting(12, 60));
    ticks(5);
    EXPECT_EQ(engine.rxCount(), 0);
    port.push(frame(8));
    port.push(frame(9));
    engine.tick();
    EXPECT_EQ(shownSequence(), std::vector<int>{9});
}

TEST_F(MonitorTest, aFrameEveryFourthTickKeepsTheStreamAlive) {
    int seq = 50;
    for (int round = 0; round < 6; ++round) {
        port.push(frame(seq++));
        ticks(4);
    }
    EXPECT_TRUE(events.noResponses.empty());
    EXPECT_EQ(events.blocks.size(), 5u);
}

TEST_F(MonitorTest, stopEndsTheStreamAndLaterFramesAreDropped) {
    port.push(frame(1));
    engine.tick();
    engine.cmdN();
    EXPECT_EQ(sent(), "MN");
    EXPECT_EQ(engine.mode(), 0);
    port.push(frame(2));
    engine.tick();
    EXPECT_TRUE(events.blocks.empty());
    ticks(10);
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
    engine.tick();
    port.push(frame(2));
    events.onBlock = [&] {
        if (events.blocks.size() == 1) {
            port.push(frame(3));
        }
    };
    engine.tick();
    EXPECT_EQ(shownSequence(), (std::vector<int>{2, 3}));
}

}  // namespace

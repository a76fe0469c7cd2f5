#include "link/EngineFixture.h"

namespace {

using Command = void (link::Engine::*)();

// Every button the link window offers, each guarded by the port and the pending command.
const Command kButtons[] = {&link::Engine::cmdM,  &link::Engine::cmdN,  &link::Engine::cmdC,
                            &link::Engine::cmdQ,  &link::Engine::cmdAt, &link::Engine::cmdBoot,
                            &link::Engine::upload};

struct CommandCase {
    const char* bytes;
    Command command;
    int mode;
};

TEST(EngineCommandTest, eachCommandSendsItsLetterAndTimesOutOnExactlyTheFifthTick) {
    const CommandCase cases[] = {{"C", &link::Engine::cmdC, 67},
                                 {"Q", &link::Engine::cmdQ, 81},
                                 {"@", &link::Engine::cmdAt, 64},
                                 {"U", &link::Engine::upload, 85}};
    for (const CommandCase& c : cases) {
        SCOPED_TRACE(c.bytes);
        EngineRig rig;
        (rig.engine.*c.command)();
        EXPECT_EQ(rig.sent(), c.bytes);
        rig.ticks(4);
        EXPECT_EQ(rig.engine.mode(), c.mode);
        EXPECT_TRUE(rig.events.noResponses.empty());
        rig.engine.tick();
        EXPECT_EQ(rig.events.noResponses, std::vector<int>{c.mode});
        EXPECT_EQ(rig.engine.mode(), 0);
        rig.ticks(10);
        EXPECT_EQ(rig.events.noResponses.size(), 1u);
    }
}

TEST_F(EngineTest, guardedButtonsSendNothingWithThePortClosedButUploadEndsInTheNoAnswerNotice) {
    port.close();
    for (Command button : kButtons) {
        (engine.*button)();
    }
    EXPECT_EQ(sent(), "");
    ticks(12);
    EXPECT_EQ(events.noResponses, std::vector<int>{85});
}

TEST_F(EngineTest, commandsStartedWhileOneIsPendingDoNothingAndStopIsAllowedWhenIdle) {
    engine.cmdC();
    for (Command button : kButtons) {
        (engine.*button)();
    }
    EXPECT_EQ(engine.mode(), 67);
    port.push({1});
    engine.tick();
    engine.cmdN();
    EXPECT_EQ(sent(), "CN");
}

TEST_F(EngineTest, oneByteRepliesEndTheirCommandAndTheRevisionIsHandedOnUnsigned) {
    engine.cmdC();
    port.push({0xB7});
    engine.tick();
    EXPECT_EQ(engine.rxBuf()[0], 0xB7);
    engine.cmdQ();
    port.push({0xFF});
    engine.tick();
    EXPECT_EQ(events.revisions, std::vector<int>{255});
    EXPECT_EQ(engine.mode(), 0);
}

TEST_F(EngineTest, twoVarsRepliesInOneReadDeliverOnlyTheFirst) {
    engine.cmdAt();
    port.push(counting(30, 1));
    port.push(counting(30, 101));
    engine.tick();
    EXPECT_EQ(events.blocks, std::vector<std::vector<int>>{asInts(counting(30, 1))});
    EXPECT_EQ(port.waiting(), 0);
}

TEST_F(EngineTest, bytesArrivingDuringTheTickAreReadOnlyWhileTheReplyIsIncomplete) {
    engine.cmdAt();
    const std::vector<std::uint8_t> reply = counting(30, 40);
    port.push(std::vector<std::uint8_t>(reply.begin(), reply.begin() + 20));
    events.onBytesArrived = [&] {
        if (events.arrivals == 1) {
            port.push(std::vector<std::uint8_t>(reply.begin() + 20, reply.end()));
        } else {
            port.push({1, 2, 3, 4, 5});
        }
    };
    engine.tick();
    EXPECT_EQ(events.blocks, std::vector<std::vector<int>>{asInts(reply)});
    EXPECT_EQ(port.waiting(), 5);  // left for the next tick, which drops them
}

TEST_F(EngineTest, onlyAnUnansweredRevisionIsKeptQuietWhileTheAboutBoxShows) {
    events.aboutVisible = true;
    engine.cmdQ();
    ticks(5);
    EXPECT_TRUE(events.noResponses.empty());
    EXPECT_EQ(engine.mode(), 0);
    engine.cmdC();
    ticks(5);
    EXPECT_EQ(events.noResponses, std::vector<int>{67});
}

TEST_F(EngineTest, bytesArrivingWhileIdleAreDroppedButStillReported) {
    engine.tick();
    EXPECT_EQ(events.arrivals, 0);
    port.push({9, 8, 7});
    engine.tick();
    EXPECT_EQ(events.arrivals, 1);
    EXPECT_EQ(port.waiting(), 0);
    EXPECT_EQ(engine.rxBuf()[0], 0);
    EXPECT_TRUE(events.noResponses.empty());
}

TEST_F(EngineTest, endlessBytesForAnUnknownCommandStayInsideTheBuffer) {
    engine.setMode('Z');
    port.push(0x55, 1000);
    engine.tick();
    EXPECT_EQ(engine.rxCount(), 257);
    EXPECT_EQ(engine.rxBuf()[256], 0x55);
}

}  // namespace

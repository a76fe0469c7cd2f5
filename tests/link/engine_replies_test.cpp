#include <functional>

#include "link/EngineFixture.h"

namespace {

using Command = std::function<void(link::Engine&)>;

struct LetterCase {
    const char* name;
    Command command;
    const char* bytes;
    int mode;
};

const LetterCase kLetterCommands[] = {
    {"cmdM", [](link::Engine& e) { e.cmdM(); }, "M", 77},
    {"cmdC", [](link::Engine& e) { e.cmdC(); }, "C", 67},
    {"cmdQ", [](link::Engine& e) { e.cmdQ(); }, "Q", 81},
    {"cmdAt", [](link::Engine& e) { e.cmdAt(); }, "@", 64},
    {"upload", [](link::Engine& e) { e.upload(); }, "U", 85},
};

TEST_F(EngineTest, eachLetterCommandSendsItsLetterAndWaitsUnderItsCode) {
    for (const LetterCase& c : kLetterCommands) {
        SCOPED_TRACE(c.name);
        support::FakeSerialPort freshPort;
        freshPort.open(1);
        link::Engine fresh(freshPort, clock, pump);
        c.command(fresh);
        EXPECT_EQ(freshPort.writtenText(), c.bytes);
        EXPECT_EQ(fresh.mode(), c.mode);
        EXPECT_EQ(fresh.rxCount(), 0);
    }
}

TEST_F(EngineTest, guardedButtonsSendNothingAndNeverTimeOutWithThePortClosed) {
    port.close();
    engine.cmdM();
    engine.cmdN();
    engine.cmdC();
    engine.cmdQ();
    engine.cmdAt();
    engine.cmdBoot();
    EXPECT_EQ(sent(), "");
    EXPECT_EQ(engine.mode(), 0);
    ticks(12);
    EXPECT_TRUE(events.noResponses.empty());
}

TEST_F(EngineTest, commandsStartedWhileOneIsPendingDoNothing) {
    engine.cmdC();
    engine.cmdM();
    engine.cmdQ();
    engine.cmdAt();
    engine.cmdBoot();
    engine.upload();
    EXPECT_EQ(sent(), "C");
    EXPECT_EQ(engine.mode(), 67);
}

TEST_F(EngineTest, uploadPressedTwiceQuicklySendsUOnce) {
    engine.upload();
    engine.upload();
    EXPECT_EQ(sent(), "U");
    EXPECT_EQ(engine.mode(), 85);
}

TEST_F(EngineTest, uploadWithThePortClosedSendsNothingAndEndsInTheNoAnswerNotice) {
    port.close();
    engine.upload();
    EXPECT_EQ(sent(), "");
    ticks(5);
    EXPECT_EQ(events.noResponses, std::vector<int>{85});
    EXPECT_EQ(engine.mode(), 0);
}

TEST_F(EngineTest, counterReplyOfOneByteEndsTheCommandAndStaysAtPositionZero) {
    engine.cmdC();
    port.push({0xB7});
    engine.tick();
    EXPECT_EQ(engine.mode(), 0);
    EXPECT_EQ(engine.rxBuf()[0], 0xB7);
    EXPECT_TRUE(events.revisions.empty());
    EXPECT_TRUE(events.blocks.empty());
}

TEST_F(EngineTest, revisionReplyIsHandedOnAndEndsTheCommand) {
    engine.cmdQ();
    port.push({0x0A});
    engine.tick();
    EXPECT_EQ(events.revisions, std::vector<int>{10});
    EXPECT_EQ(engine.mode(), 0);
}

TEST_F(EngineTest, revisionByteAbove127IsHandedOnUnsigned) {
    engine.cmdQ();
    port.push({0xFF});
    engine.tick();
    EXPECT_EQ(events.revisions, std::vector<int>{255});
}

TEST_F(EngineTest, varsReplySplitTwentyAndTenCompletesInTheSecondTick) {
    engine.cmdAt();
    const std::vector<std::uint8_t> reply = counting(30, 200);
    port.push(std::vector<std::uint8_t>(reply.begin(), reply.begin() + 20));
    engine.tick();
    EXPECT_EQ(engine.mode(), 64);
    EXPECT_EQ(engine.rxCount(), 20);
    EXPECT_TRUE(events.blocks.empty());

    port.push(std::vector<std::uint8_t>(reply.begin() + 20, reply.end()));
    engine.tick();
    EXPECT_EQ(engine.mode(), 0);
    ASSERT_EQ(events.blocks.size(), 1u);
    EXPECT_EQ(events.blocks[0], asInts(reply));
}

TEST_F(EngineTest, twoVarsRepliesInOneReadDeliverOnlyTheFirst) {
    engine.cmdAt();
    const std::vector<std::uint8_t> first = counting(30, 1);
    port.push(first);
    port.push(counting(30, 101));
    engine.tick();
    ASSERT_EQ(events.blocks.size(), 1u);
    EXPECT_EQ(events.blocks[0], asInts(first));
    EXPECT_EQ(port.waiting(), 0);
    EXPECT_EQ(engine.rxBuf()[0], 1);
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
    ASSERT_EQ(events.blocks.size(), 1u);
    EXPECT_EQ(events.blocks[0], asInts(reply));
    // Completed: the stray five wait for the next tick, which reads and drops them.
    EXPECT_EQ(port.waiting(), 5);
    events.onBytesArrived = nullptr;
    engine.tick();
    EXPECT_EQ(port.waiting(), 0);
    EXPECT_EQ(events.blocks.size(), 1u);
}

TEST_F(EngineTest, uploadDeliveredByteByByteEqualsOneBulkRead) {
    const std::vector<std::uint8_t> image = counting(63, 7);

    engine.upload();
    port.push(image);
    engine.tick();

    support::FakeSerialPort bytePort;
    bytePort.open(1);
    link::Engine byByte(bytePort, clock, pump);
    support::RecordingEngineEvents byteEvents;
    byByte.setListener(&byteEvents);
    byByte.upload();
    std::size_t next = 0;
    byteEvents.onBytesArrived = [&] {
        if (next < image.size()) {
            bytePort.push({image[next++]});
        }
    };
    bytePort.push({image[next++]});
    byByte.tick();

    ASSERT_EQ(events.images.size(), 1u);
    ASSERT_EQ(byteEvents.images.size(), 1u);
    EXPECT_EQ(events.images[0], asInts(image));
    EXPECT_EQ(byteEvents.images[0], events.images[0]);
    EXPECT_EQ(byteEvents.arrivals, 63);
    EXPECT_EQ(byByte.mode(), 0);
}

TEST_F(EngineTest, uploadSpreadOverFourTicksEqualsOneBulkRead) {
    const std::vector<std::uint8_t> image = counting(63, 250);
    engine.upload();
    for (std::size_t start = 0; start < image.size(); start += 16) {
        const std::size_t end = std::min(start + 16, image.size());
        port.push(std::vector<std::uint8_t>(image.begin() + static_cast<long>(start),
                                            image.begin() + static_cast<long>(end)));
        engine.tick();
    }
    ASSERT_EQ(events.images.size(), 1u);
    EXPECT_EQ(events.images[0], asInts(image));
    EXPECT_TRUE(events.noResponses.empty());
}

TEST_F(EngineTest, uploadAnsweredWith62BytesDeliversNoImageAndTimesOut) {
    engine.upload();
    port.push(counting(62));
    ticks(4);
    EXPECT_TRUE(events.noResponses.empty());
    EXPECT_EQ(engine.mode(), 85);
    engine.tick();
    EXPECT_EQ(events.noResponses, std::vector<int>{85});
    EXPECT_EQ(engine.mode(), 0);
    port.push({63});
    engine.tick();
    EXPECT_TRUE(events.images.empty());
}

struct TimeOutCase {
    const char* name;
    Command command;
    int mode;
};

TEST_F(EngineTest, unansweredCommandTimesOutOnExactlyTheFifthTick) {
    const TimeOutCase cases[] = {
        {"C", [](link::Engine& e) { e.cmdC(); }, 67},
        {"Q", [](link::Engine& e) { e.cmdQ(); }, 81},
        {"@", [](link::Engine& e) { e.cmdAt(); }, 64},
        {"U", [](link::Engine& e) { e.upload(); }, 85},
    };
    for (const TimeOutCase& c : cases) {
        SCOPED_TRACE(c.name);
        support::RecordingEngineEvents fresh;
        engine.setListener(&fresh);
        c.command(engine);
        for (int tick = 1; tick <= 4; ++tick) {
            engine.tick();
            EXPECT_EQ(engine.waitTicks(), tick);
            EXPECT_EQ(engine.mode(), c.mode);
        }
        EXPECT_TRUE(fresh.noResponses.empty());
        engine.tick();
        EXPECT_EQ(fresh.noResponses, std::vector<int>{c.mode});
        EXPECT_EQ(engine.mode(), 0);
        EXPECT_EQ(engine.waitTicks(), 0);
        ticks(10);
        EXPECT_EQ(fresh.noResponses.size(), 1u);
    }
}

TEST_F(EngineTest, unansweredRevisionIsNotReportedWhileTheAboutBoxShows) {
    events.aboutVisible = true;
    engine.cmdQ();
    ticks(5);
    EXPECT_TRUE(events.noResponses.empty());
    EXPECT_EQ(engine.mode(), 0);
}

TEST_F(EngineTest, otherCommandsAreReportedEvenWhileTheAboutBoxShows) {
    events.aboutVisible = true;
    engine.cmdC();
    ticks(5);
    EXPECT_EQ(events.noResponses, std::vector<int>{67});
}

TEST_F(EngineTest, varsAnsweredWith29BytesTimesOutAndALateThirtiethByteIsDropped) {
    engine.cmdAt();
    port.push(counting(29, 1));
    ticks(5);
    EXPECT_EQ(events.noResponses, std::vector<int>{64});
    EXPECT_EQ(engine.mode(), 0);
    port.push({30});
    engine.tick();
    EXPECT_TRUE(events.blocks.empty());
    EXPECT_EQ(engine.rxBuf()[29], 0);
    EXPECT_EQ(port.waiting(), 0);
}

TEST_F(EngineTest, bytesArrivingWhileIdleAreDroppedButStillReported) {
    port.push({9, 8, 7});
    engine.tick();
    EXPECT_EQ(events.arrivals, 1);
    EXPECT_EQ(port.waiting(), 0);
    EXPECT_EQ(engine.rxBuf()[0], 0);
    EXPECT_EQ(engine.rxCount(), 0);
    EXPECT_TRUE(events.noResponses.empty());
}

TEST_F(EngineTest, aTickWithNothingWaitingReportsNoArrival) {
    engine.cmdAt();
    engine.tick();
    EXPECT_EQ(events.arrivals, 0);
}

TEST_F(EngineTest, everyTickFirstReportsTheModeItStartsWith) {
    engine.cmdC();
    port.push({1});
    ticks(2);
    EXPECT_EQ(events.modes, (std::vector<int>{67, 0}));
}

TEST_F(EngineTest, stopMonitorWhileVarsArePendingDoesNothing) {
    engine.cmdAt();
    engine.cmdN();
    EXPECT_EQ(sent(), "@");
    EXPECT_EQ(engine.mode(), 64);
}

TEST_F(EngineTest, stopMonitorIsAllowedWhenIdle) {
    engine.cmdN();
    EXPECT_EQ(sent(), "N");
    EXPECT_EQ(engine.mode(), 0);
}

TEST_F(EngineTest, varsBlockIsNotHandedOnDuringAReplay) {
    engine.setReplayActive();
    engine.cmdAt();
    port.push(counting(30));
    engine.tick();
    EXPECT_TRUE(events.blocks.empty());
    EXPECT_EQ(engine.mode(), 0);
}

TEST_F(EngineTest, aCommandStartedRightAfterStoppingTheStreamGetsItsFullFiveTicks) {
    engine.cmdM();
    ticks(3);
    engine.cmdN();
    engine.cmdC();
    ticks(4);
    EXPECT_TRUE(events.noResponses.empty());
    engine.tick();
    EXPECT_EQ(events.noResponses, std::vector<int>{67});
}

TEST_F(EngineTest, endlessBytesForAnUnknownCommandStayInsideTheBuffer) {
    engine.setMode('Z');
    port.push(0x55, 1000);
    engine.tick();
    EXPECT_EQ(engine.rxCount(), 257);
    EXPECT_EQ(engine.rxBuf()[256], 0x55);
}

}  // namespace

// Line-level faults: replies in pieces, stray bytes while idle.
#include <gtest/gtest.h>

#include <string>

#include "sim/SerialLine.h"

namespace {

using sim::Bytes;

Bytes text(const std::string& s) {
    return Bytes(s.begin(), s.end());
}

TEST(SerialLine, plainLineHandsRepliesOverWhole) {
    sim::Controller controller{sim::ControllerSetup{}};
    sim::SerialLine line(controller, {});
    line.fromHost(text("U"), 1000);
    EXPECT_EQ(line.toHost(1000).size(), 63u);
    EXPECT_FALSE(line.nextDueMs().has_value());
}

TEST(SerialLine, splitLineSendsSevenBytePiecesFifteenMsApart) {
    sim::Controller controller{sim::ControllerSetup{}};
    sim::SerialLine line(controller, {.split = true});
    line.fromHost(text("U"), 1000);
    std::vector<std::size_t> pieces;
    Bytes all;
    for (std::int64_t now = 1000; now < 1200; now += 5) {
        const Bytes piece = line.toHost(now);
        if (!piece.empty()) {
            pieces.push_back(piece.size());
            all.insert(all.end(), piece.begin(), piece.end());
        }
    }
    EXPECT_EQ(pieces, std::vector<std::size_t>(9, 7));
    EXPECT_EQ(all, Bytes(controller.workingImage().begin(), controller.workingImage().end()));
}

TEST(SerialLine, splitPiecesOfTwoRepliesKeepTheirOrder) {
    sim::Controller controller{sim::ControllerSetup{}};
    sim::SerialLine line(controller, {.split = true});
    line.fromHost(text("@"), 0);
    line.fromHost(text("Q"), 1);
    Bytes all;
    for (std::int64_t now = 0; now < 200; ++now) {
        const Bytes piece = line.toHost(now);
        all.insert(all.end(), piece.begin(), piece.end());
    }
    ASSERT_EQ(all.size(), 31u);
    EXPECT_EQ(all.back(), 10);
}

TEST(SerialLine, garbageComesOnlyAfterAQuietSpell) {
    sim::Controller controller{sim::ControllerSetup{}};
    sim::SerialLine line(controller, {.garbage = true});
    line.fromHost(text("Q"), 1000);
    EXPECT_EQ(line.toHost(1000), Bytes{10});
    EXPECT_TRUE(line.toHost(1699).empty());
    EXPECT_EQ(line.nextDueMs(), 1700);
    EXPECT_EQ(line.toHost(1700), Bytes{0xFF});
    EXPECT_EQ(line.toHost(2400), Bytes{0x00});
}

TEST(SerialLine, noGarbageWhileTheMonitorStreams) {
    sim::Controller controller{sim::ControllerSetup{}};
    sim::SerialLine line(controller, {.garbage = true});
    line.fromHost(text("M"), 0);
    for (std::int64_t now = 0; now < 3000; now += 100) {
        EXPECT_EQ(line.toHost(now).size(), 30u);
    }
}

TEST(SerialLine, noGarbageInsideTheBootloader) {
    sim::Controller controller{sim::ControllerSetup{}};
    sim::SerialLine line(controller, {.garbage = true});
    line.fromHost(text("!"), 0);
    EXPECT_TRUE(line.toHost(5000).empty());
}

}  // namespace

// The bootloader dialogue, byte for byte.
#include <gtest/gtest.h>

#include <string>

#include "sim/Controller.h"

namespace {

using sim::Bytes;

Bytes text(const std::string& s) {
    return Bytes(s.begin(), s.end());
}

// A controller that has been sent "!" and is waiting in its bootloader.
sim::Controller bootingController(sim::Faults faults = {}) {
    sim::ControllerSetup setup;
    setup.faults = faults;
    sim::Controller controller(setup);
    controller.receive(text("!"), 0);
    return controller;
}

TEST(Bootloader, entryAnswersNothing) {
    sim::Controller controller{sim::ControllerSetup{}};
    EXPECT_TRUE(controller.receive(text("!"), 0).empty());
    EXPECT_TRUE(controller.inBootloader());
}

TEST(Bootloader, carriageReturnGivesThePrompt) {
    auto controller = bootingController();
    EXPECT_EQ(controller.receive(text("\r"), 1500), text("\r\nBoot>"));
}

TEST(Bootloader, uAfterThePromptIsAcknowledged) {
    auto controller = bootingController();
    controller.receive(text("\r"), 1500);
    EXPECT_EQ(controller.receive(text("u"), 1600), text("u - waiting ..."));
}

TEST(Bootloader, uBeforeThePromptIsIgnored) {
    auto controller = bootingController();
    EXPECT_TRUE(controller.receive(text("u"), 100).empty());
}

TEST(Bootloader, commandLettersMeanNothingInside) {
    auto controller = bootingController();
    EXPECT_TRUE(controller.receive(text("QU@"), 100).empty());
}

TEST(Bootloader, linesAreCollectedAndCompletionFollowsThePause) {
    auto controller = bootingController();
    controller.receive(text("\r"), 1500);
    controller.receive(text("u"), 1600);
    controller.receive(text("S00600004844521B\r"), 1700);
    controller.receive(text("S9030000FC\r"), 1800);
    EXPECT_TRUE(controller.advance(2200).empty());
    EXPECT_EQ(controller.advance(2300), text("  Complete\r\nBoot>\r\nBoot>"));
    EXPECT_EQ(controller.firmwareLines(),
              (std::vector<std::string>{"S00600004844521B", "S9030000FC"}));
}

TEST(Bootloader, lineArrivingInPiecesIsOneLine) {
    auto controller = bootingController();
    controller.receive(text("\ru"), 1500);
    controller.receive(text("S9030"), 1600);
    controller.receive(text("000FC\r"), 1650);
    controller.advance(3000);
    EXPECT_EQ(controller.firmwareLines(), (std::vector<std::string>{"S9030000FC"}));
}

TEST(Bootloader, emptyFileStillCompletes) {
    auto controller = bootingController();
    controller.receive(text("\r"), 1500);
    controller.receive(text("u"), 1600);
    EXPECT_EQ(controller.advance(2100), text("  Complete\r\nBoot>\r\nBoot>"));
}

TEST(Bootloader, xLeavesAndCommandsWorkAgain) {
    auto controller = bootingController();
    controller.receive(text("\r"), 1500);
    controller.receive(text("x"), 1600);
    EXPECT_FALSE(controller.inBootloader());
    EXPECT_EQ(controller.receive(text("Q"), 1700), Bytes{10});
}

TEST(Bootloader, entryStopsTheMonitorStream) {
    sim::Controller controller{sim::ControllerSetup{}};
    controller.receive(text("M"), 0);
    controller.advance(0);
    controller.receive(text("!"), 50);
    EXPECT_TRUE(controller.advance(200).empty());
}

TEST(Bootloader, shortRepliesCutThePrompt) {
    auto controller = bootingController({.shortReplies = true});
    EXPECT_EQ(controller.receive(text("\r"), 1500), text("\r\nBoot"));
}

}  // namespace

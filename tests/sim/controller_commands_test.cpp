// The controller model's command set, fed bytes directly.
#include <gtest/gtest.h>

#include <unistd.h>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>

#include "sim/Controller.h"

namespace {

using sim::Bytes;

Bytes text(const std::string& s) {
    return Bytes(s.begin(), s.end());
}

sim::Image countingImage() {
    sim::Image image{};
    for (std::size_t i = 0; i < image.size(); ++i) {
        image[i] = static_cast<std::uint8_t>(i + 100);
    }
    return image;
}

sim::Controller controllerWith(sim::Faults faults = {}, std::string store = {}) {
    sim::ControllerSetup setup;
    setup.firstImage = countingImage();
    setup.storePath = std::move(store);
    setup.faults = faults;
    return sim::Controller(setup);
}

TEST(ControllerCommands, uploadAnswersWithAll63ImageBytes) {
    auto controller = controllerWith();
    const Bytes reply = controller.receive(text("U"), 0);
    ASSERT_EQ(reply.size(), 63u);
    EXPECT_EQ(reply.front(), 100);
    EXPECT_EQ(reply.back(), 162);
}

TEST(ControllerCommands, writeStoresTheValueAndAnswersNothing) {
    auto controller = controllerWith();
    EXPECT_TRUE(controller.receive(Bytes{'W', 7, 0}, 0).empty());
    EXPECT_EQ(controller.receive(text("U"), 0)[7], 0);
}

TEST(ControllerCommands, writeSplitAcrossReadsIsAssembled) {
    auto controller = controllerWith();
    controller.receive(Bytes{'W'}, 0);
    controller.receive(Bytes{12}, 1);
    EXPECT_FALSE(controller.idle());
    controller.receive(Bytes{'U'}, 2);  // the value byte, not an upload request
    EXPECT_EQ(controller.workingImage()[12], 'U');
    EXPECT_TRUE(controller.idle());
}

TEST(ControllerCommands, writePastTheImageChangesNothingAndKeepsStep) {
    auto controller = controllerWith();
    controller.receive(Bytes{'W', 63, 1, 'W', 200, 2}, 0);
    EXPECT_EQ(controller.workingImage(), countingImage());
    EXPECT_EQ(controller.receive(text("Q"), 0), Bytes{10});
}

TEST(ControllerCommands, revisionQueryAnswersTheConfiguredByte) {
    sim::ControllerSetup setup;
    setup.revision = 171;
    sim::Controller controller(setup);
    EXPECT_EQ(controller.receive(text("Q"), 0), Bytes{171});
}

TEST(ControllerCommands, revisionDefaultsTo10) {
    EXPECT_EQ(controllerWith().receive(text("Q"), 0), Bytes{10});
}

TEST(ControllerCommands, singleFetchGivesOneFrameAndCounterFollowsIt) {
    auto controller = controllerWith();
    const Bytes frame = controller.receive(text("@"), 0);
    ASSERT_EQ(frame.size(), 30u);
    EXPECT_EQ(frame[0], 0);
    EXPECT_EQ(controller.receive(text("C"), 0), Bytes{1});
}

TEST(ControllerCommands, unknownLettersAreIgnored) {
    auto controller = controllerWith();
    EXPECT_TRUE(controller.receive(text("Zz\r?"), 0).empty());
    EXPECT_TRUE(controller.idle());
}

TEST(ControllerCommands, monitorSendsAFrameEvery100MsWithCounterSteppingByOne) {
    auto controller = controllerWith();
    controller.receive(text("M"), 1000);
    std::vector<int> counters;
    for (std::int64_t now = 1000; now < 1500; now += 10) {
        const Bytes out = controller.advance(now);
        if (!out.empty()) {
            ASSERT_EQ(out.size(), 30u);
            counters.push_back(out[0]);
        }
    }
    EXPECT_EQ(counters, (std::vector<int>{0, 1, 2, 3, 4}));
}

TEST(ControllerCommands, monitorCounterWrapsFrom255To0) {
    auto controller = controllerWith();
    for (int i = 0; i < 255; ++i) {
        controller.receive(text("@"), 0);
    }
    controller.receive(text("M"), 0);
    EXPECT_EQ(controller.advance(0)[0], 255);
    EXPECT_EQ(controller.advance(100)[0], 0);
}

TEST(ControllerCommands, stopEndsTheStream) {
    auto controller = controllerWith();
    controller.receive(text("M"), 0);
    controller.advance(0);
    controller.receive(text("N"), 50);
    EXPECT_TRUE(controller.advance(500).empty());
    EXPECT_FALSE(controller.nextDueMs().has_value());
}

TEST(ControllerCommands, lateCallSendsOneFrameNotABurst) {
    auto controller = controllerWith();
    controller.receive(text("M"), 0);
    controller.advance(0);
    EXPECT_EQ(controller.advance(1000).size(), 30u);
    EXPECT_EQ(controller.nextDueMs(), 1100);
}

// Burned images live in a file; each test gets its own.
class ControllerStore : public ::testing::Test {
protected:
    void SetUp() override {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        path_ = std::filesystem::temp_directory_path() /
                ("vc-sim-store-" + std::to_string(::getpid()) + "-" + info->name());
        std::filesystem::remove(path_);
    }
    void TearDown() override { std::filesystem::remove(path_); }

    void writeFile(const std::string& content) const {
        std::ofstream(path_, std::ios::binary) << content;
    }

    std::filesystem::path path_;
};

TEST_F(ControllerStore, burnedImageIsWhatTheNextControllerStartsWith) {
    {
        auto first = controllerWith({}, path_.string());
        first.receive(Bytes{'W', 0, 42, 'W', 62, 7, 'B'}, 0);
    }
    auto second = controllerWith({}, path_.string());
    const Bytes image = second.receive(text("U"), 0);
    EXPECT_EQ(image[0], 42);
    EXPECT_EQ(image[1], 101);
    EXPECT_EQ(image[62], 7);
}

TEST_F(ControllerStore, writesWithoutBurnAreForgotten) {
    {
        auto first = controllerWith({}, path_.string());
        first.receive(Bytes{'W', 0, 42}, 0);
    }
    EXPECT_EQ(controllerWith({}, path_.string()).workingImage(), countingImage());
}

TEST_F(ControllerStore, shortStoreFileIsIgnored) {
    writeFile(std::string(62, 'x'));
    EXPECT_EQ(controllerWith({}, path_.string()).workingImage(), countingImage());
}

TEST_F(ControllerStore, longStoreFileIsIgnored) {
    writeFile(std::string(64, 'x'));
    EXPECT_EQ(controllerWith({}, path_.string()).workingImage(), countingImage());
}

TEST_F(ControllerStore, storeFileOfExactly63BytesIsLoaded) {
    writeFile(std::string(63, 'x'));
    EXPECT_EQ(controllerWith({}, path_.string()).workingImage()[30], 'x');
}

TEST_F(ControllerStore, burnLeavesNoTemporaryFileBehind) {
    auto controller = controllerWith({}, path_.string());
    controller.receive(text("B"), 0);
    EXPECT_EQ(std::filesystem::file_size(path_), 63u);
    EXPECT_FALSE(std::filesystem::exists(path_.string() + ".tmp"));
}

TEST(ControllerFaults, silentControllerAnswersNothingButStillStoresWrites) {
    auto controller = controllerWith({.silent = true});
    EXPECT_TRUE(controller.receive(text("UQC@"), 0).empty());
    controller.receive(Bytes{'W', 3, 9, 'M'}, 0);
    EXPECT_TRUE(controller.advance(0).empty());
    EXPECT_EQ(controller.workingImage()[3], 9);
}

TEST(ControllerFaults, shortRepliesLoseTheirLastByte) {
    auto controller = controllerWith({.shortReplies = true});
    EXPECT_EQ(controller.receive(text("U"), 0).size(), 62u);
    EXPECT_EQ(controller.receive(text("@"), 0).size(), 29u);
    EXPECT_TRUE(controller.receive(text("Q"), 0).empty());
    controller.receive(text("M"), 0);
    EXPECT_EQ(controller.advance(0).size(), 29u);
}

TEST(ControllerFaults, everyThirdMonitorFrameJumpsTheCounterBy5) {
    auto controller = controllerWith({.outOfStepEvery = 3});
    controller.receive(text("M"), 0);
    std::vector<int> counters;
    for (std::int64_t now = 0; now < 600; now += 100) {
        counters.push_back(controller.advance(now)[0]);
    }
    EXPECT_EQ(counters, (std::vector<int>{0, 1, 7, 8, 9, 15}));
}

}  // namespace

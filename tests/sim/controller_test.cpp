// The simulated controller fed bytes directly; the end-to-end tests run it as a process.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "sim/Controller.h"
#include "sim/Options.h"

namespace {

using sim::Bytes;

Bytes text(const std::string& s) {
    return Bytes(s.begin(), s.end());
}

sim::Controller controllerWith(sim::Faults faults = {}, std::string store = {}) {
    sim::ControllerSetup setup;
    for (std::size_t i = 0; i < setup.firstImage.size(); ++i)
        setup.firstImage[i] = static_cast<std::uint8_t>(i + 100);
    setup.storePath = std::move(store);
    setup.faults = faults;
    return sim::Controller(setup);
}

TEST(SimController, writesComeBackInTheUploadedImage) {
    auto controller = controllerWith();
    EXPECT_TRUE(controller.receive(Bytes{'W', 7, 0, 'W'}, 0).empty());
    controller.receive(Bytes{12}, 1);
    controller.receive(Bytes{'U'}, 2);         // the value byte, not an upload request
    controller.receive(Bytes{'W', 63, 1}, 3);  // past the image: ignored, but keeps step
    const Bytes image = controller.receive(text("U"), 4);
    ASSERT_EQ(image.size(), 63u);
    EXPECT_EQ(image[0], 100);
    EXPECT_EQ(image[7], 0);
    EXPECT_EQ(image[12], 'U');
    EXPECT_EQ(image[62], 162);
}

class SimStore : public ::testing::Test {
protected:
    void TearDown() override { std::filesystem::remove(path_); }

    const std::filesystem::path path_ =
        std::filesystem::temp_directory_path() /
        ("vc-sim-store-" + std::to_string(::getpid()) + "-" +
         ::testing::UnitTest::GetInstance()->current_test_info()->name());
};

TEST_F(SimStore, burnedImageIsWhatTheNextControllerStartsWith) {
    {
        auto first = controllerWith({}, path_.string());
        first.receive(Bytes{'W', 0, 42, 'B', 'W', 1, 5}, 0);  // the last write is never burned
    }
    EXPECT_FALSE(std::filesystem::exists(path_.string() + ".tmp"));
    const sim::Image image = controllerWith({}, path_.string()).workingImage();
    EXPECT_EQ(image[0], 42);
    EXPECT_EQ(image[1], 101);
}

TEST_F(SimStore, onlyAStoreFileOfExactly63BytesIsLoaded) {
    for (const std::size_t size : {62u, 64u, 63u}) {
        SCOPED_TRACE(size);
        std::ofstream(path_, std::ios::binary) << std::string(size, 'x');
        EXPECT_EQ(controllerWith({}, path_.string()).workingImage()[30], size == 63 ? 'x' : 130);
    }
}

TEST(SimBootloader, promptsAcknowledgesCollectsLinesCompletesAfterThePauseAndXLeavesIt) {
    auto controller = controllerWith();
    EXPECT_TRUE(controller.receive(text("!"), 0).empty());
    EXPECT_TRUE(controller.receive(text("uQU@"), 100).empty());  // nothing before the prompt
    EXPECT_EQ(controller.receive(text("\r"), 1500), text("\r\nBoot>"));
    EXPECT_EQ(controller.receive(text("u"), 1600), text("u - waiting ..."));
    controller.receive(text("S00600004844521B\rS9030"), 1700);
    controller.receive(text("000FC\r"), 1800);
    EXPECT_TRUE(controller.advance(2200).empty());
    EXPECT_EQ(controller.advance(2300), text("  Complete\r\nBoot>\r\nBoot>"));
    EXPECT_EQ(controller.firmwareLines(),
              (std::vector<std::string>{"S00600004844521B", "S9030000FC"}));
    controller.receive(text("x"), 2400);
    EXPECT_FALSE(controller.inBootloader());
    EXPECT_EQ(controller.receive(text("Q"), 2500), Bytes{10});
}

TEST(SimFaults, silentControllerStillStoresWritesAndShortRepliesLoseTheirLastByte) {
    auto silent = controllerWith({.silent = true});
    EXPECT_TRUE(silent.receive(Bytes{'W', 3, 9, 'U'}, 0).empty());
    EXPECT_EQ(silent.workingImage()[3], 9);
    auto controller = controllerWith({.shortReplies = true});
    EXPECT_EQ(controller.receive(text("U"), 0).size(), 62u);
    EXPECT_TRUE(controller.receive(text("Q"), 0).empty());
    controller.receive(text("!"), 0);
    EXPECT_EQ(controller.receive(text("\r"), 1500), text("\r\nBoot"));
}

TEST(SimOptions, takeTheStoreAndShortRepliesOptions) {
    std::string error;
    const std::vector<std::string> args{"--short", "--store", "s.bin"};
    const auto options = sim::parseOptions(args, error);
    ASSERT_TRUE(options) << error;
    EXPECT_EQ(options->storePath, "s.bin");
    EXPECT_TRUE(options->faults.shortReplies);
}

TEST(SimOptions, refuseABadArgumentWithAMessageNamingIt) {
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases{
        {{"--revision", "256"}, "--revision takes a number from 0 to 255"},
        {{"--revision", "1x"}, "--revision takes a number from 0 to 255"},
        {{"--store"}, "--store needs a value"},
        {{"--loud"}, "unknown argument --loud"}};
    for (const auto& [args, message] : cases) {
        SCOPED_TRACE(message);
        std::string error;
        EXPECT_FALSE(sim::parseOptions(args, error));
        EXPECT_EQ(error, message);
    }
}

}  // namespace

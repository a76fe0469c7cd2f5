// The simulated controller fed bytes directly: the image it keeps and burns to its file, its
// bootloader dialogue, and the misbehaviour the end-to-end tests ask of it.
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

sim::Image countingImage() {
    sim::Image image{};
    for (std::size_t i = 0; i < image.size(); ++i)
        image[i] = static_cast<std::uint8_t>(i + 100);
    return image;
}

sim::Controller controllerWith(sim::Faults faults = {}, std::string store = {}) {
    sim::ControllerSetup setup;
    setup.firstImage = countingImage();
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
    void SetUp() override {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        path_ = std::filesystem::temp_directory_path() /
                ("vc-sim-store-" + std::to_string(::getpid()) + "-" + info->name());
        std::filesystem::remove(path_);
    }
    void TearDown() override { std::filesystem::remove(path_); }

    std::filesystem::path path_;
};

TEST_F(SimStore, burnedImageIsWhatTheNextControllerStartsWith) {
    {
        auto first = controllerWith({}, path_.string());
        first.receive(Bytes{'W', 0, 42, 'B', 'W', 1, 5}, 0);  // the last write is never burned
    }
    EXPECT_EQ(std::filesystem::file_size(path_), 63u);
    EXPECT_FALSE(std::filesystem::exists(path_.string() + ".tmp"));
    const Bytes image = controllerWith({}, path_.string()).receive(text("U"), 0);
    ASSERT_EQ(image.size(), 63u);
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

TEST(SimBootloader, promptsAcknowledgesCollectsLinesAndCompletesAfterThePause) {
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
}

TEST(SimBootloader, xLeavesItAndCommandsWorkAgain) {
    auto controller = controllerWith();
    controller.receive(text("!\r"), 0);
    controller.receive(text("x"), 100);
    EXPECT_FALSE(controller.inBootloader());
    EXPECT_EQ(controller.receive(text("Q"), 200), Bytes{10});
}

TEST(SimFaults, silentControllerAnswersNothingButStillStoresWrites) {
    auto controller = controllerWith({.silent = true});
    EXPECT_TRUE(controller.receive(text("UQC@"), 0).empty());
    controller.receive(Bytes{'W', 3, 9, 'M'}, 0);
    EXPECT_TRUE(controller.advance(0).empty());
    EXPECT_EQ(controller.workingImage()[3], 9);
}

TEST(SimFaults, shortRepliesLoseTheirLastByte) {
    auto controller = controllerWith({.shortReplies = true});
    EXPECT_EQ(controller.receive(text("U"), 0).size(), 62u);
    EXPECT_TRUE(controller.receive(text("Q"), 0).empty());
    controller.receive(text("!"), 0);
    EXPECT_EQ(controller.receive(text("\r"), 1500), text("\r\nBoot"));
}

TEST(SimOptions, takeEveryOptionTheTestsUse) {
    const std::vector<std::string> args{"--store",  "s.bin",    "--record",   "r.bin",
                                        "--link",   "/tmp/tty", "--revision", "0",
                                        "--silent", "--short",  "--split"};
    std::string error;
    const auto options = sim::parseOptions(args, error);
    ASSERT_TRUE(options) << error;
    EXPECT_EQ(options->storePath, "s.bin");
    EXPECT_EQ(options->recordPath, "r.bin");
    EXPECT_EQ(options->linkPath, "/tmp/tty");
    EXPECT_EQ(options->revision, 0);
    EXPECT_TRUE(options->faults.silent);
    EXPECT_TRUE(options->faults.shortReplies);
    EXPECT_TRUE(options->lineFaults.split);
}

TEST(SimOptions, refuseABadArgumentWithAMessageNamingIt) {
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases{
        {{"--revision", "256"}, "--revision takes a number from 0 to 255"},
        {{"--revision", "1x"}, "--revision takes a number from 0 to 255"},
        {{"--store"}, "--store needs a value"},
        {{"--loud"}, "unknown argument --loud"},
    };
    for (const auto& [args, message] : cases) {
        SCOPED_TRACE(message);
        std::string error;
        EXPECT_FALSE(sim::parseOptions(args, error));
        EXPECT_EQ(error, message);
    }
}

}  // namespace

// The simulator through its pseudo-terminal, from a client that uses nothing but termios.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "support/Processes.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

// The start-up Tune of the Edition BEL with "3 Bar" checked, as a send writes it.
const Bytes kStartupImage{
    16, 36,  48,  64, 64, 60,  20, 50, 70, 90, 110, 130, 140, 136, 132, 128, 124, 118, 34,  51, 68,
    85, 119, 136, 51, 76, 90,  90, 30, 40, 0,  12,  6,   7,   0,   105, 120, 0,   1,   108, 0,  90,
    4,  0,   0,   24, 0,  255, 0,  0,  0,  25, 0,   0,   0,   0,   0,   0,   0,   0,   0,   0,  0};

// Opens the device raw, sends `text` and reads until `count` bytes came or the line stayed
// quiet for five seconds.
Bytes exchange(const std::string& device, const std::string& text, std::size_t count) {
    const int fd = ::open(device.c_str(), O_RDWR | O_NOCTTY);
    termios raw{};
    ::tcgetattr(fd, &raw);
    ::cfmakeraw(&raw);
    ::tcsetattr(fd, TCSANOW, &raw);
    EXPECT_EQ(::write(fd, text.data(), text.size()), static_cast<ssize_t>(text.size()));
    Bytes bytes;
    pollfd readable{fd, POLLIN, 0};
    std::uint8_t byte = 0;
    while (bytes.size() < count && ::poll(&readable, 1, 5000) > 0 && ::read(fd, &byte, 1) == 1)
        bytes.push_back(byte);
    ::close(fd);
    return bytes;
}

TEST(SimPty, answersRevisionAndTheStartupImageWholeOrInPiecesOnAReopenedDevice) {
    for (const std::vector<std::string>& arguments : {std::vector<std::string>{}, {"--split"}}) {
        support::SimProcess sim(arguments);
        EXPECT_EQ(exchange(sim.devicePath(), "Q", 1), Bytes{10});
        EXPECT_EQ(exchange(sim.devicePath(), "U", 63), kStartupImage);
    }
}

TEST(SimPty, burnedImageSurvivesARestartAndTheRecordHoldsEveryByteOnceStopped) {
    support::ScratchFolder folder;
    const std::string store = folder.path("store");
    {
        support::SimProcess sim({"--store", store, "--record", folder.path("record")});
        ASSERT_EQ(exchange(sim.devicePath(), std::string("W\x00\x2A", 3) + "BQ", 1), Bytes{10});
        EXPECT_EQ(sim.stop(), 0);
        EXPECT_EQ(support::readFile(folder.path("record")), std::string("W\x00\x2A"
                                                                        "BQ",
                                                                        5));
    }
    support::SimProcess restarted({"--store", store});
    const Bytes image = exchange(restarted.devicePath(), "U", 63);
    ASSERT_EQ(image.size(), 63u);
    EXPECT_EQ(image[0], 42);
    EXPECT_EQ(image[1], 36);
}

TEST(SimPty, monitorStreamSendsWholeFramesWithAStepwiseCounter) {
    support::SimProcess sim;
    const Bytes frames = exchange(sim.devicePath(), "M", 90);
    exchange(sim.devicePath(), "N", 0);
    ASSERT_EQ(frames.size(), 90u);
    EXPECT_EQ(frames[30], static_cast<std::uint8_t>(frames[0] + 1));
    EXPECT_EQ(frames[60], static_cast<std::uint8_t>(frames[0] + 2));
}

TEST(SimPty, linkNamesTheDeviceWhileRunningAndGoesAtTheEnd) {
    support::ScratchFolder folder;
    const std::filesystem::path link = folder.path("ttyVolcrestone");
    support::SimProcess sim({"--link", link.string()});
    EXPECT_EQ(std::filesystem::read_symlink(link).string(), sim.devicePath());
    EXPECT_EQ(sim.stop(), 0);
    EXPECT_FALSE(std::filesystem::exists(std::filesystem::symlink_status(link)));
}

TEST(SimPty, badArgumentEndsTheSimulatorWithoutADevice) {
    EXPECT_THROW(support::SimProcess({"--revision", "300"}), std::runtime_error);
}

}  // namespace

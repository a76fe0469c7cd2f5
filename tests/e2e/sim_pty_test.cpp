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

// Opens the device raw, sends `text`, reads `count` bytes or until five quiet seconds.
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

TEST(SimPty, answersAndStreamsOnItsLinkWholeOrInPiecesOnAReopenedDeviceAndRemovesTheLinkAtStop) {
    support::ScratchFolder folder;
    const std::string link = folder.path("ttyVolcrestone");
    std::vector<Bytes> images;
    for (const std::vector<std::string>& arguments :
         {std::vector<std::string>{"--link", link}, {"--link", link, "--split"}}) {
        support::SimProcess sim(arguments);
        images.push_back(exchange(link, "U", 63));  // through the link to the device
        // Whole frames with a counter that steps by one.
        const Bytes frames = exchange(link, "M", 90);
        exchange(link, "N", 0);
        ASSERT_EQ(frames.size(), 90u);
        EXPECT_EQ(frames[30], static_cast<std::uint8_t>(frames[0] + 1));
        EXPECT_EQ(frames[60], static_cast<std::uint8_t>(frames[0] + 2));
        EXPECT_EQ(sim.stop(), 0);
        EXPECT_FALSE(std::filesystem::exists(std::filesystem::symlink_status(link)));
    }
    EXPECT_EQ(images[0].size(), 63u);
    EXPECT_EQ(images[1], images[0]);
}

}  // namespace

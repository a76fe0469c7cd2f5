// The simulator through its pseudo-terminal, from a client that uses nothing but termios.
#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "support/SimProcess.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

// The start-up Tune of the Edition BEL with "3 Bar" checked, as a send writes it.
const Bytes kStartupImage{
    16, 36,  48,  64, 64, 60,  20, 50, 70, 90, 110, 130, 140, 136, 132, 128, 124, 118, 34,  51, 68,
    85, 119, 136, 51, 76, 90,  90, 30, 40, 0,  12,  6,   7,   0,   105, 120, 0,   1,   108, 0,  90,
    4,  0,   0,   24, 0,  255, 0,  0,  0,  25, 0,   0,   0,   0,   0,   0,   0,   0,   0,   0,  0};

class PtyClient {
public:
    explicit PtyClient(const std::string& path) : fd_(::open(path.c_str(), O_RDWR | O_NOCTTY)) {
        termios settings{};
        if (fd_ < 0 || ::tcgetattr(fd_, &settings) != 0) {
            return;
        }
        ::cfmakeraw(&settings);
        ::cfsetispeed(&settings, B9600);
        ::cfsetospeed(&settings, B9600);
        ::tcsetattr(fd_, TCSANOW, &settings);
        ::tcflush(fd_, TCIFLUSH);
    }
    ~PtyClient() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }
    PtyClient(const PtyClient&) = delete;
    PtyClient& operator=(const PtyClient&) = delete;

    bool isOpen() const { return fd_ >= 0; }

    void send(const std::string& text) {
        ASSERT_EQ(::write(fd_, text.data(), text.size()), static_cast<ssize_t>(text.size()));
    }

    // Reads until `count` bytes came or the line stayed quiet for five seconds.
    Bytes receive(std::size_t count) {
        Bytes bytes;
        while (bytes.size() < count) {
            pollfd readable{fd_, POLLIN, 0};
            if (::poll(&readable, 1, 5000) <= 0) {
                break;
            }
            std::uint8_t buffer[256];
            const ssize_t n = ::read(fd_, buffer, std::min(sizeof buffer, count - bytes.size()));
            if (n <= 0) {
                break;
            }
            bytes.insert(bytes.end(), buffer, buffer + n);
        }
        return bytes;
    }

private:
    int fd_;
};

// Each test gets its own scratch folder for store, record and link files.
class SimPty : public ::testing::Test {
protected:
    void SetUp() override {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        scratch_ = std::filesystem::temp_directory_path() /
                   ("volcrestone-sim-" + std::to_string(::getpid()) + "-" + info->name());
        std::filesystem::create_directories(scratch_);
    }
    void TearDown() override { std::filesystem::remove_all(scratch_); }

    std::filesystem::path scratchPath(const std::string& name) const { return scratch_ / name; }

private:
    std::filesystem::path scratch_;
};

Bytes fileBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

TEST_F(SimPty, uploadGivesTheStartupImageWholeOrInPiecesAndTheDeviceMayBeReopened) {
    for (const std::vector<std::string>& arguments : {std::vector<std::string>{}, {"--split"}}) {
        support::SimProcess sim(arguments);
        {
            PtyClient first(sim.devicePath());
            ASSERT_TRUE(first.isOpen());
            first.send("Q");
            EXPECT_EQ(first.receive(1), Bytes{10});
        }
        PtyClient second(sim.devicePath());
        second.send("U");
        EXPECT_EQ(second.receive(63), kStartupImage);
    }
}

TEST_F(SimPty, recordIsCompleteOnceTheSimulatorStopped) {
    const auto record = scratchPath("record.bin");
    support::SimProcess sim({"--record", record.string()});
    {
        PtyClient client(sim.devicePath());
        client.send(std::string("W\x00\x10W\x06\x14", 6) + "B");
    }
    EXPECT_EQ(sim.stop(), 0);
    EXPECT_EQ(fileBytes(record), (Bytes{'W', 0, 0x10, 'W', 6, 0x14, 'B'}));
}

TEST_F(SimPty, burnedImageSurvivesARestart) {
    const auto store = scratchPath("store.bin");
    {
        support::SimProcess sim({"--store", store.string()});
        PtyClient client(sim.devicePath());
        client.send(std::string("W\x00\x2A", 3) + "B" + "Q");
        ASSERT_EQ(client.receive(1), Bytes{10});
    }
    support::SimProcess restarted({"--store", store.string()});
    PtyClient client(restarted.devicePath());
    client.send("U");
    const Bytes image = client.receive(63);
    ASSERT_EQ(image.size(), 63u);
    EXPECT_EQ(image[0], 42);
    EXPECT_EQ(image[1], 36);
}

TEST_F(SimPty, monitorStreamSendsWholeFramesWithStepwiseCounter) {
    support::SimProcess sim;
    PtyClient client(sim.devicePath());
    client.send("M");
    const Bytes frames = client.receive(90);
    client.send("N");
    ASSERT_EQ(frames.size(), 90u);
    EXPECT_EQ(frames[30], static_cast<std::uint8_t>(frames[0] + 1));
    EXPECT_EQ(frames[60], static_cast<std::uint8_t>(frames[0] + 2));
}

TEST_F(SimPty, linkNamesTheDeviceWhileRunningAndGoesAtTheEnd) {
    const auto link = scratchPath("ttyVolcrestone");
    support::SimProcess sim({"--link", link.string()});
    ASSERT_TRUE(std::filesystem::is_symlink(link));
    EXPECT_EQ(std::filesystem::read_symlink(link).string(), sim.devicePath());
    EXPECT_EQ(sim.stop(), 0);
    EXPECT_FALSE(std::filesystem::exists(std::filesystem::symlink_status(link)));
}

TEST_F(SimPty, badArgumentEndsTheSimulatorWithoutADevice) {
    EXPECT_THROW(support::SimProcess({"--revision", "300"}), std::runtime_error);
}

}  // namespace

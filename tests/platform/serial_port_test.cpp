#include <gtest/gtest.h>

#include <termios.h>

#include "Pty.h"
#include "link/Engine.h"
#include "platform/QtSerialPort.h"
#include "support/FakePlatform.h"

namespace {

class SerialPortTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(port.open(1)) << port.errorText(); }

    Pty pty;
    platform::QtSerialPort port{pty.device};
};

TEST_F(SerialPortTest, everyByteValuePassesBothWaysAsPlainData) {
    // CR, LF, XON, XOFF and bytes above 127 must not be translated or swallowed.
    const std::vector<std::uint8_t> bytes{0x00, 0x0D, 0x0A, 0x11, 0x13, 0x7F, 0x80, 0xFF};
    ASSERT_TRUE(pty.send(bytes));
    ASSERT_TRUE(pumpUntil([&] { return port.bytesAvailable() >= 8; }));
    EXPECT_EQ(port.readAll(), bytes);
    port.write(bytes);
    EXPECT_EQ(pty.received(bytes.size()), bytes);
}

TEST_F(SerialPortTest, lineRunsAt9600BaudEightDataBitsNoParityOneStopBitNoFlowControl) {
    termios settings{};
    ASSERT_EQ(tcgetattr(pty.master, &settings), 0);
    EXPECT_EQ(cfgetospeed(&settings), static_cast<speed_t>(B9600));
    EXPECT_EQ(settings.c_cflag & (CSIZE | PARENB | CSTOPB | CRTSCTS), static_cast<tcflag_t>(CS8));
    EXPECT_EQ(settings.c_iflag & (IXON | IXOFF), 0u);
    EXPECT_EQ(settings.c_lflag & ICANON, 0u);
}

TEST_F(SerialPortTest, aVanishedDeviceClosesThePortAndIsReportedOnce) {
    int reports = 0;
    port.setOnVanished([&] { ++reports; });
    ::close(std::exchange(pty.master, -1));
    ASSERT_TRUE(pumpUntil([&] { return !port.isOpen(); }));
    pumpUntil([] { return false; });
    EXPECT_EQ(reports, 1);
}

TEST_F(SerialPortTest, theEnginesBurnFollowsEveryWriteQueuedOnTheLine) {
    platform::SystemClock clock;
    platform::QtEventPump pump;
    link::Engine engine{port, clock, pump};
    std::vector<std::uint8_t> expected;
    for (int offset = 0; offset < 53; ++offset) {
        const auto value = static_cast<std::uint8_t>(200 + offset % 50);
        engine.writeByte(offset, value);
        expected.insert(expected.end(), {'W', static_cast<std::uint8_t>(offset), value});
    }
    EXPECT_TRUE(engine.burn());
    expected.push_back('B');
    EXPECT_EQ(pty.received(expected.size()), expected);
}

TEST(ComDeviceTest, aComNumberOpensTheDeviceTheSettingsNameAndAMissingOneFails) {
    Pty pty;
    unsetenv("VOLCRESTONE_COM2");
    unsetenv("VOLCRESTONE_COM4");
    support::FakeSettingsStore settings;
    settings.write("Config", "COM2", pty.device);
    settings.write("Config", "COM4", "/nonexistent/ttyVolcrestone");
    platform::QtSerialPort port(settings);
    EXPECT_FALSE(port.open(4));
    EXPECT_TRUE(port.open(2));
}

}  // namespace

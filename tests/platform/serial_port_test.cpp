#include <gtest/gtest.h>

#include <QCoreApplication>
#include <cstdlib>
#include <functional>

#include "Pty.h"
#include "platform/QtSerialPort.h"
#include "platform/SystemClock.h"
#include "support/FakePlatform.h"

namespace {

// Lets Qt's event loop run until `done` holds; false if it never does within a few seconds.
bool pumpUntil(const std::function<bool()>& done) {
    platform::QtEventPump pump;
    for (int i = 0; i < 250; ++i) {
        if (done()) {
            return true;
        }
        pump.processEvents();
    }
    return done();
}

std::vector<std::uint8_t> everyByteValue() {
    std::vector<std::uint8_t> bytes;
    for (int i = 0; i < 159; ++i) {
        bytes.push_back(static_cast<std::uint8_t>((i * 37) % 256));
    }
    return bytes;
}

class SerialPortTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(pty.ok());
        ASSERT_TRUE(port.open(1)) << port.errorText();
    }

    Pty pty;
    platform::QtSerialPort port{pty.device()};
};

TEST_F(SerialPortTest, bytesFromTheLineArriveExactlyAsSent) {
    // CR, LF, XON, XOFF and bytes above 127 must all pass as plain data.
    const std::vector<std::uint8_t> bytes{0x00, 0x0D, 0x0A, 0x11, 0x13, 0x7F, 0x80, 0xFF};
    pty.send(bytes);
    ASSERT_TRUE(pumpUntil([&] { return port.bytesAvailable() >= 8; }));
    EXPECT_EQ(port.readAll(), bytes);
    EXPECT_EQ(port.bytesAvailable(), 0);
}

TEST_F(SerialPortTest, writtenBytesLeaveTheQueueWhenEventsRun) {
    const std::vector<std::uint8_t> bytes = everyByteValue();
    port.write(bytes);
    ASSERT_TRUE(pumpUntil([&] { return port.bytesToWrite() == 0; }));
    ASSERT_TRUE(pumpUntil([&] {
        pty.collect();
        return pty.received.size() >= bytes.size();
    }));
    EXPECT_EQ(pty.received, bytes);
}

TEST_F(SerialPortTest, lineRunsAt9600BaudEightDataBitsNoParityOneStopBitNoFlowControl) {
    termios settings{};
    ASSERT_EQ(tcgetattr(pty.master(), &settings), 0);
    EXPECT_EQ(cfgetospeed(&settings), static_cast<speed_t>(B9600));
    EXPECT_EQ(cfgetispeed(&settings), static_cast<speed_t>(B9600));
    EXPECT_EQ(settings.c_cflag & CSIZE, static_cast<tcflag_t>(CS8));
    EXPECT_EQ(settings.c_cflag & PARENB, 0u);
    EXPECT_EQ(settings.c_cflag & CSTOPB, 0u);
    EXPECT_EQ(settings.c_cflag & CRTSCTS, 0u);
    EXPECT_EQ(settings.c_iflag & (IXON | IXOFF), 0u);
    EXPECT_EQ(settings.c_lflag & ICANON, 0u);
}

TEST_F(SerialPortTest, aClosedPortHasNothingToReadAndSendsNothing) {
    port.close();
    EXPECT_FALSE(port.isOpen());
    port.write({'Q'});
    EXPECT_EQ(port.bytesToWrite(), 0);
    EXPECT_EQ(port.bytesAvailable(), 0);
    EXPECT_TRUE(port.readAll().empty());
    pty.collect();
    EXPECT_TRUE(pty.received.empty());
}

TEST_F(SerialPortTest, aVanishedDeviceClosesThePortAndIsReportedOnce) {
    int reports = 0;
    port.setOnVanished([&] { ++reports; });
    pty.closeMaster();
    ASSERT_TRUE(pumpUntil([&] { return !port.isOpen(); }));
    platform::QtEventPump more;
    for (int i = 0; i < 10; ++i) {
        more.processEvents();
    }
    EXPECT_EQ(reports, 1);
}

TEST(SerialPortOpenTest, aMissingDeviceDoesNotOpen) {
    platform::QtSerialPort port(std::string("/nonexistent/ttyVolcrestone"));
    EXPECT_FALSE(port.open(1));
    EXPECT_FALSE(port.isOpen());
}

TEST(SerialPortOpenTest, anExplicitDeviceIsUsedForEveryNumber) {
    platform::QtSerialPort port(std::string("/dev/pts/77"));
    EXPECT_EQ(port.deviceFor(1), "/dev/pts/77");
    EXPECT_EQ(port.deviceFor(4), "/dev/pts/77");
}

TEST(ComDeviceTest, comNumbersMapToTheSystemsSerialDevices) {
    unsetenv("VOLCRESTONE_COM1");
    unsetenv("VOLCRESTONE_COM4");
    EXPECT_EQ(platform::comDevice(1, nullptr), "/dev/ttyS0");
    EXPECT_EQ(platform::comDevice(4, nullptr), "/dev/ttyS3");
}

TEST(ComDeviceTest, settingsNameTheDeviceOfAComNumber) {
    unsetenv("VOLCRESTONE_COM2");
    support::FakeSettingsStore settings;
    settings.write("Config", "COM2", "/dev/ttyUSB0");
    EXPECT_EQ(platform::comDevice(2, &settings), "/dev/ttyUSB0");
    EXPECT_EQ(platform::comDevice(3, &settings), "/dev/ttyS2");
}

TEST(ComDeviceTest, environmentOverridesTheSettings) {
    support::FakeSettingsStore settings;
    settings.write("Config", "COM3", "/dev/ttyUSB0");
    setenv("VOLCRESTONE_COM3", "/tmp/sim-pty", 1);
    EXPECT_EQ(platform::comDevice(3, &settings), "/tmp/sim-pty");
    setenv("VOLCRESTONE_COM3", "", 1);
    EXPECT_EQ(platform::comDevice(3, &settings), "/dev/ttyUSB0");
    unsetenv("VOLCRESTONE_COM3");
}

TEST(ComDeviceTest, aPortWithSettingsOpensTheDeviceTheyName) {
    Pty pty;
    ASSERT_TRUE(pty.ok());
    unsetenv("VOLCRESTONE_COM2");
    support::FakeSettingsStore settings;
    settings.write("Config", "COM2", pty.device());
    platform::QtSerialPort port(settings);
    EXPECT_TRUE(port.open(2));
    pty.send({'x'});
    EXPECT_TRUE(pumpUntil([&] { return port.bytesAvailable() == 1; }));
}

}  // namespace

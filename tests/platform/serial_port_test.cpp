// The real serial port on a pseudo-terminal: raw bytes both ways, line settings, a lost device.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

#include <functional>
#include <tuple>
#include <utility>

#include "platform/FakePlatform.h"
#include "platform/QtSerialPort.h"
#include "platform/SystemClock.h"

namespace {

// Lets Qt's event loop run until `done` holds; false if it never does within a few seconds.
bool pumpUntil(const std::function<bool()>& done) {
    platform::QtEventPump pump;
    for (int i = 0; i < 250 && !done(); ++i)
        pump.processEvents();
    return done();
}

// The controller's end of a pseudo-terminal whose other end, `device`, the program opens.
struct Pty {
    int master = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
    std::string device = grantpt(master) == 0 && unlockpt(master) == 0 ? ptsname(master) : "";
    ~Pty() { ::close(master); }
};

// COM2 opens the device the settings name for it.
class SerialPortTest : public ::testing::Test {
protected:
    void SetUp() override {
        store.write("Config", "COM2", pty.device);
        ASSERT_TRUE(port.open(2)) << port.errorText();
    }

    Pty pty;
    platform::FakeSettingsStore store;
    platform::QtSerialPort port{store};
};

TEST_F(SerialPortTest, everyByteValuePassesBothWaysUntranslated) {
    const std::vector<std::uint8_t> bytes{0x00, 0x0D, 0x0A, 0x11, 0x13, 0x7F, 0x80, 0xFF};
    ASSERT_EQ(::write(pty.master, bytes.data(), bytes.size()), 8);
    ASSERT_TRUE(pumpUntil([&] { return port.bytesAvailable() >= 8; }));
    EXPECT_EQ(port.readAll(), bytes);
    port.write(bytes);
    std::vector<std::uint8_t> written;
    ASSERT_TRUE(pumpUntil([&] {
        std::uint8_t buffer[512];
        for (ssize_t n; (n = ::read(pty.master, buffer, sizeof buffer)) > 0;)
            written.insert(written.end(), buffer, buffer + n);
        return written.size() >= bytes.size();
    }));
    EXPECT_EQ(written, bytes);
}

TEST_F(SerialPortTest, lineRunsAt9600BaudEightDataBitsNoParityOneStopBitNoFlowControl) {
    const platform::QtSerialPort::LineSettings line = port.lineSettings();
    EXPECT_EQ(
        std::tuple(line.baudRate, line.dataBits, line.parity, line.stopBits, line.flowControl),
        std::tuple(9600, QSerialPort::Data8, QSerialPort::NoParity, QSerialPort::OneStop,
                   QSerialPort::NoFlowControl));
    // What the terminal can tell: the speed and raw bytes without software flow control.
    termios settings{};
    ASSERT_EQ(tcgetattr(pty.master, &settings), 0);
    EXPECT_EQ(
        std::tuple(cfgetospeed(&settings), settings.c_cflag & (CSIZE | PARENB | CSTOPB | CRTSCTS),
                   settings.c_iflag & (IXON | IXOFF), settings.c_lflag & ICANON),
        std::tuple(static_cast<speed_t>(B9600), static_cast<tcflag_t>(CS8), 0u, 0u));
}

TEST_F(SerialPortTest, aVanishedDeviceClosesThePortAndIsReportedOnce) {
    int reports = 0;
    port.setOnVanished([&] { ++reports; });
    ::close(std::exchange(pty.master, -1));
    ASSERT_TRUE(pumpUntil([&] { return !port.isOpen(); }));
    pumpUntil([] { return false; });
    EXPECT_EQ(reports, 1);
}

}  // namespace

#include "platform/QtSerialPort.h"

#include <QByteArray>
#include <algorithm>
#include <climits>
#include <cstdlib>
#include <utility>

#ifndef _WIN32
#include <sys/ioctl.h>
#endif

namespace platform {

namespace {

int toInt(qint64 count) {
    return static_cast<int>(std::clamp<qint64>(count, 0, INT_MAX));
}

}  // namespace

ComMapping comMapping(int number, const SettingsStore* settings) {
    const std::string com = "COM" + std::to_string(number);
    if (const char* fromEnvironment = std::getenv(("VOLCRESTONE_" + com).c_str());
        fromEnvironment != nullptr && *fromEnvironment != '\0') {
        return {fromEnvironment, ComSource::Environment};
    }
    if (settings != nullptr) {
        std::string fromSettings = settings->read("Config", com, "");
        if (!fromSettings.empty()) {
            return {std::move(fromSettings), ComSource::Settings};
        }
    }
#ifdef _WIN32
    return {com, ComSource::System};
#else
    return {"/dev/ttyS" + std::to_string(number - 1), ComSource::System};
#endif
}

std::string comDevice(int number, const SettingsStore* settings) {
    return comMapping(number, settings).device;
}

QtSerialPort::QtSerialPort() {
    // Connected before any open so that no error of the device can go unseen.
    QObject::connect(&port_, &QSerialPort::errorOccurred, &port_,
                     [this](QSerialPort::SerialPortError error) { errorOccurred(error); });
}

QtSerialPort::QtSerialPort(const SettingsStore& settings) : QtSerialPort() {
    settings_ = &settings;
}

QtSerialPort::QtSerialPort(std::string devicePath) : QtSerialPort() {
    fixedDevice_ = std::move(devicePath);
}

QtSerialPort::~QtSerialPort() {
    // Closing from the destructor must not call back into an owner that is going away.
    onVanished_ = nullptr;
    close();
}

std::string QtSerialPort::deviceFor(int number) const {
    return fixedDevice_.empty() ? comDevice(number, settings_) : fixedDevice_;
}

std::string QtSerialPort::errorText() const {
    return port_.errorString().toStdString();
}

QtSerialPort::LineSettings QtSerialPort::lineSettings() const {
    return {port_.baudRate(), port_.dataBits(), port_.parity(), port_.stopBits(),
            port_.flowControl()};
}

bool QtSerialPort::open(int number) {
    close();
    if (fixedDevice_.empty() && number < 1) {
        return false;
    }
    port_.setPortName(QString::fromLocal8Bit(deviceFor(number)));
    port_.setBaudRate(QSerialPort::Baud9600);
    port_.setDataBits(QSerialPort::Data8);
    port_.setParity(QSerialPort::NoParity);
    port_.setStopBits(QSerialPort::OneStop);
    port_.setFlowControl(QSerialPort::NoFlowControl);
    // No limit: a reply and any stray bytes wait here until the next tick reads them.
    port_.setReadBufferSize(0);
    vanishReported_ = false;
    return port_.open(QIODevice::ReadWrite);
}

void QtSerialPort::close() {
    if (port_.isOpen()) {
        port_.close();
    }
}

bool QtSerialPort::isOpen() const {
    return port_.isOpen();
}

void QtSerialPort::write(const std::vector<std::uint8_t>& bytes) {
    if (!port_.isOpen() || bytes.empty()) {
        return;
    }
    port_.write(reinterpret_cast<const char*>(bytes.data()), static_cast<qint64>(bytes.size()));
}

int QtSerialPort::bytesAvailable() {
    return port_.isOpen() ? toInt(port_.bytesAvailable()) : 0;
}

std::vector<std::uint8_t> QtSerialPort::readAll() {
    if (!port_.isOpen()) {
        return {};
    }
    const QByteArray data = port_.readAll();
    return std::vector<std::uint8_t>(
        reinterpret_cast<const std::uint8_t*>(data.constData()),
        reinterpret_cast<const std::uint8_t*>(data.constData()) + data.size());
}

int QtSerialPort::bytesToWrite() {
    if (!port_.isOpen()) {
        return 0;
    }
    qint64 queued = port_.bytesToWrite();
#ifndef _WIN32
    // Qt counts only its own buffer; bytes already handed to the driver may still wait for the
    // line. "B" and the end of the command-line tool must wait for those too: closing the port
    // restores the device's old line settings while the driver may still be sending.
    int inDriver = 0;
    if (::ioctl(static_cast<int>(port_.handle()), TIOCOUTQ, &inDriver) == 0 && inDriver > 0) {
        queued += inDriver;
    }
#endif
    return toInt(queued);
}

void QtSerialPort::errorOccurred(QSerialPort::SerialPortError error) {
    // An unplugged adapter reports ResourceError. A hung-up line (a pseudo-terminal whose other
    // end closed) reports ReadError on every turn of the event loop instead; a read that fails
    // on an open device never recovers, so both mean the device is gone: close, tell the owner
    // once, keep running.
    if (error != QSerialPort::ResourceError && error != QSerialPort::ReadError) {
        return;
    }
    close();
    if (!vanishReported_) {
        vanishReported_ = true;
        if (onVanished_) {
            onVanished_();
        }
    }
}

}  // namespace platform

#pragma once

#include <QSerialPort>
#include <functional>
#include <string>

#include "platform/ComDevice.h"
#include "platform/SerialPort.h"
#include "platform/SettingsStore.h"

namespace platform {

// The controller's line over QSerialPort: 9600 8N1, no flow control, raw bytes. Output leaves
// the port while the event loop runs.
class QtSerialPort final : public SerialPort {
public:
    // COMn is looked up by comDevice() without settings.
    QtSerialPort();
    // COMn is looked up by comDevice() in these settings, which must outlive the port.
    explicit QtSerialPort(const SettingsStore& settings);
    // Always this device, whichever number is asked for (a path given on a command line).
    explicit QtSerialPort(std::string devicePath);
    ~QtSerialPort() override;

    QtSerialPort(const QtSerialPort&) = delete;
    QtSerialPort& operator=(const QtSerialPort&) = delete;

    // Runs once per opening when the device disappears (adapter unplugged, line hung up); the
    // port is closed by then.
    void setOnVanished(std::function<void()> callback) { onVanished_ = std::move(callback); }

    // The device that open(number) uses.
    std::string deviceFor(int number) const;
    // The system's reason for the last failure, for diagnostics.
    std::string errorText() const;

    // The line settings the port asked of the device. A pseudo-terminal takes any and reports
    // 8 bits without parity regardless, so these, not the terminal's, show what was asked.
    struct LineSettings {
        qint32 baudRate;
        QSerialPort::DataBits dataBits;
        QSerialPort::Parity parity;
        QSerialPort::StopBits stopBits;
        QSerialPort::FlowControl flowControl;
    };
    LineSettings lineSettings() const;

    bool open(int number) override;
    void close() override;
    bool isOpen() const override;
    void write(const std::vector<std::uint8_t>& bytes) override;
    int bytesAvailable() override;
    std::vector<std::uint8_t> readAll() override;
    int bytesToWrite() override;

private:
    void errorOccurred(QSerialPort::SerialPortError error);

    QSerialPort port_;
    const SettingsStore* settings_ = nullptr;
    std::string fixedDevice_;
    std::function<void()> onVanished_;
    bool vanishReported_ = false;
};

}  // namespace platform

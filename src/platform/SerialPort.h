#pragma once

#include <cstdint>
#include <vector>

namespace platform {

// The line to the controller: COM1 to COM4 at 9600 8N1, no flow control, raw bytes.
class SerialPort {
public:
    virtual ~SerialPort() = default;

    // Opens COM`number` (1..4); false when the device is absent, busy or refuses the settings.
    virtual bool open(int number) = 0;
    virtual void close() = 0;
    virtual bool isOpen() const = 0;
    virtual void write(const std::vector<std::uint8_t>& bytes) = 0;
    virtual int bytesAvailable() = 0;
    virtual std::vector<std::uint8_t> readAll() = 0;
    // Bytes handed to write() that have not left the port yet.
    virtual int bytesToWrite() = 0;
};

}  // namespace platform

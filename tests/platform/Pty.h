#pragma once

#include <fcntl.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "platform/SystemClock.h"

// Lets Qt's event loop run until `done` holds; false if it never does within a few seconds.
inline bool pumpUntil(const std::function<bool()>& done) {
    platform::QtEventPump pump;
    for (int i = 0; i < 250 && !done(); ++i) {
        pump.processEvents();
    }
    return done();
}

// The controller's end of a pseudo-terminal whose other end, `device`, the program opens.
struct Pty {
    int master = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
    std::string device = grantpt(master) == 0 && unlockpt(master) == 0 ? ptsname(master) : "";
    std::vector<std::uint8_t> written;  // by the program, so far

    ~Pty() { ::close(master); }
    bool send(const std::vector<std::uint8_t>& bytes) const {
        return ::write(master, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size());
    }
    // Lets events run until the program has written `count` bytes in all.
    const std::vector<std::uint8_t>& received(std::size_t count) {
        pumpUntil([&] {
            std::uint8_t buffer[512];
            for (ssize_t n; (n = ::read(master, buffer, sizeof buffer)) > 0;) {
                written.insert(written.end(), buffer, buffer + n);
            }
            return written.size() >= count;
        });
        return written;
    }
};

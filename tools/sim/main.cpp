// volcrestone-sim: a pretend ignition controller on a pseudo-terminal, for trying the tool
// without hardware and for the end-to-end tests. The first line on stdout is the device path.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstring>
#include <fstream>
#include <iostream>
#include <optional>
#include <span>
#include <stdexcept>
#include <string>
#include <vector>

#include "Controller.h"
#include "Options.h"
#include "Pty.h"
#include "SerialLine.h"
#include "StartupImage.h"

namespace {

volatile std::sig_atomic_t stopRequested = 0;

void requestStop(int) {
    stopRequested = 1;
}

std::int64_t nowMs() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

// A link left behind by a run that was killed is replaced; anything else at that path is not
// ours to touch.
bool makeLink(const std::string& linkPath, const std::string& target) {
    struct stat existing {};
    if (::lstat(linkPath.c_str(), &existing) == 0 && S_ISLNK(existing.st_mode)) {
        ::unlink(linkPath.c_str());
    }
    if (::symlink(target.c_str(), linkPath.c_str()) != 0) {
        std::cerr << "volcrestone-sim: cannot create " << linkPath << ": " << std::strerror(errno)
                  << '\n';
        return false;
    }
    return true;
}

// SIGTERM and SIGINT stay blocked except while we wait in ppoll, so a stop request can never
// slip in between the check and the wait.
sigset_t blockStopSignals() {
    struct sigaction action {};
    action.sa_handler = requestStop;
    ::sigemptyset(&action.sa_mask);
    ::sigaction(SIGTERM, &action, nullptr);
    ::sigaction(SIGINT, &action, nullptr);
    sigset_t stopSignals;
    ::sigemptyset(&stopSignals);
    ::sigaddset(&stopSignals, SIGTERM);
    ::sigaddset(&stopSignals, SIGINT);
    sigset_t waitMask;
    ::sigprocmask(SIG_BLOCK, &stopSignals, &waitMask);
    ::sigdelset(&waitMask, SIGTERM);
    ::sigdelset(&waitMask, SIGINT);
    return waitMask;
}

void record(int recordFd, std::span<const std::uint8_t> bytes) {
    if (recordFd >= 0 &&
        ::write(recordFd, bytes.data(), bytes.size()) != static_cast<ssize_t>(bytes.size())) {
        std::cerr << "volcrestone-sim: recording failed: " << std::strerror(errno) << '\n';
    }
}

// Until a stop request, or until `vanishAfter` bytes came from the host (0 = never): the
// controller takes those bytes but says nothing more, and the caller pulls the line.
void serve(sim::Pty& pty, sim::SerialLine& line, int recordFd, const sigset_t& waitMask,
           int vanishAfter) {
    std::array<std::uint8_t, 512> buffer{};
    std::size_t heard = 0;
    while (stopRequested == 0) {
        const sim::Bytes out = line.toHost(nowMs());
        pty.write(out);
        timespec timeout{};
        timespec* wait = nullptr;
        if (const auto due = line.nextDueMs()) {
            const std::int64_t ms = std::max<std::int64_t>(0, *due - nowMs());
            timeout.tv_sec = static_cast<time_t>(ms / 1000);
            timeout.tv_nsec = static_cast<long>(ms % 1000) * 1000000L;
            wait = &timeout;
        }
        pollfd input{pty.controllerFd(), POLLIN, 0};
        if (::ppoll(&input, 1, wait, &waitMask) <= 0 || (input.revents & POLLIN) == 0) {
            continue;
        }
        std::size_t n = pty.read(buffer);
        if (n == 0) {
            continue;
        }
        const bool vanish = vanishAfter > 0 && heard + n >= static_cast<std::size_t>(vanishAfter);
        if (vanish) {
            n = static_cast<std::size_t>(vanishAfter) - heard;
        }
        heard += n;
        record(recordFd, std::span(buffer.data(), n));
        line.fromHost(std::span(buffer.data(), n), nowMs());
        if (vanish) {
            return;
        }
    }
    // A test stops us right after its client wrote; what is still in the terminal belongs in
    // the record all the same.
    for (std::size_t n = pty.read(buffer); n > 0; n = pty.read(buffer)) {
        record(recordFd, std::span(buffer.data(), n));
    }
}

// The last firmware upload's lines, each ended by a line feed, for a test to compare with its
// file.
bool saveFirmwareLines(const std::string& path, const std::vector<std::string>& lines) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    for (const std::string& line : lines) {
        out << line << '\n';
    }
    out.close();
    if (!out) {
        std::cerr << "volcrestone-sim: cannot write " << path << '\n';
        return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    std::string error;
    const auto options = sim::parseOptions(args, error);
    if (!options) {
        std::cerr << "volcrestone-sim: " << error << '\n' << sim::usageText();
        return 2;
    }
    if (options->help) {
        std::cout << sim::usageText();
        return 0;
    }
    const sigset_t waitMask = blockStopSignals();

    sim::ControllerSetup setup;
    setup.firstImage = sim::startupImage();
    setup.storePath = options->storePath;
    setup.revision = options->revision;
    setup.faults = options->faults;
    setup.powerUpMs = nowMs();
    setup.inBootloader = options->inBootloader;
    setup.framesPerSecond = options->rate;
    sim::Controller controller(setup);
    sim::SerialLine line(controller, options->lineFaults);

    int recordFd = -1;
    if (!options->recordPath.empty()) {
        recordFd =
            ::open(options->recordPath.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
        if (recordFd < 0) {
            std::cerr << "volcrestone-sim: cannot record to " << options->recordPath << ": "
                      << std::strerror(errno) << '\n';
            return 1;
        }
    }
    try {
        std::optional<sim::Pty> pty(std::in_place);
        if (!options->linkPath.empty() && !makeLink(options->linkPath, pty->devicePath())) {
            return 1;
        }
        std::cout << pty->devicePath() << std::endl;
        serve(*pty, line, recordFd, waitMask, options->vanishAfter);
        // The terminal goes first, so a host that still holds the device sees it hang up while
        // the link still names it.
        pty.reset();
        if (!options->linkPath.empty()) {
            ::unlink(options->linkPath.c_str());
        }
    } catch (const std::runtime_error& failure) {
        std::cerr << "volcrestone-sim: " << failure.what() << '\n';
        return 1;
    }
    if (recordFd >= 0) {
        ::close(recordFd);
    }
    if (!options->s19Path.empty() &&
        !saveFirmwareLines(options->s19Path, controller.firmwareLines())) {
        return 1;
    }
    return 0;
}

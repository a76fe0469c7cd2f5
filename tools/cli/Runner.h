#pragma once

#include <functional>
#include <iosfwd>
#include <optional>
#include <string>

#include "cli/Arguments.h"
#include "cli/Host.h"
#include "comlink/DataFileSlot.h"
#include "comlink/Engine.h"
#include "tune/SettingsFile.h"
#include "tune/Tune.h"

namespace cli {

inline constexpr int kDone = 0;
inline constexpr int kFailed = 1;
inline constexpr int kUsage = 2;
// The tool holds no other file, so a settings file always gets the first file channel.
inline constexpr int kSettingsFileChannel = 1;
// Under a port that will not open or a controller that does not answer.
inline constexpr const char* kDoctorHint = "Run volcrestone-cli doctor to find out why.";

// What every command shares: the arguments, the output streams, the protocol engine on the
// host's port and the wait on its ticks. A command that talks to the controller opens the port,
// becomes the engine's listener, starts its exchange and waits until it calls finish().
class Runner {
public:
    Runner(const Arguments& arguments, Host& host, std::ostream& out, std::ostream& err);

    const Arguments& arguments() const { return arguments_; }
    const tune::EditionInfo& edition() const { return edition_; }
    Host& host() { return host_; }
    comlink::Engine& engine() { return engine_; }
    std::ostream& out() { return out_; }
    std::ostream& err() { return err_; }

    // The Edition's start-up Tune with the command line's "3 Bar" choice.
    tune::Tune startupTune() const;
    // Loads a settings file into `tune` as "&Load Settings..." does; on failure prints the
    // window's message and returns false.
    bool loadSettings(tune::Tune& tune, const std::string& path);
    // Opens a data log for reading as the replay window does; on failure prints the window's
    // message and the system's reason and returns false.
    bool openLog(comlink::DataFileSlot& log, const std::string& path);

    // Opens the port and makes `listener` the engine's. On failure prints "Could not open COM1",
    // then the device with the system's reason and the doctor hint.
    // A device that vanishes later runs `onVanished`; without it, it is named on standard error
    // and ends the wait with exit 1.
    bool openPort(comlink::EngineEvents& listener, std::function<void()> onVanished = {});
    // The system's reason why a file could not be read or written, on the line under the
    // message: "PATH: No such file or directory". Nothing when `error` is 0.
    void explainFile(const std::string& path, int error);
    // "COM1 is gone" or the device path's.
    std::string portGoneText() const;
    // Ticks every 100 ms until finish(); returns its code. `afterTick` runs after each tick.
    int waitUntilFinished(const std::function<void()>& afterTick = {});
    void finish(int code);
    bool finished() const { return result_.has_value(); }
    // Lets the output queue drain, for at most a few seconds; false when the line stopped.
    bool drained();

private:
    const Arguments& arguments_;
    Host& host_;
    const tune::EditionInfo edition_;
    std::ostream& out_;
    std::ostream& err_;
    comlink::Engine engine_;
    std::optional<int> result_;
};

// A message box text on the console: its CR LF line breaks become plain new lines.
std::string consoleText(std::string text);

// Base of the commands that wait for the controller: an answer that does not come ends the
// command with the message the program shows.
class ControllerCommand : public comlink::EngineEvents {
public:
    explicit ControllerCommand(Runner& runner) : runner_(runner) {}
    void noResponse(int mode) override;

protected:
    Runner& runner_;
};

}  // namespace cli

#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "comlink/DataFileSlot.h"
#include "comlink/Engine.h"
#include "tune/Edition.h"

namespace comlink {

// The caption of the sent-lines counter; the command-line tool prints its counter with it.
inline constexpr const char* kLinesCaption = "Lines:";

// tbPath's text when the firmware window loads.
std::string defaultFirmwarePath(tune::Edition edition);

// What the firmware update shows: the firmware window, or the command-line tool's output.
class BootloaderView {
public:
    virtual ~BootloaderView() = default;
    // "DOWN LOAD" was accepted: the button is disabled, the counter and the log emptied.
    virtual void updateStarting() {}
    // One more line of the log (List1); the newest is selected.
    virtual void log(const std::string& /*line*/) {}
    // lblLines.
    virtual void showLineCount(int /*count*/) {}
    // The clean-up ran and the button is enabled again; `done` after "Firmware Update Done!".
    virtual void updateEnded(bool /*done*/) {}
};

// Sends an S19 file through the controller's bootloader: "DOWN LOAD" checks the whole file,
// opens it in the shared data file slot and enters the bootloader, then the link's tick runs one
// step per tick in the bootloader states. Each line goes out as it is, with CR, once the one
// before it has left the port.
class Bootloader {
public:
    // `portName` names the chosen port ("COM1") when it is not open.
    Bootloader(Engine& engine, DataFileSlot& files, std::function<std::string()> portName);

    void setView(BootloaderView* view);
    const BootloaderView* view() const { return view_; }

    // cmdDownLoad_Click with tbPath's text. Does nothing unless the link is idle.
    void downLoad(const std::string& path);
    // One tick in bootloader state `mode` (1 to 5 or 9), after the tick's receive loop.
    void step(int mode);

    // The user may close the window: no update and no other command is under way.
    bool mayClose() const { return !starting_ && engine_.mode() == kIdle; }
    // The last update ended with "Firmware Update Done!".
    bool done() const { return done_; }
    // Why the last update stopped short, in plain words; empty when it did not.
    const std::string& failure() const { return failure_; }

private:
    void log(const std::string& line);
    bool timedOut() const;
    void timeOut(int state, const char* failure);
    void stop(const std::string& logged, const char* failure);
    void waitForPrompt();
    void waitForAcknowledge();
    void sendNextLine();
    void waitForComplete();
    void cleanUp();
    // True while bytes of earlier lines are still leaving the port. A queue that has not moved
    // for kBurnStallSeconds ends the update instead: the window could not be closed otherwise.
    bool outputLeaving();
    bool holdsFirmware() const { return files_.use() == DataFileSlot::Use::Firmware; }

    Engine& engine_;
    DataFileSlot& files_;
    std::function<std::string()> portName_;
    BootloaderView none_;
    BootloaderView* view_ = &none_;
    bool starting_ = false;
    bool done_ = false;
    std::string failure_;
    int lastQueued_ = 0;
    std::int64_t queueMoved_ = 0;
};

}  // namespace comlink

#pragma once

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

// Sends an S19 file through the controller's bootloader: "DOWN LOAD" opens the file in the
// shared data file slot and enters the bootloader, then the link's tick runs one step per tick
// in the bootloader states. The file is not parsed: each line goes out as it is, with CR.
class Bootloader {
public:
    Bootloader(Engine& engine, DataFileSlot& files);

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

private:
    void log(const std::string& line);
    bool timedOut() const;
    void timeOut(int state);
    void waitForPrompt();
    void waitForAcknowledge();
    void sendNextLine();
    void waitForComplete();
    void cleanUp();
    bool holdsFirmware() const { return files_.use() == DataFileSlot::Use::Firmware; }

    Engine& engine_;
    DataFileSlot& files_;
    BootloaderView none_;
    BootloaderView* view_ = &none_;
    bool starting_ = false;
    bool done_ = false;
};

}  // namespace comlink

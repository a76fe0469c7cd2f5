#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/Clock.h"
#include "platform/SerialPort.h"

namespace comlink {

// Values of Mode besides the pending command's letter.
inline constexpr int kIdle = 0;
inline constexpr int kBootPrompt = 2;
inline constexpr int kBootCleanUp = 9;

// From "DOWN LOAD" to the clean-up the port and the data file slot belong to the update: what
// would take either refuses with this text.
inline constexpr const char* kFirmwareUpdateRunningText =
    "A firmware update is running. Wait until it has finished.";

inline constexpr int kRealtimeBlockSize = 30;
inline constexpr int kImageSize = 63;
inline constexpr int kBurnStallSeconds = 5;

using RxBuffer = std::array<int, 257>;

// What the protocol engine tells the windows (or the command-line tool). Every call comes from
// inside a tick or a command, on the one user-interface thread.
class EngineEvents {
public:
    virtual ~EngineEvents() = default;
    // Start of every tick: lblMode.
    virtual void modeChanged(int /*mode*/) {}
    // A command got no complete answer by its fifth tick (NoComm shows).
    virtual void noResponse(int /*mode*/) {}
    // Bytes arrived (NoComm hides).
    virtual void bytesArrived() {}
    // The answer to 'Q' (SetRevNum).
    virtual void revisionReceived(int /*revision*/) {}
    // While the About box is showing, an unanswered 'Q' is not reported as a lost answer.
    virtual bool aboutShowing() const { return false; }
    // An accepted realtime block in RxBuf 0..29 (CopyATdata with updateTrends true).
    virtual void realtimeBlock(const RxBuffer& /*rx*/) {}
    // The 63rd byte of an upload arrived; the image is in RxBuf 0..62. Mode is already idle.
    virtual void imageReceived(const RxBuffer& /*rx*/) {}
    // A tick in bootloader state 1..5 or 9, after the receive loop.
    virtual void bootloaderTick(int /*mode*/) {}
    // The end of every tick: the blocks it brought are all in.
    virtual void tickEnded() {}
};

// The Controller link's protocol state machine. It never touches a timer or a window: the
// owner calls tick() every 100 ms and the commands from its buttons; bytes go through the port.
class Engine {
public:
    Engine(platform::SerialPort& port, const platform::Clock& clock, platform::EventPump& events);

    void setListener(EngineEvents* listener);
    // True while a Dashboard realtime replay owns the display (live blocks are then ignored).
    void setReplayActive() { replayActive_ = true; }
    bool replayActive() const { return replayActive_; }

    // The 100 ms poll: read what has arrived, file it by Mode, count ticks for time-outs.
    void tick();

    // Hand-sent commands, guarded as on the Controller link window: they do nothing unless
    // the port is open and no other command is pending.
    void cmdM();     // start the monitor stream
    void cmdN();     // stop it (also allowed while it runs)
    void cmdC();     // one-byte counter
    void cmdQ();     // firmware revision
    void cmdAt();    // one realtime block, via getVars()
    void cmdBoot();  // "!" alone
    void getVars();  // "@" without guard
    // "U" when idle; the image arrives through the tick.
    void upload();
    // 'W', offset, value; nothing when either is outside 0..255.
    void writeByte(int offset, int value);
    // Waits (letting events run) until the output queue is empty, then sends "B". False, with
    // nothing sent, when the port closed meanwhile or its queue stopped moving for more than
    // kBurnStallSeconds (a stuck line must not freeze the program).
    bool burn();
    // Bootloader entry: "!" and state 1 when idle; false otherwise.
    bool firmwareUpdate();
    // The port went away: a pending command or the monitor stream can get no answer, and the
    // user has been told once, so it ends now rather than by a time-out. A firmware update runs
    // on to its own clean-up.
    void portLost();
    // m, or Mode + 1 for -1; restarts the state's clock and BootText.
    void setMode(int m);
    // Restarts the state's clock and keeps BootText: a time limit that runs from a later moment.
    void restartStateClock();
    // A bootloader state: the firmware update holds the link until its clean-up has run.
    bool firmwareUpdateRunning() const;
    // Bytes handed to the port that have not left it yet (Qt's buffer and the driver's queue).
    int outputQueued() const { return port_.isOpen() ? port_.bytesToWrite() : 0; }
    // Sends raw bytes as they are (bootloader lines, carriage returns).
    void send(const std::string& bytes);

    bool portOpen() const { return port_.isOpen(); }
    // The clock StateStart is taken from, and the events a handler lets run while it waits.
    const platform::Clock& clock() const { return clock_; }
    platform::EventPump& eventPump() { return events_; }
    int mode() const { return mode_; }
    int rxCount() const { return rxCount_; }
    int waitTicks() const { return waitTicks_; }
    int monitorSeq() const { return monitorSeq_; }
    std::int64_t stateStart() const { return stateStart_; }
    const std::string& bootText() const { return bootText_; }
    int lineCount() const { return lineCount_; }
    void setLineCount(int count) { lineCount_ = count; }
    RxBuffer& rxBuf() { return rxBuf_; }
    const RxBuffer& rxBuf() const { return rxBuf_; }

private:
    bool portIdle() const { return port_.isOpen() && mode_ == kIdle; }
    void startCommand(char letter);
    void receive();
    void file(std::uint8_t b);
    void completeMonitorFrame();
    void countWaitTick();
    void sendBytes(const std::vector<std::uint8_t>& bytes);

    platform::SerialPort& port_;
    const platform::Clock& clock_;
    platform::EventPump& events_;
    EngineEvents none_;
    EngineEvents* listener_ = &none_;

    int mode_ = kIdle;
    int rxCount_ = 0;
    int waitTicks_ = 0;
    int monitorSeq_ = 0;
    std::int64_t stateStart_ = 0;
    std::string bootText_;
    int lineCount_ = 0;
    RxBuffer rxBuf_{};
    bool replayActive_ = false;
};

}  // namespace comlink

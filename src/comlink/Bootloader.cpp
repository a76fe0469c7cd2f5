#include "comlink/Bootloader.h"

#include <utility>

#include "comlink/S19Check.h"
#include "tune/Numeric.h"

namespace comlink {

namespace {

constexpr int kStarting = 1;
constexpr int kPrompt = 2;
constexpr int kAcknowledge = 3;
constexpr int kSending = 4;
constexpr int kComplete = 5;

// What the bootloader says, byte for byte; anything else, even one more blank, is no answer.
const std::string kPromptText = "\r\nBoot>";
const std::string kAcknowledgeText = "u - waiting ...";
const std::string kCompleteText = "  Complete\r\nBoot>\r\nBoot>";

// A state gives up once its whole-second stamp and the clock differ by more than this.
constexpr std::int64_t kStateSeconds = 1;

}  // namespace

std::string defaultFirmwarePath(tune::Edition edition) {
    switch (edition) {
        case tune::Edition::RUK:
            return "D:\\motorola\\Volcrestone\\Volcrestone.s19";
        case tune::Edition::QOLT:
            return "Ferrodyn.s19";
        case tune::Edition::BEL:
        case tune::Edition::ZAV:
            break;
    }
    return "Volcrestone.s19";
}

Bootloader::Bootloader(Engine& engine, DataFileSlot& files, std::function<std::string()> portName)
    : engine_(engine), files_(files), portName_(std::move(portName)) {}

void Bootloader::setView(BootloaderView* view) {
    view_ = view != nullptr ? view : &none_;
}

void Bootloader::downLoad(const std::string& path) {
    // The monitor stream or any other pending command keeps the link; so does a press that is
    // still letting events run.
    if (engine_.mode() != kIdle || starting_) {
        return;
    }
    done_ = false;
    failure_.clear();
    lastQueued_ = 0;
    starting_ = true;
    view_->updateStarting();
    engine_.eventPump().processEvents();
    starting_ = false;
    // Without a port nothing can be sent; the user may choose one and press again.
    if (!engine_.portOpen()) {
        log("** " + portName_() + " is not open");
        view_->updateEnded(false);
        return;
    }
    // "!" and "u" make the bootloader erase the firmware: a file that is not a whole S-record
    // image must be refused before either is sent.
    const S19FileCheck check = checkS19File(path);
    if (!check.readable || !files_.openForReading(path, DataFileSlot::Use::Firmware)) {
        log("** Failed to open S19 file");
        return;
    }
    if (check.refusal) {
        files_.close();
        log(check.refusal->text());
        view_->updateEnded(false);
        return;
    }
    log("S19 file opened...");
    // A command sent by hand while events ran holds the link now: give the file back and the
    // button with it rather than leave both held by an update that never started.
    if (!engine_.firmwareUpdate()) {
        files_.close();
        view_->updateEnded(false);
        return;
    }
    log("Sent KQ '!'...");
}

void Bootloader::step(int mode) {
    switch (mode) {
        case kStarting:
            if (timedOut()) {
                engine_.send("\r");
                log("Sent KQ <CR>...");
                engine_.setMode(-1);
            }
            break;
        case kPrompt:
            waitForPrompt();
            break;
        case kAcknowledge:
            waitForAcknowledge();
            break;
        case kSending:
            sendNextLine();
            break;
        case kComplete:
            waitForComplete();
            break;
        case kBootCleanUp:
            cleanUp();
            break;
        default:
            break;
    }
}

void Bootloader::log(const std::string& line) {
    view_->log(line);
}

bool Bootloader::timedOut() const {
    return engine_.clock().nowSeconds() - engine_.stateStart() > kStateSeconds;
}

void Bootloader::timeOut(int state, const char* failure) {
    log("** TIME OUT! " + num::integerText(state) + " " + engine_.bootText());
    failure_ = failure;
}

void Bootloader::stop(const std::string& logged, const char* failure) {
    log("** " + logged + " Stopped after " + num::integerText(engine_.lineCount()) + " lines");
    failure_ = failure;
    engine_.setMode(kBootCleanUp);
}

void Bootloader::waitForPrompt() {
    if (engine_.bootText() == kPromptText) {
        log("Got: " + engine_.bootText());
        engine_.send("u");
        log("Sent KQ 'u'...");
        engine_.setMode(-1);
    } else if (timedOut()) {
        timeOut(kPrompt, "the controller's bootloader did not answer");
        log("** Verify the controller is ON and RS232 cable attached!");
        log("** Also check that H1 or R6 is shorted on the controller!");
        engine_.setMode(kBootCleanUp);
    }
}

void Bootloader::waitForAcknowledge() {
    if (engine_.bootText() == kAcknowledgeText) {
        log("Got: " + engine_.bootText());
        log("Sending s19...");
        engine_.setLineCount(0);
        view_->showLineCount(0);
        engine_.setMode(-1);
    } else if (timedOut()) {
        timeOut(kAcknowledge, "the bootloader did not accept the upload");
        engine_.setMode(kBootCleanUp);
    }
}

void Bootloader::sendNextLine() {
    // This state has no time-out of its own: without the check a vanished port would count
    // through the rest of the file for nothing.
    if (!engine_.portOpen()) {
        stop("PORT LOST!", "the port went away while sending");
        return;
    }
    // A line longer than a tick's worth of the line waits for the one before it, so that the
    // controller's buffer is never overrun and the end is timed from the last byte's leaving.
    if (outputLeaving()) {
        return;
    }
    // Only our own file is read: a log replay that took the slot meanwhile ends the sending.
    if (holdsFirmware() && !files_.atEnd()) {
        const auto line = files_.readLine();
        engine_.send(std::string(line->text) + "\r");
        engine_.setLineCount(engine_.lineCount() + 1);
        view_->showLineCount(engine_.lineCount());
    }
    if (!holdsFirmware() || files_.atEnd()) {
        log("EOF s19, " + num::integerText(engine_.lineCount()) + " lines");
        if (holdsFirmware()) {
            files_.close();
        }
        engine_.setMode(-1);
    }
}

void Bootloader::waitForComplete() {
    if (engine_.bootText() == kCompleteText) {
        log("Got: " + engine_.bootText());
        engine_.send("x");
        log("Sent KQ 'x'...");
        log("Firmware Update Done!");
        done_ = true;
        engine_.setMode(kBootCleanUp);
    } else if (outputLeaving()) {
        // The controller can only answer once the last line has reached it.
        engine_.restartStateClock();
    } else if (timedOut()) {
        timeOut(kComplete, "the bootloader did not confirm the end of the upload");
        engine_.setMode(kBootCleanUp);
    }
}

bool Bootloader::outputLeaving() {
    const int queued = engine_.outputQueued();
    const std::int64_t now = engine_.clock().nowSeconds();
    if (queued == 0) {
        lastQueued_ = 0;
        return false;
    }
    if (queued != lastQueued_) {
        lastQueued_ = queued;
        queueMoved_ = now;
        return true;
    }
    if (now - queueMoved_ <= kBurnStallSeconds) {
        return true;
    }
    lastQueued_ = 0;
    stop("LINE STALLED!", "nothing left the port for several seconds");
    return true;
}

void Bootloader::cleanUp() {
    if (holdsFirmware()) {
        files_.close();
    }
    engine_.setMode(kIdle);
    view_->updateEnded(done_);
}

}  // namespace comlink

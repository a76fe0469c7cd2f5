#include "cli/CommandFlow.h"

#include <optional>
#include <ostream>
#include <string>

#include "link/Codec.h"
#include "link/Engine.h"
#include "link/Transfer.h"
#include "tune/Numeric.h"
#include "tune/SettingsFile.h"
#include "tune/Tune.h"

namespace cli {

namespace {

// How long the last bytes of a send may take to leave the port before we give up on it.
constexpr std::int64_t kDrainSeconds = 5;

constexpr int kDone = 0;
constexpr int kFailed = 1;

// A message box text on the console: its CR LF line breaks become plain new lines.
std::string consoleText(std::string text) {
    for (std::size_t at = text.find("\r\n"); at != std::string::npos; at = text.find("\r\n", at)) {
        text.replace(at, 2, "\n");
    }
    return text;
}

const char* loadFailure(tune::LoadOutcome outcome) {
    switch (outcome) {
        case tune::LoadOutcome::CannotOpen:
            // The channel number the program has always shown in place of the file name.
            return "Could not open file 1";
        case tune::LoadOutcome::NotSettingsFile:
            return "Not a Volcrestone Settings file!";
        case tune::LoadOutcome::Failed:
            return "Error trying to Load Settings!";
        case tune::LoadOutcome::Loaded:
            break;
    }
    return nullptr;
}

class Flow final : public link::EngineEvents {
public:
    Flow(const Arguments& arguments, Host& host, std::ostream& out, std::ostream& err)
        : arguments_(arguments),
          host_(host),
          info_(tune::editionInfo(arguments.edition)),
          out_(out),
          err_(err),
          tune_(tune::Tune::startup(arguments.edition)),
          engine_(host.port(), host.clock(), host.pump()) {
        tune_.check1 = arguments.threeBar ? 1 : 0;
    }

    int run() {
        // The file and the checks come first, so that a refused Tune never touches the port.
        if (arguments_.command == Command::Send && !prepareSend()) {
            return kFailed;
        }
        if (!openPort()) {
            return kFailed;
        }
        switch (arguments_.command) {
            case Command::Revision:
                engine_.cmdQ();
                return waitForAnswer();
            case Command::Upload:
                engine_.upload();
                return waitForAnswer();
            case Command::Send:
                return send();
        }
        return kFailed;
    }

    void revisionReceived(int revision) override {
        out_ << num::hex2(revision) << std::endl;
        finish(kDone);
    }

    void imageReceived(const link::RxBuffer& rx) override {
        link::imageToSetup(tune_, rx, arguments_.edition);
        if (!tune::writeFileAtomically(arguments_.file,
                                       tune::settingsFileText(tune_, info_.editionName))) {
            err_ << "Error trying to Save Settings!" << std::endl;
            finish(kFailed);
            return;
        }
        out_ << "Upload Done!" << std::endl;
        finish(kDone);
    }

    void noResponse(int /*mode*/) override {
        err_ << "No Response from Controller!" << std::endl;
        finish(kFailed);
    }

private:
    bool prepareSend() {
        if (const char* failure = loadFailure(tune::loadSettingsFile(tune_, arguments_.file))) {
            err_ << failure << std::endl;
            return false;
        }
        if (const std::optional<link::Refusal> refusal =
                link::checkBeforeSend(tune_, arguments_.edition, constants_)) {
            err_ << consoleText(refusal->message) << std::endl;
            return false;
        }
        return true;
    }

    bool openPort() {
        if (!host_.port().open(arguments_.comNumber)) {
            err_ << "Could not open " << portName(arguments_) << std::endl;
            return false;
        }
        host_.setOnPortVanished([this] {
            err_ << portName(arguments_) << " is gone" << std::endl;
            finish(kFailed);
        });
        engine_.setListener(this);
        return true;
    }

    int waitForAnswer() {
        if (!result_) {
            host_.runTicks([this] { engine_.tick(); });
        }
        return result_.value_or(kFailed);
    }

    int send() {
        if (!link::sendTune(engine_, tune_, constants_) || !drained()) {
            err_ << "Could not send to " << portName(arguments_)
                 << ": the line stopped before the Tune was out" << std::endl;
            return kFailed;
        }
        out_ << "Download Done!" << std::endl;
        return kDone;
    }

    // The store command is queued last; the tool must not end before it has left the port.
    bool drained() {
        platform::SerialPort& port = host_.port();
        const std::int64_t start = host_.clock().nowSeconds();
        while (port.isOpen() && port.bytesToWrite() > 0) {
            if (host_.clock().nowSeconds() - start > kDrainSeconds) {
                return false;
            }
            host_.pump().processEvents();
        }
        return port.isOpen();
    }

    void finish(int code) {
        if (result_) {
            return;
        }
        result_ = code;
        host_.stop(code);
    }

    const Arguments& arguments_;
    Host& host_;
    const tune::EditionInfo info_;
    std::ostream& out_;
    std::ostream& err_;
    tune::Tune tune_;
    link::EngineConstants constants_;
    link::Engine engine_;
    std::optional<int> result_;
};

}  // namespace

int runCommand(const Arguments& arguments, Host& host, std::ostream& out, std::ostream& err) {
    Flow flow(arguments, host, out, err);
    return flow.run();
}

}  // namespace cli

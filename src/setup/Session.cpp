#include "setup/Session.h"

#include <cstdlib>
#include <optional>
#include <utility>

#include "comlink/OpenPort.h"
#include "comlink/Transfer.h"
#include "tune/Numeric.h"
#include "tune/SettingsFile.h"
#include "tune/SettingsText.h"

namespace setup {

namespace {

using Icon = platform::MessageBox::Icon;
using Buttons = platform::MessageBox::Buttons;
using Answer = platform::MessageBox::Answer;

const std::string kSettingsFilter = "CFG Files (*.cfg)|*.cfg|All Files (*.*)|*.*";

std::string portName(int n) {
    return "COM" + num::integerText(n);
}

}  // namespace

Session::Session(const tune::EditionInfo& edition, comlink::Engine& engine,
                 platform::SerialPort& port, Services services, std::string currentFolder,
                 std::string homeFolder)
    : edition_(edition),
      engine_(engine),
      port_(port),
      services_(services),
      tune_(tune::Tune::startup(edition.edition)),
      currentFolder_(std::move(currentFolder)),
      homeFolder_(std::move(homeFolder)) {}

std::string Session::userHomeFolder() {
#ifdef _WIN32
    return "C:\\";
#else
    const char* home = std::getenv("HOME");
    return home != nullptr ? std::string(home) : std::string("/");
#endif
}

void Session::setView(SessionView* view) {
    view_ = view != nullptr ? view : &none_;
}

void Session::keepHistoryIn(std::filesystem::path folder, const platform::Clock& clock) {
    historyFolder_ = std::move(folder);
    historyClock_ = &clock;
}

void Session::keepThenShow(tune::HistoryKind kind, const std::string& done) {
    std::optional<tune::KeepOutcome> kept;
    if (historyClock_ != nullptr)
        kept = tune::keepInHistory(historyFolder_, kind,
                                   tune::settingsFileText(tune_, edition_.editionName),
                                   static_cast<std::time_t>(historyClock_->nowSeconds()));
    services_.messages.show(done, edition_.appName, Icon::Information);
    if (kept && !kept->kept && !historyFailureShown_) {
        historyFailureShown_ = true;
        services_.messages.show(tune::historyNotKeptText(*kept), edition_.appName, Icon::Critical);
    }
}

void Session::start() {
    view_->showTune();
    savedSettings_ = tune::settingStr(tune_);
    defaultDir_ = edition_.edition == tune::Edition::RUK ? homeFolder_ : currentFolder_;

    const int stored = num::rnd32(num::readNumber(services_.store.read("Config", "Port", "1")));
    const int port = stored >= 2 && stored <= 4 ? stored : 1;
    checkedPort_ = port;
    view_->showCommands();
    openPort(port);
}

bool Session::hasUnsavedChanges() const {
    return tune::settingStr(tune_) != savedSettings_;
}

void Session::openPort(int n) {
    view_->unloadDashboard();
    view_->hideNoResponse();
    portLostReported_ = false;
    if (comlink::openPort(port_, services_.store, n)) {
        realtimeEnabled_ = true;
        enableExchange();
        view_->showCommands();
        return;
    }
    realtimeEnabled_ = false;
    uploadEnabled_ = false;
    downloadEnabled_ = false;
    view_->showCommands();
    services_.messages.show("Could not open COM" + num::integerText(n), edition_.appName,
                            Icon::Critical);
}

void Session::choosePort(int n) {
    if (n < 1 || n > 4) {
        return;
    }
    // Reopening the port would cut the bootloader off in the middle of the firmware.
    if (engine_.firmwareUpdateRunning()) {
        services_.messages.show(comlink::kFirmwareUpdateRunningText, edition_.appName,
                                Icon::Critical);
        return;
    }
    // A checked port that is still open stays as it is; one that failed or vanished is
    // reopened, which is how the user gets an unplugged adapter back.
    if (n == checkedPort_ && port_.isOpen()) {
        return;
    }
    checkedPort_ = n;
    view_->showCommands();
    openPort(n);
}

void Session::portLost() {
    if (port_.isOpen()) {
        port_.close();
    }
    engine_.portLost();
    if (portLostReported_) {
        return;
    }
    portLostReported_ = true;
    // The live display would only wait for frames that can no longer come.
    if (view_->dashboardVisible()) {
        view_->unloadDashboard();
    }
    realtimeEnabled_ = false;
    uploadEnabled_ = false;
    downloadEnabled_ = false;
    view_->showCommands();
    // A send under way says so itself, with what it means for the settings.
    if (!sending_) {
        services_.messages.show(portName(checkedPort_) + " was disconnected.", edition_.appName,
                                Icon::Critical);
    }
}

void Session::showPortNotOpen(const std::string& what) {
    services_.messages.show(portName(checkedPort_) + " is not open. " + what, edition_.appName,
                            Icon::Critical);
}

void Session::sendToController() {
    if (!port_.isOpen()) {
        showPortNotOpen("Nothing was sent.");
        return;
    }
    if (const auto refusal = comlink::checkBeforeSend(tune_, edition_.edition, constants_)) {
        services_.messages.show(refusal->message, refusal->title, Icon::Critical);
        return;
    }
    sending_ = true;
    const bool sent = comlink::sendTune(engine_, tune_, constants_);
    sending_ = false;
    if (!sent) {
        services_.messages.show(
            portName(checkedPort_) + " stopped while sending. The settings were not stored.",
            edition_.appName, Icon::Critical);
        return;
    }
    keepThenShow(tune::HistoryKind::Sent, "Download Done!");
}

void Session::loadFromController() {
    if (!port_.isOpen()) {
        showPortNotOpen("Nothing was read.");
        return;
    }
    if (hasUnsavedChanges()) {
        const Answer answer = services_.messages.show(
            "The settings have been changed but not saved!\n\nUploading will overwrite your "
            "changes!",
            edition_.appName, Icon::Exclamation, Buttons::OkCancel);
        if (answer != Answer::Ok) {
            return;
        }
    }
    engine_.upload();
}

void Session::realtime() {
    if (view_->replayVisible()) {
        view_->showDashboard();
        return;
    }
    setExchangeEnabled(false);
    view_->startRealtime();
}

void Session::imageReceived(const comlink::RxBuffer& image) {
    comlink::imageToSetup(tune_, image, edition_.edition);
    view_->setRpmUpperLimit(num::readNumber(tune_.rpmLimit));
    view_->showTune();
    downloadAllowed_ = true;
    if (!view_->dashboardVisible() && !exchangeLocked_) {
        downloadEnabled_ = true;
    }
    view_->showCommands();
    keepThenShow(tune::HistoryKind::Read, "Upload Done!");
}

void Session::setExchangeEnabled(bool enabled) {
    exchangeLocked_ = !enabled;
    if (enabled) {
        enableExchange();
    } else {
        uploadEnabled_ = false;
        downloadEnabled_ = false;
    }
    view_->showCommands();
}

void Session::setRealtimeEnabled(bool enabled) {
    realtimeEnabled_ = enabled && port_.isOpen();
    view_->showCommands();
}

void Session::setFirmwareWindowOpen(bool open) {
    firmwareWindowOpen_ = open;
    view_->showCommands();
}

void Session::enableExchange() {
    uploadEnabled_ = port_.isOpen();
    downloadEnabled_ = downloadAllowed_;
}

void Session::allowDownload() {
    downloadAllowed_ = true;
    // Realtime mode keeps the send button locked; its end enables it from the flag.
    if (!exchangeLocked_) {
        downloadEnabled_ = true;
    }
    view_->showCommands();
}

int Session::fileChannel() const {
    // A settings file takes the next free file channel; the data log holds the first while open.
    return view_->dataLogOpen() ? 2 : 1;
}

void Session::saveSettings() {
    const std::string path = services_.files.saveFile(kSettingsFilter, defaultDir_);
    if (!path.empty()) {
        const std::string text = tune::settingStr(tune_);
        const tune::SaveOutcome outcome =
            tune::saveSettingsFile(path, tune::settingsFileText(tune_, edition_.editionName));
        if (outcome == tune::SaveOutcome::Saved) {
            savedSettings_ = text;
        }
        services_.messages.show(
            tune::saveOutcomeText(outcome, fileChannel()), edition_.appName,
            outcome == tune::SaveOutcome::Saved ? Icon::Information : Icon::Critical);
    }
    allowDownload();
}

void Session::loadSettings() {
    const std::string path =
        services_.files.openFileWithPlace(kSettingsFilter, defaultDir_, historyFolder_.string());
    if (path.empty()) {
        return;
    }
    const tune::LoadOutcome outcome = tune::loadSettingsFile(tune_, path);
    const bool loaded = outcome == tune::LoadOutcome::Loaded;
    // A failed step leaves the fields read before it with the file's values.
    if (loaded || outcome == tune::LoadOutcome::Failed) {
        view_->showTune();
    }
    services_.messages.show(tune::loadOutcomeText(outcome, fileChannel()), edition_.appName,
                            loaded ? Icon::Information : Icon::Critical);
    if (loaded) {
        allowDownload();
    }
}

bool Session::queryClose() {
    if (!hasUnsavedChanges()) {
        return true;
    }
    const Answer answer = services_.messages.show(
        "The settings have been changed!\n\nDo you want to save the changes?", edition_.appName,
        Icon::Exclamation, Buttons::YesNoCancel);
    if (answer == Answer::No) {
        return true;
    }
    if (answer == Answer::Yes) {
        saveSettings();
    }
    // Closes only when the Tune is now saved: a cancelled or failed save keeps the window.
    return !hasUnsavedChanges();
}

}  // namespace setup

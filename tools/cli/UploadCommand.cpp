// upload FILE.cfg: the controller's Tune saved as "&Save Settings..." would save it.
#include <cerrno>
#include <ostream>

#include "cli/Commands.h"
#include "cli/History.h"
#include "cli/Runner.h"
#include "comlink/Codec.h"
#include "tune/SettingsFile.h"

namespace cli {

namespace {

class Upload final : public ControllerCommand {
public:
    explicit Upload(Runner& runner) : ControllerCommand(runner), tune_(runner.startupTune()) {}

    void imageReceived(const comlink::RxBuffer& rx) override {
        comlink::imageToSetup(tune_, rx, runner_.arguments().edition);
        const std::string text = tune::settingsFileText(tune_, runner_.edition().editionName);
        const std::string& path = runner_.arguments().operands[0];
        errno = 0;
        const tune::SaveOutcome saved = tune::saveSettingsFile(path, text);
        const int error = errno;
        if (saved != tune::SaveOutcome::Saved) {
            runner_.err() << tune::saveOutcomeText(saved, kSettingsFileChannel) << std::endl;
            runner_.explainFile(path, error);
            runner_.finish(kFailed);
            return;
        }
        runner_.out() << "Upload Done!" << std::endl;
        keepTune(runner_, tune::HistoryKind::Read, text);
        runner_.finish(kDone);
    }

private:
    tune::Tune tune_;
};

}  // namespace

int runUpload(Runner& runner) {
    Upload command(runner);
    if (!runner.openPort(command)) {
        return kFailed;
    }
    runner.engine().upload();
    return runner.waitUntilFinished();
}

}  // namespace cli

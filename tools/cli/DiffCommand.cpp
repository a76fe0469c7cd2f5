// diff A.cfg B.cfg, diff A.cfg --controller: the fields in which two Tunes differ, one per line
// as "<panel> / <label>: <value in A> -> <value in B>", named and valued as the Setup window
// shows them. Exit 0 when none differs, 1 when some do or an "@N" names no history entry, 2 when
// a Tune could not be read.
#include <cerrno>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "cli/Commands.h"
#include "cli/History.h"
#include "cli/Runner.h"
#include "comlink/Codec.h"
#include "tune/FieldNames.h"
#include "tune/SettingsFile.h"

namespace cli {

namespace {

constexpr int kDifferent = 1;
constexpr int kTrouble = 2;

// The controller's Tune, read into the start-up Tune as "Load from" reads it.
class UploadInto final : public ControllerCommand {
public:
    UploadInto(Runner& runner, tune::Tune& tune) : ControllerCommand(runner), tune_(tune) {}

    void imageReceived(const comlink::RxBuffer& rx) override {
        comlink::imageToSetup(tune_, rx, runner_.arguments().edition);
        received_ = true;
        runner_.finish(kDone);
    }
    bool received() const { return received_; }

private:
    tune::Tune& tune_;
    bool received_ = false;
};

// With two files, the window's message alone would not say which one failed. A missing
// history entry is a failed run like any other command's (exit 1), not a trouble with a file.
std::optional<int> notLoaded(Runner& runner, tune::Tune& tune, const std::string& operand) {
    const std::optional<std::string> path = settingsOperand(runner, operand);
    if (!path)
        return kFailed;
    errno = 0;
    const tune::LoadOutcome outcome = tune::loadSettingsFile(tune, *path);
    const int error = errno;
    if (outcome != tune::LoadOutcome::Loaded) {
        runner.err() << *path << ": " << tune::loadOutcomeText(outcome, kSettingsFileChannel)
                     << std::endl;
        if (outcome == tune::LoadOutcome::CannotOpen) {
            runner.explainFile(*path, error);
        }
        return kTrouble;
    }
    return std::nullopt;
}

// Field texts are single-byte (Latin-1); the console wants UTF-8. Blanks at either end and an
// empty value would be invisible, so such a value is put in double quotes.
std::string shown(const std::string& value) {
    std::string text;
    for (const char c : value) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x80) {
            text += c;
        } else {
            text += static_cast<char>(0xC0 | (byte >> 6));
            text += static_cast<char>(0x80 | (byte & 0x3F));
        }
    }
    const bool quoted = value.empty() || value.front() == ' ' || value.back() == ' ';
    return quoted ? '"' + text + '"' : text;
}

}  // namespace

int runDiff(Runner& runner) {
    const Arguments& arguments = runner.arguments();
    const bool controller = arguments.has("--controller");
    if (arguments.operands.size() != (controller ? 1u : 2u)) {
        runner.err() << "diff compares two settings files, or one with --controller" << std::endl;
        return kTrouble;
    }
    tune::Tune before = runner.startupTune();
    tune::Tune after = runner.startupTune();
    if (const std::optional<int> failed = notLoaded(runner, before, arguments.operands[0])) {
        return *failed;
    }
    if (controller) {
        UploadInto upload(runner, after);
        if (!runner.openPort(upload)) {
            return kTrouble;
        }
        runner.engine().upload();
        runner.waitUntilFinished();
        if (!upload.received()) {
            return kTrouble;
        }
    } else if (const std::optional<int> failed = notLoaded(runner, after, arguments.operands[1])) {
        return *failed;
    }

    const std::vector<tune::ShownField> a = tune::fieldsAsShown(before, arguments.edition);
    const std::vector<tune::ShownField> b = tune::fieldsAsShown(after, arguments.edition);
    int result = kDone;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (a[i].value != b[i].value) {
            runner.out() << a[i].name << ": " << shown(a[i].value) << " -> " << shown(b[i].value)
                         << '\n';
            result = kDifferent;
        }
    }
    runner.out().flush();
    return result;
}

}  // namespace cli

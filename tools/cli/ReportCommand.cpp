// report LOG.csv --png OUT.png [--tune FILE.cfg|@N] [--scale N]: where in the rpm range a data
// log's engine ran and, against a Tune, where the advance fell more than a degree below the map;
// a summary on standard output and a picture. The log streams through as the replay reads it.
#include <cerrno>
#include <cstring>
#include <ostream>

#include "cli/Commands.h"
#include "cli/History.h"
#include "cli/PngFile.h"
#include "cli/Runner.h"
#include "comlink/DataFileSlot.h"
#include "dash/LogPicture.h"
#include "dash/LogReport.h"
#include "plot/Canvas.h"
#include "tune/Numeric.h"
#include "tune/SettingsFile.h"

namespace cli {

namespace {

constexpr double kLargestScale = 4;

// "PATH: REASON" for a file that would not open, with the system's word for it when it has one.
void cannotRead(Runner& runner, const std::string& what, int cause) {
    runner.err() << what;
    if (cause != 0)
        runner.err() << ": " << std::strerror(cause);
    runner.err() << std::endl;
}

}  // namespace

int runReport(Runner& runner) {
    const Arguments& arguments = runner.arguments();
    const std::string png = arguments.option("--png");
    if (png.empty()) {
        runner.err() << "volcrestone-cli: report needs --png OUT.png" << std::endl;
        return kUsage;
    }
    const double scale =
        arguments.has("--scale") ? num::readNumber(arguments.option("--scale")) : 1;
    if (!(scale >= 1 && scale <= kLargestScale)) {
        runner.err() << "volcrestone-cli: --scale needs a number from 1 to 4" << std::endl;
        return kUsage;
    }

    // Without a Tune the bands come from the Edition's start-up one, and nothing is compared.
    tune::Tune tune = runner.startupTune();
    if (arguments.has("--tune")) {
        const std::optional<std::string> path = settingsOperand(runner, arguments.option("--tune"));
        if (!path)
            return kFailed;
        errno = 0;
        const tune::LoadOutcome outcome = tune::loadSettingsFile(tune, *path);
        if (outcome != tune::LoadOutcome::Loaded) {
            cannotRead(runner, *path + ": " + tune::loadOutcomeText(outcome, kSettingsFileChannel),
                       outcome == tune::LoadOutcome::CannotOpen ? errno : 0);
            return kFailed;
        }
    }

    const std::string& logPath = arguments.operands.at(0);
    comlink::DataFileSlot log;
    errno = 0;
    if (!log.openForReading(logPath, comlink::DataFileSlot::Use::Replay)) {
        // The slot refuses a folder before the system is asked, so no errno says why.
        cannotRead(runner, dash::cannotOpenLogText(logPath), errno != 0 ? errno : EISDIR);
        return kFailed;
    }
    dash::LogReport report(plot::TimingMap(tune), arguments.has("--tune"));
    while (const std::optional<comlink::DataFileSlot::Line> line = log.readLine())
        report.add(dash::reportSample(dash::readRecord(line->text), arguments.edition,
                                      arguments.threeBar));
    for (const std::string& summaryLine : report.summary())
        runner.out() << summaryLine << '\n';
    runner.out().flush();

    plot::Canvas canvas(dash::kLogPictureDpi, scale, dash::kLogPictureWidth,
                        dash::kLogPictureHeight);
    canvas.draw(dash::logPicture(report));
    return writePng(runner, canvas, png) ? kDone : kFailed;
}

}  // namespace cli

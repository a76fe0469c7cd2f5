// report LOG.csv --png OUT.png [--tune FILE.cfg|@N] [--scale N]: where in the rpm range a data
// log's engine ran and, against a Tune, where the advance fell more than a degree below the map;
// a summary on standard output and a picture. The log streams through as the replay reads it.
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

namespace cli {

namespace {

constexpr double kLargestScale = 4;

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
        if (!runner.loadSettings(tune, *path))
            return kFailed;
    }

    const std::string& logPath = arguments.operands.at(0);
    comlink::DataFileSlot log;
    if (!runner.openLog(log, logPath))
        return kFailed;
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

// plot FILE.cfg --png OUT.png: the timing plot of a settings file as the plot window would draw
// it at 96 DPI, on white, with the stored grid colour and RPM scale.
#include <ostream>

#include "cli/Commands.h"
#include "cli/History.h"
#include "cli/PngFile.h"
#include "cli/Runner.h"
#include "platform/QtSettingsStore.h"
#include "plot/Canvas.h"
#include "plot/TimingPlot.h"
#include "tune/SettingsFile.h"

namespace cli {

namespace {

constexpr double kReportDpi = 96;  // 15 twips to the pixel

}  // namespace

int runPlot(Runner& runner) {
    const std::string png = runner.arguments().option("--png");
    if (png.empty()) {
        runner.err() << "volcrestone-cli: plot needs --png OUT.png" << std::endl;
        return kUsage;
    }
    tune::Tune tune = runner.startupTune();
    const std::optional<std::string> path = settingsOperand(runner, runner.arguments().operands[0]);
    if (!path || !runner.loadSettings(tune, *path)) {
        return kFailed;
    }
    const platform::QtSettingsStore store(runner.edition().appName);
    plot::Canvas canvas(kReportDpi, 1);
    const plot::TimingPlot timing(
        tune, plot::readPlotSettings(store),
        [&canvas](const std::string& text) { return canvas.textWidth(text); });
    canvas.draw(timing.load());
    return writePng(runner, canvas, png) ? kDone : kFailed;
}

}  // namespace cli

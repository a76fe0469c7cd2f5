// plot FILE.cfg --png OUT.png: the timing plot of a settings file as the plot window would draw
// it at 96 DPI, on white, with the stored grid colour and RPM scale.
#include <QBuffer>
#include <cerrno>
#include <cstring>
#include <ostream>
#include <string_view>

#include "cli/Commands.h"
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
    if (!runner.loadSettings(tune, runner.arguments().operands[0])) {
        return kFailed;
    }
    const platform::QtSettingsStore store(runner.edition().appName);
    plot::Canvas canvas(kReportDpi, 1);
    const plot::TimingPlot timing(
        tune, plot::readPlotSettings(store),
        [&canvas](const std::string& text) { return canvas.textWidth(text); });
    canvas.draw(timing.load());

    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    // Written whole or not at all: a failed write leaves no half picture behind.
    errno = 0;
    if (!canvas.image().save(&buffer, "PNG") ||
        tune::saveSettingsFile(
            png, std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size()))) !=
            tune::SaveOutcome::Saved) {
        runner.err() << "Could not write " << png;
        if (errno != 0) {
            runner.err() << ": " << std::strerror(errno);
        }
        runner.err() << std::endl;
        return kFailed;
    }
    return kDone;
}

}  // namespace cli

// Cost of one live update on the Dashboard's widgets, painted offscreen into an image as the
// screen would paint them: a gauge's new value, a readout's new value, and a 4-pen trend graph's
// new sample. The argument is the device pixel ratio.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QEvent>
#include <QImage>
#include <cmath>

#include "platform/display/RoundGauge.h"
#include "platform/display/SevenSegmentDisplay.h"
#include "platform/display/TrendGraph.h"

namespace {

using namespace platform::display;

// The format of an opaque window's backing store on X11.
QImage targetFor(const QWidget& widget, qreal ratio) {
    QImage image((QSizeF(widget.size()) * ratio).toSize(), QImage::Format_RGB32);
    image.setDevicePixelRatio(ratio);
    return image;
}

void gaugeValueChange(benchmark::State& state) {
    RoundGauge gauge;
    gauge.resize(260, 260);
    gauge.setMaximum(8000);
    gauge.setMajorDivisions(8);
    gauge.setCaption("RPM");
    gauge.setZoneLimits(60, 7000, 7500);
    gauge.setUpperLimit(6500);
    QImage image = targetFor(gauge, static_cast<qreal>(state.range(0)));
    gauge.render(&image);
    int n = 0;
    for (auto _ : state) {
        gauge.setValue(800 + (n++ % 700) * 10);
        gauge.render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
    }
}
BENCHMARK(gaugeValueChange)->Arg(1)->Arg(2)->Unit(benchmark::kMicrosecond);

// The same through a shown window, as the screen does it: only the needle's old and new places are
// repainted into the window's backing store (an image on the offscreen platform).
void gaugeValueChangeShown(benchmark::State& state) {
    RoundGauge gauge;
    gauge.resize(260, 260);
    gauge.setMaximum(8000);
    gauge.setMajorDivisions(8);
    gauge.setZoneLimits(60, 7000, 7500);
    gauge.show();
    QCoreApplication::processEvents();
    int n = 0;
    for (auto _ : state) {
        gauge.setValue(800 + (n++ % 700) * 10);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::UpdateRequest);
    }
}
BENCHMARK(gaugeValueChangeShown)->Unit(benchmark::kMicrosecond);

void readoutValueChange(benchmark::State& state) {
    SevenSegmentDisplay readout;
    readout.resize(80, 34);
    readout.setDigits(4);
    QImage image = targetFor(readout, static_cast<qreal>(state.range(0)));
    int n = 0;
    for (auto _ : state) {
        readout.setValue(static_cast<float>(800 + (n++ % 700) * 10));
        readout.render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
    }
}
BENCHMARK(readoutValueChange)->Arg(1)->Arg(2)->Unit(benchmark::kMicrosecond);

void trendGraphNewSample(benchmark::State& state) {
    TrendGraph graph(4);
    graph.resize(760, 300);
    graph.setRange(0, 8000);
    graph.setGridSpaceY(1000);
    QImage image = targetFor(graph, static_cast<qreal>(state.range(0)));
    int n = 0;
    const auto addSample = [&] {
        graph.advance();
        for (int pen = 0; pen < 4; ++pen)
            graph.setPenValue(pen, 4000 + 3500 * std::sin(n / 30.0 + pen));
        graph.plot();
        ++n;
    };
    for (int i = 0; i < 545; ++i)
        addSample();
    graph.render(&image);
    for (auto _ : state) {
        addSample();
        graph.render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
    }
}
BENCHMARK(trendGraphNewSample)->Arg(1)->Arg(2)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

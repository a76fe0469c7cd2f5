// One realtime block through CopyATdata and the Dashboard's repaint of what changed, for each
// view, with the window shown on the offscreen platform as the program would show it.
#include <benchmark/benchmark.h>

#include <QAction>
#include <QApplication>

#include "comlink/DataFileSlot.h"
#include "comlink/Realtime.h"
#include "dash/ui/Config.h"
#include "dash/ui/Realtime.h"
#include "platform/FakePlatform.h"

namespace {

void blockAndRepaint(benchmark::State& state, bool dials) {
    platform::FakeSettingsStore store;
    store.write("Realtime", "ShowDials", dials ? "True" : "False");
    for (const char* key : {"ShowCoolant", "ShowTPS", "ShowMAP", "ShowMSD", "ShowO2AFR"}) {
        store.write("Realtime", key, "True");
    }
    platform::FakeColorDialog colors;
    comlink::Realtime realtime;
    comlink::DataFileSlot dataFile;
    platform::FakeClock clock;
    dash::Config config(tune::editionInfo(tune::Edition::BEL), store, colors, realtime);
    dash::Realtime window(
        tune::editionInfo(tune::Edition::BEL),
        {store, config, dataFile, [] { return true; }, [] { return false; }, "/tmp", clock});
    realtime.setDisplay(&window);
    window.resize(1000, 640);
    window.show();
    QApplication::processEvents();

    comlink::RxBuffer block{};
    int n = 0;
    for (auto _ : state) {
        // A moving engine: every value changes a little each block.
        block[0] = n & 0xFF;
        block[5] = (n * 3) & 0xFF;
        block[11] = (n * 5) & 0xFF;
        block[12] = (n / 40) & 0x1F;
        block[13] = (n * 7) & 0xFF;
        block[14] = (100 + n) & 0xFF;
        block[17] = 120 + n % 60;
        block[19] = n % 80;
        realtime.copyATdata(block, true);
        QApplication::processEvents();  // the paint of what changed
        ++n;
    }
}

void graphView(benchmark::State& state) {
    blockAndRepaint(state, false);
}
void dialsView(benchmark::State& state) {
    blockAndRepaint(state, true);
}
BENCHMARK(graphView)->Unit(benchmark::kMicrosecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(dialsView)->Unit(benchmark::kMicrosecond)->Repetitions(5)->ReportAggregatesOnly(true);

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM",
            qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

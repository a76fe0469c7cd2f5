// ">>" in the log replay window: 544 records read from a real log, each shown on the real
// Dashboard and painted (offscreen) before the next, as the program does it. Goal: under 0.3 s.
#include <benchmark/benchmark.h>

#include <QAction>
#include <QApplication>
#include <QPushButton>
#include <QTemporaryDir>
#include <fstream>
#include <random>

#include "app/Application.h"
#include "dash/LogFormat.h"
#include "dash/ui/File.h"
#include "comlink/ui/SerialWindow.h"
#include "platform/SystemClock.h"
#include "setup/ui/Ignition.h"
#include "platform/FakePlatform.h"

namespace {

constexpr int kSteps = 40;
constexpr int kRecordsPerStep = 544;

void fastForward(benchmark::State& state) {
    QTemporaryDir folder;
    const std::string log = folder.filePath("drive.csv").toStdString();
    {
        std::ofstream out(log, std::ios::binary);
        std::mt19937 random(1);
        comlink::RxBuffer block{};
        for (int i = 0; i < (kSteps + 1) * kRecordsPerStep; ++i) {
            for (int k = 0; k < comlink::kRealtimeBlockSize; ++k)
                block[static_cast<std::size_t>(k)] = static_cast<int>(random() % 256);
            out << dash::logLine(block) << "\r\n";
        }
    }
    platform::FakeSerialPort port;
    platform::FakeSettingsStore store;
    platform::FakeClock clock;
    platform::QtEventPump events;  // the real one: every record is painted before the next
    platform::FakeMessageBox messages;
    platform::FakeFileDialog files;
    platform::FakeColorDialog colors;
    app::Application program(tune::editionInfo(tune::Edition::BEL),
                             {port, store, clock, events, messages, files, colors},
                             folder.path().toStdString());
    program.start();
    program.ignition().findChild<QAction*>("mPlayFile")->trigger();
    // Its 30 raw cells change with every record and cost as much again as the Dashboard.
    if (state.range(0) == 1)
        program.serialWindow().showMinimized();
    dash::File& replay = program.live().replay();
    files.paths.push_back(log);
    replay.findChild<QPushButton*>("cmdLoadFile")->click();  // the first 544
    QPushButton* ffwd = replay.findChild<QPushButton*>("cmdFFwd");
    for (auto _ : state)
        ffwd->click();
    state.counters["records/s"] = benchmark::Counter(
        static_cast<double>(state.iterations() * kRecordsPerStep), benchmark::Counter::kIsRate);
}
// Argument 0: the Controller link window on screen too; 1: minimised.
BENCHMARK(fastForward)
    ->Arg(0)
    ->Arg(1)
    ->Iterations(kSteps)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

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

#include <benchmark/benchmark.h>

#include "link/Codec.h"
#include "tune/Tune.h"

namespace {

void encodeStartupTune(benchmark::State& state) {
    const tune::Tune tune = tune::Tune::startup(tune::Edition::BEL);
    const link::EngineConstants constants = *link::calcEngineConstants(tune);
    for (auto _ : state) {
        benchmark::DoNotOptimize(link::encodeTune(tune, constants));
    }
}
BENCHMARK(encodeStartupTune);

void decodeStartupImage(benchmark::State& state) {
    const tune::Tune original = tune::Tune::startup(tune::Edition::BEL);
    link::RxBuffer image{};
    for (const link::ImageWrite& write :
         link::encodeTune(original, *link::calcEngineConstants(original))) {
        image[static_cast<std::size_t>(write.offset)] = write.value & 0xFF;
    }
    tune::Tune tune = original;
    for (auto _ : state) {
        link::imageToSetup(tune, image, tune::Edition::BEL);
        benchmark::DoNotOptimize(tune);
    }
}
BENCHMARK(decodeStartupImage);

}  // namespace

BENCHMARK_MAIN();

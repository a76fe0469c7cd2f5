#include <benchmark/benchmark.h>

#include "comlink/Codec.h"
#include "tune/Tune.h"

namespace {

void encodeStartupTune(benchmark::State& state) {
    const tune::Tune tune = tune::Tune::startup(tune::Edition::BEL);
    const comlink::EngineConstants constants = *comlink::calcEngineConstants(tune);
    for (auto _ : state) {
        benchmark::DoNotOptimize(comlink::encodeTune(tune, constants));
    }
}
BENCHMARK(encodeStartupTune);

void decodeStartupImage(benchmark::State& state) {
    const tune::Tune original = tune::Tune::startup(tune::Edition::BEL);
    comlink::RxBuffer image{};
    for (const comlink::ImageWrite& write :
         comlink::encodeTune(original, *comlink::calcEngineConstants(original))) {
        image[static_cast<std::size_t>(write.offset)] = write.value & 0xFF;
    }
    tune::Tune tune = original;
    for (auto _ : state) {
        comlink::imageToSetup(tune, image, tune::Edition::BEL);
        benchmark::DoNotOptimize(tune);
    }
}
BENCHMARK(decodeStartupImage);

}  // namespace

BENCHMARK_MAIN();

#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "comlink/Engine.h"
#include "platform/FakePlatform.h"

namespace {

// Counts images so the compiler cannot drop the work.
class ImageCounter : public comlink::EngineEvents {
public:
    void imageReceived(const comlink::RxBuffer& rx) override { sum += rx[62]; }
    long sum = 0;
};

// One "U" and the tick that files its complete 63-byte answer.
void tickCompletingAnUpload(benchmark::State& state) {
    platform::FakeSerialPort port;
    port.open(1);
    platform::FakeClock clock;
    platform::FakeEventPump pump(&port);
    comlink::Engine engine(port, clock, pump);
    ImageCounter counter;
    engine.setListener(&counter);
    std::vector<std::uint8_t> image(63);
    for (std::size_t i = 0; i < image.size(); ++i) {
        image[i] = static_cast<std::uint8_t>(i * 3);
    }
    for (auto _ : state) {
        engine.upload();
        port.push(image);
        engine.tick();
        port.clearWritten();
    }
    benchmark::DoNotOptimize(counter.sum);
    if (engine.mode() != 0) {
        state.SkipWithError("the upload did not complete");
    }
}
BENCHMARK(tickCompletingAnUpload);

}  // namespace

BENCHMARK_MAIN();

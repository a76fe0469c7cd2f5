// The firmware update's line feeder on any file, against the simulator's bootloader on a fake
// line: a file the S-record check refuses puts no byte on the line; any other update ends (done,
// timed out or stopped) within a bounded number of ticks, and never leaves the file open.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "comlink/Bootloader.h"
#include "comlink/DataFileSlot.h"
#include "comlink/Engine.h"
#include "comlink/S19Check.h"
#include "fuzz/Check.h"
#include "sim/Controller.h"
#include "platform/FakePlatform.h"

namespace {

class Ticks : public comlink::EngineEvents {
public:
    explicit Ticks(comlink::Bootloader& bootloader) : bootloader_(bootloader) {}
    void bootloaderTick(int mode) override { bootloader_.step(mode); }

private:
    comlink::Bootloader& bootloader_;
};

// In memory where the system offers it: a file is written and read back on every run.
const std::string& scratchFile() {
    static const std::string path = (::access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp") +
                                    std::string("/volcrestone-s19-fuzz-") +
                                    std::to_string(::getpid());
    return path;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (std::FILE* file = std::fopen(scratchFile().c_str(), "wb")) {
        std::fwrite(data, 1, size, file);
        std::fclose(file);
    } else {
        return 0;
    }
    platform::FakeSerialPort port;
    platform::FakeClock clock;
    platform::FakeEventPump pump(&port);
    comlink::Engine engine(port, clock, pump);
    comlink::DataFileSlot files;
    comlink::Bootloader bootloader(engine, files, [] { return std::string("COM1"); });
    Ticks ticks(bootloader);
    engine.setListener(&ticks);
    sim::Controller controller{sim::ControllerSetup{}};
    port.open(1);
    bootloader.downLoad(scratchFile());
    const bool refused =
        comlink::checkS19Text(std::string_view(reinterpret_cast<const char*>(data), size))
            .has_value();
    FUZZ_CHECK(!refused || port.written.empty());

    // Every line takes one tick; each state may wait two seconds for its answer.
    const std::size_t limit = size + 200;
    std::size_t heard = 0;
    for (std::size_t tick = 1; tick <= limit && engine.mode() != comlink::kIdle; ++tick) {
        clock.seconds = 1000 + static_cast<std::int64_t>(tick / 10);
        const std::vector<std::uint8_t> fresh(port.written.begin() + static_cast<long>(heard),
                                              port.written.end());
        heard = port.written.size();
        port.push(controller.receive(fresh, static_cast<std::int64_t>(tick) * 100));
        port.push(controller.advance(static_cast<std::int64_t>(tick) * 100));
        engine.tick();
    }
    FUZZ_CHECK(engine.mode() == comlink::kIdle);
    FUZZ_CHECK(!files.isOpen());
    return 0;
}

// The protocol engine driven by a script: bytes from the controller at any moment, ticks, clock
// steps, every command of the link window, the firmware update's states (1..5 and 9), a pulled
// cable and a stuck output queue. The engine must never write to a closed port, never file a
// reply past its buffer, keep its time-out count in range, and hand on only whole replies; an
// uploaded image then goes through the codec into a Tune.
#include <cstdint>
#include <string>
#include <vector>

#include "comlink/Codec.h"
#include "comlink/Engine.h"
#include "fuzz/Check.h"
#include "platform/FakePlatform.h"
#include "tune/SettingsText.h"

namespace {

// Reads the script from the front, one byte per choice; past its end every choice is 0.
class Script {
public:
    Script(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

    bool done() const { return pos_ >= size_; }
    int next() { return done() ? 0 : data_[pos_++]; }
    int next(int choices) { return next() % choices; }
    int nextWord() { return (next() << 8 | next()) - 32768; }
    std::vector<std::uint8_t> bytes(int count) {
        std::vector<std::uint8_t> out;
        while (count-- > 0 && !done())
            out.push_back(static_cast<std::uint8_t>(next()));
        return out;
    }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t pos_ = 0;
};

class CheckedPort : public platform::FakeSerialPort {
public:
    void write(const std::vector<std::uint8_t>& bytes) override {
        FUZZ_CHECK(isOpen());
        FakeSerialPort::write(bytes);
    }
};

bool isByte(int value) {
    return value >= 0 && value <= 255;
}

bool allBytes(const comlink::RxBuffer& rx, int count) {
    for (int i = 0; i < count; ++i) {
        if (!isByte(rx[static_cast<std::size_t>(i)]))
            return false;
    }
    return true;
}

class Watcher : public comlink::EngineEvents {
public:
    Watcher(const comlink::Engine& engine, tune::Edition edition)
        : engine_(engine), edition_(edition) {}

    bool about = false;

    void noResponse(int mode) override { FUZZ_CHECK(mode >= 10); }
    void revisionReceived(int revision) override { FUZZ_CHECK(isByte(revision)); }
    bool aboutShowing() const override { return about; }
    void realtimeBlock(const comlink::RxBuffer& rx) override {
        FUZZ_CHECK(!engine_.replayActive());
        FUZZ_CHECK(allBytes(rx, comlink::kRealtimeBlockSize));
        FUZZ_CHECK(engine_.mode() != 'M' || rx[0] == engine_.monitorSeq());
    }
    void imageReceived(const comlink::RxBuffer& rx) override {
        FUZZ_CHECK(engine_.mode() == comlink::kIdle);
        FUZZ_CHECK(allBytes(rx, comlink::kImageSize));
        tune::Tune t = tune::Tune::startup(edition_);
        comlink::imageToSetup(t, rx, edition_);
        FUZZ_CHECK(!tune::settingStr(t).empty());
    }
    void bootloaderTick(int mode) override {
        FUZZ_CHECK((mode >= 1 && mode <= 5) || mode == comlink::kBootCleanUp);
    }

private:
    const comlink::Engine& engine_;
    tune::Edition edition_;
};

class Rig {
public:
    Rig(Script& script, tune::Edition edition)
        : script_(script), engine_(port_, clock_, pump_), watcher_(engine_, edition) {
        port_.open(1);
        engine_.setListener(&watcher_);
        // While a burn waits, the script decides what the line and the clock do.
        pump_.onProcess = [this] {
            switch (script_.next(4)) {
                case 0:
                    clock_.advance(1);
                    break;
                case 1:
                    port_.drainOutput(script_.next());
                    break;
                case 2:
                    port_.vanish();
                    break;
                default:
                    break;
            }
        };
    }

    void step(int op);

private:
    void tick() {
        engine_.tick();
        const int mode = engine_.mode();
        if (mode == comlink::kIdle)
            FUZZ_CHECK(engine_.waitTicks() == 0);
        if (mode >= 10)
            FUZZ_CHECK(engine_.waitTicks() >= 0 && engine_.waitTicks() <= 4);
    }
    void writeByte(int offset, int value) {
        const std::size_t before = port_.written.size();
        engine_.writeByte(offset, value);
        const bool sent = port_.isOpen() && isByte(offset) && isByte(value);
        FUZZ_CHECK(port_.written.size() == before + (sent ? 3 : 0));
    }
    void burn() {
        const std::size_t before = port_.written.size();
        const bool burned = engine_.burn();
        FUZZ_CHECK(port_.written.size() == before + (burned ? 1 : 0));
        FUZZ_CHECK(!burned || port_.written.back() == 'B');
    }
    void stop() {
        const bool stops =
            port_.isOpen() && (engine_.mode() == comlink::kIdle || engine_.mode() == 'M');
        engine_.cmdN();
        if (stops)
            FUZZ_CHECK(engine_.mode() == comlink::kIdle && port_.written.back() == 'N');
    }

    Script& script_;
    CheckedPort port_;
    platform::FakeClock clock_;
    platform::FakeEventPump pump_;
    comlink::Engine engine_;
    Watcher watcher_;
};

void Rig::step(int op) {
    constexpr int kStates[] = {-1, 0, 1, 2, 3, 4, 5, 9};
    switch (op) {
        case 0:
            port_.push(script_.bytes(script_.next()));
            break;
        case 1:
            tick();
            break;
        case 2:
            for (int n = script_.next(); n > 0; --n)
                tick();
            break;
        case 3:
            clock_.advance(script_.next(8));
            break;
        case 4:
            engine_.cmdM();
            break;
        case 5:
            stop();
            break;
        case 6:
            engine_.cmdC();
            break;
        case 7:
            engine_.cmdQ();
            break;
        case 8:
            engine_.cmdAt();
            break;
        case 9:
            engine_.cmdBoot();
            break;
        case 10:
            engine_.getVars();
            break;
        case 11:
            engine_.upload();
            break;
        case 12:
            writeByte(script_.nextWord(), script_.nextWord());
            break;
        case 13:
            burn();
            break;
        case 14:
            engine_.firmwareUpdate();
            break;
        case 15:
            engine_.setMode(kStates[script_.next(8)]);
            break;
        case 16: {
            const std::vector<std::uint8_t> text = script_.bytes(script_.next());
            engine_.send(std::string(text.begin(), text.end()));
            break;
        }
        case 17:
            port_.vanish();
            break;
        case 18:
            port_.open(1 + script_.next(4));
            break;
        case 19:
            port_.close();
            break;
        case 20:
            port_.holdOutput = script_.next(2) != 0;
            break;
        case 21:
            engine_.setReplayActive();
            break;
        case 22:
            engine_.setLineCount(script_.next());
            break;
        default:
            watcher_.about = !watcher_.about;
            break;
    }
    FUZZ_CHECK(engine_.rxCount() >= 0 && engine_.rxCount() <= 257);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Script script(data, size);
    const auto edition = static_cast<tune::Edition>(script.next(4));
    Rig rig(script, edition);
    while (!script.done())
        rig.step(script.next(24));
    return 0;
}

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "link/Codec.h"
#include "link/Engine.h"
#include "link/Transfer.h"
#include "support/FakePlatform.h"
#include "support/FakeSerialPort.h"
#include "tune/SettingsText.h"
#include "tune/Tune.h"

namespace {

using tune::Edition;
using tune::Single;
using tune::Table;
using tune::Tune;

class TransferTest : public testing::Test {
protected:
    TransferTest() {
        port.open(1);
        port.holdOutput = true;
    }

    support::FakeSerialPort port;
    support::FakeClock clock;
    support::FakeEventPump pump{&port};
    link::Engine engine{port, clock, pump};
};

std::vector<std::uint8_t> triple(int offset, int value) {
    return {'W', static_cast<std::uint8_t>(offset), static_cast<std::uint8_t>(value)};
}

bool contains(const std::vector<std::uint8_t>& bytes, const std::vector<std::uint8_t>& part) {
    return std::search(bytes.begin(), bytes.end(), part.begin(), part.end()) != bytes.end();
}

TEST_F(TransferTest, startupTuneGoesOutAs53WritesThenTheStoreCommand) {
    const Tune tune = Tune::startup(Edition::BEL);
    link::EngineConstants constants;
    ASSERT_EQ(link::checkBeforeSend(tune, Edition::BEL, constants), std::nullopt);

    ASSERT_TRUE(link::sendTune(engine, tune, constants));

    const std::vector<std::uint8_t>& out = port.written;
    ASSERT_EQ(out.size(), 53u * 3 + 1);
    const std::vector<std::uint8_t> head{'W', 0, 16, 'W', 6, 20, 'W', 12, 140, 'W', 18, 34};
    EXPECT_TRUE(std::equal(head.begin(), head.end(), out.begin()));
    const std::vector<std::uint8_t> tail{'W', 53, 0, 'B'};
    EXPECT_TRUE(std::equal(tail.begin(), tail.end(), out.end() - 4));
    EXPECT_FALSE(contains(out, triple(49, 0)));
    EXPECT_GE(pump.calls, 1) << "the store command must wait for the writes to leave the port";
    EXPECT_EQ(engine.mode(), 0);
}

TEST_F(TransferTest, valueOutsideTheByteRangeIsSkippedAndTheRestStillGoesOut) {
    Tune tune = Tune::startup(Edition::BEL);
    tune.text(Table::RPM, 0) = "12800";
    link::EngineConstants constants;
    ASSERT_EQ(link::checkBeforeSend(tune, Edition::BEL, constants), std::nullopt);

    ASSERT_TRUE(link::sendTune(engine, tune, constants));

    EXPECT_EQ(port.written.size(), 52u * 3 + 1);
    for (std::size_t i = 0; i + 2 < port.written.size(); i += 3) {
        EXPECT_NE(port.written[i + 1], 6) << "offset 6 must not be written";
    }
    EXPECT_EQ(port.written.back(), 'B');
}

TEST_F(TransferTest, portClosingDuringTheWaitSendsNoStoreCommand) {
    const Tune tune = Tune::startup(Edition::BEL);
    link::EngineConstants constants;
    ASSERT_EQ(link::checkBeforeSend(tune, Edition::BEL, constants), std::nullopt);
    pump.onProcess = [this] { port.vanish(); };

    EXPECT_FALSE(link::sendTune(engine, tune, constants));
    EXPECT_EQ(port.written.size(), 53u * 3);
    EXPECT_NE(port.written.back(), 'B');
}

// Runs the upload end to end through the engine: the listener decodes the image when the 63rd
// byte arrives, as the Setup window and the command-line tool do.
class Decoder : public link::EngineEvents {
public:
    explicit Decoder(Tune& tune) : tune_(tune) {}
    void imageReceived(const link::RxBuffer& rx) override {
        link::imageToSetup(tune_, rx, Edition::BEL);
        ++images;
    }
    void noResponse(int) override { ++noAnswers; }
    int images = 0;
    int noAnswers = 0;

private:
    Tune& tune_;
};

std::vector<std::uint8_t> imageBytes(const Tune& tune) {
    std::vector<std::uint8_t> image(63, 0);
    for (const link::ImageWrite& w : link::encodeTune(tune, *link::calcEngineConstants(tune))) {
        image[static_cast<std::size_t>(w.offset)] = static_cast<std::uint8_t>(w.value);
    }
    return image;
}

TEST_F(TransferTest, uploadAnsweredWith63BytesWritesTheControllersTuneIntoTheFields) {
    Tune controllers = Tune::startup(Edition::BEL);
    controllers.text(Table::BaseTiming, 0) = "11";
    controllers.text(Single::RPMlimit) = "7000";
    Tune shown = Tune::startup(Edition::BEL);
    Decoder decoder(shown);
    engine.setListener(&decoder);

    engine.upload();
    port.push(imageBytes(controllers));
    engine.tick();

    EXPECT_EQ(decoder.images, 1);
    EXPECT_EQ(tune::settingStr(shown), tune::settingStr(controllers));
}

TEST_F(TransferTest, uploadAnsweredWith62BytesChangesNoField) {
    Tune controllers = Tune::startup(Edition::BEL);
    controllers.text(Table::BaseTiming, 0) = "11";
    Tune shown = Tune::startup(Edition::BEL);
    const std::string before = tune::settingStr(shown);
    Decoder decoder(shown);
    engine.setListener(&decoder);

    engine.upload();
    std::vector<std::uint8_t> image = imageBytes(controllers);
    image.pop_back();
    port.push(image);
    for (int tick = 0; tick < 5; ++tick)
        engine.tick();

    EXPECT_EQ(decoder.images, 0);
    EXPECT_EQ(decoder.noAnswers, 1);
    EXPECT_EQ(tune::settingStr(shown), before);
    EXPECT_EQ(engine.mode(), 0);
}

}  // namespace

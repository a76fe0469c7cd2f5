#include <cstdint>
#include <optional>
#include <vector>

#include "link/EngineFixture.h"
#include "link/Transfer.h"
#include "tune/Tune.h"

namespace {

using link::Refusal;
using tune::Edition;
using tune::Tune;

struct CheckCase {
    const char* cylinders;
    const char* lastBaseTiming;
    const char* knockIncrement;
    Edition edition;
    std::optional<Refusal> refusal;
    int storedRpmK;  // -7: the constants were left untouched
};

TEST(SendCheck, cylinderCountComesFirstThenTheEditionsRulesUnderTheirOwnTitle) {
    const Refusal cylinders{"Can not Download!)", "Verify the Cylinder Count"};
    const Refusal timing{"Can not Download!", "Base Timing must be less than Static Timing!"};
    const Refusal knock{"Can not Download!",
                        "\"Retard increase per knock detect\"\r\nmust be set to 0.0"};
    const CheckCase cases[] = {
        {"4", "30", "0.0", Edition::BEL, std::nullopt, 6912000},
        {"13", "30", "0.0", Edition::BEL, cylinders, -7},
        {"", "45", "0.5", Edition::BEL, cylinders, -7},
        {"4", "45", "0.5", Edition::BEL, timing, 6912000},
        {"4", "30", "0.5", Edition::BEL, knock, 6912000},
        {"4", "30", "0.5", Edition::RUK, std::nullopt, 6912000},
    };
    for (const CheckCase& c : cases) {
        SCOPED_TRACE(testing::Message() << "row " << &c - cases);
        Tune tune = Tune::startup(Edition::BEL);
        tune.cylinders.text = c.cylinders;
        tune.text(tune::Table::BaseTiming, 5) = c.lastBaseTiming;
        ASSERT_TRUE(tune.knockIncr.selectText(c.knockIncrement));
        link::EngineConstants constants{-7, -8, -9};
        EXPECT_EQ(link::checkBeforeSend(tune, c.edition, constants), c.refusal);
        EXPECT_EQ(constants.rpmK, c.storedRpmK);
    }
}

// Offset and value of each write of the BEL start-up Tune, in send order.
constexpr std::uint8_t kBelStartupWrites[] = {
    0,  16,  6,  20,  12, 140, 18, 34,  1,  36, 7,  50, 13, 136, 19, 51,  2,  48,  8,  70, 14, 132,
    20, 68,  3,  64,  9,  90,  15, 128, 21, 85, 4,  64, 10, 110, 16, 124, 22, 119, 5,  60, 11, 130,
    17, 118, 23, 136, 24, 51,  25, 76,  26, 90, 27, 90, 28, 30,  29, 40,  30, 0,   31, 12, 32, 6,
    33, 7,   34, 0,   35, 105, 36, 120, 37, 0,  38, 1,  39, 108, 40, 0,   41, 90,  42, 4,  43, 0,
    44, 0,   45, 24,  46, 0,   47, 255, 48, 0,  50, 0,  51, 25,  52, 0,   53, 0};

TEST_F(EngineTest, startupTuneGoesOutAsItsExact53WritesThenTheStoreCommandOnceTheyLeft) {
    const Tune tune = Tune::startup(Edition::BEL);
    link::EngineConstants constants;
    ASSERT_EQ(link::checkBeforeSend(tune, Edition::BEL, constants), std::nullopt);
    port.holdOutput = true;

    ASSERT_TRUE(link::sendTune(engine, tune, constants));

    std::vector<std::uint8_t> expected;
    for (std::size_t i = 0; i < sizeof kBelStartupWrites; i += 2) {
        expected.insert(expected.end(), {'W', kBelStartupWrites[i], kBelStartupWrites[i + 1]});
    }
    expected.push_back('B');
    EXPECT_EQ(port.written, expected);
    EXPECT_GE(pump.calls, 1) << "the store command must wait for the writes to leave the port";
}

TEST_F(EngineTest, uploadAnsweredWith63BytesHandsOnTheImageAndEnds) {
    engine.upload();
    port.push(counting(63));
    engine.tick();
    EXPECT_EQ(events.images, std::vector<std::vector<int>>{asInts(counting(63))});
    EXPECT_EQ(engine.mode(), 0);
}

TEST_F(EngineTest, uploadAnsweredWith62BytesDeliversNoImageAndALate63rdByteIsDropped) {
    engine.upload();
    port.push(counting(62));
    ticks(5);
    EXPECT_EQ(events.noResponses, std::vector<int>{85});
    EXPECT_EQ(engine.mode(), 0);
    port.push({63});
    engine.tick();
    EXPECT_TRUE(events.images.empty());
    EXPECT_EQ(engine.rxBuf()[62], 0);
    EXPECT_EQ(port.waiting(), 0);
}

}  // namespace

// The realtime block's conversions, checked against hand-worked readings.
#include <gtest/gtest.h>

#include <cmath>

#include "comlink/Realtime.h"

namespace {

using comlink::RxBuffer;
using tune::Edition;

RxBuffer blockWith(std::initializer_list<std::pair<int, int>> bytes) {
    RxBuffer block{};
    for (const auto& [position, value] : bytes) {
        block[static_cast<std::size_t>(position)] = value;
    }
    return block;
}

comlink::ReadoutTexts textsOf(const RxBuffer& block, comlink::RealtimeOptions options) {
    return comlink::readoutTexts(comlink::deriveValues(block, options.edition), options);
}

// The rules that neither the Dashboard's window tests nor the command-line replay show.
TEST(RealtimeConversions, readoutTextsShowHalfDegreesBelowZeroAndNoNegativeZero) {
    const comlink::RealtimeOptions celsius{Edition::ZAV, true, true, true};
    const comlink::ReadoutTexts below = textsOf(blockWith({{19, 255}, {20, 200}}), celsius);
    EXPECT_EQ(below.ignition + " " + below.ignMsd, "-0.5 -28.0");
    EXPECT_EQ(textsOf(blockWith({{14, 72}}), celsius).coolant, "0");  // -0.4 rounds to 0, not -0
    EXPECT_EQ(textsOf(blockWith({{14, 40}}), {Edition::ZAV, true, false, true}).coolant, "0");
}

TEST(RealtimeConversions, trendSamplesAndDialsTakeTheirOwnScales) {
    const std::initializer_list<std::pair<int, int>> bytes{{5, 255},  {11, 100}, {14, 140},
                                                           {19, 192}, {20, 10},  {7, 51},
                                                           {17, 147}, {12, 3},   {13, 232}};
    const comlink::RealtimeOptions threeBarVolts{Edition::BEL, true, true, false};
    const comlink::DerivedValues v = comlink::deriveValues(blockWith(bytes), Edition::BEL);
    const comlink::TrendSamples s = comlink::trendSamples(v, threeBarVolts, 8000);
    EXPECT_EQ(s.rpmGraph, (std::array<double, 4>{1000, 8000, 3646, 3100}));
    EXPECT_EQ(s.afrGraph, (std::array<double, 3>{36, 110, 120}));
    const comlink::DialValues d = comlink::dialValues(v, threeBarVolts);
    // Map 0 at 100 kPa, the atmosphere; coolant 38 for 100 F.
    EXPECT_EQ((std::array{d.map, d.tps, d.coolant, d.o2afr}), (std::array{0.0, 5.0, 38.0, 1.0}));
    const comlink::TrendSamples wide =
        comlink::trendSamples(v, {Edition::BEL, false, false, true}, 12000);
    EXPECT_EQ((std::array{wide.rpmGraph[1], wide.rpmGraph[2], wide.afrGraph[2]}),
              (std::array{12000.0, 3100.0, 147.0}));
}

TEST(RealtimeConversions, mapDialReadsPsiOfBoostAndScaledVacuumWithoutAJump) {
    EXPECT_NEAR(comlink::mapDialValue(255), 26.4306, 1e-4);
    EXPECT_NEAR(comlink::mapDialValue(0), -25.11, 0.01);
    EXPECT_NEAR(comlink::mapDialValue(99.999), 0.0, 1e-3);
}

// Every byte in every position, and replayed values far outside a byte, convert to finite
// readings (UBSan watches the arithmetic).
TEST(RealtimeConversions, anyValueInAnyPositionConvertsToFiniteReadings) {
    for (const int value : {0, 1, 127, 191, 192, 255, -1, 2147483647, -2147483647 - 1}) {
        RxBuffer block{};
        block.fill(value);
        for (const Edition edition : {Edition::RUK, Edition::BEL}) {
            const comlink::DerivedValues v = comlink::deriveValues(block, edition);
            const comlink::ReadoutTexts t = comlink::readoutTexts(v, {edition, true, true, false});
            EXPECT_FALSE(t.rpm.empty() || t.map.empty() || t.o2afr.empty());
            const comlink::DialValues d = comlink::dialValues(v, {edition, true, true, false});
            EXPECT_TRUE(std::isfinite(d.map) && std::isfinite(d.coolant)) << value;
        }
    }
}

}  // namespace

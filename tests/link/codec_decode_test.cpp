#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "link/Codec.h"
#include "tune/SettingsText.h"
#include "tune/Tune.h"

namespace {

using tune::Edition;
using tune::Option;
using tune::Single;
using tune::Table;
using tune::Tune;

// The image a controller holding `tune` would upload.
link::RxBuffer imageOf(const Tune& tune) {
    link::RxBuffer image{};
    for (const link::ImageWrite& write :
         link::encodeTune(tune, link::calcEngineConstants(tune).value())) {
        image[static_cast<std::size_t>(write.offset)] = write.value & 0xFF;
    }
    return image;
}

// The start-up Tune of `edition` after uploading the BEL start-up image with one byte changed.
Tune decodedWith(int offset, int byte, Edition edition = Edition::BEL, int check1 = 1) {
    link::RxBuffer image = imageOf(Tune::startup(Edition::BEL));
    image[static_cast<std::size_t>(offset)] = byte;
    Tune tune = Tune::startup(edition);
    tune.check1 = check1;
    link::imageToSetup(tune, image, edition);
    return tune;
}

// The output texts come back only when each channel is set after its raw code.
TEST(CodecDecode, editedTuneSurvivesEncodeAndDecode) {
    Tune original = Tune::startup(Edition::BEL);
    original.text(Table::MapAdj, 2) = "-9";
    original.text(Single::Static) = "60.5";
    original.setOption(Option::PortedRPM, true);
    original.setOption(Option::Retard, true);
    ASSERT_TRUE(original.limitType.select(7));
    ASSERT_TRUE(original.cylinders.selectText("6"));
    ASSERT_TRUE(original.selectChannel(1, 8));
    original.outputs[1].raw = "84";
    original.channelChanged(1);
    ASSERT_TRUE(original.xled.select(2));
    ASSERT_TRUE(original.knockIncr.select(8));
    Tune back = Tune::startup(Edition::BEL);
    link::imageToSetup(back, imageOf(original), Edition::BEL);
    EXPECT_EQ(tune::settingStr(back), tune::settingStr(original));
}

using Field = std::function<std::string(const Tune&)>;

struct TextCase {
    int offset;
    int byte;
    int check1;
    Field field;
    const char* expected;
};

TEST(CodecDecode, eachByteRuleGivesItsText) {
    const Field baseTiming = [](const Tune& t) { return t.text(Table::BaseTiming, 0); };
    const Field mapAdj = [](const Tune& t) { return t.text(Table::MapAdj, 0); };
    const Field map = [](const Tune& t) { return t.text(Table::Map, 3); };
    const Field delay = [](const Tune& t) { return t.crankDelay.text; };
    const TextCase cases[] = {
        {0, 25, 1, baseTiming, "12.5"},
        {0, 120, 1, baseTiming, "60"},  // out of the field's range, kept as decoded
        {7, 50, 1, [](const Tune& t) { return t.text(Table::RPM, 1); }, "2500"},
        {12, 117, 1, mapAdj, "-6"},  // -5.5 committed to whole degrees, half to even
        {12, 255, 1, mapAdj, "+40"},
        {21, 85, 1, map, "100"},
        {21, 85, 0, map, "85"},
        {24, 51, 1, [](const Tune& t) { return t.text(Single::PortedStartTPS); }, "1.0"},
        {26, 90, 1, [](const Tune& t) { return t.text(Single::Static); }, "45.0"},
        {33, 31, 1, delay, "5"},
        {33, 255, 1, delay, "8"},
        {33, 1, 1, delay, "3"},
        {43, 60, 1, [](const Tune& t) { return t.outputs[0].raw; }, "60"},
        {51, 200, 1, [](const Tune& t) { return t.text(Single::UnwindRate); }, "200"},
    };
    for (const TextCase& c : cases) {
        SCOPED_TRACE(testing::Message() << "offset " << c.offset << " byte " << c.byte);
        EXPECT_EQ(c.field(decodedWith(c.offset, c.byte, Edition::BEL, c.check1)), c.expected);
    }
}

TEST(CodecDecode, optionBitsAndTheLimiterBitChooseTheOptions) {
    const Tune all = decodedWith(30, 1 + 2 + 4 + 8 + 16);
    EXPECT_TRUE(all.option(Option::PortedTPS));
    EXPECT_TRUE(all.option(Option::Map115));
    EXPECT_EQ(all.invertSpout, 1);
    EXPECT_TRUE(all.option(Option::UnwindSpark));

    const Tune rpmOnly = decodedWith(30, 2 + 224);
    EXPECT_TRUE(rpmOnly.option(Option::PortedRPM));
    EXPECT_TRUE(rpmOnly.option(Option::Map250));
    EXPECT_EQ(rpmOnly.invertSpout, 0);
    EXPECT_TRUE(rpmOnly.option(Option::UnwindMsec));

    EXPECT_TRUE(decodedWith(30, 0).option(Option::PortedNone));
    EXPECT_TRUE(decodedWith(46, 9).option(Option::Drop));
}

struct CylinderCase {
    int byte;
    Edition edition;
    bool stroke2, stroke4;
    const char* cylinders;
    int oddFire;
};

// A count missing from the list (2 in QOLT) leaves the list as it was.
TEST(CodecDecode, cylinderByteSetsStrokeCountAndOddFire) {
    const CylinderCase cases[] = {{134, Edition::BEL, true, false, "6", 0},
                                  {135, Edition::BEL, true, false, "4", 0},
                                  {7, Edition::BEL, false, true, "4", 0},
                                  {72, Edition::BEL, false, true, "8", 1},
                                  {129, Edition::BEL, true, false, "1", 0},
                                  {128 + 64 + 3, Edition::BEL, true, false, "3", 1},
                                  {72, Edition::QOLT, false, false, "8", 0},
                                  {128 + 6, Edition::QOLT, false, false, "6", 0},
                                  {2, Edition::QOLT, false, false, "4", 0}};
    for (const CylinderCase& c : cases) {
        SCOPED_TRACE(testing::Message() << c.byte << " in " << static_cast<int>(c.edition));
        const Tune tune = decodedWith(42, c.byte, c.edition);
        EXPECT_EQ(tune.option(Option::Stroke2), c.stroke2);
        EXPECT_EQ(tune.option(Option::Stroke4), c.stroke4);
        EXPECT_EQ(tune.cylinders.text, c.cylinders);
        EXPECT_EQ(tune.oddFire, c.oddFire);
    }
}

TEST(CodecDecode, listBytesPastTheirListsFallBackToTheFirstEntryOrChangeNothing) {
    Tune tune = Tune::startup(Edition::BEL);
    ASSERT_TRUE(tune.xled.select(1));
    ASSERT_TRUE(tune.knockIncr.select(3));
    ASSERT_TRUE(tune.selectChannel(1, 1));
    link::RxBuffer image = imageOf(tune);
    image[46] = 128 + 10;
    image[48] = 3;
    image[50] = 9;
    image[44] = 60;
    image[53] = 11;
    link::imageToSetup(tune, image, Edition::BEL);
    EXPECT_TRUE(tune.option(Option::Retard));
    EXPECT_EQ(tune.limitType.text, "  ** DISABLED **");
    EXPECT_EQ(tune.xled.text, "Knock");
    EXPECT_EQ(tune.knockIncr.text, "1.5");
    EXPECT_EQ(tune.outputs[1].channel.index, 0);
    EXPECT_EQ(tune.outputs[1].text, "3000");
}

}  // namespace

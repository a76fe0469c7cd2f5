// The Dashboard's settings as stored and what leaving realtime mode closes.
#include <gtest/gtest.h>

#include <vector>

#include "dash/DisplaySettings.h"
#include "dash/RealtimeMode.h"
#include "platform/FakePlatform.h"

namespace {

using Colors = std::vector<std::uint32_t>;

TEST(DisplaySettings, storedTextsOutsideTheirValuesFallBackToTheDefaults) {
    platform::FakeSettingsStore store;
    // Colours are plain decimal digits up to 24 bits; only "C" means Celsius, only "True" shows.
    const std::pair<const char*, const char*> stored[] = {
        {"GridColor", "blue"}, {"TPSColor", "16777216"},
        {"MAPColor", " 12"},   {"CoolantColor", "16777215"},
        {"Temp", "c"},         {"RPM", "12"},
        {"O2", "Voltage"},     {"ShowTPS", "True"},
        {"ShowMAP", "true"},   {"ShowDials", "yes"}};
    for (const auto& [key, text] : stored)
        store.write("Realtime", key, text);
    const dash::DisplaySettings s = dash::DisplaySettings::load(store);
    EXPECT_EQ(std::pair(s.backColor, s.gridColor), std::pair(0u, 12640511u));
    EXPECT_EQ(Colors(s.colors, s.colors + dash::kChannelCount),
              (Colors{65535, 255, 16776960, 16777215, 65280, 16761087, 65535}));
    EXPECT_TRUE(s.rpm12k && s.o2Voltage && s.shown(dash::Optional::TPS));
    EXPECT_FALSE(s.celsius || s.shown(dash::Optional::MAP) || s.showDials);
}

TEST(DisplaySettings, theTemperatureUnitAndTheEditionSetTheCoolantDialAndTwelveKTheGridStep) {
    const dash::DialScale c = dash::coolantDialScale(true, tune::Edition::BEL);
    const dash::DialScale rukF = dash::coolantDialScale(false, tune::Edition::RUK);
    EXPECT_TRUE(c.minimum == -40 && c.maximum == 100 && c.majorDivisions == 10);
    EXPECT_TRUE(rukF.minimum == 0 && rukF.maximum == 255 && rukF.majorDivisions == 20);
    EXPECT_EQ(dash::coolantDialScale(true, tune::Edition::RUK).minimum, -20);
    EXPECT_EQ(dash::rpmScale(true).gridSpaceY, 666);
}

// The windows' side is checked where the real windows are: the Dashboard's own tests.
struct IgnoredView : dash::RealtimeModeView {
    void setSetupExchangeEnabled(bool) override {}
    void setLinkCommandsEnabled(bool) override {}
    void showDashboard() override {}
    void hideDashboard() override {}
    void hideNoResponse() override {}
};

TEST(RealtimeMode, stopEndsTheStreamAndClosesTheDataFile) {
    platform::FakeSerialPort port;
    platform::FakeClock clock;
    platform::FakeEventPump pump;
    comlink::Engine engine(port, clock, pump);
    comlink::DataFileSlot file;
    IgnoredView view;
    dash::RealtimeMode mode(engine, file, view);
    port.open(1);
    mode.StartRealtime();
    ASSERT_TRUE(file.openForWriting("/dev/null", comlink::DataFileSlot::Use::Log));
    mode.StopRealtime();
    EXPECT_EQ(port.writtenText(), "MN");
    EXPECT_FALSE(file.isOpen());
}

}  // namespace

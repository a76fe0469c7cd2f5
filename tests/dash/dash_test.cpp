// The Dashboard's settings as stored and realtime mode's effects.
#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "dash/DisplaySettings.h"
#include "dash/RealtimeMode.h"
#include "platform/FakePlatform.h"

namespace {

TEST(DisplaySettings, storedTextsOutsideTheirValuesFallBackToTheDefaults) {
    platform::FakeSettingsStore store;
    // Colours are plain decimal digits up to 24 bits; only "C" means Celsius, only "True" shows.
    const std::pair<const char*, const char*> stored[] = {
        {"TPSColor", "16777216"}, {"MAPColor", " 12"}, {"CoolantColor", "16777215"}, {"Temp", "c"},
        {"ShowMAP", "true"},      {"ShowDials", "yes"}};
    for (const auto& [key, text] : stored)
        store.write("Realtime", key, text);
    const dash::DisplaySettings s = dash::DisplaySettings::load(store);
    EXPECT_EQ(std::vector(s.colors, s.colors + dash::kChannelCount),
              (std::vector<std::uint32_t>{65535, 255, 16776960, 16777215, 65280, 16761087, 65535}));
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

struct ModeView : dash::RealtimeModeView {
    std::vector<std::string> calls;
    void setSetupExchangeEnabled(bool on) override {
        calls.push_back(on ? "setup on" : "setup off");
    }
    void setLinkCommandsEnabled(bool on) override { calls.push_back(on ? "link on" : "link off"); }
    void showDashboard() override { calls.push_back("show"); }
    void hideDashboard() override { calls.push_back("hide"); }
    void hideNoResponse() override { calls.push_back("nocomm"); }
};

TEST(RealtimeMode, startLocksTheButtonsAndStopClosesTheDataFileAndRestoresEveryButton) {
    platform::FakeSerialPort port;
    platform::FakeClock clock;
    platform::FakeEventPump pump;
    comlink::Engine engine(port, clock, pump);
    comlink::DataFileSlot file;
    ModeView view;
    dash::RealtimeMode mode(engine, file, view);
    port.open(1);
    mode.StartRealtime();
    ASSERT_TRUE(file.openForWriting("/dev/null", comlink::DataFileSlot::Use::Log));
    mode.StopRealtime();
    EXPECT_EQ(std::tuple(port.writtenText(), file.isOpen()), std::tuple("MN", false));
    EXPECT_EQ(view.calls, (std::vector<std::string>{"setup off", "link off", "show", "hide",
                                                    "setup on", "link on", "nocomm"}));
}

}  // namespace

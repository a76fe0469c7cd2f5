// The Dashboard's settings as stored, realtime mode's effects and the data log's line.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "dash/DisplaySettings.h"
#include "dash/LogFormat.h"
#include "dash/RealtimeMode.h"
#include "support/FakePlatform.h"

namespace {

TEST(DisplaySettings, anEmptyStoreGivesTheDefaults) {
    const support::FakeSettingsStore store;
    const dash::DisplaySettings s = dash::DisplaySettings::load(store);
    EXPECT_EQ(s.backColor, 0u);
    EXPECT_EQ(s.gridColor, 12640511u);
    EXPECT_EQ(std::vector<std::uint32_t>(s.colors, s.colors + dash::kChannelCount),
              (std::vector<std::uint32_t>{65535, 255, 16776960, 16711680, 65280, 16761087, 65535}));
    EXPECT_FALSE(s.celsius || s.rpm12k || s.o2Voltage || s.showDials);
    for (const bool shown : s.show) {
        EXPECT_FALSE(shown);
    }
}

TEST(DisplaySettings, storedTextsOutsideTheirValuesFallBackSoundly) {
    support::FakeSettingsStore store;
    const auto set = [&](const char* key, const char* value) {
        store.write("Realtime", key, value);
    };
    set("BackColor", "255");
    set("GridColor", "blue");     // not a number: the default
    set("RPMColor", "-5");        // no sign allowed
    set("TPSColor", "16777216");  // beyond 24 bits
    set("MAPColor", " 12");       // a blank in front
    set("CoolantColor", "16777215");
    set("Temp", "c");  // only "C" means Celsius
    set("RPM", "12");
    set("O2", "Voltage");
    set("ShowTPS", "True");
    set("ShowMAP", "true");  // only "True" shows
    set("ShowDials", "yes");
    const dash::DisplaySettings s = dash::DisplaySettings::load(store);
    EXPECT_EQ(s.backColor, 255u);
    EXPECT_EQ(s.gridColor, 12640511u);
    EXPECT_EQ(s.color(dash::Channel::RPM), 65535u);
    EXPECT_EQ(s.color(dash::Channel::TPS), 255u);
    EXPECT_EQ(s.color(dash::Channel::MAP), 16776960u);
    EXPECT_EQ(s.color(dash::Channel::Coolant), 16777215u);
    EXPECT_FALSE(s.celsius);
    EXPECT_TRUE(s.rpm12k && s.o2Voltage && s.shown(dash::Optional::TPS));
    EXPECT_FALSE(s.shown(dash::Optional::MAP) || s.showDials);
}

TEST(DisplaySettings, unitAndScaleChoicesSetTheDialAndGraph) {
    const dash::DialScale c = dash::coolantDialScale(true, tune::Edition::BEL);
    const dash::DialScale rukF = dash::coolantDialScale(false, tune::Edition::RUK);
    EXPECT_TRUE(c.minimum == -40 && c.maximum == 100 && c.majorDivisions == 10);
    EXPECT_STREQ(c.caption, "Water C");
    EXPECT_TRUE(rukF.minimum == 0 && rukF.maximum == 255 && rukF.majorDivisions == 20);
    EXPECT_STREQ(rukF.caption, "Water F");
    EXPECT_EQ(dash::coolantDialScale(true, tune::Edition::RUK).minimum, -20);
    EXPECT_EQ(dash::rpmScale(true).penScale, 8.0f / 12.0f);
    EXPECT_EQ(dash::rpmScale(true).gridSpaceY, 666);
    EXPECT_EQ(dash::rpmScale(false).penScale, 0.0f);
    EXPECT_EQ(dash::rpmScale(false).dialMaximum, 8000);
}

TEST(LogFormat, aBlockIsThirtySpacedValuesAndTheNameIsTheStartTime) {
    comlink::RxBuffer block{};
    EXPECT_EQ(dash::logLine(block).size(), 119u);
    EXPECT_EQ(dash::logLine(block).substr(0, 8), " 0 , 0 ,");
    block[0] = 255;
    block[29] = 7;
    const std::string line = dash::logLine(block);
    EXPECT_EQ(line.substr(0, 7), " 255 , ");
    EXPECT_EQ(line.substr(line.size() - 4), ", 7 ");
    EXPECT_EQ(dash::logFileName(2006, 3, 4, 17, 5, 9), "060304170509.csv");
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

TEST(RealtimeMode, startSendsMOnlyWhenIdleAndStopClosesTheDataFileAndRestoresEveryButton) {
    support::FakeSerialPort port;
    support::FakeClock clock;
    support::FakeEventPump pump;
    comlink::Engine engine(port, clock, pump);
    comlink::DataFileSlot file;
    ModeView view;
    dash::RealtimeMode mode(engine, file, view);
    port.open(1);
    engine.getVars();  // a '@' is pending: the Dashboard shows, the stream does not start
    mode.StartRealtime();
    EXPECT_EQ(port.writtenText(), "@");
    EXPECT_EQ(view.calls, (std::vector<std::string>{"setup off", "link off", "show"}));
    for (int i = 0; i < 5; ++i) {
        engine.tick();  // the '@' times out
    }
    mode.StartRealtime();
    EXPECT_EQ(port.writtenText(), "@M");
    ASSERT_TRUE(file.openForWriting("/dev/null", comlink::DataFileSlot::Use::Log));
    view.calls.clear();
    mode.StopRealtime();
    EXPECT_EQ(port.writtenText(), "@MN");
    EXPECT_FALSE(file.isOpen());
    EXPECT_EQ(view.calls, (std::vector<std::string>{"hide", "setup on", "link on", "nocomm"}));
}

}  // namespace

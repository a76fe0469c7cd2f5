// The live display in the whole program, built with fakes: DASH and the buttons realtime mode
// locks, the Dashboard's stored look, its update and its end by close box, NoComm and port.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <cmath>
#include <memory>

#include "app/Application.h"
#include "dash/ui/Config.h"
#include "dash/ui/Realtime.h"
#include "dash/ui/Swatch.h"
#include "comlink/ui/NoCommWindow.h"
#include "comlink/ui/SerialWindow.h"
#include "platform/display/RoundGauge.h"
#include "platform/display/SevenSegmentDisplay.h"
#include "platform/display/TrendGraph.h"
#include "setup/ui/Ignition.h"
#include "support/FakeProgram.h"

namespace {

using Bytes = std::vector<std::uint8_t>;
using platform::display::RoundGauge;
using platform::display::TrendGraph;

class Dashboard : public ::testing::Test, protected support::FakeServices {
protected:
    Dashboard() { restart(tune::Edition::BEL); }

    void restart(tune::Edition edition) {
        program.reset();
        program =
            std::make_unique<app::Application>(tune::editionInfo(edition), platform(), "/tmp");
        program->start();
    }
    void dash() {
        QTest::mouseClick(program->ignition().findChild<QPushButton*>("cmdRealtime"),
                          Qt::LeftButton);
    }
    dash::Realtime& window() { return program->live().dashboard(); }
    template <typename T>
    T* find(const char* name) {
        return window().findChild<T*>(name);
    }
    template <typename T>
    T* setting(const char* name) {
        return program->live().config().findChild<T*>(name);
    }
    void clickSetting(const char* name) { setting<QAbstractButton>(name)->click(); }
    QString text(const char* name) { return find<QLabel>(name)->text(); }
    bool enabled(QWidget& window, const char* name) {
        return window.findChild<QPushButton*>(name)->isEnabled();
    }
    // One monitor frame; the first after "M" only synchronises.
    void frame(int secl, std::initializer_list<std::pair<int, int>> bytes = {}) {
        Bytes block(30, 0);
        block[0] = static_cast<std::uint8_t>(secl);
        for (const auto& [position, value] : bytes)
            block[static_cast<std::size_t>(position)] = static_cast<std::uint8_t>(value);
        port.push(block);
        program->engine().tick();
    }

    std::unique_ptr<app::Application> program;
};

TEST_F(Dashboard, dashLocksTheExchangeOnBothWindowsAndClosingTheDashboardGivesEverythingBack) {
    QWidget& setup = program->ignition();
    QWidget& link = program->serialWindow();
    dash();
    EXPECT_EQ(port.writtenText(), "M");
    EXPECT_TRUE(window().isVisible());
    EXPECT_EQ(window().windowTitle(), "Volcrestone Dash");
    EXPECT_FALSE(enabled(setup, "cmdUpload") || enabled(setup, "cmdDownLoad"));
    for (const char* locked : {"cmdAt", "cmdBoot", "cmdC", "cmdQ", "cmdU"})
        EXPECT_FALSE(enabled(link, locked)) << locked;
    EXPECT_TRUE(enabled(link, "cmdM") && enabled(link, "cmdN"));
    window().close();
    EXPECT_EQ(port.writtenText(), "MN");
    EXPECT_FALSE(window().isVisible());
    EXPECT_TRUE(enabled(setup, "cmdUpload") && !enabled(setup, "cmdDownLoad"));
    for (const char* unlocked : {"cmdAt", "cmdBoot", "cmdC", "cmdQ", "cmdU"})
        EXPECT_TRUE(enabled(link, unlocked)) << unlocked;
}

TEST_F(Dashboard, noCommsOkAndAPortChangeUnloadTheDashboardAndLeaveTheSetupWindowUsable) {
    dash();
    QTest::mouseClick(program->noComm().findChild<QPushButton*>("Command1"), Qt::LeftButton);
    EXPECT_FALSE(program->live().dashboardLoaded());
    EXPECT_EQ(port.writtenText(), "MN");
    EXPECT_TRUE(enabled(program->ignition(), "cmdUpload"));
    dash();
    program->session().choosePort(2);
    EXPECT_FALSE(program->live().dashboardLoaded());
    EXPECT_TRUE(enabled(program->ignition(), "cmdUpload") &&
                enabled(program->serialWindow(), "cmdQ"));
}

TEST_F(Dashboard, withNothingStoredItShowsTheDefaultLookOnTheGraphView) {
    dash();
    auto* rpm = find<TrendGraph>("tgRPM");
    auto* afr = find<TrendGraph>("tgAFR");
    EXPECT_TRUE(find<QWidget>("Frame0")->isVisible() && !find<QWidget>("Frame1")->isVisible());
    EXPECT_EQ(rpm->backColor(), 0u);
    EXPECT_EQ(rpm->gridColor(), 12640511u);
    EXPECT_EQ(afr->originColor(), 12640511u);
    EXPECT_EQ(rpm->penColor(0), 65535u);
    EXPECT_EQ(afr->penColor(2), 65535u);
    EXPECT_TRUE(rpm->maxy() == 8000 && afr->miny() == 100 && afr->maxy() == 200);
    EXPECT_EQ(rpm->penScale(0), 0.0f);
    EXPECT_EQ(rpm->gridSpaceY(), 1000);
    for (int pen : {1, 2, 3})
        EXPECT_TRUE(rpm->penHidden(pen)) << pen;
    EXPECT_TRUE(afr->penHidden(1) && afr->penHidden(2) && !afr->penHidden(0));
    for (const char* hidden : {"lblCoolant", "lblTPS", "lblMAP", "lblIgnMSD", "lblO2AFR"})
        EXPECT_FALSE(find<QLabel>(hidden)->isVisible()) << hidden;
    EXPECT_EQ(text("lblRPM"), "RPM");
    EXPECT_EQ(text("lblBattery"), "Battery");
    EXPECT_EQ(text("Label5"), "WB AFR");
    EXPECT_EQ(find<RoundGauge>("rgCoolant")->caption(), "Water F");
    EXPECT_EQ(find<RoundGauge>("rgRPM")->maximum(), 8000);
}

TEST_F(Dashboard, aLiveBlockSetsLabelsDialsReadoutsAndOneSampleButReplayStepsAddNone) {
    dash();
    frame(17);
    frame(18, {{12, 12}, {13, 34}, {19, 192}, {11, 85}, {6, 138}});
    EXPECT_EQ(text("lblRPM"), "3106");
    EXPECT_EQ(text("lblIgnition"), "-32.0");
    EXPECT_EQ(text("lblMAP"), "100");
    EXPECT_EQ(text("lblBattery"), "16.2");
    EXPECT_EQ(find<RoundGauge>("rgIGNITION")->value(), -32.0);
    EXPECT_EQ(find<platform::display::SevenSegmentDisplay>("ds7RPM")->value(), 3106.0f);
    auto* graph = find<TrendGraph>("tgRPM");
    EXPECT_EQ(graph->penValue(0, 0), 3106);
    EXPECT_EQ(program->serialWindow().findChild<QLabel*>("lbValue12")->text(), "12");
    comlink::RxBuffer block{};
    block[13] = 99;
    program->live().realtime().copyATdata(block, false);
    EXPECT_EQ(text("lblRPM"), "99");
    EXPECT_EQ(graph->penValue(0, 0), 3106);          // no new sample
    EXPECT_TRUE(std::isnan(graph->penValue(0, 1)));  // still the one sample
}

TEST_F(Dashboard, aColourChoiceAShownValueAndTheUnitSurviveARestartButACancelChangesNothing) {
    dash();
    QTest::mouseClick(find<QPushButton>("Command1"), Qt::LeftButton);
    EXPECT_TRUE(program->live().config().isVisible());
    EXPECT_EQ(program->live().config().windowTitle(), "Realtime Settings");
    colors.answers = {255u, std::nullopt, 16711680u};
    clickSetting("cmdAFR");  // red: its swatch and pen only
    clickSetting("cmdTPS");  // cancelled
    clickSetting("cmdCoolant");
    EXPECT_EQ(colors.initials, (std::vector<std::uint32_t>{0, 255, 255}));
    clickSetting("chkTPS");
    clickSetting("optTempC");
    clickSetting("optRPM12");
    EXPECT_EQ(text("lblCoolant"), "-18");  // coolantF 0 before any block
    EXPECT_EQ(store.read("Realtime", "O2AFRColor", ""), "255");
    EXPECT_EQ(store.read("Realtime", "TPSColor", "none"), "none");
    EXPECT_EQ(store.read("Realtime", "ShowTPS", ""), "True");
    EXPECT_EQ(store.read("Realtime", "Temp", ""), "C");
    EXPECT_EQ(find<RoundGauge>("rgO2AFR")->borderColor(), find<RoundGauge>("rgMAP")->borderColor());

    restart(tune::Edition::BEL);
    dash();
    auto* rpm = find<TrendGraph>("tgRPM");
    EXPECT_EQ(find<TrendGraph>("tgAFR")->penColor(2), 255u);
    EXPECT_EQ(rpm->penColor(3), 16711680u);
    EXPECT_EQ(find<dash::Swatch>("shpCoolant")->outlineColor(), 16711680u);
    EXPECT_FALSE(rpm->penHidden(1));
    EXPECT_TRUE(find<QLabel>("lblTPS")->isVisible());
    EXPECT_TRUE(setting<QRadioButton>("optTempC")->isChecked());
    EXPECT_EQ(find<RoundGauge>("rgCoolant")->caption(), "Water C");
    EXPECT_EQ(rpm->penScale(0), 8.0f / 12.0f);
    EXPECT_EQ(find<RoundGauge>("rgRPM")->maximum(), 12000);
    clickSetting("optRPM8");
    EXPECT_EQ(store.read("Realtime", "RPM", ""), "8");
    EXPECT_EQ(rpm->penScale(0), 0.0f);
}

TEST_F(Dashboard, editionsHideTheirMissingValuesButAStoredChoiceStillApplies) {
    store.write("Realtime", "ShowMSD", "True");
    restart(tune::Edition::QOLT);
    dash();
    EXPECT_FALSE(setting<QWidget>("cmdMSD")->isVisibleTo(&program->live().config()));
    EXPECT_TRUE(find<QLabel>("lblIgnMSD")->isVisible());
    restart(tune::Edition::ZAV);
    dash();
    EXPECT_FALSE(find<QPushButton>("cmdLogData")->isVisible() ||
                 find<QLabel>("lblBattery")->isVisible());
    restart(tune::Edition::RUK);
    dash();
    window().findChild<QAction*>("Dash")->trigger();
    EXPECT_FALSE(find<RoundGauge>("rgTPS")->isVisible());
    EXPECT_TRUE(find<RoundGauge>("rgO2AFR")->isVisible());
    EXPECT_EQ(store.read("Realtime", "ShowDials", ""), "True");
}

}  // namespace

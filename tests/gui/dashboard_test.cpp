// The live display in the whole program, built with fakes: DASH and the buttons realtime mode
// locks, the Dashboard's stored look, its update and its end by close box, NoComm and port.
#include <QRadioButton>
#include <cmath>

#include "dash/ui/Config.h"
#include "dash/ui/Swatch.h"
#include "gui/ProgramTest.h"
#include "platform/display/RoundGauge.h"
#include "platform/display/SegmentText.h"
#include "platform/display/SevenSegmentDisplay.h"
#include "platform/display/TrendGraph.h"

namespace {

using platform::display::RoundGauge;
using platform::display::TrendGraph;

class Dashboard : public guitest::ProgramTest {
protected:
    Dashboard() { start(); }

    void dash() { click(setupWindow(), "cmdRealtime"); }
    dash::Realtime& window() { return program->live().dashboard(); }
    dash::Config& settings() { return program->live().config(); }
    void choose(const char* setting) { in<QAbstractButton>(settings(), setting)->click(); }
    // One monitor frame; the first after "M" only synchronises.
    void frame(int secl, std::initializer_list<std::pair<int, int>> bytes = {}) {
        arrive(secl, bytes);
        ticks(1);
    }
    void arrive(int secl, std::initializer_list<std::pair<int, int>> bytes = {}) {
        std::vector<std::uint8_t> block(30, 0);
        block[0] = static_cast<std::uint8_t>(secl);
        for (const auto& [position, value] : bytes)
            block[static_cast<std::size_t>(position)] = static_cast<std::uint8_t>(value);
        port.push(block);
    }
};

TEST_F(Dashboard, dashLocksTheExchangeOnBothWindowsAndItsCloseBoxNoCommsOkOrAPortChangeGiveItBack) {
    QWidget& link = program->serialWindow();
    dash();
    EXPECT_EQ(port.writtenText(), "M");
    EXPECT_TRUE(window().isVisible());
    EXPECT_EQ(window().windowTitle(), "Volcrestone Dash");
    EXPECT_FALSE(enabled(setupWindow(), "cmdUpload") || enabled(setupWindow(), "cmdDownLoad"));
    for (const char* locked : {"cmdAt", "cmdBoot", "cmdC", "cmdQ", "cmdU"})
        EXPECT_FALSE(enabled(link, locked)) << locked;
    EXPECT_TRUE(enabled(link, "cmdM") && enabled(link, "cmdN"));
    window().close();
    EXPECT_EQ(port.writtenText(), "MN");
    EXPECT_FALSE(window().isVisible());
    EXPECT_TRUE(enabled(setupWindow(), "cmdUpload") && !enabled(setupWindow(), "cmdDownLoad"));
    for (const char* unlocked : {"cmdAt", "cmdBoot", "cmdC", "cmdQ", "cmdU"})
        EXPECT_TRUE(enabled(link, unlocked)) << unlocked;
    // NoComm's OK and a port change unload it and leave the Setup window usable.
    dash();
    click(program->noComm(), "Command1");
    EXPECT_FALSE(program->live().dashboardLoaded());
    EXPECT_EQ(port.writtenText(), "MNMN");
    EXPECT_TRUE(enabled(setupWindow(), "cmdUpload"));
    dash();
    program->session().choosePort(2);
    EXPECT_FALSE(program->live().dashboardLoaded());
    EXPECT_TRUE(enabled(setupWindow(), "cmdUpload") && enabled(link, "cmdQ"));
}

TEST_F(Dashboard, withNothingStoredItShowsTheDefaultLookOnTheGraphView) {
    dash();
    auto* rpm = in<TrendGraph>(window(), "tgRPM");
    auto* afr = in<TrendGraph>(window(), "tgAFR");
    EXPECT_TRUE(in(window(), "Frame0")->isVisible() && !in(window(), "Frame1")->isVisible());
    EXPECT_TRUE(rpm->backColor() == 0u && rpm->gridColor() == 12640511u &&
                afr->originColor() == 12640511u);
    EXPECT_TRUE(rpm->penColor(0) == 65535u && afr->penColor(2) == 65535u);
    EXPECT_TRUE(rpm->maxy() == 8000 && rpm->gridSpaceY() == 1000 && afr->miny() == 100 &&
                afr->maxy() == 200);
    EXPECT_TRUE(rpm->penHidden(1) && rpm->penHidden(2) && rpm->penHidden(3) && afr->penHidden(1) &&
                afr->penHidden(2) && !afr->penHidden(0));
    for (const char* hidden : {"lblCoolant", "lblTPS", "lblMAP", "lblIgnMSD", "lblO2AFR"})
        EXPECT_FALSE(in(window(), hidden)->isVisible()) << hidden;
    EXPECT_EQ(text(window(), "lblRPM"), "RPM");
    EXPECT_EQ(text(window(), "lblBattery"), "Battery");
    EXPECT_EQ(text(window(), "Label5"), "WB AFR");
    EXPECT_EQ(in<RoundGauge>(window(), "rgCoolant")->caption(), "Water F");
}

TEST_F(Dashboard, aLiveBlockSetsLabelsDialsReadoutsAndOneSampleButReplayStepsAddNone) {
    dash();
    frame(17);
    frame(18, {{12, 12}, {13, 34}, {19, 192}, {11, 85}, {6, 138}});
    EXPECT_EQ(text(window(), "lblRPM"), "3106");
    EXPECT_EQ(text(window(), "lblIgnition"), "-32.0");
    EXPECT_EQ(text(window(), "lblMAP"), "100");
    EXPECT_EQ(text(window(), "lblBattery"), "16.2");
    EXPECT_EQ(in<RoundGauge>(window(), "rgIGNITION")->value(), -32.0);
    EXPECT_EQ(in<platform::display::SevenSegmentDisplay>(window(), "ds7RPM")->value(), 3106.0f);
    auto* graph = in<TrendGraph>(window(), "tgRPM");
    EXPECT_EQ(graph->penValue(0, 0), 3106);
    EXPECT_EQ(text(program->serialWindow(), "lbValue12"), "12");
    comlink::RxBuffer block{};
    block[13] = 99;
    program->live().realtime().copyATdata(block, false);
    EXPECT_EQ(text(window(), "lblRPM"), "99");
    EXPECT_EQ(graph->penValue(0, 0), 3106);          // no new sample
    EXPECT_TRUE(std::isnan(graph->penValue(0, 1)));  // still the one sample
}

TEST_F(Dashboard, blocksOfOneTickAllReachTheGraphAndTheScreenShowsTheLast) {
    dash();
    frame(17);
    arrive(18, {{13, 100}});
    arrive(19, {{13, 200}});
    arrive(20, {{13, 44}, {12, 1}});
    ticks(1);
    auto* graph = in<TrendGraph>(window(), "tgRPM");
    EXPECT_EQ(graph->penValue(0, 0), 300);
    EXPECT_EQ(graph->penValue(0, 1), 200);
    EXPECT_EQ(graph->penValue(0, 2), 100);
    EXPECT_EQ(text(window(), "lblRPM"), "300");
    EXPECT_EQ(in<RoundGauge>(window(), "rgRPM")->value(), 300);
    EXPECT_EQ(text(program->serialWindow(), "lbValue0"), "20");
}

TEST_F(Dashboard, eachReadoutShowsTheDecimalsItsQuantityNeedsAndDashesOnlyWhatCannotFit) {
    using platform::display::SevenSegmentDisplay;
    dash();
    choose("optRPM12");
    const char* readouts[] = {"ds7RPM",      "ds7MAP",     "ds7O2AFR",
                              "ds7Ignition", "ds7Coolant", "ds7TPS"};
    // Each place as drawn: its glyph, then a point when it is lit.
    const auto cells = [](const SevenSegmentDisplay* readout) {
        std::string shown;
        for (const auto& cell :
             platform::display::segmentCells(readout->text().toStdString(), readout->digits())) {
            shown += cell.glyph;
            if (cell.point)
                shown += '.';
        }
        return shown;
    };
    const struct {
        double value;
        std::array<const char*, 6> texts, cells;
    } rows[] = {
        {0,
         {"0", "0.0", "0.00", "0.0", "0", "0.00"},
         {"    0", " 0.0", "0.00", " 0.0", "  0", "0.00"}},
        {850,
         {"850", "850", "850", "850", "850", "850"},
         {"  850", "850", "850", "850", "850", "850"}},
        {10500,
         {"10500", "---", "---", "---", "---", "---"},
         {"10500", "---", "---", "---", "---", "---"}},
        {-32.5,
         {"-32", "-32", "-32", "-32", "-32", "-32"},
         {"  -32", "-32", "-32", "-32", "-32", "-32"}},
        {2.51,
         {"3", "2.5", "2.51", "2.5", "3", "2.51"},
         {"    3", " 2.5", "2.51", " 2.5", "  3", "2.51"}},
        {71,
         {"71", "71.0", "71.0", "71.0", "71", "71.0"},
         {"   71", "71.0", "71.0", "71.0", " 71", "71.0"}},
    };
    for (const auto& row : rows) {
        const double v = row.value;
        window().setDials({v, v, v, v, v, v});
        window().setReadoutsFromDials();
        for (std::size_t i = 0; i < 6; ++i) {
            SCOPED_TRACE(std::string(readouts[i]) + " at " + std::to_string(v));
            const auto* readout = in<SevenSegmentDisplay>(window(), readouts[i]);
            EXPECT_EQ(readout->text().toStdString(), row.texts[i]);
            EXPECT_EQ(cells(readout), row.cells[i]);
        }
    }
    choose("optRPM8");
    window().setDials({10500, 0, 0, 0, 0, 0});
    window().setReadoutsFromDials();
    EXPECT_EQ(in<SevenSegmentDisplay>(window(), "ds7RPM")->text(), "----");
}

TEST_F(Dashboard, aColourChoiceAShownValueAndTheUnitSurviveARestartButACancelChangesNothing) {
    dash();
    click(window(), "Command1");
    EXPECT_TRUE(settings().isVisible());
    EXPECT_EQ(settings().windowTitle(), "Realtime Settings");
    colors.answers = {255u, std::nullopt, 16711680u};
    choose("cmdAFR");  // red: its swatch and pen only
    choose("cmdTPS");  // cancelled
    choose("cmdCoolant");
    EXPECT_EQ(colors.initials, (std::vector<std::uint32_t>{0, 255, 255}));
    for (const char* choice : {"chkTPS", "optTempC", "optRPM12"})
        choose(choice);
    EXPECT_EQ(text(window(), "lblCoolant"), "-18");  // coolantF 0 before any block
    EXPECT_EQ(store.read("Realtime", "O2AFRColor", ""), "255");
    EXPECT_EQ(store.read("Realtime", "TPSColor", "none"), "none");
    EXPECT_EQ(store.read("Realtime", "ShowTPS", ""), "True");
    EXPECT_EQ(store.read("Realtime", "Temp", ""), "C");
    EXPECT_EQ(in<RoundGauge>(window(), "rgO2AFR")->borderColor(), 12632256u);  // has no colour
    EXPECT_EQ(in<RoundGauge>(window(), "rgMAP")->borderColor(), 16776960u);

    start();
    dash();
    auto* rpm = in<TrendGraph>(window(), "tgRPM");
    EXPECT_EQ(in<TrendGraph>(window(), "tgAFR")->penColor(2), 255u);
    EXPECT_EQ(rpm->penColor(3), 16711680u);
    EXPECT_EQ(in<dash::Swatch>(window(), "shpCoolant")->outlineColor(), 16711680u);
    EXPECT_EQ(in<RoundGauge>(window(), "rgCoolant")->borderColor(), 16711680u);
    EXPECT_EQ(in<RoundGauge>(window(), "rgRPM")->borderColor(), 65535u);  // stored by default
    EXPECT_TRUE(!rpm->penHidden(1) && in(window(), "lblTPS")->isVisible());
    EXPECT_TRUE(in<QRadioButton>(settings(), "optTempC")->isChecked());
    EXPECT_EQ(in<RoundGauge>(window(), "rgCoolant")->caption(), "Water C");
    EXPECT_EQ(rpm->penScale(0), 8.0f / 12.0f);
    EXPECT_EQ(in<RoundGauge>(window(), "rgRPM")->maximum(), 12000);
    choose("optRPM8");
    EXPECT_EQ(store.read("Realtime", "RPM", ""), "8");
    EXPECT_EQ(rpm->penScale(0), 0.0f);
}

TEST_F(Dashboard, editionsHideTheirMissingValuesButAStoredChoiceStillApplies) {
    store.write("Realtime", "ShowMSD", "True");
    start(tune::Edition::QOLT);
    dash();
    EXPECT_FALSE(in(settings(), "cmdMSD")->isVisibleTo(&settings()));
    EXPECT_TRUE(in(window(), "lblIgnMSD")->isVisible());
    start(tune::Edition::ZAV);
    dash();
    EXPECT_FALSE(in(window(), "cmdLogData")->isVisible() ||
                 in(window(), "lblBattery")->isVisible());
    start(tune::Edition::RUK);
    dash();
    in<QAction>(window(), "Dash")->trigger();
    EXPECT_FALSE(in(window(), "rgTPS")->isVisible());
    EXPECT_TRUE(in(window(), "rgO2AFR")->isVisible());
    EXPECT_EQ(store.read("Realtime", "ShowDials", ""), "True");
}

}  // namespace

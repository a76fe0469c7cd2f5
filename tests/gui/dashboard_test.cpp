// The live display in the whole program, built with fakes: DASH and the buttons realtime mode
// locks, the Dashboard's stored look, its update, its data log and its end by close box, NoComm
// and port.
#include <filesystem>
#include <map>
#include <set>
#include <sstream>

#include "dash/ui/Config.h"
#include "dash/ui/Swatch.h"
#include "gui/ProgramTest.h"
#include "platform/display/RoundGauge.h"
#include "platform/display/SegmentText.h"
#include "platform/display/SevenSegmentDisplay.h"

namespace {

using platform::display::RoundGauge;

// Every key of section "Realtime": its default, a text stored by hand before a start-up, the
// control that writes it, what a click writes (a colour is the chooser's answer) and which
// colours of the Dashboard a click changes, the first being where a stored colour shows.
struct Key {
    const char* key;
    const char* fallback;
    const char* stored;
    const char* control;
    const char* written;
    const char* changes;
};
const Key kKeys[] = {
    {"BackColor", "0", "1", "cmdBackGnd", "101", "tgRPM.back tgAFR.back"},
    {"GridColor", "12640511", "2", "cmdGridLines", "102",
     "tgRPM.grid tgAFR.grid tgRPM.origin tgAFR.origin"},
    {"RPMColor", "65535", "3", "cmdRPM", "103", "shpRPM tgRPM.0 rgRPM"},
    {"TPSColor", "255", "4", "cmdTPS", "104", "shpTPS tgRPM.1 rgTPS"},
    {"MAPColor", "16776960", "5", "cmdMAP", "105", "shpMAP tgRPM.2 rgMAP"},
    {"CoolantColor", "16711680", "6", "cmdCoolant", "106", "shpCoolant tgRPM.3 rgCoolant"},
    {"IgnitionColor", "65280", "7", "cmdIgnition", "107", "shpIgnition tgAFR.0 rgIGNITION"},
    {"IgnMSDColor", "16761087", "8", "cmdMSD", "108", "shpIgnMSD tgAFR.1"},
    {"O2AFRColor", "65535", "9", "cmdAFR", "109", "shpO2AFR tgAFR.2"},
    {"NeedleColor", "", "", "cmdNeedle", "110", ""},  // nothing reads it
    {"Temp", "F", "C", "optTempC", "C", ""},
    {"RPM", "8", "12", "optRPM12", "12", ""},
    {"O2", "WBAFR", "Voltage", "optO2voltage", "Voltage", ""},
    {"ShowCoolant", "False", "True", "chkCoolant", "True", ""},
    {"ShowTPS", "False", "True", "chkTPS", "True", ""},
    {"ShowMAP", "False", "True", "chkMAP", "True", ""},
    {"ShowMSD", "False", "True", "chkIgnMSD", "True", ""},
    {"ShowO2AFR", "False", "True", "chkO2AFR", "True", ""},
    {"ShowDials", "False", "True", "Dash", "True", ""},
};

class Dashboard : public guitest::ProgramTest {
protected:
    Dashboard() { start(); }

    void dash() { click(setupWindow(), "cmdRealtime"); }
    dash::Realtime& window() { return dashboard(); }
    dash::Config& settings() { return program->live().config(); }
    void choose(const char* setting) { in<QAbstractButton>(settings(), setting)->click(); }
    // Every colour of the Dashboard, by swatch, graph pen, graph part and dial border.
    std::map<std::string, std::uint32_t> looks() {
        std::map<std::string, std::uint32_t> all;
        for (const char* name :
             {"shpRPM", "shpTPS", "shpMAP", "shpCoolant", "shpIgnition", "shpIgnMSD", "shpO2AFR"})
            all[name] = in<dash::Swatch>(window(), name)->outlineColor();
        for (const auto& [name, pens] : {std::pair("tgRPM", 4), std::pair("tgAFR", 3)}) {
            const std::string g = name;
            for (int pen = 0; pen < pens; ++pen)
                all[g + "." + std::to_string(pen)] = graph(name).penColor(pen);
            all[g + ".back"] = graph(name).backColor();
            all[g + ".grid"] = graph(name).gridColor();
            all[g + ".origin"] = graph(name).originColor();
        }
        for (const char* name : {"rgRPM", "rgMAP", "rgO2AFR", "rgIGNITION", "rgCoolant", "rgTPS"})
            all[name] = in<RoundGauge>(window(), name)->borderColor();
        return all;
    }
    // The value of a key as the Dashboard shows it; a colour only when everything it paints
    // (swatch, pens, dial border) agrees.
    std::string shown(const Key& k) {
        if (*k.changes != '\0') {
            const auto all = looks();
            std::istringstream names(k.changes);
            std::set<std::uint32_t> colours;
            for (std::string name; names >> name;)
                colours.insert(all.at(name));
            return colours.size() == 1 ? std::to_string(*colours.begin()) : "mixed";
        }
        const bool on = std::string(k.control) == "Dash"
                            ? in(window(), "Frame1")->isVisibleTo(&window())
                            : in<QAbstractButton>(settings(), k.control)->isChecked();
        return on ? k.written : k.fallback;
    }
};

TEST_F(Dashboard, dashLocksTheExchangeOnBothWindowsAndItsCloseBoxNoCommsOkOrAPortChangeGiveItBack) {
    QWidget& link = program->serialWindow();
    dash();
    EXPECT_FALSE(enabled(setupWindow(), "cmdUpload") || enabled(setupWindow(), "cmdDownLoad"));
    for (const char* locked : {"cmdAt", "cmdBoot", "cmdC", "cmdQ", "cmdU"})
        EXPECT_FALSE(enabled(link, locked)) << locked;
    EXPECT_TRUE(enabled(link, "cmdM") && enabled(link, "cmdN"));
    window().close();
    EXPECT_EQ(port.writtenText(), "MN");
    EXPECT_FALSE(window().isVisible());
    EXPECT_TRUE(enabled(setupWindow(), "cmdUpload") && !enabled(setupWindow(), "cmdDownLoad"));
    // NoComm's OK and a port change unload it and leave the Setup window usable.
    dash();
    click(program->noComm(), "Command1");
    EXPECT_EQ(port.writtenText(), "MNMN");
    EXPECT_TRUE(!program->live().dashboardLoaded() && enabled(setupWindow(), "cmdUpload"));
    dash();
    program->session().choosePort(2);
    EXPECT_FALSE(program->live().dashboardLoaded());
    EXPECT_TRUE(enabled(setupWindow(), "cmdUpload") && enabled(link, "cmdQ"));
}

// Defaults, then each control's click (its key alone is written, its colours alone change),
// then a start-up on a store filled by hand.
TEST_F(Dashboard, eachRealtimeKeyIsReadWrittenAndAppliedUnderItsOwnName) {
    dash();
    for (const Key& k : kKeys)
        EXPECT_EQ(shown(k), k.fallback) << k.key;
    EXPECT_TRUE(graph("tgRPM").maxy() == 8000 && graph("tgRPM").gridSpaceY() == 1000 &&
                graph("tgAFR").miny() == 100 && graph("tgAFR").maxy() == 200);
    EXPECT_TRUE(graph("tgRPM").penHidden(1) && graph("tgAFR").penHidden(2) &&
                !graph("tgAFR").penHidden(0));
    for (const char* hidden : {"lblCoolant", "lblTPS", "lblMAP", "lblIgnMSD", "lblO2AFR"})
        EXPECT_FALSE(in(window(), hidden)->isVisible()) << hidden;
    EXPECT_EQ(text(window(), "lblRPM") + text(window(), "lblBattery") + text(window(), "Label5"),
              "RPMBatteryWB AFR");
    EXPECT_EQ(in<RoundGauge>(window(), "rgCoolant")->caption(), "Water F");

    click(window(), "Command1");
    EXPECT_TRUE(settings().isVisible() && settings().windowTitle() == "Realtime Settings");
    for (const Key& k : kKeys) {
        SCOPED_TRACE(k.key);
        store.values.clear();
        colors.answers = {static_cast<std::uint32_t>(std::atoi(k.written))};
        std::map<std::string, std::uint32_t> expected = looks();
        std::istringstream names(k.changes);
        for (std::string name; names >> name;)
            expected.at(name) = colors.answers.front().value();
        k.control == std::string("Dash") ? in<QAction>(window(), "Dash")->trigger()
                                         : choose(k.control);
        EXPECT_EQ(store.values, (decltype(store.values){{{"Realtime", k.key}, k.written}}));
        EXPECT_EQ(looks(), expected);
    }
    const auto before = looks();
    store.values.clear();
    colors.answers.clear();
    choose("cmdTPS");  // cancelled
    EXPECT_EQ(colors.initials,
              (std::vector<std::uint32_t>{0, 101, 102, 103, 104, 105, 106, 107, 108, 109, 110}));
    EXPECT_TRUE(store.values.empty() && looks() == before);
    EXPECT_EQ(text(window(), "lblCoolant"), "-18");  // °C from coolantF 0 before any block
    EXPECT_EQ(graph("tgRPM").penScale(0), 8.0f / 12.0f);
    EXPECT_EQ(in<RoundGauge>(window(), "rgRPM")->maximum(), 12000);
    choose("optRPM8");
    EXPECT_EQ(graph("tgRPM").penScale(0), 0.0f);

    store.values.clear();
    for (const Key& k : kKeys)
        store.write("Realtime", k.key, k.stored);
    start();
    dash();
    for (const Key& k : kKeys)
        EXPECT_EQ(shown(k), k.stored) << k.key;
    EXPECT_TRUE(!graph("tgRPM").penHidden(1) && !in(window(), "lblTPS")->isHidden());
    EXPECT_EQ(in<RoundGauge>(window(), "rgCoolant")->caption(), "Water C");
    EXPECT_EQ(text(window(), "Label5"), "O2 Volts");
}

TEST_F(Dashboard, aLiveBlockSetsLabelsDialsReadoutsAndOneSampleAndAnOptionRedrawsItsLabel) {
    dash();
    frame(17);
    frame(18, {{12, 12}, {13, 34}, {19, 192}, {11, 85}, {6, 138}, {7, 128}, {17, 147}, {14, 252}});
    const guitest::Caption readings[] = {{"lblRPM", "3106"},   {"lblIgnition", "-32.0"},
                                         {"lblMAP", "100"},    {"lblBattery", "16.2"},
                                         {"lblO2AFR", "14.7"}, {"lblCoolant", "212"}};
    expectTexts(window(), "Volcrestone Dash", readings);
    EXPECT_EQ(in<RoundGauge>(window(), "rgIGNITION")->value(), -32.0);
    EXPECT_NEAR(in<RoundGauge>(window(), "rgO2AFR")->value(), 2.5098, 1e-4);  // volts in AFR mode
    EXPECT_EQ(in<platform::display::SevenSegmentDisplay>(window(), "ds7RPM")->value(), 3106.0f);
    EXPECT_EQ(graph("tgRPM").penValue(0, 0), 3106);
    EXPECT_EQ(text(program->serialWindow(), "lbValue12"), "12");
    // The options redraw their labels from the copies the block left, before any new block.
    choose("optTempC");
    choose("optO2voltage");
    const guitest::Caption redrawn[] = {
        {"lblCoolant", "100"}, {"lblO2AFR", "2.51"}, {"Label5", "O2 Volts"}};
    expectTexts(window(), "Volcrestone Dash", redrawn);
    EXPECT_EQ(in<RoundGauge>(window(), "rgCoolant")->value(), 100.0);
}

// The log is named by the platform clock (UTC in the fake): 17:05:09 on 4 March 2006.
TEST_F(Dashboard, logDataNamesItsFileByTheClockAndAFailureSaysWhyStopsAndTheNextClickTriesAgain) {
    const QTemporaryDir scratch;
    const std::string folder = scratch.filePath("logs").toStdString();
    const std::string log = folder + "/060304170509.csv";
    clock.seconds = 1141491909;
    start(tune::Edition::BEL, folder);
    dash();
    frame(1);
    click(window(), "cmdLogData");  // the folder is not there
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(std::tuple(messages.last().text, messages.last().icon, window().logButtonOn()),
              std::tuple("Could not create the log " + log + ": No such file or directory",
                         platform::MessageBox::Icon::Critical, false));

    std::filesystem::create_directory(folder);
    std::filesystem::create_symlink("/dev/full", log);
    click(window(), "cmdLogData");
    frame(2);
    frame(3);
    ASSERT_EQ(messages.shown.size(), 2u);
    EXPECT_EQ(messages.last().text,
              "Logging stopped: could not write " + log + ": No space left on device");
    EXPECT_FALSE(window().logButtonOn() || program->live().dataLogOpen());

    std::filesystem::remove(log);
    click(window(), "cmdLogData");
    frame(4, {{29, 255}});
    EXPECT_EQ(messages.shown.size(), 2u);
    std::ifstream file(log, std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(file), {}),
              " 4 , 0 , 0 , 0 , 0 , 0 , 0 , 0 , 0 , 0 , 0 , 0 , 0 , 0 , 0 , 0 , 0 , 0 , 0 , 0 , "
              "0 , 0 , 0 , 0 , 0 , 0 , 0 , 0 , 0 , 255 \r\n");
    window().close();
    EXPECT_FALSE(window().logButtonOn());
}

TEST_F(Dashboard, blocksOfOneTickAllReachTheGraphAndTheScreenShowsTheLast) {
    dash();
    frame(17);
    arrive(18, {{13, 100}});
    arrive(19, {{13, 200}});
    arrive(20, {{13, 44}, {12, 1}});
    ticks(1);
    for (const auto& [back, rpm] : {std::pair(0, 300), std::pair(1, 200), std::pair(2, 100)})
        EXPECT_EQ(graph("tgRPM").penValue(0, back), rpm) << back;
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
    // Each place as drawn, right-aligned: its glyph, then a point when it is lit.
    const auto cells = [](const SevenSegmentDisplay* readout) {
        std::string shown;
        for (const auto& cell :
             platform::display::segmentCells(readout->text().toStdString(), readout->digits()))
            shown += cell.glyph + std::string(cell.point ? "." : "");
        return shown;
    };
    const std::pair<double, std::array<const char*, 6>> rows[] = {
        {0, {"    0", " 0.0", "0.00", " 0.0", "  0", "0.00"}},
        {850, {"  850", "850", "850", "850", "850", "850"}},
        {10500, {"10500", "---", "---", "---", "---", "---"}},
        {-32.5, {"  -32", "-32", "-32", "-32", "-32", "-32"}},
        {2.51, {"    3", " 2.5", "2.51", " 2.5", "  3", "2.51"}},
        {71, {"   71", "71.0", "71.0", "71.0", " 71", "71.0"}},
    };
    for (const auto& [v, shown] : rows) {
        window().setDials({v, v, v, v, v, v});
        window().setReadoutsFromDials();
        for (std::size_t i = 0; i < 6; ++i)
            EXPECT_EQ(cells(in<SevenSegmentDisplay>(window(), readouts[i])), shown[i])
                << readouts[i] << " at " << v;
    }
    choose("optRPM8");
    window().setDials({10500, 0, 0, 0, 0, 0});
    window().setReadoutsFromDials();
    EXPECT_EQ(in<SevenSegmentDisplay>(window(), "ds7RPM")->text(), "----");
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
    EXPECT_TRUE(!in(window(), "rgTPS")->isVisible() && in(window(), "rgO2AFR")->isVisible());
}

}  // namespace

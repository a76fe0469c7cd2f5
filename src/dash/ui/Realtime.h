#pragma once

#include <QMainWindow>
#include <array>
#include <cstdint>
#include <functional>

#include "comlink/DataFileSlot.h"
#include "comlink/Realtime.h"
#include "dash/DisplaySettings.h"
#include "platform/Clock.h"
#include "platform/SettingsStore.h"
#include "tune/Edition.h"

class QLabel;
class QPushButton;

namespace platform::display {
class RoundGauge;
class SevenSegmentDisplay;
class TrendGraph;
}  // namespace platform::display

namespace dash {

class Config;
class Swatch;

// What the Dashboard reads from the rest of the program.
struct DashboardLinks {
    platform::SettingsStore& store;
    Config& config;
    comlink::DataFileSlot& dataFile;
    std::function<bool()> threeBar;      // the Setup window's "3 Bar" box
    std::function<bool()> replayActive;  // a log was loaded for replay: no live logging
    std::string defaultDir;              // where data logs are written
    const platform::Clock& clock;        // names a data log by its start
    std::function<bool()> firmwareUpdating = [] { return false; };  // holds the data file slot
};

// The Dashboard: dials and readouts, or two trend graphs with a value column, fed by
// CopyATdata. Its close box only ends realtime mode (closeRequested); the program unloads it
// when the port changes.
class Realtime : public QMainWindow, public comlink::RealtimeDisplay {
    Q_OBJECT
public:
    // Runs the start-up: the stored settings are applied through the Display settings window.
    Realtime(const tune::EditionInfo& edition, DashboardLinks links, QWidget* parent = nullptr);
    ~Realtime() override;

    bool loadDone() const { return loadDone_; }

    // comlink::RealtimeDisplay: the Dashboard half of the update.
    comlink::RealtimeOptions options() const override;
    double rpmGraphMaxY() const override;
    void showReadoutTexts(const comlink::ReadoutTexts& texts) override;
    void addTrendSamples(const comlink::TrendSamples& samples) override;
    void setDials(const comlink::DialValues& dials) override;
    void logBlock(const comlink::RxBuffer& block) override;
    void setReadoutsFromDials() override;

    // What the display settings change.
    void SetBackColor(std::uint32_t clr);
    void SetGridColor(std::uint32_t clr);
    void setChannelColor(Channel channel, std::uint32_t color);
    void showOptional(Optional value, bool show);
    void applyTemperature(bool celsius, double coolantF);
    void applyRpmScale(bool twelveK);
    void applyO2Mode(bool wideBandAfr, const comlink::RealtimeCopies& copies);

    // The rev limit mark of the RPM dial (set by every upload).
    void setRpmUpperLimit(double rpm);

    void Dash_Click();
    void Graph_Click();
    void cmdLogData_Click();
    // Logging is on while the button shows its colour; StopRealtime turns it off.
    bool logButtonOn() const { return logOn_; }
    void setLogButtonOff();
    // A replay has started: logging can no longer be switched on.
    void disableLogging();
    // Replay steps move both graphs' cursor and repaint them.
    void setGraphCursor(int samplesBack);
    int sampleCount() const;

signals:
    // The user closed the window: realtime mode ends (the window only hides).
    void closeRequested();
    // A data log could not be created, stopped on a failed write, or may not start while a
    // firmware update holds the data file slot; the button is off.
    void logFailed(const QString& message);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    QWidget* buildDials();
    QWidget* buildGraphs();
    QWidget* buildValueColumn();
    void adaptToEdition();
    void startUp();
    void repaintGraphs();

    tune::EditionInfo edition_;
    DashboardLinks links_;
    bool loadDone_ = false;
    bool logOn_ = false;
    std::string logPath_;

    QWidget* frame0_ = nullptr;  // graph view
    QWidget* frame1_ = nullptr;  // dials view
    QPushButton* cmdLogData_ = nullptr;
    QLabel* label5_ = nullptr;  // "WB AFR" / "O2 Volts"
    QLabel* label7_ = nullptr;  // "Battery"

    // In the order RPM, MAP, O2AFR, IGNITION, Coolant, TPS.
    std::array<platform::display::RoundGauge*, 6> dials_{};
    std::array<platform::display::SevenSegmentDisplay*, 6> readouts_{};
    platform::display::TrendGraph* tgRPM_ = nullptr;
    platform::display::TrendGraph* tgAFR_ = nullptr;
    // lblRPM, lblMAP, lblCoolant, lblIgnition, lblIgnMSD, lblTPS, lblBattery, lblO2AFR.
    std::array<QLabel*, 8> values_{};
    std::array<Swatch*, kChannelCount> swatches_{};
    std::array<QLabel*, kOptionalCount> optionalCaptions_{};
};

}  // namespace dash

#include "dash/ui/Realtime.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>
#include <filesystem>

#include "dash/LogFormat.h"
#include "dash/ui/Config.h"
#include "dash/ui/Swatch.h"
#include "platform/Colors.h"
#include "platform/display/RoundGauge.h"
#include "platform/display/SevenSegmentDisplay.h"
#include "platform/display/TrendGraph.h"
#include "platform/display/ValueLabel.h"

namespace dash {

using platform::display::RoundGauge;
using platform::display::SevenSegmentDisplay;
using platform::display::TrendGraph;

namespace {

enum DialIndex { kRpm, kMap, kO2Afr, kIgnition, kCoolantDial, kTps };
enum ValueIndex {
    kLblRpm,
    kLblMap,
    kLblCoolant,
    kLblIgnition,
    kLblIgnMsd,
    kLblTps,
    kLblBattery,
    kLblO2Afr
};

struct DialSetup {
    const char* gauge;
    const char* readout;
    const char* caption;
    double minimum, maximum;
    int divisions;
    double green, yellow, red;
    int digits;
    int decimals;  // what the quantity needs: tenths of a degree, never tenths of an rpm
};
constexpr DialSetup kDials[6] = {
    {"rgRPM", "ds7RPM", "RPM", 0, 8000, 8, 60, 7000, 7500, 4, 0},
    {"rgMAP", "ds7MAP", "VAC/PSI", -30, 30, 10, -20, 0, 20, 3, 1},
    {"rgO2AFR", "ds7O2AFR", "O2 volts", 0, 1, 1, 0.5, 1, 1, 3, 2},
    {"rgIGNITION", "ds7Ignition", "TIMING", 40, -40, 20, -40, -40, -40, 3, 1},
    {"rgCoolant", "ds7Coolant", "WATER", -40, 215, 20, 60, 75, 90, 3, 0},
    {"rgTPS", "ds7TPS", "TPS V", 0, 5, 5, 5, 5, 5, 3, 2},
};

constexpr std::uint32_t kLogOnColor = 65535;  // yellow

// Pens of the graphs, by the channel whose colour they take.
struct PenOf {
    bool rpmGraph;
    int pen;
};
constexpr PenOf kPens[kChannelCount] = {
    {true, 0}, {true, 1}, {true, 2}, {true, 3}, {false, 0}, {false, 1}, {false, 2},
};
// The dial whose border a channel's colour sets; -1 for none.
constexpr int kDialOfChannel[kChannelCount] = {kRpm, kTps, kMap, kCoolantDial, kIgnition, -1, -1};
// The pen and the channel (swatch) of each value that can be hidden.
constexpr Channel kChannelOfOptional[kOptionalCount] = {
    Channel::Coolant, Channel::TPS, Channel::MAP, Channel::IgnMSD, Channel::O2AFR};
constexpr int kLabelOfOptional[kOptionalCount] = {kLblCoolant, kLblTps, kLblMap, kLblIgnMsd,
                                                  kLblO2Afr};

QLabel* namedLabel(const char* name, const char* text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    return label;
}

// A dial cell: the gauge fills it and the readout sits in its lower part.
class DialCell : public QWidget {
public:
    explicit DialCell(QWidget* parent) : QWidget(parent) { setMinimumSize(160, 160); }
    void setGauge(QWidget* gauge) {
        gauge->setParent(this);
        gauge_ = gauge;
        layoutChildren();
    }
    void setReadout(QWidget* readout) {
        readout->setParent(this);
        readout_ = readout;
        layoutChildren();
    }

protected:
    void resizeEvent(QResizeEvent*) override { layoutChildren(); }

private:
    void layoutChildren() {
        const int side = std::min(width(), height());
        const QRect square((width() - side) / 2, (height() - side) / 2, side, side);
        if (gauge_ != nullptr) {
            gauge_->setGeometry(square);
        }
        if (readout_ != nullptr) {
            // In the gap below the scale, clear of the figures at both of its ends.
            readout_->setGeometry(square.x() + side * 34 / 100, square.y() + side * 75 / 100,
                                  side * 32 / 100, side * 13 / 100);
            readout_->raise();
        }
    }
    QWidget* gauge_ = nullptr;
    QWidget* readout_ = nullptr;
};

}  // namespace

Realtime::Realtime(const tune::EditionInfo& edition, DashboardLinks links, QWidget* parent)
    : QMainWindow(parent), edition_(edition), links_(std::move(links)) {
    setObjectName("Realtime");
    setWindowTitle("Volcrestone Dash");

    QAction* dash = menuBar()->addAction("Dash");
    dash->setObjectName("Dash");
    QAction* graph = menuBar()->addAction("Graph");
    graph->setObjectName("Graph");
    connect(dash, &QAction::triggered, this, &Realtime::Dash_Click);
    connect(graph, &QAction::triggered, this, &Realtime::Graph_Click);

    auto* central = new QWidget(this);
    frame1_ = buildDials();
    frame0_ = buildGraphs();
    cmdLogData_ = new QPushButton("Log Data", central);
    cmdLogData_->setObjectName("cmdLogData");
    auto* settings = new QPushButton("Settings", central);
    settings->setObjectName("Command1");
    connect(cmdLogData_, &QPushButton::clicked, this, &Realtime::cmdLogData_Click);
    connect(settings, &QPushButton::clicked, this, [this] {
        links_.config.show();
        links_.config.raise();
        links_.config.activateWindow();
    });

    auto* buttons = new QVBoxLayout;
    buttons->addWidget(cmdLogData_);
    buttons->addStretch();
    buttons->addWidget(settings);
    auto* layout = new QHBoxLayout(central);
    layout->addWidget(frame1_, 1);
    layout->addWidget(frame0_, 1);
    layout->addLayout(buttons);
    setCentralWidget(central);
    resize(900, 560);

    startUp();
}

Realtime::~Realtime() {
    links_.config.attach(nullptr);
}

QWidget* Realtime::buildDials() {
    auto* frame = new QWidget(this);
    frame->setObjectName("Frame1");
    auto* grid = new QGridLayout(frame);
    std::array<DialCell*, 6> cells{};
    for (int i = 0; i < 6; ++i) {
        const DialSetup& s = kDials[i];
        cells[i] = new DialCell(frame);
        grid->addWidget(cells[i], i / 3, i % 3);
        auto* gauge = new RoundGauge(cells[i]);
        gauge->setObjectName(s.gauge);
        gauge->setCaption(s.caption);
        gauge->setMinimum(s.minimum);
        gauge->setMaximum(s.maximum);
        gauge->setMajorDivisions(s.divisions);
        gauge->setZoneLimits(s.green, s.yellow, s.red);
        cells[i]->setGauge(gauge);
        dials_[i] = gauge;
        auto* readout = new SevenSegmentDisplay(cells[i]);
        readout->setObjectName(s.readout);
        readout->setDigits(s.digits);
        readout->setDecimals(s.decimals);
        cells[i]->setReadout(readout);
        readouts_[i] = readout;
    }
    // Top row RPM, MAP, O2; bottom row timing, coolant, TPS (the grid filled in that order
    // above). Edition RUK has no TPS dial: the O2 dial takes its cell and the readouts stay.
    if (edition_.edition == tune::Edition::RUK) {
        dials_[kTps]->hide();
        cells[kTps]->setGauge(dials_[kO2Afr]);
        dials_[kTps]->setParent(cells[kTps]);
    }
    return frame;
}

QWidget* Realtime::buildGraphs() {
    auto* frame = new QWidget(this);
    frame->setObjectName("Frame0");
    tgRPM_ = new TrendGraph(4, frame);
    tgRPM_->setObjectName("tgRPM");
    tgAFR_ = new TrendGraph(3, frame);
    tgAFR_->setObjectName("tgAFR");
    auto* graphs = new QVBoxLayout;
    graphs->addWidget(tgRPM_, 1);
    graphs->addWidget(tgAFR_, 1);
    auto* layout = new QHBoxLayout(frame);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addLayout(graphs, 1);
    layout->addWidget(buildValueColumn());
    return frame;
}

QWidget* Realtime::buildValueColumn() {
    auto* column = new QWidget(this);
    auto* grid = new QGridLayout(column);
    struct Row {
        const char* captionName;
        const char* caption;
        int value;
        const char* valueName;
        const char* initial;
        const char* swatch;  // nullptr: no swatch (battery)
        Channel channel;
    };
    const Row rows[] = {
        {"Label2", "Coolant", kLblCoolant, "lblCoolant", "", "shpCoolant", Channel::Coolant},
        {"Label1", "RPM", kLblRpm, "lblRPM", "RPM", "shpRPM", Channel::RPM},
        {"Label3", "MAP", kLblMap, "lblMAP", "MAP", "shpMAP", Channel::MAP},
        {"Label6", "TPS", kLblTps, "lblTPS", "TPS", "shpTPS", Channel::TPS},
        {"Label7", "Battery", kLblBattery, "lblBattery", "Battery", nullptr, Channel::RPM},
        {"Label15", "Timing", kLblIgnition, "lblIgnition", "Ignition", "shpIgnition",
         Channel::Ignition},
        {"Label14", "MSD ", kLblIgnMsd, "lblIgnMSD", "IgnMSD", "shpIgnMSD", Channel::IgnMSD},
        {"Label5", "WB AFR", kLblO2Afr, "lblO2AFR", "", "shpO2AFR", Channel::O2AFR},
    };
    int line = 0;
    for (const Row& r : rows) {
        QLabel* caption = namedLabel(r.captionName, r.caption, column);
        QLabel* value = new platform::display::ValueLabel(r.initial, column);
        value->setObjectName(r.valueName);
        value->setAlignment(Qt::AlignCenter);
        QFont font = value->font();
        font.setBold(true);
        font.setPointSizeF(font.pointSizeF() * 1.2);
        value->setFont(font);
        // Room for any reading at a fixed size: a new text every block then repaints the label
        // without laying the window out again, and, opaque, without its swatch behind it.
        value->setAutoFillBackground(true);
        value->setFixedSize(
            std::max(64, value->fontMetrics().horizontalAdvance(QStringLiteral("-00000.0")) + 8),
            value->sizeHint().height());
        values_[r.value] = value;
        grid->addWidget(caption, line, 0);
        if (r.swatch != nullptr) {
            auto* swatch = new Swatch(r.swatch, value, column);
            swatches_[static_cast<int>(r.channel)] = swatch;
            grid->addWidget(swatch, line, 1);
        } else {
            auto* holder = new QWidget(column);
            auto* hl = new QVBoxLayout(holder);
            hl->setContentsMargins(6, 3, 6, 3);
            hl->addWidget(value);
            grid->addWidget(holder, line, 1);
            label7_ = caption;
        }
        if (r.value == kLblO2Afr) {
            label5_ = caption;
        }
        for (int i = 0; i < kOptionalCount; ++i) {
            if (kLabelOfOptional[i] == r.value) {
                optionalCaptions_[i] = caption;
            }
        }
        ++line;
    }
    grid->setRowStretch(line, 1);
    return column;
}

void Realtime::startUp() {
    const DisplaySettings stored = DisplaySettings::load(links_.store);
    SetBackColor(stored.backColor);
    SetGridColor(stored.gridColor);
    for (int i = 0; i < kChannelCount; ++i) {
        swatches_[i]->setOutlineColor(stored.colors[i]);
        if (kDialOfChannel[i] >= 0) {
            dials_[kDialOfChannel[i]]->setBorderColor(stored.colors[i]);
        }
    }
    tgRPM_->setRange(0, 8000);
    tgAFR_->setRange(100, 200);
    for (int i = 0; i < kChannelCount; ++i) {
        TrendGraph* graph = kPens[i].rpmGraph ? tgRPM_ : tgAFR_;
        graph->setPenColor(kPens[i].pen, stored.colors[i]);
    }
    links_.config.attach(this);
    links_.config.restore(stored);
    adaptToEdition();
    // Loaded again after a replay started (a port change unloads it): logging stays off.
    cmdLogData_->setEnabled(!links_.replayActive());
    stored.showDials ? Dash_Click() : Graph_Click();
    repaintGraphs();
    loadDone_ = true;
}

void Realtime::adaptToEdition() {
    if (edition_.edition == tune::Edition::ZAV) {
        cmdLogData_->hide();
        label7_->hide();
        values_[kLblBattery]->hide();
    }
}

comlink::RealtimeOptions Realtime::options() const {
    comlink::RealtimeOptions o;
    o.edition = edition_.edition;
    o.threeBar = links_.threeBar();
    o.celsius = links_.config.celsius();
    o.wideBandAfr = links_.config.wideBandAfr();
    return o;
}

double Realtime::rpmGraphMaxY() const {
    return tgRPM_->maxy();
}

void Realtime::showReadoutTexts(const comlink::ReadoutTexts& t) {
    const std::string* texts[] = {&t.rpm,    &t.map, &t.coolant, &t.ignition,
                                  &t.ignMsd, &t.tps, &t.battery, &t.o2afr};
    for (int i = 0; i < 8; ++i) {
        values_[i]->setText(QString::fromStdString(*texts[i]));
    }
}

void Realtime::addTrendSamples(const comlink::TrendSamples& s) {
    tgRPM_->advance();
    for (int pen = 0; pen < 4; ++pen) {
        tgRPM_->setPenValue(pen, s.rpmGraph[pen]);
    }
    tgRPM_->plot();
    tgAFR_->advance();
    for (int pen = 0; pen < 3; ++pen) {
        tgAFR_->setPenValue(pen, s.afrGraph[pen]);
    }
    tgAFR_->plot();
}

void Realtime::setDials(const comlink::DialValues& d) {
    dials_[kMap]->setValue(d.map);
    dials_[kRpm]->setValue(d.rpm);
    dials_[kIgnition]->setValue(d.ignition);
    dials_[kTps]->setValue(d.tps);
    dials_[kCoolantDial]->setValue(d.coolant);
    dials_[kO2Afr]->setValue(d.o2afr);
}

void Realtime::logBlock(const comlink::RxBuffer& block) {
    comlink::DataFileSlot& file = links_.dataFile;
    if (!logOn_ || links_.replayActive() || file.use() != comlink::DataFileSlot::Use::Log) {
        return;
    }
    if (!file.writeLine(logLine(block))) {
        // A full disk or a vanished folder: stop logging visibly rather than drop lines quietly.
        const std::string reason = file.errorText();
        file.close();
        setLogButtonOff();
        emit logFailed(QString::fromLocal8Bit(logStoppedText(logPath_, reason).c_str()));
    }
}

void Realtime::setReadoutsFromDials() {
    for (int i = 0; i < 6; ++i) {
        readouts_[i]->setValue(static_cast<float>(dials_[i]->value()));
    }
}

void Realtime::SetBackColor(std::uint32_t clr) {
    tgRPM_->setBackColor(clr);
    tgAFR_->setBackColor(clr);
    repaintGraphs();
}

void Realtime::SetGridColor(std::uint32_t clr) {
    for (TrendGraph* graph : {tgRPM_, tgAFR_}) {
        graph->setGridColor(clr);
        graph->setOriginColor(clr);
    }
    repaintGraphs();
}

void Realtime::setChannelColor(Channel channel, std::uint32_t color) {
    const int i = static_cast<int>(channel);
    swatches_[i]->setOutlineColor(color);
    TrendGraph* graph = kPens[i].rpmGraph ? tgRPM_ : tgAFR_;
    graph->setPenColor(kPens[i].pen, color);
    graph->Repaint();
    if (kDialOfChannel[i] >= 0) {
        RoundGauge* dial = dials_[kDialOfChannel[i]];
        dial->setBorderColor(color);
        dial->PaintGraph();
    }
}

void Realtime::showOptional(Optional value, bool show) {
    const int i = static_cast<int>(value);
    const int channel = static_cast<int>(kChannelOfOptional[i]);
    optionalCaptions_[i]->setVisible(show);
    values_[kLabelOfOptional[i]]->setVisible(show);
    swatches_[channel]->setVisible(show);
    TrendGraph* graph = kPens[channel].rpmGraph ? tgRPM_ : tgAFR_;
    graph->setPenHidden(kPens[channel].pen, !show);
    if (loadDone_) {
        graph->Repaint();
    }
}

void Realtime::applyTemperature(bool celsius, double coolantF) {
    values_[kLblCoolant]->setText(QString::fromStdString(comlink::coolantText(coolantF, celsius)));
    RoundGauge* dial = dials_[kCoolantDial];
    dial->setValue(comlink::coolantReading(coolantF, celsius));
    const DialScale scale = coolantDialScale(celsius, edition_.edition);
    dial->setMinimum(scale.minimum);
    dial->setMaximum(scale.maximum);
    dial->setMajorDivisions(scale.majorDivisions);
    dial->setCaption(scale.caption);
}

void Realtime::applyRpmScale(bool twelveK) {
    const RpmScale scale = rpmScale(twelveK);
    tgRPM_->setPenScale(0, scale.penScale);
    tgRPM_->setGridSpaceY(scale.gridSpaceY);
    tgRPM_->Repaint();
    dials_[kRpm]->setMaximum(scale.dialMaximum);
    readouts_[kRpm]->setDigits(scale.readoutDigits);
}

void Realtime::applyO2Mode(bool wideBandAfr, const comlink::RealtimeCopies& copies) {
    label5_->setText(wideBandAfr ? "WB AFR" : "O2 Volts");
    values_[kLblO2Afr]->setText(
        QString::fromStdString(comlink::o2Text(copies.afr, copies.o2, wideBandAfr)));
}

void Realtime::setRpmUpperLimit(double rpm) {
    dials_[kRpm]->setUpperLimit(rpm);
    dials_[kRpm]->PaintGraph();
}

void Realtime::Dash_Click() {
    frame1_->show();
    frame0_->hide();
    writeFlag(links_.store, "ShowDials", true);
}

void Realtime::Graph_Click() {
    frame0_->show();
    frame1_->hide();
    writeFlag(links_.store, "ShowDials", false);
}

void Realtime::cmdLogData_Click() {
    if (links_.firmwareUpdating()) {
        emit logFailed(QString::fromLatin1(comlink::kFirmwareUpdateRunningText));
        return;
    }
    if (logOn_) {
        setLogButtonOff();
        links_.dataFile.close();
        return;
    }
    if (links_.replayActive()) {
        return;
    }
    const std::string name = logFileName(links_.clock.localTime());
    const std::string path = (std::filesystem::path(links_.defaultDir) / name).string();
    if (!links_.dataFile.openForWriting(path, comlink::DataFileSlot::Use::Log)) {
        emit logFailed(
            QString::fromLocal8Bit(logNotCreatedText(path, links_.dataFile.errorText()).c_str()));
        return;
    }
    logOn_ = true;
    logPath_ = path;
    cmdLogData_->setStyleSheet(
        QString("background-color: %1; color: black;").arg(platform::toQColor(kLogOnColor).name()));
}

void Realtime::setLogButtonOff() {
    logOn_ = false;
    cmdLogData_->setStyleSheet(QString());
}

void Realtime::disableLogging() {
    cmdLogData_->setEnabled(false);
}

void Realtime::setGraphCursor(int samplesBack) {
    tgRPM_->setCursorPosition(samplesBack);
    tgAFR_->setCursorPosition(samplesBack);
}

int Realtime::sampleCount() const {
    return tgRPM_->samplecount();
}

void Realtime::repaintGraphs() {
    tgRPM_->Repaint();
    tgAFR_->Repaint();
}

void Realtime::closeEvent(QCloseEvent* event) {
    // Closing only ends realtime mode; the window keeps its graphs for the next showing.
    event->ignore();
    emit closeRequested();
}

}  // namespace dash

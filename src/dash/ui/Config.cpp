#include "dash/ui/Config.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "dash/ui/Realtime.h"

namespace dash {

namespace {

struct ChannelButton {
    Channel channel;
    const char* name;
    const char* caption;
};
constexpr ChannelButton kChannelButtons[kChannelCount] = {
    {Channel::RPM, "cmdRPM", "RPM"},
    {Channel::TPS, "cmdTPS", "TPS"},
    {Channel::MAP, "cmdMAP", "MAP"},
    {Channel::Coolant, "cmdCoolant", "Coolant"},
    {Channel::Ignition, "cmdIgnition", "Ignition"},
    {Channel::IgnMSD, "cmdMSD", "Ign MSD"},
    {Channel::O2AFR, "cmdAFR", "O2 AFR"},
};

constexpr const char* kCheckNames[kOptionalCount] = {"chkCoolant", "chkTPS", "chkMAP", "chkIgnMSD",
                                                     "chkO2AFR"};

QRadioButton* option(const char* name, const char* caption, QWidget* parent) {
    auto* button = new QRadioButton(caption, parent);
    button->setObjectName(name);
    return button;
}

QGroupBox* frame(const char* name, const char* caption, QRadioButton* first, QRadioButton* second) {
    auto* box = new QGroupBox(caption);
    box->setObjectName(name);
    auto* layout = new QVBoxLayout(box);
    first->setParent(box);
    second->setParent(box);
    layout->addWidget(first);
    layout->addWidget(second);
    return box;
}

}  // namespace

Config::Config(const tune::EditionInfo& edition, platform::SettingsStore& store,
               platform::ColorDialog& colors, const comlink::Realtime& link, QWidget* parent)
    : QWidget(parent), edition_(edition), store_(store), colors_(colors), link_(link) {
    setObjectName("Config");
    setWindowTitle("Realtime Settings");

    auto* title = new QLabel("Volcrestone", this);
    title->setObjectName("Label1");
    QFont font = title->font();
    font.setBold(true);
    font.setPointSizeF(font.pointSizeF() * 1.4);
    title->setFont(font);
    title->setAlignment(Qt::AlignCenter);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(title);
    layout->addWidget(buildOptions());
    layout->addWidget(buildColorButtons());
}

QWidget* Config::buildOptions() {
    auto* row = new QWidget(this);
    optTempF_ = option("optTempF", "F", row);
    optTempC_ = option("optTempC", "C", row);
    optRPM8_ = option("optRPM8", "8K", row);
    optRPM12_ = option("optRPM12", "12K", row);
    optO2wbafr_ = option("optO2wbafr", "WB AFR", row);
    optO2voltage_ = option("optO2voltage", "Voltage", row);
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(frame("Frame1", "Temperature", optTempF_, optTempC_));
    layout->addWidget(frame("Frame2", "RPM", optRPM8_, optRPM12_));
    layout->addWidget(frame("Frame3", "O2", optO2wbafr_, optO2voltage_));

    connect(optTempC_, &QRadioButton::clicked, this, &Config::optTempC_Click);
    connect(optTempF_, &QRadioButton::clicked, this, &Config::optTempF_Click);
    connect(optRPM8_, &QRadioButton::clicked, this, &Config::optRPM8_Click);
    connect(optRPM12_, &QRadioButton::clicked, this, &Config::optRPM12_Click);
    connect(optO2voltage_, &QRadioButton::clicked, this, &Config::optO2voltage_Click);
    connect(optO2wbafr_, &QRadioButton::clicked, this, &Config::optO2wbafr_Click);
    return row;
}

QWidget* Config::colorRow(QPushButton* button, QCheckBox* box) {
    auto* row = new QWidget;
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(4);
    // RPM and timing are always shown: their rows keep the box's room empty so that every
    // button lines up.
    if (box != nullptr) {
        layout->addWidget(box);
    } else {
        layout->addSpacing(QCheckBox().sizeHint().width());
    }
    layout->addWidget(button, 1);
    return row;
}

QWidget* Config::buildColorButtons() {
    auto* area = new QWidget(this);
    auto* grid = new QGridLayout(area);
    grid->setContentsMargins(0, 0, 0, 0);
    const auto plain = [area](const char* name, const char* caption) {
        auto* button = new QPushButton(caption, area);
        button->setObjectName(name);
        button->setMinimumWidth(120);
        return button;
    };
    for (int i = 0; i < kOptionalCount; ++i) {
        chk_[i] = new QCheckBox(area);
        chk_[i]->setObjectName(kCheckNames[i]);
        const auto value = static_cast<Optional>(i);
        connect(chk_[i], &QCheckBox::clicked, this, [this, value] { chk_Click(value); });
    }
    for (const ChannelButton& b : kChannelButtons) {
        QPushButton* button = plain(b.name, b.caption);
        cmdColor_[static_cast<int>(b.channel)] = button;
        const Channel channel = b.channel;
        connect(button, &QPushButton::clicked, this, [this, channel] { cmdColor_Click(channel); });
    }
    auto* back = plain("cmdBackGnd", "Back Ground");
    auto* gridLines = plain("cmdGridLines", "Grid Lines");
    auto* needle = plain("cmdNeedle", "Dial Needle");
    connect(back, &QPushButton::clicked, this, &Config::cmdBackGnd_Click);
    connect(gridLines, &QPushButton::clicked, this, &Config::cmdGridLines_Click);
    connect(needle, &QPushButton::clicked, this, &Config::cmdNeedle_Click);

    const auto button = [this](Channel c) { return cmdColor_[static_cast<int>(c)]; };
    const auto box = [this](Optional v) { return chk_[static_cast<int>(v)]; };
    QWidget* left[] = {colorRow(back, nullptr), colorRow(button(Channel::RPM), nullptr),
                       colorRow(button(Channel::MAP), box(Optional::MAP)),
                       colorRow(button(Channel::TPS), box(Optional::TPS)),
                       colorRow(button(Channel::Coolant), box(Optional::Coolant))};
    QWidget* right[] = {colorRow(gridLines, nullptr), colorRow(button(Channel::Ignition), nullptr),
                        colorRow(button(Channel::IgnMSD), box(Optional::IgnMSD)),
                        colorRow(button(Channel::O2AFR), box(Optional::O2AFR)),
                        colorRow(needle, nullptr)};
    for (int row = 0; row < 5; ++row) {
        grid->addWidget(left[row], row, 0);
        grid->addWidget(right[row], row, 1);
    }
    return area;
}

bool Config::celsius() const {
    return optTempC_->isChecked();
}

bool Config::wideBandAfr() const {
    return optO2wbafr_->isChecked();
}

bool Config::rpm12k() const {
    return optRPM12_->isChecked();
}

void Config::restore(const DisplaySettings& stored) {
    (stored.celsius ? optTempC_ : optTempF_)->setChecked(true);
    stored.celsius ? optTempC_Click() : optTempF_Click();
    (stored.rpm12k ? optRPM12_ : optRPM8_)->setChecked(true);
    stored.rpm12k ? optRPM12_Click() : optRPM8_Click();
    (stored.o2Voltage ? optO2voltage_ : optO2wbafr_)->setChecked(true);
    stored.o2Voltage ? optO2voltage_Click() : optO2wbafr_Click();

    // These Editions have no such value; a stored choice still applies to the graph view.
    const bool qolt = edition_.edition == tune::Edition::QOLT;
    const bool zav = edition_.edition == tune::Edition::ZAV;
    cmdColor_[static_cast<int>(Channel::IgnMSD)]->setVisible(!qolt);
    chk_[static_cast<int>(Optional::IgnMSD)]->setVisible(!qolt);
    cmdColor_[static_cast<int>(Channel::O2AFR)]->setVisible(!zav);
    chk_[static_cast<int>(Optional::O2AFR)]->setVisible(!zav);
    for (const Optional value :
         {Optional::IgnMSD, Optional::TPS, Optional::MAP, Optional::Coolant, Optional::O2AFR}) {
        chk_[static_cast<int>(value)]->setChecked(stored.shown(value));
        chk_Click(value);
    }
}

void Config::optTempC_Click() {
    if (dashboard_ != nullptr) {
        dashboard_->applyTemperature(true, link_.copies().coolantF);
    }
    store_.write(kSection, "Temp", "C");
}

void Config::optTempF_Click() {
    if (dashboard_ != nullptr) {
        dashboard_->applyTemperature(false, link_.copies().coolantF);
    }
    store_.write(kSection, "Temp", "F");
}

void Config::optRPM8_Click() {
    if (dashboard_ != nullptr) {
        dashboard_->applyRpmScale(false);
    }
    store_.write(kSection, "RPM", "8");
}

void Config::optRPM12_Click() {
    if (dashboard_ != nullptr) {
        dashboard_->applyRpmScale(true);
    }
    store_.write(kSection, "RPM", "12");
}

void Config::optO2voltage_Click() {
    if (dashboard_ != nullptr) {
        dashboard_->applyO2Mode(false, link_.copies());
    }
    store_.write(kSection, "O2", "Voltage");
}

void Config::optO2wbafr_Click() {
    if (dashboard_ != nullptr) {
        dashboard_->applyO2Mode(true, link_.copies());
    }
    store_.write(kSection, "O2", "WBAFR");
}

void Config::chk_Click(Optional value) {
    const bool show = chk_[static_cast<int>(value)]->isChecked();
    if (dashboard_ != nullptr) {
        dashboard_->showOptional(value, show);
    }
    writeFlag(store_, showKey(value), show);
}

std::optional<std::uint32_t> Config::chooseColor() {
    const std::optional<std::uint32_t> chosen = colors_.chooseColor(lastColor_);
    if (chosen) {
        lastColor_ = *chosen;
    }
    return chosen;
}

void Config::cmdColor_Click(Channel channel) {
    const std::optional<std::uint32_t> chosen = chooseColor();
    if (!chosen) {
        return;
    }
    if (dashboard_ != nullptr) {
        dashboard_->setChannelColor(channel, *chosen);
    }
    writeColor(store_, channelInfo(channel).colorKey, *chosen);
}

void Config::cmdBackGnd_Click() {
    const std::optional<std::uint32_t> chosen = chooseColor();
    if (!chosen) {
        return;
    }
    if (dashboard_ != nullptr) {
        dashboard_->SetBackColor(*chosen);
    }
    writeColor(store_, kBackColorKey, *chosen);
}

void Config::cmdGridLines_Click() {
    const std::optional<std::uint32_t> chosen = chooseColor();
    if (!chosen) {
        return;
    }
    if (dashboard_ != nullptr) {
        dashboard_->SetGridColor(*chosen);
    }
    writeColor(store_, kGridColorKey, *chosen);
}

void Config::cmdNeedle_Click() {
    // Kept for the tools that read it; nothing on the Dashboard uses it.
    if (const std::optional<std::uint32_t> chosen = chooseColor()) {
        writeColor(store_, kNeedleColorKey, *chosen);
    }
}

void Config::closeEvent(QCloseEvent* event) {
    event->ignore();
    hide();
}

}  // namespace dash

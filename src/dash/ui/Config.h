#pragma once

#include <QWidget>
#include <array>
#include <cstdint>

#include "dash/DisplaySettings.h"
#include "comlink/Realtime.h"
#include "platform/Dialogs.h"
#include "platform/SettingsStore.h"
#include "tune/Edition.h"

class QCheckBox;
class QPushButton;
class QRadioButton;

namespace dash {

class Realtime;

// The Display settings window: every choice takes effect on the Dashboard at once and is stored
// at once. It is never closed for real, because the Dashboard update and the timing plot read
// its options whether it shows or not.
class Config : public QWidget {
    Q_OBJECT
public:
    Config(const tune::EditionInfo& edition, platform::SettingsStore& store,
           platform::ColorDialog& colors, const comlink::Realtime& link, QWidget* parent = nullptr);

    // The Dashboard the handlers change; null while none is loaded.
    void attach(Realtime* dashboard) { dashboard_ = dashboard; }

    bool celsius() const;
    bool wideBandAfr() const;
    bool rpm12k() const;

    // The Dashboard's start-up: selects the stored options and ticks the stored boxes, running
    // each handler, with this Edition's buttons hidden.
    void restore(const DisplaySettings& stored);

    void optTempC_Click();
    void optTempF_Click();
    void optRPM8_Click();
    void optRPM12_Click();
    void optO2voltage_Click();
    void optO2wbafr_Click();
    // chkCoolant_Click, chkTPS_Click, chkMAP_Click, chkIgnMSD_Click, chkO2AFR_Click.
    void chk_Click(Optional value);
    // cmdRPM_Click .. cmdAFR_Click.
    void cmdColor_Click(Channel channel);
    void cmdBackGnd_Click();
    void cmdGridLines_Click();
    void cmdNeedle_Click();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    std::optional<std::uint32_t> chooseColor();
    QWidget* buildOptions();
    QWidget* buildColorButtons();
    QWidget* colorRow(QPushButton* button, QCheckBox* box);

    tune::EditionInfo edition_;
    platform::SettingsStore& store_;
    platform::ColorDialog& colors_;
    const comlink::Realtime& link_;
    Realtime* dashboard_ = nullptr;
    std::uint32_t lastColor_ = 0;

    QRadioButton* optTempC_ = nullptr;
    QRadioButton* optTempF_ = nullptr;
    QRadioButton* optRPM8_ = nullptr;
    QRadioButton* optRPM12_ = nullptr;
    QRadioButton* optO2voltage_ = nullptr;
    QRadioButton* optO2wbafr_ = nullptr;
    std::array<QCheckBox*, kOptionalCount> chk_{};
    std::array<QPushButton*, kChannelCount> cmdColor_{};
};

}  // namespace dash

#pragma once

#include <array>

#include "setup/ui/FieldEdit.h"
#include "setup/ui/WrapButton.h"
#include "tune/Tune.h"

class QAction;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QRadioButton;
class QWidget;

namespace setup {

// Every control of the Setup window, indexed like the Tune's fields.
struct IgnitionWidgets {
    std::array<std::array<FieldEdit*, 6>, 4> cells{};  // by tune::Table
    std::array<FieldEdit*, 9> singles{};               // by tune::Single
    std::array<QRadioButton*, 11> options{};           // by tune::Option
    std::array<QComboBox*, 2> outputChannels{};
    std::array<FieldEdit*, 2> outputThresholds{};
    QComboBox* cylinders = nullptr;
    QComboBox* crankDelay = nullptr;
    QComboBox* limitType = nullptr;
    QComboBox* xled = nullptr;
    QComboBox* knockIncr = nullptr;
    QCheckBox* oddFire = nullptr;
    QCheckBox* invertSpout = nullptr;
    QCheckBox* check1 = nullptr;

    QGroupBox* staticFrame = nullptr;     // Frame2
    QGroupBox* limiterFrame = nullptr;    // Frame8
    QGroupBox* mapFrame = nullptr;        // Frame9
    QLabel* pulsesLabel = nullptr;        // Label9(2)
    QLabel* xledLabel = nullptr;          // Label11
    QLabel* xledFunctionLabel = nullptr;  // Label12
    QLabel* outputLabel = nullptr;        // "OUTPUT" beside the invert box

    WrapButton* realtime = nullptr;  // cmdRealtime
    WrapButton* upload = nullptr;    // cmdUpload
    WrapButton* download = nullptr;  // cmdDownLoad

    QAction* loadSettings = nullptr;
    QAction* saveSettings = nullptr;
    QAction* playFile = nullptr;
    QAction* exit = nullptr;
    std::array<QAction*, 4> com{};
    QAction* plot3D = nullptr;
    QAction* s19 = nullptr;
    QAction* about = nullptr;

    FieldEdit* cell(tune::Table table, int i) const { return cells[static_cast<int>(table)][i]; }
    FieldEdit* single(tune::Single field) const { return singles[static_cast<int>(field)]; }
    QRadioButton* option(tune::Option o) const { return options[static_cast<int>(o)]; }
};

// Creates the panels and buttons inside `central` and fills `w`.
void buildIgnitionPanels(IgnitionWidgets& w, QWidget* central);
// Edition ZAV's MAP panel: with the XLED row gone, the sensor options move up to 360 and 600
// twips, and "3 Bar" follows below them.
void placeZavMapPanel(IgnitionWidgets& w);

}  // namespace setup

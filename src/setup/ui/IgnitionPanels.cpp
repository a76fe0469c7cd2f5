#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QRadioButton>
#include <QVBoxLayout>
#include <algorithm>
#include <utility>

#include "platform/Twips.h"
#include "setup/ui/IgnitionWidgets.h"

namespace setup {

namespace {

using tune::Option;
using tune::Single;
using tune::Table;

constexpr int kFieldWidth = 58;

QString indexed(const char* name, int i) {
    return QString::fromLatin1(name) + QString::number(i);
}

QGroupBox* panel(const char* objectName, const char* caption) {
    auto* box = new QGroupBox(QString::fromLatin1(caption));
    box->setObjectName(QString::fromLatin1(objectName));
    return box;
}

QLabel* label(const char* text, const char* objectName = nullptr) {
    auto* l = new QLabel(QString::fromLatin1(text));
    if (objectName != nullptr) {
        l->setObjectName(QString::fromLatin1(objectName));
    }
    return l;
}

FieldEdit* field(const QString& objectName, bool tableCell) {
    auto* edit = new FieldEdit(tableCell);
    edit->setObjectName(objectName);
    edit->setFixedWidth(kFieldWidth);
    edit->setAlignment(Qt::AlignRight);
    return edit;
}

FieldEdit* single(IgnitionWidgets& w, Single s, const char* objectName) {
    auto* edit = field(QString::fromLatin1(objectName), false);
    w.singles[static_cast<int>(s)] = edit;
    return edit;
}

QRadioButton* option(IgnitionWidgets& w, Option o, const char* objectName, const char* caption) {
    auto* button = new QRadioButton(QString::fromLatin1(caption));
    button->setObjectName(QString::fromLatin1(objectName));
    // The Tune decides which option of a group is on (a group may have none after loading).
    button->setAutoExclusive(false);
    w.options[static_cast<int>(o)] = button;
    return button;
}

QComboBox* list(const char* objectName) {
    auto* box = new QComboBox;
    box->setObjectName(QString::fromLatin1(objectName));
    return box;
}

QCheckBox* check(const char* objectName, const char* caption) {
    auto* box = new QCheckBox(QString::fromLatin1(caption));
    box->setObjectName(QString::fromLatin1(objectName));
    return box;
}

// A six-row table of two cell columns under their headings.
QGroupBox* tablePanel(IgnitionWidgets& w, const char* objectName, const char* caption,
                      const char* leftHeading, const char* rightHeading, Table leftTable,
                      const char* leftName, Table rightTable, const char* rightName) {
    auto* box = panel(objectName, caption);
    auto* grid = new QGridLayout(box);
    grid->addWidget(label(leftHeading), 0, 0, Qt::AlignHCenter);
    grid->addWidget(label(rightHeading), 0, 1, Qt::AlignHCenter);
    for (int i = 0; i < 6; ++i) {
        auto* left = field(indexed(leftName, i), true);
        auto* right = field(indexed(rightName, i), true);
        w.cells[static_cast<int>(leftTable)][i] = left;
        w.cells[static_cast<int>(rightTable)][i] = right;
        grid->addWidget(left, i + 1, 0);
        grid->addWidget(right, i + 1, 1);
    }
    grid->setRowStretch(7, 1);
    return box;
}

QGroupBox* staticPanel(IgnitionWidgets& w) {
    auto* box = panel("Frame2", "Static Timing");
    auto* grid = new QGridLayout(box);
    grid->addWidget(label("Crank Degrees BTDC"), 0, 0);
    grid->addWidget(single(w, Single::Static, "tbStatic"), 0, 1);
    auto* note = label("DEGREES from  input trigger until TDC.");
    note->setWordWrap(true);
    grid->addWidget(note, 1, 0, 1, 2);
    w.staticFrame = box;
    return box;
}

QGroupBox* startPanel(IgnitionWidgets& w) {
    auto* box = panel("FrameStart", "START TIMING");
    auto* grid = new QGridLayout(box);
    grid->addWidget(label("Ignition Timing", "Label9_0"), 0, 0);
    grid->addWidget(single(w, Single::CrankAdv, "tbCrankAdv"), 0, 1);
    grid->addWidget(label("RPM Threshold", "Label9_1"), 1, 0);
    grid->addWidget(single(w, Single::CrankRPM, "tbCrankRPM"), 1, 1);
    w.pulsesLabel = label("Pulses Until 1st Spark", "Label9_2");
    w.crankDelay = list("cmbCrankDelay");
    grid->addWidget(w.pulsesLabel, 2, 0);
    grid->addWidget(w.crankDelay, 2, 1);
    return box;
}

QGroupBox* enginePanel(IgnitionWidgets& w) {
    auto* box = panel("FrameEngine", "ENGINE TYPE");
    auto* grid = new QGridLayout(box);
    grid->addWidget(option(w, Option::Stroke4, "optStroke4", "4-Stroke"), 0, 0);
    grid->addWidget(option(w, Option::Stroke2, "optStroke2", "2-Stroke"), 1, 0);
    grid->addWidget(label("Cylinders"), 0, 1);
    w.cylinders = list("cmbCylinders");
    grid->addWidget(w.cylinders, 1, 1);
    w.oddFire = check("chkOddFire", "Odd Fire");
    grid->addWidget(w.oddFire, 2, 0, 1, 2);
    return box;
}

QGroupBox* limiterPanel(IgnitionWidgets& w) {
    auto* box = panel("Frame8", "REV LIMITER");
    auto* grid = new QGridLayout(box);
    w.limitType = list("cmbLimitType");
    w.limitType->setEditable(true);
    w.limitType->setInsertPolicy(QComboBox::NoInsert);
    grid->addWidget(w.limitType, 0, 0, 1, 3);
    grid->addWidget(label("RPM"), 1, 0);
    grid->addWidget(single(w, Single::RPMlimit, "tbRPMlimit"), 1, 1);
    auto* actions = new QVBoxLayout;
    actions->addWidget(option(w, Option::Drop, "optDrop", "Drop"));
    actions->addWidget(option(w, Option::Retard, "optRetard", "Retard"));
    grid->addLayout(actions, 1, 2);
    w.limiterFrame = box;
    return box;
}

QGroupBox* portedPanel(IgnitionWidgets& w) {
    auto* box = panel("FramePorted", "Ported Vacuum ");
    auto* grid = new QGridLayout(box);
    grid->addWidget(label("Start"), 0, 1, Qt::AlignHCenter);
    grid->addWidget(label("Full"), 0, 2, Qt::AlignHCenter);
    grid->addWidget(option(w, Option::PortedNone, "optPortedNone", "None"), 1, 0);
    grid->addWidget(option(w, Option::PortedTPS, "optPortedTPS", "TPS (V)"), 2, 0);
    grid->addWidget(single(w, Single::PortedStartTPS, "tbPortedStartTPS"), 2, 1);
    grid->addWidget(single(w, Single::PortedFullTPS, "tbPortedFullTPS"), 2, 2);
    grid->addWidget(option(w, Option::PortedRPM, "optPortedRPM", "RPM"), 3, 0);
    grid->addWidget(single(w, Single::PortedStartRPM, "tbPortedStartRPM"), 3, 1);
    grid->addWidget(single(w, Single::PortedFullRPM, "tbPortedFullRPM"), 3, 2);
    return box;
}

QGroupBox* mapPanel(IgnitionWidgets& w) {
    auto* box = panel("Frame9", "MAP SENSOR TYPE");
    auto* grid = new QGridLayout(box);
    w.xledLabel = label("XLED", "Label11");
    w.xledFunctionLabel = label("Function", "Label12");
    w.xled = list("cmbXLED");
    grid->addWidget(w.xledLabel, 0, 0);
    grid->addWidget(w.xledFunctionLabel, 0, 1);
    grid->addWidget(w.xled, 0, 2);
    grid->addWidget(option(w, Option::Map115, "optMap115", "1 Bar"), 1, 0);
    grid->addWidget(option(w, Option::Map250, "optMap250", "2 Bar"), 1, 1);
    w.check1 = check("Check1", "3 Bar");
    grid->addWidget(w.check1, 1, 2);
    w.outputLabel = label("OUTPUT", "lblOutput");
    w.invertSpout = check("chkInvertSpout", "Invert ");
    grid->addWidget(w.outputLabel, 2, 0);
    grid->addWidget(w.invertSpout, 2, 1, 1, 2);
    w.mapFrame = box;
    return box;
}

QGroupBox* knockPanel(IgnitionWidgets& w) {
    auto* box = panel("FrameKnock", "Knock Retard");
    auto* grid = new QGridLayout(box);
    auto* increase = label("Retard increase per knock detect (degrees)");
    increase->setWordWrap(true);
    w.knockIncr = list("cmbKnockIncr");
    grid->addWidget(increase, 0, 0, 1, 2);
    grid->addWidget(w.knockIncr, 0, 2);
    grid->addWidget(label("Decrease retard by"), 1, 0, 1, 3);
    grid->addWidget(single(w, Single::UnwindRate, "tbUnwindRate"), 2, 0);
    auto* between = label("MSEC/Sparks between 1/2 degree decr");
    between->setWordWrap(true);
    grid->addWidget(between, 2, 1, 1, 2);
    grid->addWidget(option(w, Option::UnwindMsec, "optUnwindMsec", "MSEC"), 3, 0);
    grid->addWidget(option(w, Option::UnwindSpark, "optUnwindSpark", "Sparks"), 3, 1);
    grid->setColumnStretch(1, 1);
    return box;
}

QGroupBox* outputsPanel(IgnitionWidgets& w) {
    auto* box = panel("FrameOutputs", "OUTPUTS");
    auto* grid = new QGridLayout(box);
    for (int i = 0; i < 2; ++i) {
        grid->addWidget(label(i == 0 ? "#1" : "#2"), i, 0);
        w.outputChannels[i] = new QComboBox;
        w.outputChannels[i]->setObjectName(indexed("cmbRPMout", i));
        grid->addWidget(w.outputChannels[i], i, 1);
        w.outputThresholds[i] = field(indexed("tbRPMout", i), false);
        grid->addWidget(w.outputThresholds[i], i, 2);
    }
    return box;
}

QVBoxLayout* column(std::initializer_list<QWidget*> panels) {
    auto* layout = new QVBoxLayout;
    for (QWidget* p : panels) {
        layout->addWidget(p);
    }
    layout->addStretch(1);
    return layout;
}

QVBoxLayout* buttonColumn(IgnitionWidgets& w) {
    w.realtime = new WrapButton(QStringLiteral("DASH"));
    w.realtime->setObjectName(QStringLiteral("cmdRealtime"));
    w.upload = new WrapButton(QStringLiteral(" Load from Volcrestone"));
    w.upload->setObjectName(QStringLiteral("cmdUpload"));
    w.download = new WrapButton(QStringLiteral("   Send to     Volcrestone"));
    w.download->setObjectName(QStringLiteral("cmdDownLoad"));
    auto* layout = new QVBoxLayout;
    layout->addWidget(w.realtime);
    layout->addStretch(1);
    layout->addWidget(w.upload);
    layout->addSpacing(12);
    layout->addWidget(w.download);
    layout->addStretch(1);
    return layout;
}

}  // namespace

void placeZavMapPanel(IgnitionWidgets& w) {
    QGroupBox* box = w.mapFrame;
    // From here on the panel is placed by hand; its widgets stay its children.
    delete box->layout();
    constexpr int kLeft = 120;
    constexpr int kRowHeight = 240;
    const std::pair<QWidget*, int> rows[] = {
        {w.option(Option::Map115), 360}, {w.option(Option::Map250), 600}, {w.check1, 840}};
    int widest = 0;
    for (const auto& [widget, top] : rows) {
        const int width = widget->sizeHint().width();
        QRect where = platform::twipsRect(kLeft, top, 0, kRowHeight);
        where.setWidth(width);
        widget->setGeometry(where);
        widest = std::max(widest, width);
    }
    box->setMinimumSize(2 * platform::twipsToPixels(kLeft) + widest,
                        platform::twipsToPixels(840 + kRowHeight + kLeft));
}

void buildIgnitionPanels(IgnitionWidgets& w, QWidget* central) {
    auto* timing = tablePanel(w, "FrameTiming", "IGNITION TIMING", "RPM", "Degree", Table::RPM,
                              "tbRPM", Table::BaseTiming, "tbBaseTiming");
    auto* mapTable =
        tablePanel(w, "FrameMapAdjust", "Vaccum/ Boost       Advance/ Retard", "Pressure", "Degree",
                   Table::Map, "tbMap", Table::MapAdj, "tbMapAdj");
    auto* layout = new QHBoxLayout(central);
    layout->addLayout(column({timing, mapTable}));
    layout->addLayout(column({staticPanel(w), startPanel(w), enginePanel(w), limiterPanel(w)}));
    layout->addLayout(column({portedPanel(w), mapPanel(w), knockPanel(w), outputsPanel(w)}));
    layout->addLayout(buttonColumn(w));
}

}  // namespace setup

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QRadioButton>
#include <QVBoxLayout>
#include <algorithm>
#include <string_view>
#include <utility>

#include "platform/Twips.h"
#include "setup/ui/IgnitionWidgets.h"
#include "tune/FieldNames.h"

namespace setup {

namespace {

using tune::Option;
using tune::Single;
using tune::Table;
namespace caption = tune::caption;

constexpr int kFieldWidth = 58;

QString latin1(std::string_view text) {
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

QString indexed(const char* name, int i) {
    return QString::fromLatin1(name) + QString::number(i);
}

QGroupBox* panel(const char* objectName, std::string_view caption) {
    auto* box = new QGroupBox(latin1(caption));
    box->setObjectName(QString::fromLatin1(objectName));
    return box;
}

QLabel* label(std::string_view text, const char* objectName = nullptr) {
    auto* l = new QLabel(latin1(text));
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

QRadioButton* option(IgnitionWidgets& w, Option o, const char* objectName) {
    auto* button = new QRadioButton(latin1(caption::option(o)));
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

QCheckBox* check(const char* objectName, std::string_view caption) {
    auto* box = new QCheckBox(latin1(caption));
    box->setObjectName(QString::fromLatin1(objectName));
    return box;
}

// A six-row table of two cell columns under their headings.
QGroupBox* tablePanel(IgnitionWidgets& w, const char* objectName, std::string_view caption,
                      std::string_view leftHeading, std::string_view rightHeading, Table leftTable,
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
    auto* box = panel("Frame2", caption::kStaticPanel);
    auto* grid = new QGridLayout(box);
    grid->addWidget(label(caption::kCrankDegrees), 0, 0);
    grid->addWidget(single(w, Single::Static, "tbStatic"), 0, 1);
    auto* note = label(caption::kStaticNote);
    note->setWordWrap(true);
    grid->addWidget(note, 1, 0, 1, 2);
    w.staticFrame = box;
    return box;
}

QGroupBox* startPanel(IgnitionWidgets& w) {
    auto* box = panel("FrameStart", caption::kStartPanel);
    auto* grid = new QGridLayout(box);
    grid->addWidget(label(caption::kIgnitionTiming, "Label9_0"), 0, 0);
    grid->addWidget(single(w, Single::CrankAdv, "tbCrankAdv"), 0, 1);
    grid->addWidget(label(caption::kRpmThreshold, "Label9_1"), 1, 0);
    grid->addWidget(single(w, Single::CrankRPM, "tbCrankRPM"), 1, 1);
    w.pulsesLabel = label(caption::kPulsesUntilSpark, "Label9_2");
    w.crankDelay = list("cmbCrankDelay");
    grid->addWidget(w.pulsesLabel, 2, 0);
    grid->addWidget(w.crankDelay, 2, 1);
    return box;
}

QGroupBox* enginePanel(IgnitionWidgets& w) {
    auto* box = panel("FrameEngine", caption::kEnginePanel);
    auto* grid = new QGridLayout(box);
    grid->addWidget(option(w, Option::Stroke4, "optStroke4"), 0, 0);
    grid->addWidget(option(w, Option::Stroke2, "optStroke2"), 1, 0);
    grid->addWidget(label(caption::kCylinders), 0, 1);
    w.cylinders = list("cmbCylinders");
    grid->addWidget(w.cylinders, 1, 1);
    w.oddFire = check("chkOddFire", caption::kOddFire);
    grid->addWidget(w.oddFire, 2, 0, 1, 2);
    return box;
}

QGroupBox* limiterPanel(IgnitionWidgets& w) {
    auto* box = panel("Frame8", caption::kLimiterPanel);
    auto* grid = new QGridLayout(box);
    w.limitType = list("cmbLimitType");
    w.limitType->setEditable(true);
    w.limitType->setInsertPolicy(QComboBox::NoInsert);
    grid->addWidget(w.limitType, 0, 0, 1, 3);
    grid->addWidget(label(caption::kLimiterRpm), 1, 0);
    grid->addWidget(single(w, Single::RPMlimit, "tbRPMlimit"), 1, 1);
    auto* actions = new QVBoxLayout;
    actions->addWidget(option(w, Option::Drop, "optDrop"));
    actions->addWidget(option(w, Option::Retard, "optRetard"));
    grid->addLayout(actions, 1, 2);
    w.limiterFrame = box;
    return box;
}

QGroupBox* portedPanel(IgnitionWidgets& w) {
    auto* box = panel("FramePorted", caption::kPortedPanel);
    auto* grid = new QGridLayout(box);
    grid->addWidget(label(caption::kStartHeading), 0, 1, Qt::AlignHCenter);
    grid->addWidget(label(caption::kFullHeading), 0, 2, Qt::AlignHCenter);
    grid->addWidget(option(w, Option::PortedNone, "optPortedNone"), 1, 0);
    grid->addWidget(option(w, Option::PortedTPS, "optPortedTPS"), 2, 0);
    grid->addWidget(single(w, Single::PortedStartTPS, "tbPortedStartTPS"), 2, 1);
    grid->addWidget(single(w, Single::PortedFullTPS, "tbPortedFullTPS"), 2, 2);
    grid->addWidget(option(w, Option::PortedRPM, "optPortedRPM"), 3, 0);
    grid->addWidget(single(w, Single::PortedStartRPM, "tbPortedStartRPM"), 3, 1);
    grid->addWidget(single(w, Single::PortedFullRPM, "tbPortedFullRPM"), 3, 2);
    return box;
}

QGroupBox* mapPanel(IgnitionWidgets& w) {
    auto* box = panel("Frame9", caption::kMapSensorPanel);
    auto* grid = new QGridLayout(box);
    w.xledLabel = label(caption::kXled, "Label11");
    w.xledFunctionLabel = label(caption::kXledFunction, "Label12");
    w.xled = list("cmbXLED");
    grid->addWidget(w.xledLabel, 0, 0);
    grid->addWidget(w.xledFunctionLabel, 0, 1);
    grid->addWidget(w.xled, 0, 2);
    grid->addWidget(option(w, Option::Map115, "optMap115"), 1, 0);
    grid->addWidget(option(w, Option::Map250, "optMap250"), 1, 1);
    w.check1 = check("Check1", caption::kThreeBar);
    grid->addWidget(w.check1, 1, 2);
    w.outputLabel = label(caption::kOutput, "lblOutput");
    w.invertSpout = check("chkInvertSpout", caption::kInvert);
    grid->addWidget(w.outputLabel, 2, 0);
    grid->addWidget(w.invertSpout, 2, 1, 1, 2);
    w.mapFrame = box;
    return box;
}

// A label that wraps onto two lines: wide enough for half its text and some slack, and high
// enough for both lines, so that no scale factor squeezes or clips it.
QLabel* twoLineLabel(std::string_view text) {
    QLabel* l = label(text);
    l->setWordWrap(true);
    const QFontMetrics metrics = l->fontMetrics();
    l->setMinimumWidth(metrics.horizontalAdvance(l->text()) / 2 + 4 * metrics.averageCharWidth());
    l->setMinimumHeight(2 * metrics.lineSpacing() + metrics.descent());
    return l;
}

QGroupBox* knockPanel(IgnitionWidgets& w) {
    auto* box = panel("FrameKnock", caption::kKnockPanel);
    auto* grid = new QGridLayout(box);
    auto* increase = twoLineLabel(caption::kKnockIncrease);
    w.knockIncr = list("cmbKnockIncr");
    grid->addWidget(increase, 0, 0, 1, 2);
    grid->addWidget(w.knockIncr, 0, 2);
    grid->addWidget(label(caption::kDecreaseBy), 1, 0, 1, 3);
    grid->addWidget(single(w, Single::UnwindRate, "tbUnwindRate"), 2, 0);
    auto* between = twoLineLabel(caption::kUnwindUnit);
    grid->addWidget(between, 2, 1, 1, 2);
    grid->addWidget(option(w, Option::UnwindMsec, "optUnwindMsec"), 3, 0);
    grid->addWidget(option(w, Option::UnwindSpark, "optUnwindSpark"), 3, 1);
    grid->setColumnStretch(1, 1);
    return box;
}

QGroupBox* outputsPanel(IgnitionWidgets& w) {
    auto* box = panel("FrameOutputs", caption::kOutputsPanel);
    auto* grid = new QGridLayout(box);
    for (int i = 0; i < 2; ++i) {
        grid->addWidget(label(caption::kOutputRow[i]), i, 0);
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
    auto* timing =
        tablePanel(w, "FrameTiming", caption::kTimingPanel, caption::kRpmHeading,
                   caption::kDegreeHeading, Table::RPM, "tbRPM", Table::BaseTiming, "tbBaseTiming");
    auto* mapTable =
        tablePanel(w, "FrameMapAdjust", caption::kMapAdjustPanel, caption::kPressureHeading,
                   caption::kDegreeHeading, Table::Map, "tbMap", Table::MapAdj, "tbMapAdj");
    auto* layout = new QHBoxLayout(central);
    layout->addLayout(column({timing, mapTable}));
    layout->addLayout(column({staticPanel(w), startPanel(w), enginePanel(w), limiterPanel(w)}));
    layout->addLayout(column({portedPanel(w), mapPanel(w), knockPanel(w), outputsPanel(w)}));
    layout->addLayout(buttonColumn(w));
}

}  // namespace setup

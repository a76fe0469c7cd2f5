#include "dash/ui/File.h"

#include <QCloseEvent>
#include <QFontMetrics>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSizePolicy>

#include "dash/ui/Realtime.h"

namespace dash {

namespace {

QPushButton* button(const char* name, const char* caption, QWidget* parent) {
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(name);
    return b;
}

}  // namespace

File::File(ReplayServices services, ReplayLinks links, QWidget* parent)
    : QWidget(parent),
      links_(std::move(links)),
      replay_(links_.dashboard().sampleCount(), std::move(services), *this) {
    setObjectName("File");
    setWindowTitle("Volcrestone Replay");

    lblFileName_ = new QLabel(this);
    lblFileName_->setObjectName("lblFileName");
    lblFileName_->setFrameShape(QFrame::StyledPanel);
    lblFileName_->setMinimumWidth(240);
    // A long path must not stretch the window; the tool tip keeps all of it readable.
    lblFileName_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    auto* label1 = new QLabel("File Position", this);
    label1->setObjectName("Label1");
    lblFilePercent_ = new QLabel(this);
    lblFilePercent_->setObjectName("lblFilePercent");
    // A fixed size keeps the per-record text change from laying out the window again.
    const QFontMetrics metrics(lblFilePercent_->font());
    lblFilePercent_->setFixedSize(metrics.horizontalAdvance("** EOF ** 0000.0%"),
                                  metrics.height() + 4);

    QPushButton* load = button("cmdLoadFile", "Load File", this);
    QPushButton* fwd = button("cmdFwd", ">", this);
    QPushButton* ffwd = button("cmdFFwd", ">>", this);
    connect(load, &QPushButton::clicked, this, [this] { replay_.cmdLoadFile_Click(); });
    connect(fwd, &QPushButton::clicked, this, [this] { replay_.cmdFwd_Click(); });
    connect(ffwd, &QPushButton::clicked, this, [this] { replay_.cmdFFwd_Click(); });

    auto* grid = new QGridLayout(this);
    grid->addWidget(lblFileName_, 0, 0);
    grid->addWidget(load, 0, 1);
    grid->addWidget(fwd, 0, 2);
    grid->addWidget(ffwd, 0, 3);
    auto* position = new QHBoxLayout;
    position->addWidget(label1);
    position->addWidget(lblFilePercent_);
    position->addStretch();
    grid->addLayout(position, 1, 0, 1, 4);

    struct Step {
        const char* name;
        const char* caption;
        void (LogReplay::*click)();
    };
    const Step steps[] = {{"cmdMinus100", "-100", &LogReplay::cmdMinus100_Click},
                          {"cmdMinus10", "-10", &LogReplay::cmdMinus10_Click},
                          {"cmdMinus1", "-1", &LogReplay::cmdMinus1_Click},
                          {"cmdPlus1", "+1", &LogReplay::cmdPlus1_Click},
                          {"cmdPlus10", "+10", &LogReplay::cmdPlus10_Click},
                          {"cmdPlus100", "+100", &LogReplay::cmdPlus100_Click}};
    auto* stepRow = new QHBoxLayout;
    for (const Step& step : steps) {
        QPushButton* b = button(step.name, step.caption, this);
        connect(b, &QPushButton::clicked, this, [this, click = step.click] { (replay_.*click)(); });
        stepRow->addWidget(b);
    }
    grid->addLayout(stepRow, 2, 0, 1, 4);
    grid->setColumnStretch(0, 1);
}

void File::closeEvent(QCloseEvent* event) {
    // The replay keeps its file and its records until the program ends.
    event->ignore();
    showMinimized();
}

void File::startReplay() {
    links_.engine.setReplayActive();
    Realtime& dashboard = links_.dashboard();
    dashboard.disableLogging();
    // Opening the log for reading takes the data file slot, which closes a running data log.
    dashboard.setLogButtonOff();
}

void File::showFileName(const std::string& path) {
    const QString text = QString::fromLocal8Bit(path.c_str());
    lblFileName_->setText(text);
    lblFileName_->setToolTip(text);
}

void File::showWindows() {
    Realtime& dashboard = links_.dashboard();
    dashboard.show();
    dashboard.raise();
    raise();
    activateWindow();
}

void File::showBlock(const comlink::RxBuffer& block, bool updateTrends) {
    links_.realtime.copyATdata(block, updateTrends);
}

void File::setGraphCursor(int samplesBack) {
    links_.dashboard().setGraphCursor(samplesBack);
}

void File::setPercentText(const std::string& text) {
    lblFilePercent_->setText(QString::fromStdString(text));
}

void File::letWindowsPaint() {
    links_.events.processPendingEvents();
}

}  // namespace dash

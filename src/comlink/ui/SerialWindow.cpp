#include "comlink/ui/SerialWindow.h"

#include <QCloseEvent>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

#include "comlink/ui/RawLabels.h"
#include "platform/display/ValueLabel.h"

namespace comlink {

namespace {

constexpr int kValueRows = 10;

QLabel* namedLabel(const QString& name, const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    return label;
}

}  // namespace

SerialWindow::SerialWindow(Engine& engine, QWidget* parent) : QWidget(parent), engine_(engine) {
    setObjectName("Serial");
    setWindowTitle("Volcrestone Interface");

    auto* title = namedLabel("Label20", "Timing Controller", this);
    // In the window's own font: another size or weight would be looked up and loaded for this
    // one line, which cost more of the start-up than anything else in the window.
    title->setAlignment(Qt::AlignCenter);

    auto* cmdQ = addCommand("cmdQ", "Q: REVNUM", &Engine::cmdQ);
    auto* cmdU = addCommand("cmdU", "U: Upload", &Engine::upload);
    auto* cmdBoot = addCommand("cmdBoot", "!: Bootloader", &Engine::cmdBoot);
    auto* cmdAt = addCommand("cmdAt", "@: Vars", &Engine::cmdAt);
    auto* cmdC = addCommand("cmdC", "C: SECL", &Engine::cmdC);
    lockedInRealtime_ = {cmdAt, cmdBoot, cmdC, cmdQ, cmdU};
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(cmdQ);
    buttons->addWidget(addCommand("cmdN", "N: Mon Off", &Engine::cmdN));
    buttons->addWidget(addCommand("cmdM", "M: Mon On", &Engine::cmdM));
    buttons->addWidget(cmdU);
    buttons->addWidget(cmdBoot);
    buttons->addWidget(cmdAt);
    buttons->addWidget(cmdC);
    buttons->addSpacing(12);
    auto* modeTitle = namedLabel("lblModeTitle", "MODE", this);
    modeTitle->setAlignment(Qt::AlignCenter);
    lblMode_ = namedLabel("lblMode", "0", this);
    lblMode_->setAlignment(Qt::AlignCenter);
    lblMode_->setFrameShape(QFrame::Panel);
    lblMode_->setFrameShadow(QFrame::Sunken);
    buttons->addWidget(modeTitle);
    buttons->addWidget(lblMode_);
    buttons->addStretch();

    auto* body = new QHBoxLayout;
    body->addLayout(buttons);
    body->addSpacing(12);
    body->addWidget(buildValueGrid(), 1);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(title);
    layout->addLayout(body);
}

void SerialWindow::showMode(int mode) {
    lblMode_->setText(QString::number(mode));
}

void SerialWindow::showBlock(const RxBuffer& rx) {
    for (int i = 0; i < kRealtimeBlockSize; ++i) {
        lbValue_[i]->setText(QString::fromLatin1(rawValueText(i, rx[i])));
    }
}

void SerialWindow::setCommandsEnabled(bool enabled) {
    for (QPushButton* button : lockedInRealtime_) {
        button->setEnabled(enabled);
    }
}

void SerialWindow::closeEvent(QCloseEvent* event) {
    // The port and the poll timer belong to this window; they must outlive a click on its close
    // box, so it only goes out of the way.
    event->ignore();
    showMinimized();
}

QPushButton* SerialWindow::addCommand(const char* name, const char* caption,
                                      void (Engine::*command)()) {
    auto* button = new QPushButton(caption, this);
    button->setObjectName(name);
    connect(button, &QPushButton::clicked, this, [this, command] { (engine_.*command)(); });
    return button;
}

QWidget* SerialWindow::buildValueGrid() {
    auto* grid = new QWidget(this);
    auto* layout = new QGridLayout(grid);
    layout->setHorizontalSpacing(10);
    // A fixed size spares the window a new layout for every block: a stream (or a replay step)
    // changes all 30 texts many times a second. The cells share one size, measured once.
    QSize cell;
    for (int i = 0; i < kRealtimeBlockSize; ++i) {
        const int row = i % kValueRows;
        const int column = (i / kValueRows) * 2;
        const QString name = QString::fromLatin1(kRealtimeNames[i].data(),
                                                 static_cast<qsizetype>(kRealtimeNames[i].size()));
        auto* caption = namedLabel("lblName" + QString::number(i), name, grid);
        caption->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        // A stream changes most of these ten times a second.
        lbValue_[i] = new platform::display::ValueLabel(QStringLiteral("0"), grid);
        lbValue_[i]->setObjectName("lbValue" + QString::number(i));
        lbValue_[i]->setFrameShape(QFrame::Panel);
        lbValue_[i]->setFrameShadow(QFrame::Sunken);
        lbValue_[i]->setAlignment(Qt::AlignCenter);
        lbValue_[i]->setAutoFillBackground(true);  // a new value repaints nothing behind it
        if (cell.isEmpty()) {
            cell = QSize(
                std::max(40,
                         lbValue_[i]->fontMetrics().horizontalAdvance(QStringLiteral("$FF00")) + 8),
                lbValue_[i]->sizeHint().height());
        }
        lbValue_[i]->setFixedSize(cell);
        layout->addWidget(caption, row, column);
        layout->addWidget(lbValue_[i], row, column + 1);
    }
    return grid;
}

}  // namespace comlink

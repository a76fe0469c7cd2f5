#include "comlink/ui/S19Window.h"

#include <QCloseEvent>
#include <QFile>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

namespace comlink {

S19Window::S19Window(Bootloader& bootloader, tune::Edition edition, QWidget* parent)
    : QWidget(parent), bootloader_(bootloader) {
    setObjectName("S19");
    setWindowTitle("Firmware Update");

    tbPath_ = new QLineEdit(QString::fromLatin1(defaultFirmwarePath(edition)), this);
    tbPath_->setObjectName("tbPath");
    cmdDownLoad_ = new QPushButton("DOWN LOAD", this);
    cmdDownLoad_->setObjectName("cmdDownLoad");
    list1_ = new QListWidget(this);
    list1_->setObjectName("List1");
    list1_->setSelectionMode(QAbstractItemView::SingleSelection);
    auto* label1 = new QLabel(kLinesCaption, this);
    label1->setObjectName("Label1");
    lblLines_ = new QLabel(this);
    lblLines_->setObjectName("lblLines");
    lblLines_->setMinimumWidth(70);
    lblLines_->setFrameShape(QFrame::Panel);
    lblLines_->setFrameShadow(QFrame::Sunken);

    auto* layout = new QGridLayout(this);
    layout->addWidget(tbPath_, 0, 0, 1, 3);
    layout->addWidget(cmdDownLoad_, 0, 3);
    layout->addWidget(list1_, 1, 0, 1, 4);
    layout->addWidget(label1, 2, 0);
    layout->addWidget(lblLines_, 2, 1);
    layout->setColumnStretch(2, 1);
    resize(520, 340);

    connect(cmdDownLoad_, &QPushButton::clicked, this,
            [this] { bootloader_.downLoad(QFile::encodeName(tbPath_->text()).toStdString()); });
    bootloader_.setView(this);
}

S19Window::~S19Window() {
    if (bootloader_.view() == this) {
        bootloader_.setView(nullptr);
    }
}

void S19Window::updateStarting() {
    cmdDownLoad_->setEnabled(false);
    lblLines_->clear();
    list1_->clear();
}

void S19Window::log(const std::string& line) {
    // The controller's answers are bytes, each shown as one character, line ends included.
    list1_->addItem(QString::fromLatin1(line.data(), static_cast<qsizetype>(line.size())));
    list1_->setCurrentRow(list1_->count() - 1);
    list1_->scrollToBottom();
}

void S19Window::showLineCount(int count) {
    lblLines_->setText(QString::number(count));
}

void S19Window::updateEnded(bool) {
    cmdDownLoad_->setEnabled(true);
}

void S19Window::closeEvent(QCloseEvent* event) {
    if (!bootloader_.mayClose()) {
        event->ignore();
        return;
    }
    event->accept();
    emit closed();
}

}  // namespace comlink

#pragma once

#include <QWidget>
#include <string>

#include "comlink/Bootloader.h"
#include "tune/Edition.h"

class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace comlink {

// The firmware update window: the S19 file's path, "DOWN LOAD", the update's log and the count
// of lines sent. It mirrors the Bootloader it is given and forwards the button to it. It may
// not be closed while an update runs.
class S19Window : public QWidget, public BootloaderView {
    Q_OBJECT
public:
    S19Window(Bootloader& bootloader, tune::Edition edition, QWidget* parent = nullptr);
    ~S19Window() override;

    // BootloaderView
    void updateStarting() override;
    void log(const std::string& line) override;
    void showLineCount(int count) override;
    void updateEnded(bool done) override;

signals:
    // The user closed the window while no update ran; the Setup window gets its buttons back.
    void closed();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    Bootloader& bootloader_;
    QLineEdit* tbPath_ = nullptr;
    QPushButton* cmdDownLoad_ = nullptr;
    QListWidget* list1_ = nullptr;
    QLabel* lblLines_ = nullptr;
};

}  // namespace comlink

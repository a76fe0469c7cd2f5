#pragma once

#include <QWidget>
#include <array>

#include "comlink/Engine.h"

class QLabel;
class QPushButton;

namespace comlink {

// The Controller link window: buttons that send single commands by hand, the raw realtime block
// and Mode. It lives for the whole run, so its close box only minimises it.
class SerialWindow : public QWidget {
    Q_OBJECT
public:
    explicit SerialWindow(Engine& engine, QWidget* parent = nullptr);

    // lblMode, refreshed at the start of every tick.
    void showMode(int mode);
    // lbValue 0..29 from RxBuf 0..29.
    void showBlock(const RxBuffer& rx);
    // Realtime mode locks every command but the monitor's own "M" and "N".
    void setCommandsEnabled(bool enabled);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    QPushButton* addCommand(const char* name, const char* caption, void (Engine::*command)());
    QWidget* buildValueGrid();

    Engine& engine_;
    std::array<QLabel*, kRealtimeBlockSize> lbValue_{};
    std::array<QPushButton*, 5> lockedInRealtime_{};
    QLabel* lblMode_ = nullptr;
};

}  // namespace comlink

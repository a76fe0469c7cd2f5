#pragma once

#include <QWidget>
#include <functional>

#include "dash/LogReplay.h"
#include "comlink/Engine.h"
#include "comlink/Realtime.h"
#include "platform/Clock.h"

class QLabel;

namespace dash {

class Realtime;

// What the replay window drives besides its own labels.
struct ReplayLinks {
    comlink::Engine& engine;                  // ReplayActive
    comlink::Realtime& realtime;              // CopyATdata: the raw cells and the Dashboard update
    std::function<Realtime&()> dashboard;  // loaded when it is not
    platform::EventPump& events;
};

// The log replay window: loads a data log and steps through it on the Dashboard. Its close box
// only minimises it; it lives until the program ends.
class File : public QWidget, private ReplayView {
    Q_OBJECT
public:
    // Reads the Dashboard's sample count, which loads the Dashboard.
    File(ReplayServices services, ReplayLinks links, QWidget* parent = nullptr);

    LogReplay& replay() { return replay_; }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    // ReplayView
    void startReplay() override;
    void showFileName(const std::string& path) override;
    void showWindows() override;
    void showBlock(const comlink::RxBuffer& block, bool updateTrends) override;
    void setGraphCursor(int samplesBack) override;
    void setPercentText(const std::string& text) override;
    void letWindowsPaint() override;

    ReplayLinks links_;
    LogReplay replay_;
    QLabel* lblFileName_ = nullptr;
    QLabel* lblFilePercent_ = nullptr;
};

}  // namespace dash

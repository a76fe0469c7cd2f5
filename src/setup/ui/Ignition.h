#pragma once

#include <QMainWindow>
#include <memory>

#include "setup/Session.h"

namespace setup {

struct IgnitionWidgets;

// The Setup window. It mirrors the Session's Tune and button states and hands every user action
// to the Session or to the Tune's editing rules; it holds no value of its own. Widgets carry
// object names equal to their control names (tbRPM0, tbStatic, cmdDownLoad, mCOM1, Frame2, ...)
// so tests and the program can find them.
class Ignition : public QMainWindow, public SessionView {
    Q_OBJECT

public:
    // `others` answers for the windows this one does not own (NoComm, Dashboard, About, the
    // plot, the log replay, the firmware update); without it those requests do nothing. The
    // window registers itself as the Session's view.
    explicit Ignition(Session& session, SessionView* others = nullptr, QWidget* parent = nullptr);
    ~Ignition() override;

    void setOtherWindows(SessionView* others);

    // SessionView: the Setup window's own part.
    void showTune() override;
    void showCommands() override;
    // SessionView: forwarded to the other windows.
    void hideNoResponse() override;
    bool dashboardVisible() const override;
    void unloadDashboard() override;
    void setRpmUpperLimit(double rpm) override;
    void startRealtime() override;
    bool replayVisible() const override;
    void showDashboard() override;
    void showAbout() override;
    void showPlot() override;
    void showLogReplay() override;
    void showFirmwareUpdate() override;
    bool dataLogOpen() const override;

signals:
    // The user confirmed closing: the program unloads its other windows and ends.
    void closing();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void buildMenus();
    void buildPanels();
    void adaptToEdition();
    void connectEditors();
    void refresh();

    Session& session_;
    SessionView none_;
    SessionView* others_ = &none_;
    std::unique_ptr<IgnitionWidgets> w_;
    bool refreshing_ = false;
};

}  // namespace setup

// The log replay window in the whole program (fake platform services, a real log file), driven
// with Qt Test: it plays a log on the real Dashboard, ends a running data log for good, and
// survives the program closing in the middle of a step.
#include <gtest/gtest.h>

#include <QAction>
#include <QCoreApplication>
#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <fstream>
#include <string>
#include <utility>

#include "app/Application.h"
#include "dash/ui/File.h"
#include "dash/ui/Realtime.h"
#include "platform/display/TrendGraph.h"
#include "setup/ui/Ignition.h"
#include "support/FakePlatform.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

class ReplayWindow : public testing::Test {
protected:
    ReplayWindow() { program.start(); }

    void playDataLog() { program.ignition().findChild<QAction*>("mPlayFile")->trigger(); }

    std::string writeLog(const char* name, const std::string& text) {
        const std::string path = folder.filePath(name).toStdString();
        std::ofstream(path, std::ios::binary) << text;
        return path;
    }
    dash::File& window() { return program.live().replay(); }
    dash::Realtime& dashboard() { return program.live().dashboard(); }
    QPushButton* button(const char* name) { return window().findChild<QPushButton*>(name); }
    void click(const char* name) { QTest::mouseClick(button(name), Qt::LeftButton); }
    QString text(QWidget& w, const char* name) {
        return w.findChild<QWidget*>(name)->property("text").toString();
    }
    platform::display::TrendGraph& graph(const char* name) {
        return *dashboard().findChild<platform::display::TrendGraph*>(name);
    }
    void load(const std::string& path) {
        files.paths.push_back(path);
        click("cmdLoadFile");
    }
    QStringList filesInFolder() { return QDir(folder.path()).entryList(QDir::Files); }

    QTemporaryDir folder;
    support::FakeSerialPort port;
    support::FakeSettingsStore store;
    support::FakeClock clock;
    support::FakeEventPump pump{&port};
    support::FakeMessageBox messages;
    support::FakeFileDialog files;
    support::FakeColorDialog colors;
    app::Application program{tune::editionInfo(tune::Edition::BEL),
                             {port, store, clock, pump, messages, files, colors},
                             folder.path().toStdString()};
};

TEST_F(ReplayWindow, playsALogOnTheDashboardStepsBackAndOnlyMinimisesWhenClosed) {
    playDataLog();
    dash::File& replay = window();
    EXPECT_TRUE(replay.isVisible());
    EXPECT_EQ(replay.windowTitle(), "Volcrestone Replay");
    const std::pair<const char*, const char*> captions[] = {
        {"cmdLoadFile", "Load File"}, {"cmdFwd", ">"},        {"cmdFFwd", ">>"},
        {"cmdMinus100", "-100"},      {"cmdMinus10", "-10"},  {"cmdMinus1", "-1"},
        {"cmdPlus1", "+1"},           {"cmdPlus10", "+10"},   {"cmdPlus100", "+100"},
        {"Label1", "File Position"},  {"lblFilePercent", ""}, {"lblFileName", ""}};
    for (const auto& [name, caption] : captions)
        EXPECT_EQ(text(replay, name), caption) << name;

    click("cmdFFwd");  // nothing to read yet
    EXPECT_EQ(text(replay, "lblFilePercent"), "");
    const std::string path = writeLog("drive.csv",
                                      "0,0,0,0,0,0,0,0,0,0,0,0,12,0\r\n"
                                      "0,0,0,0,0,0,0,0,0,0,0,0,31,64\r\n");
    load(path);
    ASSERT_EQ(files.requests.size(), 1u);
    EXPECT_EQ(files.requests[0].filter, "CSV Files (*.csv)|*.csv|All Files (*.*)|*.*");
    EXPECT_EQ(files.requests[0].folder, folder.path().toStdString());
    EXPECT_TRUE(dashboard().isVisible());
    EXPECT_EQ(text(replay, "lblFileName"), QString::fromStdString(path));
    EXPECT_EQ(text(replay, "lblFilePercent"), "** EOF ** ");
    EXPECT_EQ(text(dashboard(), "lblRPM"), "8000");
    EXPECT_EQ(graph("tgRPM").penValue(0, 0), 8000);
    EXPECT_EQ(graph("tgRPM").penValue(0, 1), 3072);
    EXPECT_GE(pump.calls, 3);  // the windows painted before and after each record

    click("cmdMinus1");
    EXPECT_EQ(text(dashboard(), "lblRPM"), "3072");
    EXPECT_EQ(graph("tgRPM").cursorPosition(), 1);
    EXPECT_EQ(graph("tgAFR").cursorPosition(), 1);
    EXPECT_EQ(graph("tgRPM").penValue(0, 0), 8000);  // no sample added
    click("cmdPlus1");
    EXPECT_EQ(text(dashboard(), "lblRPM"), "8000");
    EXPECT_EQ(graph("tgRPM").cursorPosition(), 0);

    // DASH during the replay only shows the Dashboard: the link stays quiet.
    dashboard().hide();
    port.clearWritten();
    QTest::mouseClick(program.ignition().findChild<QPushButton*>("cmdRealtime"), Qt::LeftButton);
    EXPECT_TRUE(dashboard().isVisible());
    EXPECT_EQ(port.writtenText(), "");

    ASSERT_TRUE(QTest::qWaitForWindowExposed(&replay));
    EXPECT_FALSE(replay.close());
    EXPECT_TRUE(replay.isVisible() && replay.isMinimized());
    playDataLog();
    EXPECT_FALSE(replay.isMinimized());
}

TEST_F(ReplayWindow, loadingEndsARunningLogAndLiveBlocksAndLoggingStayOffForTheRestOfTheRun) {
    QTest::mouseClick(program.ignition().findChild<QPushButton*>("cmdRealtime"), Qt::LeftButton);
    EXPECT_EQ(port.writtenText(), "M");
    auto* logData = dashboard().findChild<QPushButton*>("cmdLogData");
    QTest::mouseClick(logData, Qt::LeftButton);
    ASSERT_TRUE(dashboard().logButtonOn());
    Bytes frame(30, 0);
    frame[0] = 5;
    port.push(frame);  // the first frame only sets the counter
    frame[0] = 6;
    frame[12] = 2;
    port.push(frame);
    program.engine().tick();
    EXPECT_EQ(text(dashboard(), "lblRPM"), "512");
    const QStringList logs = filesInFolder();
    ASSERT_EQ(logs.size(), 1);

    playDataLog();
    load(folder.filePath("missing.csv").toStdString());
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.last().text,
              "Could not open the log " + folder.filePath("missing.csv").toStdString());
    EXPECT_TRUE(dashboard().logButtonOn() && logData->isEnabled());  // the log goes on

    load(writeLog("replay.csv", "1,2,3\r\n"));
    EXPECT_FALSE(dashboard().logButtonOn() || logData->isEnabled());
    EXPECT_TRUE(program.engine().replayActive());
    EXPECT_EQ(text(dashboard(), "lblRPM"), "0");
    std::string logged;
    for (int i = 0; i < 30; ++i)
        logged += std::string(i ? "," : "") + (i == 0 ? " 6 " : i == 12 ? " 2 " : " 0 ");
    std::ifstream in(folder.filePath(logs[0]).toStdString(), std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), logged + "\r\n");

    frame[0] = 7;
    frame[12] = 9;
    port.push(frame);
    program.engine().tick();
    EXPECT_EQ(text(dashboard(), "lblRPM"), "0");  // live blocks are ignored now
    dashboard().cmdLogData_Click();
    EXPECT_FALSE(dashboard().logButtonOn());
    EXPECT_EQ(filesInFolder().size(), 2);  // the log and the replayed file, nothing new
}

TEST_F(ReplayWindow, closingTheProgramDuringALongStepEndsTheStepSafely) {
    std::string text;
    for (int i = 0; i < 3000; ++i)
        text += std::to_string(i % 256) + "\r\n";
    playDataLog();
    load(writeLog("long.csv", text));
    QSignalSpy finished(&program, &app::Application::finished);
    int records = 0;
    pump.onProcess = [&] {
        if (++records == 20) {
            program.ignition().close();
            QCoreApplication::processEvents();
        }
    };
    button("cmdFFwd")->click();
    EXPECT_EQ(finished.count(), 1);
    EXPECT_EQ(records, 20);
    EXPECT_FALSE(port.isOpen());
}

}  // namespace

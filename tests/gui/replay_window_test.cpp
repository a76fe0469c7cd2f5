// The log replay window in the whole program (fake platform services, a real log file), driven
// with Qt Test: it plays a log on the real Dashboard and ends a running data log for good.
#include <QDir>

#include "gui/ProgramTest.h"

namespace {

class ReplayWindow : public guitest::ProgramTest {
protected:
    ReplayWindow() { start(tune::Edition::BEL, folder.path().toStdString()); }
    ~ReplayWindow() override { program.reset(); }  // before the folder goes

    std::string writeLog(const char* name, const std::string& text) {
        const std::string path = folder.filePath(name).toStdString();
        std::ofstream(path, std::ios::binary) << text;
        return path;
    }
    dash::File& window() { return program->live().replay(); }
    // The speed the Dashboard shows and where both graphs' cursors stand.
    std::tuple<QString, int, int> shown() {
        return {text(dashboard(), "lblRPM"), graph("tgRPM").cursorPosition(),
                graph("tgAFR").cursorPosition()};
    }
    void load(const std::string& path) {
        files.paths.push_back(path);
        click(window(), "cmdLoadFile");
    }

    QTemporaryDir folder;
};

TEST_F(ReplayWindow, playsALogOnTheDashboardStepsBackAndOnlyMinimisesWhenClosed) {
    menu("mPlayFile");
    dash::File& replay = window();
    const guitest::Caption texts[] = {
        {"cmdLoadFile", "Load File"}, {"cmdFwd", ">"},        {"cmdFFwd", ">>"},
        {"cmdMinus100", "-100"},      {"cmdMinus10", "-10"},  {"cmdMinus1", "-1"},
        {"cmdPlus1", "+1"},           {"cmdPlus10", "+10"},   {"cmdPlus100", "+100"},
        {"Label1", "File Position"},  {"lblFilePercent", ""}, {"lblFileName", ""}};
    expectTexts(replay, "Volcrestone Replay", texts);

    const std::string path = writeLog("drive.csv",
                                      "0,0,0,0,0,0,0,0,0,0,0,0,12,0\r\n"
                                      "0,0,0,0,0,0,0,0,0,0,0,0,31,64\r\n");
    load(path);
    ASSERT_EQ(files.requests.size(), 1u);  // its filter is pinned by the replay's own tests
    EXPECT_EQ(files.requests[0].folder, folder.path().toStdString());
    EXPECT_TRUE(dashboard().isVisible());
    EXPECT_EQ(text(replay, "lblFileName") + "|" + text(replay, "lblFilePercent"),
              QString::fromStdString(path) + "|** EOF ** ");
    EXPECT_EQ(shown(), std::tuple("8000", 0, 0));
    EXPECT_EQ(std::pair(graph("tgRPM").penValue(0, 0), graph("tgRPM").penValue(0, 1)),
              std::pair(8000.0, 3072.0));

    click(replay, "cmdMinus1");
    EXPECT_EQ(shown(), std::tuple("3072", 1, 1));
    EXPECT_EQ(graph("tgRPM").penValue(0, 0), 8000);  // no sample added
    click(replay, "cmdPlus1");
    EXPECT_EQ(shown(), std::tuple("8000", 0, 0));

    // Closed during the replay (which ends its file) and shown again by DASH with the link
    // quiet, the Dashboard still steps over the stored records, and a new log lines it up.
    click(replay, "cmdMinus1");
    dashboard().close();
    port.clearWritten();
    click(setupWindow(), "cmdRealtime");
    EXPECT_EQ(port.writtenText(), "");
    click(replay, "cmdFFwd");
    EXPECT_EQ(shown(), std::tuple("8000", 0, 0));
    click(replay, "cmdMinus10");
    EXPECT_EQ(shown(), std::tuple("0", 10, 10));
    load(writeLog("next.csv", "0,0,0,0,0,0,0,0,0,0,0,0,0,7\r\n"));
    EXPECT_EQ(shown(), std::tuple("7", 0, 0));
    EXPECT_EQ(graph("tgRPM").penValue(0, 1), 8000);  // the new record follows the old ones

    ASSERT_TRUE(QTest::qWaitForWindowExposed(&replay));
    EXPECT_FALSE(replay.close());
    EXPECT_TRUE(replay.isVisible() && replay.isMinimized());
    menu("mPlayFile");
    EXPECT_FALSE(replay.isMinimized());
}

TEST_F(ReplayWindow, loadingEndsARunningLogAndLiveBlocksAndLoggingStayOffForTheRestOfTheRun) {
    click(setupWindow(), "cmdRealtime");
    click(dashboard(), "cmdLogData");
    ASSERT_TRUE(dashboard().logButtonOn());
    arrive(5);
    frame(6, {{12, 2}});
    const QStringList logs = QDir(folder.path()).entryList(QDir::Files);
    ASSERT_EQ(logs.size(), 1);

    menu("mPlayFile");
    load(writeLog("replay.csv", "1,2,3\r\n"));
    EXPECT_FALSE(dashboard().logButtonOn() || enabled(dashboard(), "cmdLogData"));
    std::ifstream file(folder.filePath(logs[0]).toStdString(), std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(file), {}),
              " 6 , 0 , 0 , 0 , 0 , 0 , 0 , 0 , 0 , 0 , 0 , 0 , 2 , 0 , 0 , 0 , 0 , 0 , 0 , 0 , "
              "0 , 0 , 0 , 0 , 0 , 0 , 0 , 0 , 0 , 0 \r\n");

    frame(7, {{12, 9}});
    EXPECT_EQ(text(dashboard(), "lblRPM"), "0");  // live blocks are ignored now
    dashboard().cmdLogData_Click();
    EXPECT_FALSE(dashboard().logButtonOn());
}

}  // namespace

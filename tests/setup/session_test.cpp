// The Session behind the Setup window, with fake port, dialogs and settings store: start-up,
// port choice, send and load, settings files and the question on closing.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <random>
#include <string>
#include <tuple>
#include <vector>

#include "link/Engine.h"
#include "setup/Session.h"
#include "support/BelStartup.h"
#include "support/FakeDialogs.h"
#include "support/FakePlatform.h"
#include "support/FakeSerialPort.h"
#include "tune/Edition.h"
#include "tune/SettingsText.h"

namespace {

using Answer = platform::MessageBox::Answer;
using Buttons = platform::MessageBox::Buttons;
using Icon = platform::MessageBox::Icon;
using Bytes = std::vector<std::uint8_t>;

// Records what the Session asks of the windows; whether the Dashboard shows is scripted.
struct RecordingView : setup::SessionView {
    int tuneShown = 0;
    int realtimeStarts = 0;
    double rpmLimit = -1;
    bool dashboard = false;

    void showTune() override { ++tuneShown; }
    bool dashboardVisible() const override { return dashboard; }
    void unloadDashboard() override { dashboard = false; }
    void setRpmUpperLimit(double rpm) override { rpmLimit = rpm; }
    void startRealtime() override {
        ++realtimeStarts;
        dashboard = true;
    }
};

// Hands the engine's completed uploads to the Session, as the program's wiring does.
struct UploadRouter : link::EngineEvents {
    setup::Session* session = nullptr;
    void imageReceived(const link::RxBuffer& rx) override { session->imageReceived(rx); }
};

class SessionTest : public ::testing::Test {
protected:
    SessionTest() {
        std::filesystem::create_directories(folder);
        engine.setListener(&router);
    }
    ~SessionTest() override { std::filesystem::remove_all(folder); }

    // A new Session on the same port, store and dialogs; a test may start several in turn.
    setup::Session& start(tune::Edition edition = tune::Edition::BEL) {
        if (port.isOpen())
            port.close();
        messages.shown.clear();
        session = std::make_unique<setup::Session>(tune::editionInfo(edition), engine, port,
                                                   setup::Services{messages, files, store},
                                                   "/work/current", "/home/tuner");
        session->setView(&view);
        router.session = session.get();
        session->start();
        return *session;
    }

    // The one message box shown since the Session started (or since `messages.shown` was cleared).
    void expectOnlyMessage(const std::string& text, Icon icon) const {
        ASSERT_EQ(messages.shown.size(), 1u);
        EXPECT_EQ(messages.last().text, text);
        EXPECT_EQ(messages.last().icon, icon);
    }

    std::string path(const std::string& name) const { return (folder / name).string(); }
    void writeFile(const std::string& name, const std::string& content) const {
        std::ofstream(folder / name, std::ios::binary) << content;
    }
    std::string readFile(const std::string& name) const {
        std::ifstream in(folder / name, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }

    support::FakeSerialPort port;
    support::FakeClock clock;
    support::FakeEventPump pump{&port};
    link::Engine engine{port, clock, pump};
    support::FakeMessageBox messages;
    support::FakeFileDialog files;
    support::FakeSettingsStore store;
    RecordingView view;
    UploadRouter router;
    std::unique_ptr<setup::Session> session;
    const std::filesystem::path folder = std::filesystem::temp_directory_path() /
                                         ("session_test_" + std::to_string(std::random_device{}()));
};

TEST_F(SessionTest, startsWithTheStartupTuneAsSavedAndRukAloneOpensTheHomeFolder) {
    for (const auto edition : {tune::Edition::RUK, tune::Edition::BEL, tune::Edition::QOLT}) {
        setup::Session& s = start(edition);
        EXPECT_EQ(s.savedSettings(), tune::settingStr(tune::Tune::startup(edition)));
        EXPECT_FALSE(s.hasUnsavedChanges());
        EXPECT_EQ(s.defaultDir(), edition == tune::Edition::RUK ? "/home/tuner" : "/work/current");
    }
}

TEST_F(SessionTest, startupOpensTheRememberedPortOrCom1AndEnablesAllButSend) {
    const std::pair<const char*, int> rows[] = {{nullptr, 1}, {"3", 3},    {"4", 4},   {"7", 1},
                                                {"0", 1},     {"-2", 1},   {"2.5", 2}, {"3.5", 4},
                                                {" 2", 2},    {"COM3", 1}, {"1e30", 1}};
    for (const auto& [stored, opened] : rows) {
        SCOPED_TRACE(stored == nullptr ? "nothing stored" : stored);
        store.values.clear();
        if (stored != nullptr)
            store.values[{"Config", "Port"}] = stored;
        setup::Session& s = start();
        EXPECT_EQ(port.openedNumbers.back(), opened);
        EXPECT_EQ(s.checkedPort(), opened);
        EXPECT_EQ(store.read("Config", "Port", "?"), std::to_string(opened));
        EXPECT_TRUE(s.realtimeEnabled() && s.uploadEnabled() && !s.downloadEnabled());
        EXPECT_TRUE(messages.shown.empty());
    }
}

TEST_F(SessionTest, choosingTheOpenPortAgainOrOneOutsideOneToFourDoesNothing) {
    start();
    for (int n : {1, 5, 0})
        session->choosePort(n);
    EXPECT_EQ(port.openedNumbers, std::vector<int>{1});
    EXPECT_EQ(port.closeCalls, 0);
    EXPECT_EQ(session->checkedPort(), 1);
}

TEST_F(SessionTest, aPortThatFailsIsNamedStaysCheckedAndRememberedAndChoosingItAgainRetries) {
    store.values[{"Config", "Port"}] = "3";
    port.openSucceeds = false;
    setup::Session& s = start();
    expectOnlyMessage("Could not open COM3", Icon::Critical);
    EXPECT_EQ(messages.last().title, "Volcrestone");
    EXPECT_FALSE(s.realtimeEnabled() || s.uploadEnabled());
    view.dashboard = true;
    s.choosePort(4);
    EXPECT_EQ(s.checkedPort(), 4);
    EXPECT_EQ(store.read("Config", "Port", "?"), "4");
    EXPECT_EQ(messages.last().text, "Could not open COM4");
    port.openSucceeds = true;
    s.choosePort(4);
    EXPECT_EQ(port.openedNumbers, (std::vector<int>{3, 4, 4}));
    EXPECT_TRUE(s.uploadEnabled() && s.realtimeEnabled());
    EXPECT_FALSE(view.dashboard);
}

TEST_F(SessionTest, aVanishedPortIsReportedOnceEndsRealtimeAndCanBeChosenAgain) {
    store.values[{"Config", "Port"}] = "2";
    start();
    session->realtime();
    port.vanish();
    session->portLost();
    session->portLost();
    expectOnlyMessage("COM2 was disconnected.", Icon::Critical);
    EXPECT_FALSE(view.dashboard || session->realtimeEnabled() || session->uploadEnabled());
    session->choosePort(2);
    EXPECT_TRUE(port.isOpen() && session->uploadEnabled());
}

TEST_F(SessionTest, sendingWithThePortClosedSendsNothingAndSaysSo) {
    port.openSucceeds = false;
    start();
    session->saveSettings();  // cancelled, but it enables the send button all the same
    ASSERT_TRUE(session->downloadEnabled());
    messages.shown.clear();
    session->sendToController();
    EXPECT_TRUE(port.written.empty());
    expectOnlyMessage("COM1 is not open. Nothing was sent.", Icon::Critical);
}

TEST_F(SessionTest, sendingWritesTheImageThenStoresItOrRefusesABrokenTune) {
    start();
    session->tune().baseTiming[5] = "45";
    session->sendToController();
    EXPECT_TRUE(port.written.empty());
    EXPECT_EQ(messages.last().text, "Base Timing must be less than Static Timing!");
    EXPECT_EQ(messages.last().title, "Can not Download!");
    EXPECT_EQ(messages.last().icon, Icon::Critical);
    session->tune().baseTiming[5] = "30";
    session->sendToController();
    ASSERT_EQ(port.written.size(), 53u * 3 + 1);
    EXPECT_EQ(Bytes(port.written.end() - 4, port.written.end()), (Bytes{'W', 53, 0, 'B'}));
    EXPECT_EQ(messages.last().text, "Download Done!");
    EXPECT_EQ(messages.last().icon, Icon::Information);
}

TEST_F(SessionTest, loadFromControllerAsksFirstOnlyAfterAnEditAndOnlyOkSendsU) {
    start();
    session->loadFromController();
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_EQ(port.writtenText(), "U");
    for (int tick = 0; tick < 6; ++tick)  // unanswered: the engine gives up
        engine.tick();
    port.clearWritten();
    session->tune().map[0] = "45";
    messages.answers = {Answer::Cancel, Answer::Ok};
    session->loadFromController();
    EXPECT_TRUE(port.written.empty());
    EXPECT_EQ(messages.last().text,
              "The settings have been changed but not saved!\n\nUploading will overwrite your "
              "changes!");
    EXPECT_EQ(messages.last().icon, Icon::Exclamation);
    EXPECT_EQ(messages.last().buttons, Buttons::OkCancel);
    session->loadFromController();
    EXPECT_EQ(port.writtenText(), "U");
}

TEST_F(SessionTest, aCompletedUploadShowsTheTuneAllowsSendingAndSaysUploadDone) {
    start();
    session->loadFromController();
    Bytes image(63, 0);
    image[45] = 120;  // rev limit 6000 rpm
    port.push(image);
    engine.tick();
    EXPECT_EQ(session->tune().rpmLimit, "6000");
    EXPECT_EQ(view.rpmLimit, 6000.0);
    EXPECT_TRUE(session->downloadEnabled());
    expectOnlyMessage("Upload Done!", Icon::Information);
}

TEST_F(SessionTest, dashStartsRealtimeAndLocksSendAndUploadUntilItEndsEvenAfterASave) {
    start();
    session->realtime();
    EXPECT_EQ(view.realtimeStarts, 1);
    session->saveSettings();
    EXPECT_TRUE(session->downloadAllowed());
    EXPECT_FALSE(session->uploadEnabled() || session->downloadEnabled());
    session->setExchangeEnabled(true);
    EXPECT_TRUE(session->uploadEnabled() && session->downloadEnabled());
}

TEST_F(SessionTest, savingTheBelStartupTuneWritesTheSettingsFile) {
    start();
    files.paths.push_back(path("tune.cfg"));
    session->saveSettings();
    EXPECT_EQ(readFile("tune.cfg"), support::kBelStartupFile);
    ASSERT_EQ(files.requests.size(), 1u);
    EXPECT_TRUE(files.requests[0].save);
    EXPECT_EQ(files.requests[0].filter, "CFG Files (*.cfg)|*.cfg|All Files (*.*)|*.*");
    EXPECT_EQ(files.requests[0].folder, "/work/current");
    expectOnlyMessage("Settings Saved!", Icon::Information);
}

TEST_F(SessionTest, aSaveThatFailsSaysWhyKeepsTheEditUnsavedAndLeavesOtherFiles) {
    start();
    writeFile("keep.cfg", "old contents");
    session->tune().rpm[0] = "1100";
    const std::pair<std::string, const char*> rows[] = {
        {path("no-such-folder/tune.cfg"), "Could not open file 1"},
        // A name too long for the file system: the folder exists, the write cannot happen.
        {path(std::string(300, 'k') + ".cfg"), "Error trying to Save Settings!"}};
    for (const auto& [target, message] : rows) {
        SCOPED_TRACE(target);
        messages.shown.clear();
        files.paths.push_back(target);
        session->saveSettings();
        expectOnlyMessage(message, Icon::Critical);
        EXPECT_TRUE(session->hasUnsavedChanges());
    }
    EXPECT_EQ(readFile("keep.cfg"), "old contents");
}

TEST_F(SessionTest, loadingASettingsFileShowsItAsUnsavedAndAllowsSending) {
    start();
    std::string file = support::kBelStartupFile;
    file.replace(file.find("\"1000\""), 6, "\"1200\"");
    writeFile("load.cfg", file);
    files.paths.push_back(path("load.cfg"));
    const int shownBefore = view.tuneShown;
    session->loadSettings();
    EXPECT_EQ(session->tune().rpm[0], "1200");
    EXPECT_GT(view.tuneShown, shownBefore);
    EXPECT_TRUE(session->hasUnsavedChanges() && session->downloadEnabled());
    expectOnlyMessage("Settings Loaded!", Icon::Information);
    EXPECT_FALSE(files.requests.at(0).save);
}

TEST_F(SessionTest, aFailedLoadSaysWhyKeepsWhatItReadAndDoesNotAllowSending) {
    std::string cut = support::kBelStartupFile;
    cut.replace(cut.find("\"8\""), 3, "\"9\"");
    cut.resize(cut.find("#FALSE#,#FALSE#,#TRUE#"));  // header and lines 1 to 5 only
    const std::tuple<std::string, const char*, const char*> rows[] = {
        {"[Settings]\r\nRPM=1000\r\n", "Not a Volcrestone Settings file!", "8"},
        {cut, "Error trying to Load Settings!", "9"}};
    for (const auto& [content, message, baseTiming0] : rows) {
        SCOPED_TRACE(message);
        start();
        writeFile("load.cfg", content);
        files.paths.push_back(path("load.cfg"));
        session->loadSettings();
        expectOnlyMessage(message, Icon::Critical);
        EXPECT_EQ(session->tune().baseTiming[0], baseTiming0);
        EXPECT_FALSE(session->downloadAllowed());
    }
}

TEST_F(SessionTest, closingAsksToSaveARealEditAndClosesOnlyOnNoOrASuccessfulSave) {
    start();
    session->tune().rpm[2] = "3600";
    session->tune().rpm[2] = "3500";  // undone: no change
    EXPECT_TRUE(session->queryClose());
    EXPECT_TRUE(messages.shown.empty());
    const struct {
        Answer answer;
        const char* savedAs;  // nullptr: the save dialog is cancelled
        bool closes;
        std::size_t dialogs;
    } rows[] = {{Answer::Cancel, nullptr, false, 0},
                {Answer::No, nullptr, true, 0},
                {Answer::Yes, nullptr, false, 1},
                {Answer::Yes, "missing/c.cfg", false, 1},
                {Answer::Yes, "closing.cfg", true, 1}};
    for (const auto& row : rows) {
        SCOPED_TRACE(std::to_string(static_cast<int>(row.answer)) +
                     (row.savedAs ? row.savedAs : ""));
        start();
        session->tune().staticTiming = "40.0";
        files.requests.clear();
        messages.answers.push_back(row.answer);
        if (row.savedAs != nullptr)
            files.paths.push_back(path(row.savedAs));
        EXPECT_EQ(session->queryClose(), row.closes);
        EXPECT_EQ(files.requests.size(), row.dialogs);
    }
    EXPECT_EQ(messages.shown.at(0).text,
              "The settings have been changed!\n\nDo you want to save the changes?");
    EXPECT_EQ(messages.shown.at(0).title, "Volcrestone");
    EXPECT_EQ(messages.shown.at(0).icon, Icon::Exclamation);
    EXPECT_EQ(messages.shown.at(0).buttons, Buttons::YesNoCancel);
    EXPECT_NE(readFile("closing.cfg").find("\"40.0\""), std::string::npos);
    EXPECT_FALSE(session->hasUnsavedChanges());
}

}  // namespace

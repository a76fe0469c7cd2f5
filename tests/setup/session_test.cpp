// The Session behind the Setup window, on a fake port, fake dialogs and real settings files.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <optional>
#include <random>
#include <string>
#include <tuple>
#include <vector>

#include "comlink/Engine.h"
#include "platform/FakePlatform.h"
#include "setup/Session.h"
#include "support/BelStartup.h"
#include "support/FileSizeLimit.h"
#include "tune/Edition.h"

namespace {

using Answer = platform::MessageBox::Answer;
using Buttons = platform::MessageBox::Buttons;
using Icon = platform::MessageBox::Icon;

// The test plays the windows, recording what the Session asks of them (whether the Dashboard
// shows is scripted), and hands the engine's completed uploads on as the program's wiring does.
class SessionTest : public ::testing::Test, setup::SessionView, comlink::EngineEvents {
protected:
    SessionTest() {
        std::filesystem::create_directories(folder);
        engine.setListener(this);
    }
    ~SessionTest() override { std::filesystem::remove_all(folder); }

    // A new Session on the same port, store and dialogs; a test may start several in turn.
    setup::Session& start(tune::Edition edition = tune::Edition::BEL) {
        port.close();
        messages.shown.clear();
        session = std::make_unique<setup::Session>(tune::editionInfo(edition), engine, port,
                                                   setup::Services{messages, files, store},
                                                   "/work/current", "/home/tuner");
        session->setView(this);
        session->start();
        return *session;
    }

    // The one message box shown since the Session started, the last such check or a clear.
    void expectOnlyMessage(const std::string& text, Icon icon,
                           const std::string& title = "Volcrestone") {
        ASSERT_EQ(messages.shown.size(), 1u);
        const auto& shown = messages.last();
        EXPECT_EQ(std::tuple(shown.text, shown.icon, shown.title), std::tuple(text, icon, title));
        messages.shown.clear();
    }

    std::string path(const std::string& name) const { return (folder / name).string(); }

    platform::FakeSerialPort port;
    platform::FakeClock clock;
    platform::FakeEventPump pump{&port};
    comlink::Engine engine{port, clock, pump};
    platform::FakeMessageBox messages;
    platform::FakeFileDialog files;
    platform::FakeSettingsStore store;
    int tuneShown = 0;
    double rpmLimit = -1;
    bool dashboard = false;
    bool dataLog = false;
    std::unique_ptr<setup::Session> session;
    const std::filesystem::path folder = std::filesystem::temp_directory_path() /
                                         ("session_test_" + std::to_string(std::random_device{}()));

private:
    void showTune() override { ++tuneShown; }
    bool dashboardVisible() const override { return dashboard; }
    bool dataLogOpen() const override { return dataLog; }
    void unloadDashboard() override { dashboard = false; }
    void setRpmUpperLimit(double rpm) override { rpmLimit = rpm; }
    void startRealtime() override { dashboard = true; }
    void imageReceived(const comlink::RxBuffer& rx) override { session->imageReceived(rx); }
};

TEST_F(SessionTest, startupOpensTheRememberedPortOrCom1AndOnlyAnotherValidChoiceReopens) {
    EXPECT_EQ(start(tune::Edition::RUK).defaultDir(), "/home/tuner");  // RUK's file dialogs
    EXPECT_EQ(start(tune::Edition::QOLT).defaultDir(), "/work/current");
    const std::pair<const char*, int> rows[] = {{nullptr, 1}, {"3", 3},    {"7", 1},
                                                {"0", 1},     {"2.5", 2},  {"3.5", 4},
                                                {" 2", 2},    {"COM3", 1}, {"1e30", 1}};
    for (const auto& [stored, opened] : rows) {
        SCOPED_TRACE(stored == nullptr ? "nothing stored" : stored);
        store.values.clear();
        if (stored != nullptr)
            store.values[{"Config", "Port"}] = stored;
        setup::Session& s = start();
        EXPECT_TRUE(port.openedNumbers.back() == opened && s.checkedPort() == opened);
        EXPECT_EQ(store.read("Config", "Port", "?"), std::to_string(opened));
        EXPECT_TRUE(s.realtimeEnabled() && s.uploadEnabled() && !s.downloadEnabled());
        EXPECT_TRUE(messages.shown.empty());
    }
    const std::size_t opens = port.openedNumbers.size();
    for (int n : {1, 5, 0})  // the open port again, or one outside 1 to 4: nothing happens
        session->choosePort(n);
    EXPECT_EQ(port.openedNumbers.size(), opens);
    EXPECT_TRUE(port.isOpen() && session->checkedPort() == 1);
}

TEST_F(SessionTest, aPortThatFailsOrVanishesIsNamedOnceStaysCheckedAndChoosingItAgainRetries) {
    store.values[{"Config", "Port"}] = "3";
    port.openSucceeds = false;
    setup::Session& s = start();
    expectOnlyMessage("Could not open COM3", Icon::Critical);
    EXPECT_FALSE(s.realtimeEnabled() || s.uploadEnabled());
    s.choosePort(4);
    EXPECT_TRUE(s.checkedPort() == 4 && store.read("Config", "Port", "?") == "4");
    port.openSucceeds = true;
    s.choosePort(4);
    EXPECT_EQ(port.openedNumbers, (std::vector<int>{3, 4, 4}));
    EXPECT_TRUE(s.uploadEnabled() && s.realtimeEnabled());
    port.vanish();  // named once, by its number (the pulled-cable tests recover from it)
    messages.shown.clear();
    s.portLost();
    s.portLost();
    expectOnlyMessage("COM4 was disconnected.", Icon::Critical);
    EXPECT_FALSE(s.realtimeEnabled() || s.uploadEnabled());
}

TEST_F(SessionTest, sendingWritesTheImageThenStoresItOrRefusesABrokenTuneOrAClosedPort) {
    start();
    session->tune().baseTiming[5] = "45";
    session->sendToController();
    expectOnlyMessage("Base Timing must be less than Static Timing!", Icon::Critical,
                      "Can not Download!");
    port.close();
    session->sendToController();
    expectOnlyMessage("COM1 is not open. Nothing was sent.", Icon::Critical);
    port.open(1);
    session->tune().baseTiming[5] = "30";
    session->sendToController();
    // Nothing went out before.
    EXPECT_EQ(std::tuple(port.written.size(), port.written.back()), std::tuple(53u * 3 + 1, 'B'));
    expectOnlyMessage("Download Done!", Icon::Information);

    // A history that cannot be written is said once per run, after the exchange's own message.
    std::ofstream(folder / "blocked").put('x');
    session->keepHistoryIn(folder / "blocked" / "history", clock);
    session->sendToController();
    session->sendToController();
    ASSERT_EQ(messages.shown.size(), 3u);
    EXPECT_EQ(messages.shown[0].text, "Download Done!");
    EXPECT_EQ(messages.shown[1].text,
              "Tune history not kept: " + path("blocked/history") + ": Not a directory");
    EXPECT_EQ(messages.shown[1].icon, Icon::Critical);
    EXPECT_EQ(messages.shown[2].text, "Download Done!");
}

TEST_F(SessionTest, loadFromControllerAfterAnEditAsksFirstAndOnlyOkSendsU) {
    start();
    session->tune().map[0] = "45";
    messages.answers = {Answer::Cancel, Answer::Ok};
    session->loadFromController();
    EXPECT_EQ(messages.last().buttons, Buttons::OkCancel);
    expectOnlyMessage(
        "The settings have been changed but not saved!\n\nUploading will overwrite your changes!",
        Icon::Exclamation);
    session->loadFromController();
    EXPECT_EQ(port.writtenText(), "U");  // once: the cancelled question sent nothing
}

TEST_F(SessionTest, anUploadCompletedWhileTheDashboardShowsLeavesSendDisabledUntilItCloses) {
    // Live, realtime mode also holds the exchange buttons; a replay shows the Dashboard alone.
    for (const bool live : {true, false}) {
        SCOPED_TRACE(live ? "live" : "replay");
        start();
        live ? session->realtime() : void(dashboard = true);
        EXPECT_EQ(session->uploadEnabled(), !live);
        engine.upload();  // the link window's "U: Upload"
        std::vector<std::uint8_t> image(63, 0);
        image[45] = 120;  // rev limit 6000 rpm
        port.push(image);
        engine.tick();
        EXPECT_TRUE(session->tune().rpmLimit == "6000" && rpmLimit == 6000.0);
        EXPECT_TRUE(session->downloadAllowed() && !session->downloadEnabled());
        expectOnlyMessage("Upload Done!", Icon::Information);
        dashboard = false;
        session->setExchangeEnabled(true);
        EXPECT_TRUE(session->uploadEnabled() && session->downloadEnabled());
    }
}

TEST_F(SessionTest, savingWritesTheSettingsFileOrSaysWhyNotAndKeepsTheEditUnsaved) {
    start();
    files.paths.push_back(path("tune.cfg"));
    session->saveSettings();
    EXPECT_TRUE(files.requests.at(0).save && files.requests[0].folder == "/work/current");
    EXPECT_EQ(files.requests[0].filter, "CFG Files (*.cfg)|*.cfg|All Files (*.*)|*.*");
    expectOnlyMessage("Settings Saved!", Icon::Information);
    start(tune::Edition::QOLT);
    session->tune().rpm[0] = "1100";
    // A target that cannot be opened is named by its file channel: 2 while the data log holds 1.
    const std::pair<bool, const char*> rows[] = {{false, "Could not open file 1"},
                                                 {true, "Could not open file 2"}};
    for (const auto& [logging, message] : rows) {
        SCOPED_TRACE(message);
        dataLog = logging;
        files.paths.push_back(path("no-such-folder/tune.cfg"));
        session->saveSettings();
        expectOnlyMessage(message, Icon::Critical, "Ferrodyn");
        EXPECT_TRUE(session->hasUnsavedChanges());
    }
    dataLog = false;
    files.paths.push_back(path("full.cfg"));
    {
        const support::FileSizeLimit diskFull(100);
        session->saveSettings();
    }
    expectOnlyMessage("Error trying to Save Settings!", Icon::Critical, "Ferrodyn");
    EXPECT_TRUE(session->hasUnsavedChanges() && session->downloadEnabled());
    EXPECT_FALSE(std::filesystem::exists(path("full.cfg")));
}

TEST_F(SessionTest, loadingShowsWhatItReadAndOnlyACompleteFileAllowsSending) {
    std::string nine = support::kBelStartupFile;
    nine.replace(nine.find("\"8\""), 3, "\"9\"");
    const std::string cut = nine.substr(0, nine.find("#FALSE#,#FALSE#,#TRUE#"));  // lines 1-5
    struct Row {
        std::optional<std::string> content;  // nothing: no such file
        bool logging;                        // the data log holds file channel 1
        const char* message;
        Icon icon;
        const char* baseTiming0;
    };
    const Row rows[] = {{nine, false, "Settings Loaded!", Icon::Information, "9"},
                        {"[Settings]\r\nRPM=1000\r\n", false, "Not a Volcrestone Settings file!",
                         Icon::Critical, "8"},
                        {cut, false, "Error trying to Load Settings!", Icon::Critical, "9"},
                        {std::nullopt, false, "Could not open file 1", Icon::Critical, "8"},
                        {std::nullopt, true, "Could not open file 2", Icon::Critical, "8"}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.message);
        start(tune::Edition::QOLT);
        std::filesystem::remove(path("load.cfg"));
        if (row.content)
            std::ofstream(path("load.cfg"), std::ios::binary) << *row.content;
        dataLog = row.logging;
        files.paths.push_back(path("load.cfg"));
        const int shownBefore = tuneShown;
        session->loadSettings();
        expectOnlyMessage(row.message, row.icon, "Ferrodyn");
        const bool read = std::string(row.baseTiming0) == "9";
        EXPECT_EQ(std::tuple(session->tune().baseTiming[0], tuneShown > shownBefore,
                             session->hasUnsavedChanges(),
                             session->downloadAllowed() && session->downloadEnabled()),
                  std::tuple(row.baseTiming0, read, read, row.icon == Icon::Information));
    }
}

TEST_F(SessionTest, closingAsksToSaveARealEditAndClosesOnlyOnNoOrASuccessfulSave) {
    start();
    session->tune().rpm[2] = "3600";
    session->tune().rpm[2] = "3500";  // undone: no change
    EXPECT_TRUE(session->queryClose() && messages.shown.empty());
    // Yes, then the save dialog's answer: "" cancelled, or a file to write.
    const std::pair<const char*, bool> rows[] = {
        {"", false}, {"missing/c.cfg", false}, {"closing.cfg", true}};
    for (const auto& [savedAs, closes] : rows) {
        SCOPED_TRACE(savedAs);
        start();
        session->tune().staticTiming = "40.0";
        messages.answers.push_back(Answer::Yes);
        files.paths = {*savedAs ? path(savedAs) : ""};
        EXPECT_EQ(session->queryClose(), closes);
    }
    const auto& question = messages.shown.at(0);
    EXPECT_EQ(question.text, "The settings have been changed!\n\nDo you want to save the changes?");
    EXPECT_TRUE(question.title == "Volcrestone" && question.icon == Icon::Exclamation &&
                question.buttons == Buttons::YesNoCancel);
    std::ifstream saved(path("closing.cfg"), std::ios::binary);
    const std::string text{std::istreambuf_iterator<char>(saved), {}};
    EXPECT_NE(text.find("\"40.0\""), std::string::npos);
    EXPECT_FALSE(session->hasUnsavedChanges());
}

}  // namespace

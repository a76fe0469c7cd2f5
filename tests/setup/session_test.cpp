// The Session behind the Setup window, on a fake port, fake dialogs and real settings files.
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
#include "support/FakePlatform.h"
#include "tune/Edition.h"

namespace {

using Answer = platform::MessageBox::Answer;
using Buttons = platform::MessageBox::Buttons;
using Icon = platform::MessageBox::Icon;

// Records what the Session asks of the windows; whether the Dashboard shows is scripted.
struct RecordingView : setup::SessionView {
    int tuneShown = 0;
    double rpmLimit = -1;
    bool dashboard = false;
    void showTune() override { ++tuneShown; }
    bool dashboardVisible() const override { return dashboard; }
    void unloadDashboard() override { dashboard = false; }
    void setRpmUpperLimit(double rpm) override { rpmLimit = rpm; }
    void startRealtime() override { dashboard = true; }
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

TEST_F(SessionTest, rukAloneOpensItsFileDialogsInTheHomeFolder) {
    EXPECT_EQ(start(tune::Edition::RUK).defaultDir(), "/home/tuner");
    EXPECT_EQ(start(tune::Edition::QOLT).defaultDir(), "/work/current");
}

TEST_F(SessionTest, startupOpensTheRememberedPortOrCom1AndOnlyAnotherValidChoiceReopens) {
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
    s.realtime();
    port.vanish();
    messages.shown.clear();
    s.portLost();
    s.portLost();
    expectOnlyMessage("COM4 was disconnected.", Icon::Critical);
    EXPECT_FALSE(view.dashboard || s.realtimeEnabled() || s.uploadEnabled());
    s.choosePort(4);
    EXPECT_TRUE(port.isOpen() && s.uploadEnabled());
}

TEST_F(SessionTest, sendingWritesTheImageThenStoresItOrRefusesABrokenTuneOrAClosedPort) {
    start();
    session->tune().baseTiming[5] = "45";
    session->sendToController();
    expectOnlyMessage("Base Timing must be less than Static Timing!", Icon::Critical);
    EXPECT_EQ(messages.last().title, "Can not Download!");
    port.close();
    session->sendToController();
    EXPECT_EQ(messages.last().text, "COM1 is not open. Nothing was sent.");
    port.open(1);
    session->tune().baseTiming[5] = "30";
    session->sendToController();
    EXPECT_EQ(port.written.size(), 53u * 3 + 1);  // nothing went out before
    EXPECT_EQ(messages.last().text, "Download Done!");
}

TEST_F(SessionTest, loadFromControllerAfterAnEditAsksFirstAndOnlyOkSendsU) {
    start();
    session->tune().map[0] = "45";
    messages.answers = {Answer::Cancel, Answer::Ok};
    session->loadFromController();
    expectOnlyMessage(
        "The settings have been changed but not saved!\n\nUploading will overwrite your changes!",
        Icon::Exclamation);
    EXPECT_EQ(messages.last().buttons, Buttons::OkCancel);
    session->loadFromController();
    EXPECT_EQ(port.writtenText(), "U");  // once: the cancelled question sent nothing
}

TEST_F(SessionTest, aCompletedUploadShowsTheTuneButSendWaitsForTheEndOfDash) {
    start();
    session->realtime();
    EXPECT_FALSE(session->uploadEnabled());
    session->loadFromController();  // unedited: no question first
    std::vector<std::uint8_t> image(63, 0);
    image[45] = 120;  // rev limit 6000 rpm
    port.push(image);
    engine.tick();
    EXPECT_TRUE(session->tune().rpmLimit == "6000" && view.rpmLimit == 6000.0);
    EXPECT_TRUE(session->downloadAllowed() && !session->downloadEnabled());
    expectOnlyMessage("Upload Done!", Icon::Information);
    session->setExchangeEnabled(true);
    EXPECT_TRUE(session->uploadEnabled() && session->downloadEnabled());
}

TEST_F(SessionTest, savingWritesTheSettingsFileOrSaysWhyNotAndKeepsTheEditUnsaved) {
    start();
    files.paths.push_back(path("tune.cfg"));
    session->saveSettings();
    EXPECT_TRUE(files.requests.at(0).save && files.requests[0].folder == "/work/current");
    EXPECT_EQ(files.requests[0].filter, "CFG Files (*.cfg)|*.cfg|All Files (*.*)|*.*");
    expectOnlyMessage("Settings Saved!", Icon::Information);
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
    EXPECT_EQ(readFile("tune.cfg"), support::kBelStartupFile);
}

TEST_F(SessionTest, loadingShowsWhatItReadAndOnlyACompleteFileAllowsSending) {
    std::string nine = support::kBelStartupFile;
    nine.replace(nine.find("\"8\""), 3, "\"9\"");
    const std::string cut = nine.substr(0, nine.find("#FALSE#,#FALSE#,#TRUE#"));  // lines 1-5
    const std::tuple<const char*, const char*, Icon, const char*> rows[] = {
        {nine.c_str(), "Settings Loaded!", Icon::Information, "9"},
        {"[Settings]\r\nRPM=1000\r\n", "Not a Volcrestone Settings file!", Icon::Critical, "8"},
        {cut.c_str(), "Error trying to Load Settings!", Icon::Critical, "9"}};
    for (const auto& [content, message, icon, baseTiming0] : rows) {
        SCOPED_TRACE(message);
        start();
        std::ofstream(path("load.cfg"), std::ios::binary) << content;
        files.paths.push_back(path("load.cfg"));
        const int shownBefore = view.tuneShown;
        session->loadSettings();
        expectOnlyMessage(message, icon);
        EXPECT_EQ(session->tune().baseTiming[0], baseTiming0);
        const bool read = std::string(baseTiming0) == "9";
        EXPECT_EQ(view.tuneShown > shownBefore, read);
        EXPECT_EQ(session->hasUnsavedChanges(), read);
        EXPECT_EQ(session->downloadAllowed() && session->downloadEnabled(),
                  icon == Icon::Information);
    }
}

TEST_F(SessionTest, closingAsksToSaveARealEditAndClosesOnlyOnNoOrASuccessfulSave) {
    start();
    session->tune().rpm[2] = "3600";
    session->tune().rpm[2] = "3500";  // undone: no change
    EXPECT_TRUE(session->queryClose());
    EXPECT_TRUE(messages.shown.empty());
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
    EXPECT_NE(readFile("closing.cfg").find("\"40.0\""), std::string::npos);
    EXPECT_FALSE(session->hasUnsavedChanges());
}

}  // namespace

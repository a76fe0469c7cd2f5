// The program on the simulator's pseudo-terminal: its wiring in this process (the Qt port, the
// real settings store in a private folder, fake dialogs), then the built program as a process.
// Where the line goes away mid-exchange, answers garbage or crawls: one clear message, the
// windows keep answering, the Tune stays, and COM1 chosen again recovers.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <termios.h>
#include <unistd.h>

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <filesystem>
#include <memory>
#include <optional>

#include "app/Application.h"
#include "comlink/ui/NoCommWindow.h"
#include "comlink/ui/S19Window.h"
#include "dialogs/ui/About.h"
#include "platform/QtSerialPort.h"
#include "platform/QtSettingsStore.h"
#include "platform/SingleInstance.h"
#include "platform/SystemClock.h"
#include "setup/ui/Ignition.h"
#include "support/FakePlatform.h"
#include "support/Processes.h"
#include "tune/SettingsText.h"

namespace {

constexpr int kPatienceMs = 15000;  // a loaded machine; a healthy run needs well under a second
constexpr const char* kGone = "COM1 was disconnected.";

class ProgramOnTheSimulator : public testing::Test {
protected:
    ProgramOnTheSimulator() {
        // Qt fixes the settings folder on first use, so it is chosen once per test process.
        static const QTemporaryDir config;
        qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit());
        qputenv("VOLCRESTONE_COM1", QByteArray::fromStdString(link_));
    }
    // A controller on COM1's link, in place of the one before.
    void plugIn(std::vector<std::string> arguments) {
        arguments.insert(arguments.end(), {"--link", link_});
        sim.emplace(arguments);
    }
    void startProgram() {
        program = std::make_unique<app::Application>(
            tune::editionInfo(tune::Edition::BEL),
            app::Platform{port, store, clock, events, messages, files, colors}, "/tmp");
        port.setOnVanished([this] { program->session().portLost(); });
        program->start();
    }

    template <typename T>
    T* setup(const char* name) {
        return program->ignition().findChild<T*>(name);
    }
    void click(const char* button) {
        QTest::mouseClick(setup<QPushButton>(button), Qt::LeftButton);
    }
    bool shown(const std::string& text) const {
        return !messages.shown.empty() && messages.last().text == text;
    }
    // Waits for `text` as the newest message; then nothing else may follow while a lost
    // answer's time-out would have come and gone, and NoComm stays hidden.
    void expectOnlyNewMessage(const std::string& text, std::size_t before) {
        ASSERT_TRUE(QTest::qWaitFor([&] { return shown(text); }, kPatienceMs))
            << (messages.shown.empty() ? "no message" : messages.last().text);
        EXPECT_FALSE(QTest::qWaitFor(
            [&] { return messages.shown.size() > before + 1 || program->noComm().isVisible(); },
            1500));
        EXPECT_EQ(messages.shown.size(), before + 1) << messages.last().text;
        EXPECT_EQ(messages.last().icon, platform::MessageBox::Icon::Critical);
        EXPECT_EQ(messages.last().title, "Volcrestone");
    }
    // A fresh controller on the same link, COM1 chosen from the menu, and an upload that works.
    void recoverAndUpload() {
        plugIn({});
        setup<QAction>("mCOM1")->trigger();
        ASSERT_TRUE(QTest::qWaitFor([&] { return setup<QPushButton>("cmdUpload")->isEnabled(); },
                                    kPatienceMs));
        click("cmdUpload");
        EXPECT_TRUE(QTest::qWaitFor([&] { return shown("Upload Done!"); }, kPatienceMs))
            << messages.last().text;
    }

    support::ScratchFolder folder;
    const std::string link_ = folder.path("ttyCOM1");
    std::optional<support::SimProcess> sim;
    platform::QtSettingsStore store{"Volcrestone"};
    platform::QtSerialPort port{store};
    platform::SystemClock clock;
    platform::QtEventPump events;
    support::FakeMessageBox messages;
    support::FakeFileDialog files;
    support::FakeColorDialog colors;
    std::unique_ptr<app::Application> program;
};

TEST_F(ProgramOnTheSimulator, opensComOneThereAboutShowsItsRevisionAndLoadEndsWithUploadDone) {
    plugIn({});
    startProgram();
    program->about().Display();
    auto* line = program->about().findChild<QLabel*>("lblFirmware");
    EXPECT_TRUE(QTest::qWaitFor([&] { return line->text() == "Firmware RevNum: 0A"; }, kPatienceMs))
        << line->text().toStdString();
    program->about().hide();
    click("cmdUpload");
    ASSERT_TRUE(QTest::qWaitFor([&] { return !messages.shown.empty(); }, kPatienceMs));
    EXPECT_EQ(messages.last().text, "Upload Done!");
    EXPECT_EQ(messages.last().icon, platform::MessageBox::Icon::Information);
    EXPECT_FALSE(program->noComm().isVisible());
}

TEST(ProgramProcess, startsOnTheSimulatorAndASecondInstanceEndsSilently) {
    support::ScratchFolder folder;
    support::SimProcess sim;
    const auto startProgram = [&] {
        return support::runToEnd(VOLCRESTONE_APP_PATH, {},
                                 {{"XDG_CONFIG_HOME", folder.path("config")},
                                  {"QT_QPA_PLATFORM", "offscreen"},
                                  {"VOLCRESTONE_COM1", sim.devicePath()},
                                  {"VOLCRESTONE_STARTUP_PROBE", "1"}});  // leave once shown
    };
    const support::Finished first = startProgram();
    EXPECT_EQ(first.exitCode, 0) << first.err;
    EXPECT_EQ(first.out, "shown\n");
    const platform::SingleInstance running(folder.path("config/Volcrestone"));
    ASSERT_FALSE(running.anotherInstanceRunning());
    const support::Finished second = startProgram();
    EXPECT_EQ(second.exitCode, 0);
    EXPECT_EQ(second.out, "");
}

using PulledCable = ProgramOnTheSimulator;

TEST_F(PulledCable, duringAnUploadSaysSoOnceKeepsTheEditedTuneAndChoosingCom1AgainRecovers) {
    plugIn({"--vanish-after", "1"});
    startProgram();
    program->session().tune().rpmLimit = "5500";
    const std::string edited = tune::settingStr(program->session().tune());
    click("cmdUpload");  // "U" is the one byte the controller takes; its image never comes
    expectOnlyNewMessage(kGone, 1);  // after the unsaved-changes question
    EXPECT_EQ(tune::settingStr(program->session().tune()), edited);
    EXPECT_FALSE(setup<QPushButton>("cmdUpload")->isEnabled());
    EXPECT_TRUE(setup<QAction>("mCOM1")->isChecked());

    recoverAndUpload();
    EXPECT_EQ(program->session().tune().rpmLimit, "1200");
}

TEST_F(PulledCable, duringTheDashboardStreamUnloadsItSaysSoOnceAndLeavesTheLinkFreeAfterwards) {
    // The third frame is out of step, so the program sends "N": the second byte, and the last.
    plugIn({"--out-of-step", "3", "--vanish-after", "2"});
    startProgram();
    click("cmdRealtime");
    ASSERT_TRUE(QTest::qWaitFor([&] { return program->live().dashboardVisible(); }, kPatienceMs));
    expectOnlyNewMessage(kGone, 0);
    EXPECT_FALSE(program->live().dashboardVisible());
    EXPECT_EQ(program->engine().mode(), 0) << "the stream would keep the link from any command";

    recoverAndUpload();
    click("cmdRealtime");
    EXPECT_TRUE(QTest::qWaitFor([&] { return program->live().dashboardVisible(); }, kPatienceMs));
}

TEST_F(PulledCable, duringAFirmwareUpdateLogsWhereItStoppedSaysSoOnceAndGivesTheButtonBack) {
    std::string s19;
    for (int line = 0; line < 60; ++line)
        s19 += "S1130000FFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFEC\r\n";
    // "!", CR and "u", one whole line and the first byte of the next.
    plugIn({"--vanish-after", std::to_string(3 + 43 + 1)});
    startProgram();
    setup<QAction>("mS19")->trigger();
    comlink::S19Window& window = *program->firmwareWindow();
    window.findChild<QLineEdit*>("tbPath")->setText(
        QString::fromStdString(folder.write("fw.s19", s19 + "S9030000FC\r\n")));
    auto* downLoad = window.findChild<QPushButton*>("cmdDownLoad");
    QTest::mouseClick(downLoad, Qt::LeftButton);
    expectOnlyNewMessage(kGone, 0);
    ASSERT_TRUE(QTest::qWaitFor([&] { return downLoad->isEnabled(); }, kPatienceMs));
    auto* log = window.findChild<QListWidget*>("List1");
    const QString last = log->item(log->count() - 1)->text();
    EXPECT_TRUE(last.startsWith("** PORT LOST! Stopped after ")) << last.toStdString();
}

TEST_F(PulledCable, duringASendWhoseBytesWaitOnTheLineSaysOnceThatTheSettingsWereNotStored) {
    plugIn({"--store", folder.path("stored")});
    startProgram();
    click("cmdUpload");
    ASSERT_TRUE(QTest::qWaitFor([&] { return shown("Upload Done!"); }, kPatienceMs));
    // A pseudo-terminal takes any write at once; stopped, it keeps the Tune in the program's
    // queue as a dying adapter would, until the line goes.
    const int line = ::open(link_.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    ASSERT_EQ(::tcflow(line, TCOOFF), 0);
    QTimer::singleShot(300, [this] { sim->stop(); });
    click("cmdDownLoad");
    expectOnlyNewMessage("COM1 stopped while sending. The settings were not stored.", 1);
    ::close(line);
    EXPECT_FALSE(std::filesystem::exists(folder.path("stored")));
    recoverAndUpload();
}

TEST_F(PulledCable, aControllerAnsweringGarbageOrCrawlingGetsAnUploadDoneOrNoCommAndNoFreeze) {
    plugIn({"--answer-garbage"});
    startProgram();
    // Garbage of the right length is an image like any other: the protocol has no checksum.
    click("cmdUpload");
    ASSERT_TRUE(QTest::qWaitFor([&] { return shown("Upload Done!"); }, kPatienceMs));
    EXPECT_TRUE(setup<QPushButton>("cmdDownLoad")->isEnabled());

    // At 96 bytes a second the 63-byte image takes longer than the five ticks an upload waits.
    plugIn({"--slow"});
    ASSERT_TRUE(QTest::qWaitFor([&] { return shown(kGone); }, kPatienceMs));
    setup<QAction>("mCOM1")->trigger();
    const std::string before = tune::settingStr(program->session().tune());
    click("cmdUpload");  // past the question about the garbage Tune's unsaved changes
    const std::size_t count = messages.shown.size();
    EXPECT_TRUE(QTest::qWaitFor([&] { return program->noComm().isVisible(); }, kPatienceMs));
    EXPECT_EQ(messages.shown.size(), count);
    // The rest of the image straggles in afterwards and is dropped; the Tune stays.
    EXPECT_TRUE(QTest::qWaitFor([&] { return !program->noComm().isVisible(); }, kPatienceMs));
    EXPECT_EQ(tune::settingStr(program->session().tune()), before);
    EXPECT_TRUE(setup<QPushButton>("cmdUpload")->isEnabled());
}

}  // namespace

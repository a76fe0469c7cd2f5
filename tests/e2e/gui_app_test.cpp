// The program on the simulator's pseudo-terminal, as a process and wired in this one (Qt port, real
// settings store, fake dialogs). A line that goes away, answers garbage or crawls gives one clear
// message, the windows keep answering, the Tune stays, and COM1 chosen again recovers.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <termios.h>
#include <unistd.h>

#include <QAction>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <filesystem>
#include <memory>
#include <optional>
#include <tuple>

#include "app/Application.h"
#include "comlink/ui/NoCommWindow.h"
#include "comlink/ui/S19Window.h"
#include "platform/FakePlatform.h"
#include "platform/QtSerialPort.h"
#include "platform/QtSettingsStore.h"
#include "platform/SingleInstance.h"
#include "platform/SystemClock.h"
#include "setup/ui/Ignition.h"
#include "support/Processes.h"
#include "tune/SettingsFile.h"
#include "tune/SettingsText.h"

namespace {

constexpr const char* kGone = "COM1 was disconnected.";

bool waitFor(const std::function<bool()>& done) {
    return QTest::qWaitFor(done, support::kPatienceMs);
}

class PulledCable : public testing::Test {
protected:
    PulledCable() {
        // Qt fixes the settings folder on first use, so it is chosen once per test process.
        static const QTemporaryDir config;
        qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit());
        qputenv("VOLCRESTONE_COM1", QByteArray::fromStdString(link_));
        qputenv("XDG_DATA_HOME", QByteArray::fromStdString(folder.path("data")));
    }
    // A controller on COM1's link, in place of the one before.
    void plugIn(std::vector<std::string> arguments) {
        arguments.insert(arguments.end(), {"--link", link_});
        sim.emplace(arguments);
    }
    void startProgram(const std::vector<std::string>& controller) {
        plugIn(controller);
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
        ASSERT_TRUE(waitFor([&] { return shown(text); }))
            << (messages.shown.empty() ? "no message" : messages.last().text);
        EXPECT_FALSE(QTest::qWaitFor(
            [&] { return messages.shown.size() > before + 1 || program->noComm().isVisible(); },
            1500));
        EXPECT_EQ(messages.shown.size(), before + 1) << messages.last().text;
    }
    // A fresh controller on the same link, COM1 chosen from the menu, and an upload that works.
    void recoverAndUpload() {
        plugIn({});
        setup<QAction>("mCOM1")->trigger();
        ASSERT_TRUE(waitFor([&] { return setup<QPushButton>("cmdUpload")->isEnabled(); }));
        click("cmdUpload");
        EXPECT_TRUE(waitFor([&] { return shown("Upload Done!"); })) << messages.last().text;
    }

    support::ScratchFolder folder;
    const std::string link_ = folder.path("ttyCOM1");
    std::optional<support::SimProcess> sim;
    platform::QtSettingsStore store{"Volcrestone"};
    platform::QtSerialPort port{store};
    platform::SystemClock clock;
    platform::QtEventPump events;
    platform::FakeMessageBox messages;
    platform::FakeFileDialog files;
    platform::FakeColorDialog colors;
    std::unique_ptr<app::Application> program;
};

TEST(ProgramProcess, startsOnTheSimulatorAndASecondInstanceEndsSilently) {
    support::ScratchFolder folder;
    support::SimProcess sim;
    const auto startProgram = [&](const std::string& configFolder = "config") {
        return support::runToEnd(VOLCRESTONE_APP_PATH, {},
                                 {{"XDG_CONFIG_HOME", folder.path(configFolder)},
                                  {"QT_QPA_PLATFORM", "offscreen"},
                                  {"VOLCRESTONE_COM1", sim.devicePath()},
                                  {"VOLCRESTONE_STARTUP_PROBE", "1"}});  // leave once shown
    };
    const support::Finished first = startProgram();
    EXPECT_EQ(std::tie(first.exitCode, first.out), std::tuple(0, "shown\n")) << first.err;
    const platform::SingleInstance running(folder.path("config/Volcrestone"));
    ASSERT_FALSE(running.anotherInstanceRunning());
    const support::Finished second = startProgram();
    EXPECT_EQ(std::tie(second.exitCode, second.out), std::tuple(0, ""));
    // A settings folder that cannot be made is no other instance: the program still starts.
    folder.write("file", "");
    const support::Finished unwritable = startProgram("file/config");
    EXPECT_EQ(std::tie(unwritable.exitCode, unwritable.out), std::tuple(0, "shown\n"));
}

TEST_F(PulledCable, duringAnUploadSaysSoOnceKeepsTheEditedTuneAndChoosingCom1AgainRecovers) {
    startProgram({"--vanish-after", "1"});
    program->session().tune().rpmLimit = "5500";
    const std::string edited = tune::settingStr(program->session().tune());
    click("cmdUpload");  // "U" is the one byte the controller takes; its image never comes
    expectOnlyNewMessage(kGone, 1);  // after the unsaved-changes question
    EXPECT_EQ(tune::settingStr(program->session().tune()), edited);
    EXPECT_FALSE(setup<QPushButton>("cmdUpload")->isEnabled());

    recoverAndUpload();
    EXPECT_EQ(program->session().tune().rpmLimit, "1200");
}

TEST_F(PulledCable, duringTheDashboardStreamUnloadsItSaysSoOnceAndLeavesTheLinkFreeAfterwards) {
    // The third frame is out of step, so the program sends "N": the second byte, and the last.
    startProgram({"--out-of-step", "3", "--vanish-after", "2"});
    click("cmdRealtime");
    ASSERT_TRUE(waitFor([&] { return program->live().dashboardVisible(); }));
    expectOnlyNewMessage(kGone, 0);
    EXPECT_FALSE(program->live().dashboardVisible());

    recoverAndUpload();
    click("cmdRealtime");
    EXPECT_TRUE(waitFor([&] { return program->live().dashboardVisible(); }));
}

TEST_F(PulledCable, duringAFirmwareUpdateLogsWhereItStoppedSaysSoOnceAndGivesTheButtonBack) {
    // "!", CR and "u", one whole line and the first byte of the next.
    startProgram({"--vanish-after", std::to_string(3 + 43 + 1)});
    setup<QAction>("mS19")->trigger();
    comlink::S19Window& window = *program->firmwareWindow();
    window.findChild<QLineEdit*>("tbPath")->setText(
        QString::fromStdString(folder.write("fw.s19", support::fillerFirmware(60))));
    auto* downLoad = window.findChild<QPushButton*>("cmdDownLoad");
    QTest::mouseClick(downLoad, Qt::LeftButton);
    expectOnlyNewMessage(kGone, 0);
    ASSERT_TRUE(waitFor([&] { return downLoad->isEnabled(); }));
    auto* log = window.findChild<QListWidget*>("List1");
    const QString last = log->item(log->count() - 1)->text();
    EXPECT_TRUE(last.startsWith("** PORT LOST! Stopped after ")) << last.toStdString();
}

TEST_F(PulledCable, duringASendWhoseBytesWaitOnTheLineSaysOnceThatTheSettingsWereNotStored) {
    startProgram({"--store", folder.path("stored")});
    click("cmdUpload");
    ASSERT_TRUE(waitFor([&] { return shown("Upload Done!"); }));
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
    startProgram({"--answer-garbage"});
    // Garbage of the right length is an image like any other: the protocol has no checksum.
    click("cmdUpload");
    ASSERT_TRUE(waitFor([&] { return shown("Upload Done!"); }));
    // Kept in the history as "&Save Settings..." would have saved it.
    const auto kept = std::filesystem::directory_iterator(folder.path("data/Volcrestone/history"));
    ASSERT_NE(kept, std::filesystem::directory_iterator());
    EXPECT_EQ(support::readFile(kept->path()),
              tune::settingsFileText(program->session().tune(), "BEL"));

    // At 40 bytes a second the 63-byte image takes over three times the five ticks an upload
    // waits, so it times out even when a loaded machine stretches the ticks.
    plugIn({"--slow-rate", "40"});
    ASSERT_TRUE(waitFor([&] { return shown(kGone); }));
    setup<QAction>("mCOM1")->trigger();
    const std::string before = tune::settingStr(program->session().tune());
    click("cmdUpload");  // past the question about the garbage Tune's unsaved changes
    const std::size_t count = messages.shown.size();
    EXPECT_TRUE(waitFor([&] { return program->noComm().isVisible(); }));
    EXPECT_EQ(messages.shown.size(), count);
    // The rest of the image straggles in afterwards and is dropped; the Tune stays.
    EXPECT_TRUE(waitFor([&] { return !program->noComm().isVisible(); }));
    EXPECT_EQ(tune::settingStr(program->session().tune()), before);
    EXPECT_TRUE(setup<QPushButton>("cmdUpload")->isEnabled());
}

}  // namespace

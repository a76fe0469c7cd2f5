// The program on the simulator's pseudo-terminal: its wiring in this process (the Qt port, the
// real settings store in a private folder, fake dialogs), then the built program as a process.
#include <gtest/gtest.h>

#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

#include "app/Application.h"
#include "dialogs/ui/About.h"
#include "comlink/ui/NoCommWindow.h"
#include "comlink/ui/SerialWindow.h"
#include "platform/QtSerialPort.h"
#include "platform/QtSettingsStore.h"
#include "platform/SingleInstance.h"
#include "platform/SystemClock.h"
#include "setup/ui/Ignition.h"
#include "support/FakePlatform.h"
#include "support/Processes.h"

namespace {

constexpr int kPatienceMs = 5000;

class OnTheSimulator {
public:
    explicit OnTheSimulator(const std::vector<std::string>& simArguments) : sim(simArguments) {
        // Qt fixes the settings folder on first use, so it is chosen once per test process.
        static const QTemporaryDir config;
        qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit());
        qputenv("VOLCRESTONE_COM1", QByteArray::fromStdString(sim.devicePath()));
        program = std::make_unique<app::Application>(
            tune::editionInfo(tune::Edition::BEL),
            app::Platform{port, store, clock, events, messages, files, colors}, "/tmp");
        program->start();
    }

    support::SimProcess sim;
    platform::QtSettingsStore store{"Volcrestone"};
    platform::QtSerialPort port{store};
    platform::SystemClock clock;
    platform::QtEventPump events;
    support::FakeMessageBox messages;
    support::FakeFileDialog files;
    support::FakeColorDialog colors;
    std::unique_ptr<app::Application> program;
};

TEST(ProgramOnTheSimulator, opensComOneThereAboutShowsItsRevisionAndLoadEndsWithUploadDone) {
    OnTheSimulator run({});
    run.program->about().Display();
    auto* line = run.program->about().findChild<QLabel*>("lblFirmware");
    EXPECT_TRUE(QTest::qWaitFor([&] { return line->text() == "Firmware RevNum: 0A"; }, kPatienceMs))
        << line->text().toStdString();
    run.program->about().hide();
    QTest::mouseClick(run.program->ignition().findChild<QPushButton*>("cmdUpload"), Qt::LeftButton);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !run.messages.shown.empty(); }, kPatienceMs));
    EXPECT_EQ(run.messages.last().text, "Upload Done!");
    EXPECT_EQ(run.messages.last().icon, platform::MessageBox::Icon::Information);
    EXPECT_FALSE(run.program->noComm().isVisible());
}

TEST(ProgramOnTheSimulator, aSilentControllerBringsUpNoComm) {
    OnTheSimulator run({"--silent"});
    QTest::mouseClick(run.program->serialWindow().findChild<QPushButton*>("cmdAt"), Qt::LeftButton);
    EXPECT_FALSE(run.program->noComm().isVisible());
    EXPECT_TRUE(QTest::qWaitFor([&] { return run.program->noComm().isVisible(); }, kPatienceMs));
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

}  // namespace

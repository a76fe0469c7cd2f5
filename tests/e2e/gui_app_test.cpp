// The program's wiring on a real serial line: the Qt port on the simulator's pseudo-terminal,
// the real settings store in a private configuration folder, fake message and file dialogs.
#include <gtest/gtest.h>

#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

#include "app/Application.h"
#include "dialogs/ui/About.h"
#include "link/ui/NoCommWindow.h"
#include "link/ui/SerialWindow.h"
#include "platform/QtSerialPort.h"
#include "platform/QtSettingsStore.h"
#include "platform/SystemClock.h"
#include "setup/ui/Ignition.h"
#include "support/FakeDialogs.h"
#include "support/SimProcess.h"

namespace {

constexpr int kPatienceMs = 5000;

// Qt fixes the settings folder on first use, so it is chosen once per test process.
void useOwnConfigFolder() {
    static QTemporaryDir folder;
    qputenv("XDG_CONFIG_HOME", folder.path().toLocal8Bit());
}

class OnTheSimulator {
public:
    explicit OnTheSimulator(const std::vector<std::string>& simArguments) : sim(simArguments) {
        useOwnConfigFolder();
        qputenv("VOLCRESTONE_COM1", QByteArray::fromStdString(sim.devicePath()));
        program = std::make_unique<app::Application>(
            tune::editionInfo(tune::Edition::BEL),
            app::Platform{port, store, clock, events, messages, files}, "/tmp");
        program->start();
    }

    bool uploadDone() const {
        for (const auto& m : messages.shown) {
            if (m.text == "Upload Done!")
                return true;
        }
        return false;
    }

    support::SimProcess sim;
    platform::QtSettingsStore store{"Volcrestone"};
    platform::QtSerialPort port{store};
    platform::SystemClock clock;
    platform::QtEventPump events;
    support::FakeMessageBox messages;
    support::FakeFileDialog files;
    std::unique_ptr<app::Application> program;
};

TEST(ProgramOnTheSimulator, opensComOneOnTheSimulatorsDeviceAndAboutShowsItsRevision) {
    OnTheSimulator run({});
    EXPECT_TRUE(run.port.isOpen());
    EXPECT_TRUE(run.messages.shown.empty());
    EXPECT_EQ(run.store.read("Config", "Port", ""), "1");
    run.program->about().Display();
    auto* line = run.program->about().findChild<QLabel*>("lblFirmware");
    EXPECT_TRUE(QTest::qWaitFor([&] { return line->text() == "Firmware RevNum: 0A"; }, kPatienceMs))
        << line->text().toStdString();
}

TEST(ProgramOnTheSimulator, loadFromControllerEndsWithUploadDone) {
    OnTheSimulator run({});
    auto* load = run.program->ignition().findChild<QPushButton*>("cmdUpload");
    ASSERT_NE(load, nullptr);
    QTest::mouseClick(load, Qt::LeftButton);
    ASSERT_TRUE(QTest::qWaitFor([&] { return run.uploadDone(); }, kPatienceMs));
    const auto& done = run.messages.last();
    EXPECT_EQ(done.title, "Volcrestone");
    EXPECT_EQ(done.icon, platform::MessageBox::Icon::Information);
    EXPECT_TRUE(run.program->session().downloadAllowed());
    EXPECT_FALSE(run.program->noComm().isVisible());
}

TEST(ProgramOnTheSimulator, aSilentControllerBringsUpNoComm) {
    OnTheSimulator run({"--silent"});
    QTest::mouseClick(run.program->serialWindow().findChild<QPushButton*>("cmdAt"), Qt::LeftButton);
    EXPECT_FALSE(run.program->noComm().isVisible());
    EXPECT_TRUE(QTest::qWaitFor([&] { return run.program->noComm().isVisible(); }, kPatienceMs));
    EXPECT_EQ(run.program->engine().mode(), 0);
}

TEST(ProgramOnTheSimulator, closingTheSetupWindowClosesThePort) {
    OnTheSimulator run({});
    ASSERT_TRUE(run.port.isOpen());
    EXPECT_TRUE(run.program->ignition().close());
    EXPECT_TRUE(QTest::qWaitFor([&] { return !run.port.isOpen(); }, kPatienceMs));
}

}  // namespace

// The whole program built with fake platform services: what the engine reports reaches the
// right window, and closing the Setup window unloads the rest.
#include <gtest/gtest.h>

#include <QAction>
#include <QCoreApplication>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include "app/Application.h"
#include "dialogs/ui/About.h"
#include "link/ui/NoCommWindow.h"
#include "link/ui/SerialWindow.h"
#include "setup/ui/Ignition.h"
#include "support/FakeDialogs.h"
#include "support/FakePlatform.h"

namespace {

class Wiring : public ::testing::Test {
protected:
    Wiring() { program.start(); }

    void ticks(int n) {
        for (int i = 0; i < n; ++i)
            program.engine().tick();
    }
    void click(const char* name) {
        QTest::mouseClick(program.serialWindow().findChild<QPushButton*>(name), Qt::LeftButton);
    }
    bool noCommShown() { return program.noComm().isVisible(); }
    QString firmwareLine() { return program.about().findChild<QLabel*>("lblFirmware")->text(); }

    support::FakeSerialPort port;
    support::FakeSettingsStore store;
    support::FakeClock clock;
    support::FakeEventPump pump{&port};
    support::FakeMessageBox messages;
    support::FakeFileDialog files;
    app::Application program{
        tune::editionInfo(tune::Edition::BEL), {port, store, clock, pump, messages, files}, "/tmp"};
};

TEST_F(Wiring, startUpOpensTheRememberedPortAndShowsTheLinkWindow) {
    EXPECT_EQ(port.openedNumbers, std::vector<int>{1});
    EXPECT_TRUE(program.serialWindow().isVisible());
    EXPECT_TRUE(program.ignition().isVisible());
    EXPECT_FALSE(program.about().isVisible());
    EXPECT_FALSE(noCommShown());
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(Wiring, noCommShowsOnTheFifthTickWithoutAnAnswerAndAnyByteHidesIt) {
    click("cmdC");
    ticks(4);
    EXPECT_FALSE(noCommShown());
    ticks(1);
    EXPECT_TRUE(noCommShown());
    EXPECT_EQ(program.noComm().windowTitle(), "Volcrestone");
    port.push(std::vector<std::uint8_t>{0x42});
    ticks(1);
    EXPECT_FALSE(noCommShown());
}

TEST_F(Wiring, modeAndARealtimeBlockShowOnTheLinkWindow) {
    click("cmdAt");
    std::vector<std::uint8_t> block(30, 7);
    block[1] = 10;
    port.push(block);
    ticks(1);
    auto& window = program.serialWindow();
    EXPECT_EQ(window.findChild<QLabel*>("lbValue0")->text(), "7");
    EXPECT_EQ(window.findChild<QLabel*>("lbValue1")->text(), "$0A");
    click("cmdQ");
    ticks(1);
    EXPECT_EQ(window.findChild<QLabel*>("lblMode")->text(), "81");
}

TEST_F(Wiring, theAboutMenuEntryAsksForTheRevisionAndTheAnswerReachesTheBox) {
    auto* entry = program.ignition().findChild<QAction*>("mAbout");
    ASSERT_NE(entry, nullptr);
    entry->trigger();
    EXPECT_TRUE(program.about().isVisible());
    EXPECT_EQ(port.writtenText(), "Q");
    port.push(std::vector<std::uint8_t>{10});
    ticks(1);
    EXPECT_EQ(firmwareLine(), "Firmware RevNum: 0A");
}

TEST_F(Wiring, anUnansweredRevisionShowsTheNoticeOnlyWithAboutClosed) {
    program.about().Display();
    ticks(6);
    EXPECT_FALSE(noCommShown());
    EXPECT_EQ(firmwareLine(), "Firmware RevNum: ??");
    EXPECT_EQ(program.engine().mode(), 0);
    program.about().hide();
    click("cmdQ");
    ticks(5);
    EXPECT_TRUE(noCommShown());
}

TEST_F(Wiring, closingTheSetupWindowUnloadsEverythingAndClosesThePort) {
    QSignalSpy finished(&program, &app::Application::finished);
    EXPECT_TRUE(program.ignition().close());
    QCoreApplication::processEvents();
    EXPECT_EQ(finished.count(), 1);
    EXPECT_FALSE(port.isOpen());
    // A tick after the end must not reach the unloaded windows.
    program.engine().tick();
}

TEST_F(Wiring, aRefusedCloseKeepsEverythingLoaded) {
    program.session().tune().text(tune::Single::Static) = "33";
    messages.answers.push_back(platform::MessageBox::Answer::Cancel);
    QSignalSpy finished(&program, &app::Application::finished);
    EXPECT_FALSE(program.ignition().close());
    QCoreApplication::processEvents();
    EXPECT_EQ(finished.count(), 0);
    EXPECT_TRUE(port.isOpen());
    EXPECT_TRUE(program.serialWindow().isVisible());
}

}  // namespace

// The whole program built with fake platform services, its windows driven with Qt Test: the
// link window's buttons, what the engine reports, the About box and closing the Setup window.
#include <gtest/gtest.h>

#include <QAction>
#include <QCoreApplication>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <tuple>
#include <utility>

#include "app/Application.h"
#include "dialogs/ui/About.h"
#include "comlink/ui/NoCommWindow.h"
#include "comlink/ui/SerialWindow.h"
#include "setup/ui/Ignition.h"
#include "support/FakeProgram.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

class ProgramWindows : public ::testing::Test, protected support::FakeServices {
protected:
    ProgramWindows() { program.start(); }

    void ticks(int n) {
        for (int i = 0; i < n; ++i)
            program.engine().tick();
    }
    void click(const char* name) {
        QTest::mouseClick(program.serialWindow().findChild<QPushButton*>(name), Qt::LeftButton);
    }
    bool noCommShown() { return program.noComm().isVisible(); }
    QString label(const char* name) {
        return program.serialWindow().findChild<QLabel*>(name)->text();
    }
    QString firmwareLine() { return program.about().findChild<QLabel*>("lblFirmware")->text(); }

    app::Application program{tune::editionInfo(tune::Edition::BEL), platform(), "/tmp"};
};

TEST_F(ProgramWindows, startUpShowsBothWindowsAndNoCommAppearsOnTheFifthSilentTickUntilAByteComes) {
    EXPECT_EQ(port.openedNumbers, std::vector<int>{1});
    EXPECT_TRUE(program.serialWindow().isVisible() && program.ignition().isVisible());
    EXPECT_FALSE(program.about().isVisible() || noCommShown());
    click("cmdC");
    ticks(4);
    EXPECT_FALSE(noCommShown());
    ticks(1);
    EXPECT_TRUE(noCommShown());
    comlink::NoCommWindow& notice = program.noComm();
    EXPECT_EQ(notice.windowTitle(), "Volcrestone");
    EXPECT_EQ(notice.findChild<QLabel*>("Label1")->text(), "No Response from Controller!");
    EXPECT_FALSE(notice.isModal());
    port.push(Bytes{0x42});
    ticks(1);
    EXPECT_FALSE(noCommShown());
    notice.showAndRaise();
    QPushButton* ok = notice.findChild<QPushButton*>("Command1");
    EXPECT_EQ(ok->text(), "OK");
    QTest::mouseClick(ok, Qt::LeftButton);
    EXPECT_FALSE(noCommShown());
}

TEST_F(ProgramWindows, theLinkWindowNamesItsCellsShowsModeAndBlockAndClosingItOnlyMinimisesIt) {
    comlink::SerialWindow& window = program.serialWindow();
    EXPECT_EQ(window.windowTitle(), "Volcrestone Interface");
    EXPECT_EQ(label("Label20"), "Timing Controller");
    EXPECT_EQ(label("lblModeTitle"), "MODE");
    EXPECT_EQ(label("lblMode"), "0");
    const std::pair<const char*, const char*> names[] = {
        {"lblName0", "secl"}, {"lblName12", "rpm_hi"}, {"lblName29", "bspot3"}};
    for (const auto& [name, text] : names)
        EXPECT_EQ(label(name), text);
    click("cmdAt");
    Bytes block(30, 7);
    block[1] = 10;
    port.push(block);
    ticks(1);
    EXPECT_EQ(label("lbValue0"), "7");
    EXPECT_EQ(label("lbValue1"), "$0A");
    click("cmdQ");
    ticks(1);
    EXPECT_EQ(label("lblMode"), "81");
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    EXPECT_FALSE(window.close());
    EXPECT_TRUE(window.isVisible() && window.isMinimized() && port.isOpen());
}

TEST_F(ProgramWindows, linkButtonsCarryTheirCaptionAndSendTheirCommandOnlyWhileThePortIsOpen) {
    // Monitoring goes on until N stops it; every other command gives up unanswered.
    const std::tuple<const char*, const char*, const char*> buttons[] = {
        {"cmdQ", "Q: REVNUM", "Q"}, {"cmdM", "M: Mon On", "M"},        {"cmdN", "N: Mon Off", "N"},
        {"cmdU", "U: Upload", "U"}, {"cmdBoot", "!: Bootloader", "!"}, {"cmdAt", "@: Vars", "@"},
        {"cmdC", "C: SECL", "C"}};
    for (const auto& [name, caption, sent] : buttons) {
        SCOPED_TRACE(name);
        EXPECT_EQ(program.serialWindow().findChild<QPushButton*>(name)->text(), caption);
        port.clearWritten();
        click(name);
        EXPECT_EQ(port.writtenText(), sent);
        ticks(6);
    }
    port.close();
    port.clearWritten();
    for (const auto& [name, caption, sent] : buttons)
        click(name);
    ticks(6);
    EXPECT_TRUE(port.written.empty());
    EXPECT_EQ(program.engine().mode(), 0);
}

TEST_F(ProgramWindows, aboutAsksOnceForTheRevisionAndAfreshAfterOkWithoutNoCommWhileItShows) {
    dialogs::About& about = program.about();
    EXPECT_EQ(about.windowTitle(), "About");
    const std::pair<const char*, const char*> texts[] = {
        {"lblAppName", "Volcrestone"},
        {"Label1", "Timing  Controller TEST ver3."},
        {"lblVersion", "Version 1.0.0 BEL"},
        {"mOK", "OK"}};
    for (const auto& [name, text] : texts)
        EXPECT_EQ(about.findChild<QWidget*>(name)->property("text").toString(), text) << name;
    program.ignition().findChild<QAction*>("mAbout")->trigger();
    about.Display();
    EXPECT_TRUE(about.isVisible());
    EXPECT_EQ(port.writtenText(), "Q");
    port.push(Bytes{0xAB});
    ticks(1);
    EXPECT_EQ(firmwareLine(), "Firmware RevNum: AB");
    QTest::mouseClick(about.findChild<QPushButton*>("mOK"), Qt::LeftButton);
    EXPECT_FALSE(about.isVisible());
    about.Display();
    EXPECT_EQ(port.writtenText(), "QQ");
    ticks(6);  // unanswered while the box shows: it keeps "??" and no notice comes up
    EXPECT_EQ(firmwareLine(), "Firmware RevNum: ??");
    EXPECT_FALSE(noCommShown());
    about.hide();
    port.close();
    about.Display();  // with the port closed it asks nothing
    EXPECT_EQ(port.writtenText(), "QQ");
}

TEST_F(ProgramWindows, closingTheSetupWindowUnloadsEverythingUnlessTheCloseIsRefused) {
    QSignalSpy finished(&program, &app::Application::finished);
    program.session().tune().text(tune::Single::Static) = "33";
    messages.answers = {platform::MessageBox::Answer::Cancel, platform::MessageBox::Answer::No};
    EXPECT_FALSE(program.ignition().close());
    QCoreApplication::processEvents();
    EXPECT_EQ(finished.count(), 0);
    EXPECT_TRUE(port.isOpen() && program.ignition().isVisible() &&
                program.serialWindow().isVisible());
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.last().text,
              "The settings have been changed!\n\nDo you want to save the changes?");
    EXPECT_EQ(messages.last().title, "Volcrestone");
    EXPECT_EQ(messages.last().icon, platform::MessageBox::Icon::Exclamation);
    EXPECT_TRUE(program.ignition().close());
    QCoreApplication::processEvents();
    EXPECT_EQ(finished.count(), 1);
    EXPECT_FALSE(port.isOpen());
    program.engine().tick();  // a tick after the end must not reach the unloaded windows
}

}  // namespace

#include <gtest/gtest.h>

#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <string>
#include <utility>

#include "link/Engine.h"
#include "link/ui/NoCommWindow.h"
#include "link/ui/SerialWindow.h"
#include "support/FakePlatform.h"

namespace {

class LinkWindow : public ::testing::Test {
protected:
    LinkWindow() { port.open(1); }

    QPushButton* button(const char* name) { return window.findChild<QPushButton*>(name); }
    QString label(const QString& name) { return window.findChild<QLabel*>(name)->text(); }

    support::FakeSerialPort port;
    support::FakeClock clock;
    support::FakeEventPump pump{&port};
    link::Engine engine{port, clock, pump};
    link::SerialWindow window{engine};
};

TEST_F(LinkWindow, hasItsCaptionTitleModeAndTheControllersNameOnEveryCell) {
    EXPECT_EQ(window.windowTitle(), "Volcrestone Interface");
    EXPECT_EQ(label("Label20"), "Timing Controller");
    EXPECT_EQ(label("lblModeTitle"), "MODE");
    EXPECT_EQ(label("lblMode"), "0");
    const std::pair<const char*, const char*> names[] = {
        {"lblName0", "secl"},      {"lblName1", "engine"},    {"lblName11", "kpa"},
        {"lblName12", "rpm_hi"},   {"lblName19", "ignition"}, {"lblName23", "ts1_diff_2"},
        {"lblName26", "coolant2"}, {"lblName29", "bspot3"}};
    for (const auto& [name, text] : names)
        EXPECT_EQ(label(name), text);
}

struct ButtonCase {
    const char* name;
    const char* caption;
    std::string sent;
};

class LinkWindowButtons : public LinkWindow, public ::testing::WithParamInterface<ButtonCase> {};

TEST_P(LinkWindowButtons, carryTheirCaptionAndSendTheirCommand) {
    QPushButton* b = button(GetParam().name);
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(b->text(), GetParam().caption);
    QTest::mouseClick(b, Qt::LeftButton);
    EXPECT_EQ(port.writtenText(), GetParam().sent);
}

INSTANTIATE_TEST_SUITE_P(
    Commands, LinkWindowButtons,
    ::testing::Values(ButtonCase{"cmdQ", "Q: REVNUM", "Q"}, ButtonCase{"cmdN", "N: Mon Off", "N"},
                      ButtonCase{"cmdM", "M: Mon On", "M"}, ButtonCase{"cmdU", "U: Upload", "U"},
                      ButtonCase{"cmdBoot", "!: Bootloader", "!"},
                      ButtonCase{"cmdAt", "@: Vars", "@"}, ButtonCase{"cmdC", "C: SECL", "C"}));

TEST_F(LinkWindow, buttonsSendNothingWithThePortClosedAndUploadTimesOutQuietly) {
    port.close();
    for (const char* name : {"cmdQ", "cmdN", "cmdM", "cmdU", "cmdBoot", "cmdAt", "cmdC"})
        QTest::mouseClick(button(name), Qt::LeftButton);
    for (int tick = 0; tick < 5; ++tick)
        engine.tick();
    EXPECT_TRUE(port.written.empty());
    EXPECT_EQ(engine.mode(), 0);
}

TEST_F(LinkWindow, closingOnlyMinimisesItAndKeepsThePortOpen) {
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    EXPECT_FALSE(window.close());
    EXPECT_TRUE(window.isVisible());
    EXPECT_TRUE(window.isMinimized());
    EXPECT_TRUE(port.isOpen());
}

TEST(NoCommNotice, carriesItsMessageAndOkHidesItAndReportsTheAcknowledgement) {
    link::NoCommWindow notice("Ferrodyn");
    EXPECT_EQ(notice.windowTitle(), "Ferrodyn");
    EXPECT_EQ(notice.findChild<QLabel*>("Label1")->text(), "No Response from Controller!");
    EXPECT_EQ(notice.findChild<QPushButton*>("Command1")->text(), "OK");
    EXPECT_FALSE(notice.isModal());
    QSignalSpy acknowledged(&notice, &link::NoCommWindow::acknowledged);
    notice.showAndRaise();
    EXPECT_TRUE(notice.isVisible());
    QTest::mouseClick(notice.findChild<QPushButton*>("Command1"), Qt::LeftButton);
    EXPECT_FALSE(notice.isVisible());
    EXPECT_EQ(acknowledged.count(), 1);
}

}  // namespace

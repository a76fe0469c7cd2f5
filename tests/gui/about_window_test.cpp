#include <gtest/gtest.h>

#include <QLabel>
#include <QPushButton>
#include <QTest>

#include "dialogs/ui/About.h"
#include "link/Engine.h"
#include "support/FakePlatform.h"

namespace {

// The revision answer reaches the box the way the program routes it.
struct RevisionToAbout : link::EngineEvents {
    dialogs::About* about = nullptr;
    void revisionReceived(int revision) override { about->SetRevNum(revision); }
    bool aboutShowing() const override { return about->isVisible(); }
};

class AboutBox : public ::testing::Test {
protected:
    AboutBox() {
        port.open(1);
        engine.setListener(&events);
        events.about = &about;
    }

    QString text(const char* name) const { return about.findChild<QLabel*>(name)->text(); }
    void answer(std::uint8_t revision) {
        port.push(std::vector<std::uint8_t>{revision});
        engine.tick();
    }

    support::FakeSerialPort port;
    support::FakeClock clock;
    support::FakeEventPump pump{&port};
    link::Engine engine{port, clock, pump};
    RevisionToAbout events;
    dialogs::About about{tune::editionInfo(tune::Edition::BEL), engine};
};

TEST_F(AboutBox, isLoadedHiddenWithItsTextsAndAsksNothing) {
    EXPECT_FALSE(about.isVisible());
    EXPECT_EQ(about.windowTitle(), "About");
    EXPECT_EQ(text("lblAppName"), "Volcrestone");
    EXPECT_EQ(text("Label1"), "Timing  Controller TEST ver3.");
    EXPECT_EQ(text("lblVersion"), "Version 1.0.0 BEL");
    EXPECT_EQ(text("lblFirmware"), "Firmware RevNum: ??");
    EXPECT_EQ(text("Label2"), "");
    EXPECT_EQ(about.findChild<QPushButton*>("mOK")->text(), "OK");
    const QFont font = about.findChild<QLabel*>("lblAppName")->font();
    EXPECT_TRUE(font.pointSize() == 12 && font.bold());
    EXPECT_TRUE(port.written.empty());
}

TEST_F(AboutBox, displayAsksOnceShowsTheAnswerAndAsksAfreshAfterOk) {
    about.Display();
    about.Display();
    EXPECT_TRUE(about.isVisible());
    EXPECT_EQ(port.writtenText(), "Q");
    answer(0xAB);
    EXPECT_EQ(text("lblFirmware"), "Firmware RevNum: AB");
    QTest::mouseClick(about.findChild<QPushButton*>("mOK"), Qt::LeftButton);
    EXPECT_FALSE(about.isVisible());
    EXPECT_EQ(text("lblFirmware"), "Firmware RevNum: AB");
    about.Display();
    EXPECT_EQ(text("lblFirmware"), "Firmware RevNum: ??");
    EXPECT_EQ(port.writtenText(), "QQ");
}

TEST_F(AboutBox, withThePortClosedAsksNothingAndShowsQuestionMarks) {
    port.close();
    about.Display();
    EXPECT_TRUE(about.isVisible());
    EXPECT_TRUE(port.written.empty());
    EXPECT_EQ(text("lblFirmware"), "Firmware RevNum: ??");
}

TEST(AboutBoxQolt, readsFerrodynAndTheQoltVersion) {
    support::FakeSerialPort port;
    support::FakeClock clock;
    support::FakeEventPump pump{&port};
    link::Engine engine{port, clock, pump};
    dialogs::About about{tune::editionFromCommandLine("qolt"), engine};
    EXPECT_EQ(about.findChild<QLabel*>("lblAppName")->text(), "Ferrodyn");
    EXPECT_EQ(about.findChild<QLabel*>("lblVersion")->text(), "Version 1.0.0 QOLT");
}

}  // namespace

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <memory>
#include <utility>

#include "link/Engine.h"
#include "setup/Session.h"
#include "setup/ui/Ignition.h"
#include "support/FakeDialogs.h"
#include "support/FakePlatform.h"

namespace {

using Answer = platform::MessageBox::Answer;
using tune::Edition;

class SetupWindowTest : public ::testing::Test {
protected:
    setup::Ignition& open(Edition edition = Edition::BEL) {
        session = std::make_unique<setup::Session>(tune::editionInfo(edition), engine, port,
                                                   setup::Services{messages, files, store}, "/tmp",
                                                   "/tmp");
        window = std::make_unique<setup::Ignition>(*session);
        session->start();
        window->show();
        window->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(window.get()));
        return *window;
    }

    template <typename T>
    T* find(const char* name) const {
        T* widget = window->findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(widget, nullptr) << name;
        return widget;
    }

    QLineEdit* edit(const char* name) const { return find<QLineEdit>(name); }

    // The text a button, check box, menu entry, field or list shows.
    QString textOf(const char* name) const {
        QObject* object = window->findChild<QObject*>(QString::fromLatin1(name));
        if (auto* combo = qobject_cast<QComboBox*>(object))
            return combo->currentText();
        return object == nullptr ? "(missing)" : object->property("text").toString();
    }

    // Focus in a field, all its text selected, as a user would start typing over it.
    void typeInto(const char* name, const char* text) const {
        QLineEdit* field = edit(name);
        field->setFocus(Qt::MouseFocusReason);
        field->selectAll();
        QTest::keyClicks(field, QString::fromLatin1(text));
    }

    QStringList topMenus() const {
        QStringList titles;
        for (QAction* action : window->menuBar()->actions()) {
            titles << action->text();
        }
        return titles;
    }

    support::FakeSerialPort port;
    support::FakeClock clock;
    support::FakeEventPump pump{&port};
    link::Engine engine{port, clock, pump};
    support::FakeMessageBox messages;
    support::FakeFileDialog files;
    support::FakeSettingsStore store;
    std::unique_ptr<setup::Session> session;
    std::unique_ptr<setup::Ignition> window;
};

TEST_F(SetupWindowTest, belWindowShowsItsPanelsButtonsMenusAndTheStartupTune) {
    open(Edition::BEL);
    EXPECT_EQ(window->windowTitle(), "Volcrestone");
    QStringList captions;
    for (QGroupBox* box : window->findChildren<QGroupBox*>())
        captions << box->title();
    for (const char* caption : {"IGNITION TIMING", "Vaccum/ Boost       Advance/ Retard",
                                "Static Timing", "START TIMING", "ENGINE TYPE", "REV LIMITER",
                                "Ported Vacuum ", "MAP SENSOR TYPE", "Knock Retard", "OUTPUTS"})
        EXPECT_TRUE(captions.contains(QString::fromLatin1(caption))) << caption;
    const std::pair<const char*, const char*> texts[] = {
        {"cmdRealtime", "DASH"},
        {"cmdUpload", " Load from Volcrestone"},
        {"cmdDownLoad", "   Send to     Volcrestone"},
        {"Check1", "3 Bar"},
        {"mCOM3", "COM&3"},
        {"mLoadSettings", "&Load Settings..."},
        {"mSaveSettings", "&Save Settings..."},
        {"mPlayFile", "&Play Data Log..."},
        {"mExit", "E&xit"},
        {"tbRPM0", "1000"},
        {"tbMapAdj0", "+6"},
        {"tbStatic", "45.0"},
        {"cmbCylinders", "4"},
        {"cmbLimitType", "  ** DISABLED **"},
        {"cmbXLED", "Reset"}};
    for (const auto& [name, text] : texts)
        EXPECT_EQ(textOf(name), text) << name;
    EXPECT_EQ(topMenus(), QStringList({"&File", "Com-&Port", "Plot&3D", "&S19", "&About"}));
    EXPECT_FALSE(find<QPushButton>("cmdDownLoad")->isEnabled());
    EXPECT_TRUE(find<QCheckBox>("Check1")->isChecked() && find<QAction>("mCOM1")->isChecked());
    EXPECT_TRUE(find<QRadioButton>("optStroke4")->isChecked());
    EXPECT_FALSE(find<QRadioButton>("optStroke2")->isChecked());
}

TEST_F(SetupWindowTest, zavWindowRenamesTheMapPanelAndHidesTheXledAndTheirMenus) {
    open(Edition::ZAV);
    EXPECT_EQ(find<QGroupBox>("Frame9")->title(), "MAP Sensor");
    for (const char* name : {"cmbXLED", "Label11", "Label12", "chkInvertSpout"})
        EXPECT_TRUE(find<QWidget>(name)->isHidden()) << name;
    EXPECT_EQ(find<QComboBox>("cmbXLED")->currentIndex(), -1);
    EXPECT_FALSE(find<QAction>("mPlayFile")->isVisible() || find<QAction>("mS19")->isVisible());
    EXPECT_FALSE(find<QGroupBox>("Frame2")->isHidden());
}

TEST_F(SetupWindowTest, qoltWindowHidesStrokesStaticTimingAndTheRevLimiter) {
    open(Edition::QOLT);
    EXPECT_EQ(window->windowTitle(), "Ferrodyn");
    for (const char* name : {"optStroke4", "optStroke2", "chkOddFire", "chkInvertSpout", "Label9_2",
                             "cmbCrankDelay", "Frame2", "Frame8"})
        EXPECT_TRUE(find<QWidget>(name)->isHidden()) << name;
    EXPECT_EQ(find<QLabel>("Label9_2")->text(), "Pulses Until 1st Spark");
    QComboBox* cylinders = find<QComboBox>("cmbCylinders");
    ASSERT_EQ(cylinders->count(), 3);
    EXPECT_EQ(cylinders->itemText(2), "8");
    EXPECT_EQ(cylinders->currentText(), "4");
    EXPECT_FALSE(find<QRadioButton>("optStroke4")->isChecked());
}

TEST_F(SetupWindowTest, typedTextCountsAsItStandsUntilLeavingOrEnterOrPageUpCommitsIt) {
    open();
    typeInto("tbBaseTiming2", "12abc");
    EXPECT_EQ(session->tune().baseTiming[2], "12abc");
    EXPECT_TRUE(session->hasUnsavedChanges());
    QTest::keyClick(edit("tbBaseTiming2"), Qt::Key_PageUp);
    EXPECT_EQ(edit("tbBaseTiming2")->text(), "13");
    EXPECT_EQ(session->tune().baseTiming[2], "13");
    typeInto("tbStatic", "200");
    edit("tbCrankAdv")->setFocus(Qt::MouseFocusReason);
    EXPECT_EQ(session->tune().staticTiming, "127.5");
    typeInto("tbStatic", "12.25");
    QTest::keyClick(edit("tbStatic"), Qt::Key_Return);
    EXPECT_EQ(edit("tbStatic")->text(), "12.0");
    typeInto("tbPortedStartTPS", "2.34");  // Enter does not commit this one
    QTest::keyClick(edit("tbPortedStartTPS"), Qt::Key_Return);
    EXPECT_EQ(edit("tbPortedStartTPS")->text(), "2.34");
}

TEST_F(SetupWindowTest, leftAndRightMoveThroughATableColumnWrappingAndCommitTheCellLeft) {
    open();
    typeInto("tbRPM0", "2550");
    QTest::keyClick(edit("tbRPM0"), Qt::Key_Right);
    EXPECT_TRUE(edit("tbRPM1")->hasFocus());
    EXPECT_EQ(session->tune().rpm[0], "2500");
    typeInto("tbBaseTiming0", "7.5");
    QTest::keyClick(edit("tbBaseTiming0"), Qt::Key_Left);
    EXPECT_TRUE(edit("tbBaseTiming5")->hasFocus());
    EXPECT_EQ(edit("tbBaseTiming0")->text(), "8");
    QTest::keyClick(edit("tbBaseTiming5"), Qt::Key_Right);
    EXPECT_TRUE(edit("tbBaseTiming0")->hasFocus());
    QLineEdit* single = edit("tbRPMlimit");  // outside a table they only move the caret
    single->setFocus(Qt::MouseFocusReason);
    single->setCursorPosition(2);
    QTest::keyClick(single, Qt::Key_Left);
    EXPECT_TRUE(single->hasFocus() && single->cursorPosition() == 1);
}

TEST_F(SetupWindowTest, outputThresholdStepsByOneRawCount) {
    open();
    QLineEdit* threshold = edit("tbRPMout0");
    threshold->setFocus(Qt::MouseFocusReason);
    QTest::keyClick(threshold, Qt::Key_PageUp);
    EXPECT_EQ(threshold->text(), "50");
    EXPECT_EQ(session->tune().outputs[0].raw, "1");
}

TEST_F(SetupWindowTest, threeBarIsNoUnsavedChangeAndTwoStrokeRebuildsTheCylinderList) {
    open();
    QTest::mouseClick(find<QCheckBox>("Check1"), Qt::LeftButton);
    EXPECT_EQ(session->tune().check1, 0);
    EXPECT_FALSE(session->hasUnsavedChanges());
    QTest::mouseClick(find<QRadioButton>("optStroke2"), Qt::LeftButton);
    EXPECT_FALSE(find<QRadioButton>("optStroke4")->isChecked());
    QComboBox* cylinders = find<QComboBox>("cmbCylinders");
    EXPECT_EQ(cylinders->count(), 6);
    EXPECT_EQ(cylinders->currentIndex(), 3);
    EXPECT_EQ(cylinders->currentText(), "4");
}

TEST_F(SetupWindowTest, closingWithAnEditAsksAndCancelKeepsTheWindow) {
    open();
    typeInto("tbRPM3", "4600");
    messages.answers.push_back(Answer::Cancel);
    EXPECT_FALSE(window->close());
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(messages.shown.size(), 1u);
}

TEST_F(SetupWindowTest, menuEntriesReachTheSession) {
    open();
    find<QAction>("mSaveSettings")->trigger();  // cancelled, but send is enabled
    EXPECT_TRUE(find<QPushButton>("cmdDownLoad")->isEnabled());
    find<QAction>("mCOM1")->trigger();
    EXPECT_TRUE(find<QAction>("mCOM1")->isChecked());
    EXPECT_EQ(port.openedNumbers.size(), 1u);
    find<QAction>("mCOM2")->trigger();
    EXPECT_FALSE(find<QAction>("mCOM1")->isChecked());
    EXPECT_TRUE(find<QAction>("mCOM2")->isChecked());
}

}  // namespace

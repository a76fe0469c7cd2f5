// The Setup window in the whole program on fake platform services, driven with Qt Test.
#include <QCheckBox>
#include <QMenu>
#include <QMenuBar>

#include "gui/ProgramTest.h"

namespace {

using tune::Edition;

class SetupWindowTest : public guitest::ProgramTest {
protected:
    void open(Edition edition = Edition::BEL) {
        start(edition);
        setupWindow().activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&setupWindow()));
    }
    template <typename T>
    T* find(const char* name) {
        return in<T>(setupWindow(), name);
    }
    QLineEdit* edit(const char* name) { return find<QLineEdit>(name); }
    setup::Session& session() { return program->session(); }
    static QStringList entries(const QList<QAction*>& actions) {
        QStringList texts;  // a separator shows as an empty entry
        for (QAction* action : actions)
            texts << action->text();
        return texts;
    }
    // Focus in a field, all its text selected, as a user would start typing over it.
    void typeInto(const char* name, const char* text) {
        QLineEdit* field = edit(name);
        field->setFocus(Qt::MouseFocusReason);
        field->selectAll();
        QTest::keyClicks(field, QString::fromLatin1(text));
    }
};

TEST_F(SetupWindowTest, belWindowShowsPanelsButtonsMenusAndTuneAndItsControlsReachTheSession) {
    open(Edition::BEL);
    QStringList captions;
    for (QGroupBox* box : setupWindow().findChildren<QGroupBox*>())
        captions << box->title();
    for (const char* caption : {"IGNITION TIMING", "Vaccum/ Boost       Advance/ Retard",
                                "Static Timing", "START TIMING", "ENGINE TYPE", "REV LIMITER",
                                "Ported Vacuum ", "MAP SENSOR TYPE", "Knock Retard", "OUTPUTS"})
        EXPECT_TRUE(captions.contains(QString::fromLatin1(caption))) << caption;
    const guitest::Caption texts[] = {{"cmdRealtime", "DASH"},
                                      {"cmdUpload", " Load from Volcrestone"},
                                      {"cmdDownLoad", "   Send to     Volcrestone"},
                                      {"Check1", "3 Bar"},
                                      {"tbMapAdj0", "+6"},
                                      {"cmbLimitType", "  ** DISABLED **"}};
    expectTexts(setupWindow(), "Volcrestone", texts);
    EXPECT_EQ(entries(setupWindow().menuBar()->actions()),
              QStringList({"&File", "Com-&Port", "Plot&3D", "&S19", "&About"}));
    EXPECT_EQ(
        entries(find<QMenu>("mFile")->actions()),
        QStringList({"&Load Settings...", "&Save Settings...", "&Play Data Log...", "E&xit"}));
    EXPECT_TRUE(find<QRadioButton>("optStroke4")->isChecked());
    QTest::mouseClick(find<QCheckBox>("Check1"), Qt::LeftButton);
    EXPECT_EQ(session().tune().check1, 0);
    QTest::mouseClick(find<QRadioButton>("optStroke2"), Qt::LeftButton);
    EXPECT_FALSE(find<QRadioButton>("optStroke4")->isChecked());
    find<QAction>("mSaveSettings")->trigger();  // cancelled, but send is enabled
    EXPECT_TRUE(find<QPushButton>("cmdDownLoad")->isEnabled());
    find<QAction>("mCOM2")->trigger();
    EXPECT_TRUE(find<QAction>("mCOM2")->isChecked() && !find<QAction>("mCOM1")->isChecked());
}

TEST_F(SetupWindowTest, eachEditionHasItsTitleAndMapCaptionHidesItsOwnControlsAndZavMovesItsMap) {
    const std::tuple<Edition, const char*, const char*, const char*> rows[] = {
        {Edition::BEL, "Volcrestone", "MAP SENSOR TYPE", ""},
        {Edition::RUK, "Volcrestone", "MAP SENSOR TYPE", ""},
        {Edition::QOLT, "Ferrodyn", "MAP SENSOR TYPE",
         "optStroke4 optStroke2 chkOddFire chkInvertSpout lblOutput Label9_2 cmbCrankDelay Frame2 "
         "Frame8"},
        {Edition::ZAV, "Volcrestone", "MAP Sensor",
         "cmbXLED Label11 Label12 chkInvertSpout lblOutput mPlayFile mS19"}};
    for (const auto& [edition, title, mapCaption, hiddenNames] : rows) {
        SCOPED_TRACE(title + std::string(" ") + mapCaption + hiddenNames);
        open(edition);
        EXPECT_EQ(setupWindow().windowTitle(), title);
        EXPECT_EQ(text(setupWindow(), "Frame9"), mapCaption);
        const QStringList hides = QString::fromLatin1(hiddenNames).split(' ', Qt::SkipEmptyParts);
        for (const char* name : {"cmbXLED", "Label11", "Label12", "chkInvertSpout", "lblOutput",
                                 "mPlayFile", "mS19", "optStroke4", "optStroke2", "chkOddFire",
                                 "Label9_2", "cmbCrankDelay", "Frame2", "Frame8"}) {
            auto* action = in<QAction>(setupWindow(), name);
            EXPECT_EQ(action ? !action->isVisible() : find<QWidget>(name)->isHidden(),
                      hides.contains(name))
                << name;
        }
    }
    // Edition ZAV, the last one open, moves the map sensor options up in their panel.
    const QWidget* panel = find<QGroupBox>("Frame9");
    const QWidget* option115 = find<QRadioButton>("optMap115");
    const QWidget* option250 = find<QRadioButton>("optMap250");
    const QWidget* threeBar = find<QCheckBox>("Check1");
    EXPECT_TRUE(option115->parentWidget() == panel && option250->parentWidget() == panel);
    EXPECT_EQ(std::pair(option115->y(), option250->y()), std::pair(24, 40));  // 360, 600 twips
    for (const QWidget* shown : {option115, option250, threeBar})
        EXPECT_TRUE(shown->isVisible() && panel->rect().contains(shown->geometry()))
            << shown->objectName().toStdString();
    EXPECT_FALSE(option250->geometry().intersects(threeBar->geometry()));
}

TEST_F(SetupWindowTest, typedTextCountsAsItStandsUntilLeavingEnterPageUpOrLeftRightCommitsIt) {
    open();
    typeInto("tbBaseTiming2", "12abc");
    EXPECT_TRUE(session().tune().baseTiming[2] == "12abc" && session().hasUnsavedChanges());
    QTest::keyClick(edit("tbBaseTiming2"), Qt::Key_PageUp);
    EXPECT_TRUE(edit("tbBaseTiming2")->text() == "13" && session().tune().baseTiming[2] == "13");
    typeInto("tbStatic", "200");
    edit("tbCrankAdv")->setFocus(Qt::MouseFocusReason);
    EXPECT_EQ(session().tune().staticTiming, "127.5");
    typeInto("tbStatic", "12.25");
    QTest::keyClick(edit("tbStatic"), Qt::Key_Return);
    EXPECT_EQ(edit("tbStatic")->text(), "12.0");
    typeInto("tbPortedStartTPS", "2.34");  // Enter does not commit this one
    QTest::keyClick(edit("tbPortedStartTPS"), Qt::Key_Return);
    EXPECT_EQ(edit("tbPortedStartTPS")->text(), "2.34");
    edit("tbRPMout0")->setFocus(Qt::MouseFocusReason);  // an output threshold steps one raw count
    QTest::keyClick(edit("tbRPMout0"), Qt::Key_PageUp);
    EXPECT_TRUE(edit("tbRPMout0")->text() == "50" && session().tune().outputs[0].raw == "1");
    // Left and Right move through a table column, wrapping, and commit the cell they leave.
    typeInto("tbRPM0", "2550");
    QTest::keyClick(edit("tbRPM0"), Qt::Key_Right);
    EXPECT_TRUE(edit("tbRPM1")->hasFocus() && session().tune().rpm[0] == "2500");
    typeInto("tbBaseTiming0", "7.5");
    QTest::keyClick(edit("tbBaseTiming0"), Qt::Key_Left);
    EXPECT_TRUE(edit("tbBaseTiming5")->hasFocus() && edit("tbBaseTiming0")->text() == "8");
    QLineEdit* single = edit("tbRPMlimit");  // outside a table they only move the caret
    single->setFocus(Qt::MouseFocusReason);
    single->setCursorPosition(2);
    QTest::keyClick(single, Qt::Key_Left);
    EXPECT_TRUE(single->hasFocus() && single->cursorPosition() == 1);
}

}  // namespace

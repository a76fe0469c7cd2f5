#include "setup/SessionFixture.h"

namespace setup_test {
namespace {

using Answer = platform::MessageBox::Answer;
using Buttons = platform::MessageBox::Buttons;
using Icon = platform::MessageBox::Icon;
using tune::Edition;

TEST_F(SessionTest, savingTheBelStartupTuneWritesTheHeaderAndTwelveLines) {
    start(Edition::BEL);
    files.paths.push_back(path("tune.cfg"));
    session->saveSettings();
    EXPECT_EQ(readFile("tune.cfg"), kBelStartupFile);
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.last().text, "Settings Saved!");
    EXPECT_EQ(messages.last().title, "Volcrestone");
    EXPECT_EQ(messages.last().icon, Icon::Information);
}

TEST_F(SessionTest, qoltSavesUnderTheVolcrestoneHeaderWordsWithItsOwnEditionName) {
    start(Edition::QOLT);
    files.paths.push_back(path("qolt.cfg"));
    session->saveSettings();
    EXPECT_EQ(readFile("qolt.cfg").substr(0, 30), "Volcrestone Settings QOLT v1\r\n");
    EXPECT_EQ(messages.last().title, "Ferrodyn");
}

TEST_F(SessionTest, saveDialogOffersCfgFilesInTheDefaultFolder) {
    start(Edition::BEL);
    session->saveSettings();
    ASSERT_EQ(files.requests.size(), 1u);
    EXPECT_TRUE(files.requests[0].save);
    EXPECT_EQ(files.requests[0].filter, "CFG Files (*.cfg)|*.cfg|All Files (*.*)|*.*");
    EXPECT_EQ(files.requests[0].folder, "/work/current");
}

TEST_F(SessionTest, aSuccessfulSaveMakesTheEditedTuneTheSavedOne) {
    start();
    session->tune().rpm[0] = "1100";
    ASSERT_TRUE(session->hasUnsavedChanges());
    files.paths.push_back(path("edited.cfg"));
    session->saveSettings();
    EXPECT_FALSE(session->hasUnsavedChanges());
}

TEST_F(SessionTest, aCancelledSaveStillAllowsSending) {
    start();
    session->saveSettings();
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_TRUE(session->downloadAllowed());
    EXPECT_TRUE(session->downloadEnabled());
}

TEST_F(SessionTest, savingIntoAMissingFolderSaysCouldNotOpenFile1AndKeepsTheSavedText) {
    start();
    session->tune().rpm[0] = "1100";
    files.paths.push_back(path("no-such-folder/tune.cfg"));
    session->saveSettings();
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.last().text, "Could not open file 1");
    EXPECT_EQ(messages.last().icon, Icon::Critical);
    EXPECT_TRUE(session->hasUnsavedChanges());
    EXPECT_TRUE(session->downloadEnabled());
}

TEST_F(SessionTest, savingOverAFolderSaysCouldNotOpenFile1) {
    start();
    std::filesystem::create_directory(folder / "taken.cfg");
    files.paths.push_back(path("taken.cfg"));
    session->saveSettings();
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.last().text, "Could not open file 1");
}

TEST_F(SessionTest, aSaveThatCannotBeWrittenSaysErrorAndLeavesTheOldFile) {
    start();
    writeFile("keep.cfg", "old contents");
    session->tune().rpm[0] = "1100";
    // A name too long for the file system: the folder exists, the write cannot happen.
    files.paths.push_back(path(std::string(300, 'k') + ".cfg"));
    session->saveSettings();
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.last().text, "Error trying to Save Settings!");
    EXPECT_EQ(messages.last().icon, Icon::Critical);
    EXPECT_TRUE(session->hasUnsavedChanges());
    EXPECT_EQ(readFile("keep.cfg"), "old contents");
}

TEST_F(SessionTest, loadingASettingsFileShowsItAndAllowsSending) {
    start(Edition::BEL);
    std::string file = kBelStartupFile;
    file.replace(file.find("\"1000\""), 6, "\"1200\"");
    writeFile("load.cfg", file);
    files.paths.push_back(path("load.cfg"));
    const int shownBefore = view.tuneShown;
    session->loadSettings();
    EXPECT_EQ(session->tune().rpm[0], "1200");
    EXPECT_GT(view.tuneShown, shownBefore);
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.last().text, "Settings Loaded!");
    EXPECT_EQ(messages.last().icon, Icon::Information);
    EXPECT_TRUE(session->downloadEnabled());
    ASSERT_EQ(files.requests.size(), 1u);
    EXPECT_FALSE(files.requests[0].save);
    EXPECT_EQ(files.requests[0].filter, "CFG Files (*.cfg)|*.cfg|All Files (*.*)|*.*");
}

TEST_F(SessionTest, aLoadedTuneCountsAsUnsavedUntilSaved) {
    start();
    std::string file = kBelStartupFile;
    file.replace(file.find("\"8\""), 3, "\"9\"");
    writeFile("load.cfg", file);
    files.paths.push_back(path("load.cfg"));
    session->loadSettings();
    EXPECT_TRUE(session->hasUnsavedChanges());
}

TEST_F(SessionTest, loadingAFileOfAnotherKindSaysSoAndChangesNothing) {
    start();
    writeFile("other.cfg", "[Settings]\r\nRPM=1000\r\n");
    files.paths.push_back(path("other.cfg"));
    session->loadSettings();
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.last().text, "Not a Volcrestone Settings file!");
    EXPECT_EQ(messages.last().icon, Icon::Critical);
    EXPECT_FALSE(session->hasUnsavedChanges());
    EXPECT_FALSE(session->downloadAllowed());
}

TEST_F(SessionTest, loadingAMissingFileSaysCouldNotOpenFile1) {
    start();
    files.paths.push_back(path("gone.cfg"));
    session->loadSettings();
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.last().text, "Could not open file 1");
    EXPECT_FALSE(session->downloadAllowed());
}

TEST_F(SessionTest, aFileCutShortLoadsWhatItHasAndSaysError) {
    start();
    std::string file = kBelStartupFile;
    file.replace(file.find("\"8\""), 3, "\"9\"");
    // Header and lines 1 to 5 only.
    std::size_t end = 0;
    for (int line = 0; line < 6; ++line) {
        end = file.find("\r\n", end) + 2;
    }
    writeFile("short.cfg", file.substr(0, end));
    files.paths.push_back(path("short.cfg"));
    session->loadSettings();
    EXPECT_EQ(session->tune().baseTiming[0], "9");
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.last().text, "Error trying to Load Settings!");
    EXPECT_EQ(messages.last().icon, Icon::Critical);
    EXPECT_FALSE(session->downloadAllowed());
}

TEST_F(SessionTest, aCancelledLoadDoesNothing) {
    start();
    session->loadSettings();
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_FALSE(session->downloadAllowed());
}

TEST_F(SessionTest, closingRightAfterStartAsksNothing) {
    start();
    EXPECT_TRUE(session->queryClose());
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(SessionTest, closingWithAnEditAsksAndCancelKeepsTheWindow) {
    start();
    session->tune().staticTiming = "40.0";
    messages.answers.push_back(Answer::Cancel);
    EXPECT_FALSE(session->queryClose());
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.last().text,
              "The settings have been changed!\n\nDo you want to save the changes?");
    EXPECT_EQ(messages.last().title, "Volcrestone");
    EXPECT_EQ(messages.last().icon, Icon::Exclamation);
    EXPECT_EQ(messages.last().buttons, Buttons::YesNoCancel);
    EXPECT_TRUE(files.requests.empty());
}

TEST_F(SessionTest, closingWithAnEditAndNoClosesWithoutWritingAFile) {
    start();
    session->tune().staticTiming = "40.0";
    messages.answers.push_back(Answer::No);
    EXPECT_TRUE(session->queryClose());
    EXPECT_TRUE(files.requests.empty());
}

TEST_F(SessionTest, closingWithYesAndACancelledDialogKeepsTheWindow) {
    start();
    session->tune().staticTiming = "40.0";
    messages.answers.push_back(Answer::Yes);
    EXPECT_FALSE(session->queryClose());
    EXPECT_EQ(files.requests.size(), 1u);
}

TEST_F(SessionTest, closingWithYesSavesAndCloses) {
    start();
    session->tune().staticTiming = "40.0";
    messages.answers.push_back(Answer::Yes);
    files.paths.push_back(path("closing.cfg"));
    EXPECT_TRUE(session->queryClose());
    EXPECT_NE(readFile("closing.cfg").find("\"40.0\""), std::string::npos);
}

TEST_F(SessionTest, closingWithYesAndAFailedSaveKeepsTheWindow) {
    start();
    session->tune().staticTiming = "40.0";
    messages.answers.push_back(Answer::Yes);
    files.paths.push_back(path("missing/closing.cfg"));
    EXPECT_FALSE(session->queryClose());
}

TEST_F(SessionTest, anEditUndoneToTheSameTextIsNoChange) {
    start();
    session->tune().rpm[2] = "3600";
    session->tune().rpm[2] = "3500";
    EXPECT_TRUE(session->queryClose());
    EXPECT_TRUE(messages.shown.empty());
}

}  // namespace
}  // namespace setup_test

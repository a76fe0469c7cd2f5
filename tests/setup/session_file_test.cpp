// The Session's settings files: save, load, and the question on closing with unsaved edits.
#include <optional>

#include "setup/SessionFixture.h"

namespace setup_test {
namespace {

TEST_F(SessionTest, savingTheBelStartupTuneWritesTheSettingsFile) {
    start();
    files.paths.push_back(path("tune.cfg"));
    session->saveSettings();
    EXPECT_EQ(readFile("tune.cfg"), support::kBelStartupFile);
    ASSERT_EQ(files.requests.size(), 1u);
    EXPECT_TRUE(files.requests[0].save);
    EXPECT_EQ(files.requests[0].filter, "CFG Files (*.cfg)|*.cfg|All Files (*.*)|*.*");
    EXPECT_EQ(files.requests[0].folder, "/work/current");
    expectOnlyMessage("Settings Saved!", Icon::Information);
}

TEST_F(SessionTest, aSaveThatFailsSaysWhyKeepsTheEditUnsavedAndLeavesOtherFiles) {
    start();
    writeFile("keep.cfg", "old contents");
    session->tune().rpm[0] = "1100";
    const std::pair<std::string, const char*> rows[] = {
        {path("no-such-folder/tune.cfg"), "Could not open file 1"},
        // A name too long for the file system: the folder exists, the write cannot happen.
        {path(std::string(300, 'k') + ".cfg"), "Error trying to Save Settings!"}};
    for (const auto& [target, message] : rows) {
        SCOPED_TRACE(target);
        messages.shown.clear();
        files.paths.push_back(target);
        session->saveSettings();
        expectOnlyMessage(message, Icon::Critical);
        EXPECT_TRUE(session->hasUnsavedChanges());
    }
    EXPECT_EQ(readFile("keep.cfg"), "old contents");
}

TEST_F(SessionTest, loadingASettingsFileShowsItAsUnsavedAndAllowsSending) {
    start();
    std::string file = support::kBelStartupFile;
    file.replace(file.find("\"1000\""), 6, "\"1200\"");
    writeFile("load.cfg", file);
    files.paths.push_back(path("load.cfg"));
    const int shownBefore = view.tuneShown;
    session->loadSettings();
    EXPECT_EQ(session->tune().rpm[0], "1200");
    EXPECT_GT(view.tuneShown, shownBefore);
    EXPECT_TRUE(session->hasUnsavedChanges() && session->downloadEnabled());
    expectOnlyMessage("Settings Loaded!", Icon::Information);
    EXPECT_FALSE(files.requests.at(0).save);
}

TEST_F(SessionTest, aFailedLoadSaysWhyKeepsWhatItReadAndDoesNotAllowSending) {
    std::string cut = support::kBelStartupFile;
    cut.replace(cut.find("\"8\""), 3, "\"9\"");
    cut.resize(cut.find("#FALSE#,#FALSE#,#TRUE#"));  // header and lines 1 to 5 only
    const struct {
        std::optional<std::string> content;  // nothing: no such file
        const char* message;
        const char* baseTiming0;
    } rows[] = {{"[Settings]\r\nRPM=1000\r\n", "Not a Volcrestone Settings file!", "8"},
                {std::nullopt, "Could not open file 1", "8"},
                {cut, "Error trying to Load Settings!", "9"}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.message);
        start();
        const std::string name = std::to_string(files.requests.size()) + ".cfg";
        if (row.content)
            writeFile(name, *row.content);
        files.paths.push_back(path(name));
        session->loadSettings();
        expectOnlyMessage(row.message, Icon::Critical);
        EXPECT_EQ(session->tune().baseTiming[0], row.baseTiming0);
        EXPECT_FALSE(session->downloadAllowed());
    }
}

TEST_F(SessionTest, closingAsksToSaveARealEditAndClosesOnlyOnNoOrASuccessfulSave) {
    start();
    session->tune().rpm[2] = "3600";
    session->tune().rpm[2] = "3500";  // undone: no change
    EXPECT_TRUE(session->queryClose());
    EXPECT_TRUE(messages.shown.empty());
    const struct {
        Answer answer;
        const char* savedAs;  // nullptr: the save dialog is cancelled
        bool closes;
        std::size_t dialogs;
    } rows[] = {{Answer::Cancel, nullptr, false, 0},
                {Answer::No, nullptr, true, 0},
                {Answer::Yes, nullptr, false, 1},
                {Answer::Yes, "missing/c.cfg", false, 1},
                {Answer::Yes, "closing.cfg", true, 1}};
    for (const auto& row : rows) {
        SCOPED_TRACE(std::to_string(static_cast<int>(row.answer)) +
                     (row.savedAs ? row.savedAs : ""));
        start();
        session->tune().staticTiming = "40.0";
        files.requests.clear();
        messages.answers.push_back(row.answer);
        if (row.savedAs != nullptr)
            files.paths.push_back(path(row.savedAs));
        EXPECT_EQ(session->queryClose(), row.closes);
        EXPECT_EQ(files.requests.size(), row.dialogs);
    }
    EXPECT_EQ(messages.shown.at(0).text,
              "The settings have been changed!\n\nDo you want to save the changes?");
    EXPECT_EQ(messages.shown.at(0).title, "Volcrestone");
    EXPECT_EQ(messages.shown.at(0).icon, Icon::Exclamation);
    EXPECT_EQ(messages.shown.at(0).buttons, Buttons::YesNoCancel);
    EXPECT_NE(readFile("closing.cfg").find("\"40.0\""), std::string::npos);
    EXPECT_FALSE(session->hasUnsavedChanges());
}

}  // namespace
}  // namespace setup_test

// The settings file: its text written and read back field by field, then real files on disk.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <tuple>
#include <vector>

#include "support/BelStartup.h"
#include "support/FileSizeLimit.h"
#include "tune/SettingsFile.h"
#include "tune/SettingsText.h"
#include "tune/Tune.h"
#include "tune/TuneHistory.h"

namespace {

namespace fs = std::filesystem;
using support::kBelStartupFile;
using support::kBelStartupText;
using tune::Edition;
using tune::LoadOutcome;
using tune::SaveOutcome;

// Twelve lines as a 2-stroke BEL user would have saved them, every value away from start-up.
const std::string kTwoStrokeBody =
    "#FALSE#,#TRUE#,\"5\",\"60.5\",#TRUE#\r\n"
    "\"1\",\"2\",\"3\",\"4\",\"5\",\"6\"\r\n"
    "\"1100\",\"2200\",\"3300\",\"4400\",\"5500\",\"6600\"\r\n"
    "\"+1\",\"+2\",\"0\",\"-1\",\"-2\",\"-3\"\r\n"
    "\"30\",\"50\",\"70\",\"90\",\"110\",\"130\"\r\n"
    "#FALSE#,#TRUE#,#FALSE#\r\n"
    "\"0.5\",\"4.5\",\"1000\",\"3000\"\r\n"
    "\"10\",\"500\",\"6\"\r\n"
    "\"TPS\",\"51\",\"IGN\",\"84\"\r\n"
    "\"9000\",\"80%\",#FALSE#,#TRUE#\r\n"
    "#TRUE#,#FALSE#,\"Knock\",#TRUE#\r\n"
    "\"1.5\",#FALSE#,#TRUE#,\"99\"\r\n";

const std::string kBelStartupBody = kBelStartupText + "\r\n";

std::string replaceLine(std::string body, int number, const std::string& line) {
    std::size_t start = 0;
    for (int i = 1; i < number; ++i)
        start = body.find("\r\n", start) + 2;
    return body.replace(start, body.find("\r\n", start) - start, line);
}

bool load(tune::Tune& t, const std::string& body) {
    return tune::loadSettings(t, body, " v1");
}

TEST(SettingsText, startupTunesGiveTheReferenceLinesAndOnlyChangedTextChangesThem) {
    tune::Tune t = tune::Tune::startup(Edition::RUK);
    t.check1 = 0;  // "3 Bar" is not part of the text
    EXPECT_EQ(tune::settingStr(t), kBelStartupText);
    EXPECT_EQ(tune::settingStr(tune::Tune::startup(Edition::ZAV)),
              replaceLine(kBelStartupText, 11, "#FALSE#,#TRUE#,\"\",#FALSE#"));
    EXPECT_EQ(tune::settingStr(tune::Tune::startup(Edition::QOLT)),
              replaceLine(kBelStartupText, 1, "#FALSE#,#FALSE#,\"4\",\"45.0\",#FALSE#"));
    t.staticTiming = "4\"5";  // uncommitted text is written as typed
    EXPECT_EQ(tune::settingStr(t),
              replaceLine(kBelStartupText, 1, "#TRUE#,#FALSE#,\"4\",\"4\"5\",#FALSE#"));
}

// The header's last three characters choose the layout: " v" and a digit from 1 up is the
// current one; any other file holds two rpm thresholds, which become snapped raw codes.
TEST(LoadSettings, readsEveryFieldOfEitherLayoutWhateverTheLineEnds) {
    std::string lineFeeds = kTwoStrokeBody;
    for (std::size_t p; (p = lineFeeds.find("\r\n")) != std::string::npos;)
        lineFeeds.replace(p, 2, "\n");
    const std::string oldBody = replaceLine(kTwoStrokeBody, 9, "\"3025\",\"99999\"");
    const std::string oldRead = replaceLine(kTwoStrokeBody, 9, "\"RPM\",\"60\",\"RPM\",\"255\"");
    const std::tuple<std::string, std::string, std::string, std::string> cases[] = {
        {" BEL v1", kTwoStrokeBody, kTwoStrokeBody, "1.00 10.0"},
        {" BEL vA", lineFeeds, kTwoStrokeBody, "1.00 10.0"},
        {" BEL v0", oldBody, oldRead, "3000 12750"},
        {"", oldBody, oldRead, "3000 12750"}};
    for (const auto& [version, body, read, outputs] : cases) {
        SCOPED_TRACE('"' + version + '"');
        tune::Tune t = tune::Tune::startup(Edition::BEL);
        t.selectChannel(0, 1);
        ASSERT_EQ(tune::loadSettingsContents(t, "Volcrestone Settings" + version + "\r\n" + body),
                  LoadOutcome::Loaded);
        EXPECT_EQ(tune::settingStr(t) + "\r\n", read);
        EXPECT_EQ(t.outputs[0].text + " " + t.outputs[1].text, outputs);
    }
}

// Line 12 lost its last value: the lines before it load, none of that line's values does.
TEST(LoadSettings, aCutFileKeepsTheStepsReadAndLeavesTheRestAsItWas) {
    tune::Tune t = tune::Tune::startup(Edition::BEL);
    EXPECT_FALSE(load(t, kTwoStrokeBody.substr(0, kTwoStrokeBody.rfind(",\"99\""))));
    EXPECT_EQ(t.map[5] + " " + std::to_string(t.invertSpout) + " " + t.knockIncr.text, "130 1 0.0");
}

// Each row replaces one line of the start-up text; the crank and static fields show the effect.
TEST(LoadSettings, oddValuesFailOnlyTheirOwnFieldOrAreReadAsTheOldToolsReadThem) {
    const std::tuple<int, std::string, bool, std::string> cases[] = {
        {8, "\"10\",\"500\",\"9\"", false, "10 500 3 45.0"},  // no such list entry
        {8, "  7 ,\t300\t, 4 ", true, "7 300 4 45.0"},        // unquoted texts are trimmed
        {8, "#TRUE#,\"300\",\"3\"", true, "True 300 3 45.0"},
        {1, "#TRUE#,#FALSE#,\"4\",\"4\"5\",#TRUE#", true, "6 300 3 4"},  // text after a quote
        {6, "\"#TRUE#\",#FALSE#,#TRUE#", false, "6 300 3 45.0"},  // a quoted word is no boolean
        {2, "\"1,\"2\",\"3\",\"4\",\"5\",\"6\"", false, "300 3 3 45.0"}};  // values shift
    for (const auto& [line, replacement, loads, fields] : cases) {
        SCOPED_TRACE(replacement);
        tune::Tune t = tune::Tune::startup(Edition::BEL);
        EXPECT_EQ(load(t, replaceLine(kBelStartupBody, line, replacement)), loads);
        EXPECT_EQ(t.crankAdv + " " + t.crankRPM + " " + t.crankDelay.text + " " + t.staticTiming,
                  fields);
    }
}

TEST(LoadSettings, anUnknownLimiterKeyQuietlyGivesTheDisabledEntry) {
    tune::Tune t = tune::Tune::startup(Edition::BEL);
    t.limitType.select(5);
    EXPECT_TRUE(load(t, replaceLine(kBelStartupBody, 10, "\"1200\",\"90%\",0,0")));
    EXPECT_EQ(t.limitType.text, "  ** DISABLED **");
}

TEST(LoadSettings, cylinderCountsMoveBetweenQoltsFixedListAndTheStrokeLists) {
    tune::Tune qolt = tune::Tune::startup(Edition::QOLT);
    EXPECT_TRUE(load(qolt, replaceLine(kBelStartupBody, 1, "0,0,\"8\",\"45.0\",0")));
    EXPECT_EQ(qolt.cylinders.text, "8");
    EXPECT_TRUE(load(qolt, replaceLine(kBelStartupBody, 1, "#TRUE#,0,\"12\",\"45.0\",0")));
    EXPECT_EQ(std::tuple(qolt.cylinders.entries.size(), qolt.cylinders.text), std::tuple(8u, "12"));
}

std::string contents(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void put(const fs::path& p, const std::string& bytes) {
    std::ofstream(p, std::ios::binary) << bytes;
}

class SettingsFileOnDisk : public testing::Test {
protected:
    void SetUp() override { fs::create_directories(dir_); }
    void TearDown() override { fs::remove_all(dir_, ignored_); }
    std::size_t entriesInDir() const {
        return static_cast<std::size_t>(std::distance(fs::directory_iterator(dir_), {}));
    }

    const fs::path dir_ =
        fs::temp_directory_path() / ("vc_tune_test_" + std::to_string(::getpid()) + "_" +
                                     testing::UnitTest::GetInstance()->current_test_info()->name());
    const fs::path file_ = dir_ / "settings.cfg";
    std::error_code ignored_;
};

TEST_F(SettingsFileOnDisk, theHeaderIsCheckedFirstThenTheSizeAndAFailedFileLeavesTheTune) {
    const std::string body = kBelStartupFile.substr(kBelStartupFile.find("\r\n"));
    const std::pair<std::string, LoadOutcome> cases[] = {
        {"volcrestone settings BEL v1" + body, LoadOutcome::NotSettingsFile},
        {"", LoadOutcome::NotSettingsFile},
        {std::string(3u << 20, 'x'), LoadOutcome::NotSettingsFile},
        {kBelStartupFile + std::string(3u << 20, ' '), LoadOutcome::Failed}};
    tune::Tune t = tune::Tune::startup(Edition::BEL);
    t.rpm[0] = "1100";  // a load that did anything would show here
    for (const auto& [bytes, outcome] : cases) {
        SCOPED_TRACE(bytes.substr(0, 30));
        put(file_, bytes);
        EXPECT_EQ(tune::loadSettingsFile(t, file_), outcome);
    }
    EXPECT_EQ(tune::loadSettingsFile(t, dir_), LoadOutcome::CannotOpen);
    EXPECT_EQ(t.rpm[0], "1100");
}

// A missing folder and a read-only file: see the command-line tool's upload rows.
TEST_F(SettingsFileOnDisk, aTargetThatCannotBeOpenedForWritingIsRefusedBeforeAnythingIsWritten) {
    fs::create_directory(dir_ / "folder.cfg");
    put(dir_ / "folder.cfg" / "inside", "kept");
    fs::create_directory(dir_ / "locked");
    fs::permissions(dir_ / "locked", fs::perms::owner_read | fs::perms::owner_exec);
    std::vector<fs::path> targets = {dir_ / "folder.cfg", dir_ / (std::string(256, 'n') + ".cfg")};
    if (::geteuid() != 0)  // the administrator may write into any folder
        targets.push_back(dir_ / "locked" / "t.cfg");
    for (const fs::path& target : targets) {
        SCOPED_TRACE(target.filename().string().substr(0, 20));
        EXPECT_EQ(tune::saveSettingsFile(target, kBelStartupFile), SaveOutcome::CannotOpen);
    }
    EXPECT_EQ(contents(dir_ / "folder.cfg" / "inside"), "kept");
    EXPECT_EQ(entriesInDir(), 2u);
    EXPECT_TRUE(fs::is_empty(dir_ / "locked"));
    fs::permissions(dir_ / "locked", fs::perms::owner_all);
}

TEST_F(SettingsFileOnDisk, savingReplacesAFileTakesTheLongestNameAndLeavesNoTemporaryFile) {
    put(file_, "old contents that are longer than the new ones, by quite a lot\r\n");
    EXPECT_EQ(tune::saveSettingsFile(file_, "new\r\n"), SaveOutcome::Saved);
    EXPECT_EQ(contents(file_), "new\r\n");
    const fs::path longest = dir_ / (std::string(251, 'n') + ".cfg");
    EXPECT_EQ(tune::saveSettingsFile(longest, kBelStartupFile), SaveOutcome::Saved);
    EXPECT_EQ(contents(longest), kBelStartupFile);
    EXPECT_EQ(entriesInDir(), 2u);
}

// A fresh target on a full disk: see the Session's saving test.
TEST_F(SettingsFileOnDisk, aWriteThatFailsHalfwayLeavesThePreviousFileByteIdentical) {
    put(file_, kBelStartupFile);
    SaveOutcome outcome{};
    {
        const support::FileSizeLimit diskFull(1024);
        outcome = tune::saveSettingsFile(file_, std::string(64 * 1024, 'x'));
    }
    EXPECT_EQ(outcome, SaveOutcome::Failed);
    EXPECT_EQ(contents(file_), kBelStartupFile);
    EXPECT_EQ(entriesInDir(), 1u);
}

// The history, in UTC: 1733500800 is 2024-12-06 16:00:00.
TEST_F(SettingsFileOnDisk, theHistoryNamesEntriesBySecondSkipsARepeatOfItsKindAndListsNewestFirst) {
    ::setenv("TZ", "UTC", 1);
    ::tzset();
    const std::time_t t = 1733500800;
    const struct {
        tune::HistoryKind kind;
        std::string content;
        std::time_t when;
        std::string name;
    } keeps[] = {
        {tune::HistoryKind::Read, "A", t, "20241206-160000-read.cfg"},
        {tune::HistoryKind::Read, "A", t + 5, "20241206-160000-read.cfg"},  // not again
        {tune::HistoryKind::Sent, "A", t, "20241206-160000-sent-2.cfg"},
        {tune::HistoryKind::Read, "B", t, "20241206-160000-read-3.cfg"},
        {tune::HistoryKind::Read, "A", t + 1, "20241206-160001-read.cfg"},
    };
    put(dir_ / "notes.txt", "not an entry");
    put(dir_ / "20241206-160000-read-1.cfg", "not an entry either");
    for (const auto& keep : keeps) {
        const tune::KeepOutcome kept =
            tune::keepInHistory(dir_, keep.kind, keep.content, keep.when);
        EXPECT_TRUE(kept.kept) << kept.reason;
        EXPECT_EQ(kept.path, dir_ / keep.name);
    }
    const std::vector<tune::HistoryEntry> listed = tune::listHistory(dir_);
    ASSERT_EQ(listed.size(), 4u);
    EXPECT_EQ(tune::historyLine(1, listed[0]),
              "@1  2024-12-06 16:00:01  read  " + (dir_ / "20241206-160001-read.cfg").string());
    EXPECT_EQ(contents(listed[1].path), "B");
    EXPECT_EQ(tune::historyEntryPath(dir_, "@4"), dir_ / "20241206-160000-read.cfg");
    for (const char* none : {"@5", "@0", "@99999999999999999999", "@", "x@1", "@1x"})
        EXPECT_EQ(tune::historyEntryPath(dir_, none), std::nullopt) << none;
    EXPECT_FALSE(tune::isHistoryReference("@1.cfg"));

    // An absolute data folder is the command-line tests' own setting.
    const std::pair<const char*, std::string> folders[] = {
        {"", "/home/tuner/.local/share/Ferrodyn/history"},
        {"relative", "/home/tuner/.local/share/Ferrodyn/history"}};
    ::setenv("HOME", "/home/tuner", 1);
    for (const auto& [data, folder] : folders) {
        ::setenv("XDG_DATA_HOME", data, 1);
        EXPECT_EQ(tune::historyFolder("Ferrodyn"), fs::path(folder)) << data;
    }
}

TEST_F(SettingsFileOnDisk, aNewEntryBeyondAThousandRemovesTheOldestAndAFailureSaysWhereAndWhy) {
    for (int second = 0; second < 1000; ++second)
        put(dir_ / ("20200101-00" + std::to_string(1000 + second).substr(1) + "0-sent.cfg"), "");
    ASSERT_TRUE(tune::keepInHistory(dir_, tune::HistoryKind::Read, "A", 1733500800).kept);
    EXPECT_EQ(entriesInDir(), 1000u);
    EXPECT_FALSE(fs::exists(dir_ / "20200101-000000-sent.cfg"));  // and only that one

    // A folder that cannot be made: see the Session's and the command-line tool's sending tests.
    fs::create_directory(dir_ / "full");
    tune::KeepOutcome full;
    {
        const support::FileSizeLimit diskFull(1024);
        full = tune::keepInHistory(dir_ / "full", tune::HistoryKind::Sent, std::string(4096, 'x'),
                                   1733500800);
    }
    EXPECT_EQ(std::tie(full.kept, full.path, full.reason),
              std::tuple(false, dir_ / "full" / "20241206-160000-sent.cfg", "File too large"));
    EXPECT_TRUE(fs::is_empty(dir_ / "full"));
}

}  // namespace

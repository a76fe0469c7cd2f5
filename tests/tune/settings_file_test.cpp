#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "support/BelStartup.h"
#include "support/FileSizeLimit.h"
#include "tune/SettingsFile.h"
#include "tune/Tune.h"

namespace {

namespace fs = std::filesystem;
using support::kBelStartupFile;
using tune::LoadOutcome;
using tune::SaveOutcome;

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

TEST_F(SettingsFileOnDisk, aFileWithoutAVersionAfterTheHeaderWordsHasTheTwoOldRpmThresholds) {
    std::string old = kBelStartupFile;
    old.replace(old.find(" BEL v1"), 7, "");
    put(file_, old.replace(old.find("\"RPM\",\"0\",\"RPM\",\"0\""), 19, "\"3000\",\"4000\""));
    tune::Tune t = tune::Tune::startup(tune::Edition::BEL);
    EXPECT_EQ(tune::loadSettingsFile(t, file_), LoadOutcome::Loaded);
    EXPECT_EQ(t.outputs[1].raw, "80");
}

TEST_F(SettingsFileOnDisk, theHeaderIsCheckedFirstThenTheSizeAndAFailedFileLeavesTheTune) {
    const std::string body = kBelStartupFile.substr(kBelStartupFile.find("\r\n"));
    const std::pair<std::string, LoadOutcome> cases[] = {
        {"volcrestone settings BEL v1" + body, LoadOutcome::NotSettingsFile},
        {"", LoadOutcome::NotSettingsFile},
        {std::string(3u << 20, 'x'), LoadOutcome::NotSettingsFile},
        {kBelStartupFile + std::string(3u << 20, ' '), LoadOutcome::Failed}};
    tune::Tune t = tune::Tune::startup(tune::Edition::BEL);
    t.rpm[0] = "1100";  // a load that did anything would show here
    for (const auto& [bytes, outcome] : cases) {
        SCOPED_TRACE(bytes.substr(0, 30));
        put(file_, bytes);
        EXPECT_EQ(tune::loadSettingsFile(t, file_), outcome);
    }
    EXPECT_EQ(tune::loadSettingsFile(t, dir_), LoadOutcome::CannotOpen);
    EXPECT_EQ(t.rpm[0], "1100");
}

TEST_F(SettingsFileOnDisk, aTargetThatCannotBeOpenedForWritingIsRefusedBeforeAnythingIsWritten) {
    put(dir_ / "read-only.cfg", "kept");
    fs::permissions(dir_ / "read-only.cfg", fs::perms::owner_read | fs::perms::group_read);
    fs::create_directory(dir_ / "folder.cfg");
    put(dir_ / "folder.cfg" / "inside", "kept");
    fs::create_directory(dir_ / "locked");
    fs::permissions(dir_ / "locked", fs::perms::owner_read | fs::perms::owner_exec);
    std::vector<fs::path> targets = {dir_ / "missing" / "t.cfg", dir_ / "folder.cfg",
                                     dir_ / (std::string(256, 'n') + ".cfg"),
                                     dir_ / "read-only.cfg"};
    if (::geteuid() != 0)  // the administrator may write into any folder
        targets.push_back(dir_ / "locked" / "t.cfg");
    for (const fs::path& target : targets) {
        SCOPED_TRACE(target.filename().string().substr(0, 20));
        EXPECT_EQ(tune::saveSettingsFile(target, kBelStartupFile), SaveOutcome::CannotOpen);
    }
    EXPECT_EQ(contents(dir_ / "read-only.cfg"), "kept");
    EXPECT_EQ(contents(dir_ / "folder.cfg" / "inside"), "kept");
    EXPECT_EQ(entriesInDir(), 3u);
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

TEST_F(SettingsFileOnDisk, aWriteThatFailsHalfwayLeavesThePreviousFileByteIdenticalOrNoFile) {
    put(file_, kBelStartupFile);
    const std::string big(64 * 1024, 'x');
    SaveOutcome over{};
    SaveOutcome fresh{};
    {
        const support::FileSizeLimit diskFull(1024);
        over = tune::saveSettingsFile(file_, big);
        fresh = tune::saveSettingsFile(dir_ / "new.cfg", big);
    }
    EXPECT_EQ(over, SaveOutcome::Failed);
    EXPECT_EQ(fresh, SaveOutcome::Failed);
    EXPECT_EQ(contents(file_), kBelStartupFile);
    EXPECT_EQ(entriesInDir(), 1u);
}

}  // namespace

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "support/BelStartup.h"
#include "tune/SettingsFile.h"
#include "tune/Tune.h"

namespace {

namespace fs = std::filesystem;
using support::kBelStartupFile;
using tune::LoadOutcome;

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

TEST_F(SettingsFileOnDisk, aForeignEmptyMissingOrHugeFileLeavesTheTuneUntouched) {
    const std::string body = kBelStartupFile.substr(kBelStartupFile.find("\r\n"));
    const std::pair<std::string, LoadOutcome> cases[] = {
        {"volcrestone settings BEL v1" + body, LoadOutcome::NotSettingsFile},
        {"", LoadOutcome::NotSettingsFile},
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

TEST_F(SettingsFileOnDisk, savingReplacesAFileButNeverAFolderAndLeavesNoTemporaryFile) {
    put(file_, "old contents that are longer than the new ones, by quite a lot\r\n");
    ASSERT_TRUE(tune::writeFileAtomically(file_, "new\r\n"));
    EXPECT_EQ(contents(file_), "new\r\n");
    fs::create_directory(dir_ / "taken.cfg");
    put(dir_ / "taken.cfg" / "inside", "kept");
    EXPECT_FALSE(tune::writeFileAtomically(dir_ / "taken.cfg", kBelStartupFile));
    EXPECT_EQ(contents(dir_ / "taken.cfg" / "inside"), "kept");
    EXPECT_EQ(entriesInDir(), 2u);
}

TEST_F(SettingsFileOnDisk, aWriteThatFailsHalfwayLeavesThePreviousFileByteIdentical) {
    put(file_, kBelStartupFile);
    // A file-size limit makes the write fail part way through, whatever the user's rights.
    rlimit saved{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = 1024;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    const bool written = tune::writeFileAtomically(file_, std::string(64 * 1024, 'x'));
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);
    EXPECT_FALSE(written);
    EXPECT_EQ(contents(file_), kBelStartupFile);
    EXPECT_EQ(entriesInDir(), 1u);
}

}  // namespace

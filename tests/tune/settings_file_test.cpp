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
#include "tune/SettingsText.h"
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
    void SetUp() override {
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    void TearDown() override {
        std::error_code ec;
        fs::remove_all(dir_, ec);
    }
    std::size_t entriesInDir() const {
        return static_cast<std::size_t>(std::distance(fs::directory_iterator(dir_), {}));
    }

    const fs::path dir_ =
        fs::temp_directory_path() / ("vc_tune_test_" + std::to_string(::getpid()) + "_" +
                                     testing::UnitTest::GetInstance()->current_test_info()->name());
    const fs::path file_ = dir_ / "settings.cfg";
};

// Differs from a BEL start-up Tune, so a load that did nothing shows.
tune::Tune changedTune() {
    tune::Tune t = tune::Tune::startup(tune::Edition::BEL);
    t.setOption(tune::Option::Stroke2, true);
    t.outputs[1].raw = "77";
    t.selectChannel(1, 3);
    return t;
}

TEST_F(SettingsFileOnDisk, aSavedStartupTuneIsTheHeaderTwelveLinesAndAFinalLineEnd) {
    ASSERT_TRUE(tune::writeFileAtomically(
        file_, tune::settingsFileText(tune::Tune::startup(tune::Edition::BEL), "BEL")));
    EXPECT_EQ(contents(file_), kBelStartupFile);
    const std::string qolt =
        tune::settingsFileText(tune::Tune::startup(tune::Edition::QOLT), "QOLT");
    EXPECT_EQ(qolt.substr(0, qolt.find("\r\n")), "Volcrestone Settings QOLT v1");
}

TEST_F(SettingsFileOnDisk, filesLoadWhateverTheirLineEndsAndVersionsAfterTheHeaderWords) {
    ASSERT_TRUE(tune::writeFileAtomically(file_, tune::settingsFileText(changedTune(), "BEL")));
    tune::Tune t = tune::Tune::startup(tune::Edition::BEL);
    EXPECT_EQ(tune::loadSettingsFile(t, file_), LoadOutcome::Loaded);
    EXPECT_EQ(tune::settingStr(t), tune::settingStr(changedTune()));
    EXPECT_EQ(t.outputs[1].text, "37");

    std::string lineFeeds = kBelStartupFile;
    for (std::size_t p; (p = lineFeeds.find("\r\n")) != std::string::npos;)
        lineFeeds.replace(p, 2, "\n");
    put(file_, lineFeeds);
    EXPECT_EQ(tune::loadSettingsFile(t, file_), LoadOutcome::Loaded);
    EXPECT_EQ(tune::settingStr(t), support::kBelStartupText);

    // Without a version after the header words the outputs are the two old RPM thresholds.
    std::string old = kBelStartupFile;
    old.replace(old.find(" BEL v1"), 7, "");
    put(file_, old.replace(old.find("\"RPM\",\"0\",\"RPM\",\"0\""), 19, "\"3000\",\"4000\""));
    EXPECT_EQ(tune::loadSettingsFile(t, file_), LoadOutcome::Loaded);
    EXPECT_EQ(t.outputs[1].raw, "80");
}

TEST_F(SettingsFileOnDisk, aForeignEmptyMissingOrHugeFileLeavesTheTuneUntouched) {
    const std::string body = kBelStartupFile.substr(kBelStartupFile.find("\r\n"));
    const std::pair<std::string, LoadOutcome> cases[] = {
        {"Volcrestone Setting BEL v1" + body, LoadOutcome::NotSettingsFile},
        {"volcrestone settings BEL v1" + body, LoadOutcome::NotSettingsFile},
        {"", LoadOutcome::NotSettingsFile},
        {kBelStartupFile + std::string(3u << 20, ' '), LoadOutcome::Failed}};
    tune::Tune t = changedTune();
    for (const auto& [bytes, outcome] : cases) {
        SCOPED_TRACE(bytes.substr(0, 30));
        put(file_, bytes);
        EXPECT_EQ(tune::loadSettingsFile(t, file_), outcome);
    }
    EXPECT_EQ(tune::loadSettingsFile(t, dir_ / "absent.cfg"), LoadOutcome::CannotOpen);
    EXPECT_EQ(tune::loadSettingsFile(t, dir_), LoadOutcome::CannotOpen);
    EXPECT_EQ(tune::settingStr(t), tune::settingStr(changedTune()));
}

TEST_F(SettingsFileOnDisk, savingReplacesAFileButNeverAFolderAndLeavesNoTemporaryFile) {
    put(file_, "old contents that are longer than the new ones, by quite a lot\r\n");
    ASSERT_TRUE(tune::writeFileAtomically(file_, "new\r\n"));
    EXPECT_EQ(contents(file_), "new\r\n");
    EXPECT_FALSE(tune::writeFileAtomically(dir_ / "no" / "such.cfg", kBelStartupFile));
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

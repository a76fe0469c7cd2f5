#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "tune/SettingsFile.h"
#include "tune/SettingsText.h"
#include "tune/Tune.h"

namespace {

namespace fs = std::filesystem;
using tune::Edition;
using tune::LoadOutcome;
using tune::Option;

const std::string kBelStartupFile =
    "Volcrestone Settings BEL v1\r\n"
    "#TRUE#,#FALSE#,\"4\",\"45.0\",#FALSE#\r\n"
    "\"8\",\"18\",\"24\",\"32\",\"32\",\"30\"\r\n"
    "\"1000\",\"2500\",\"3500\",\"4500\",\"5500\",\"6500\"\r\n"
    "\"+6\",\"+4\",\"+2\",\"0\",\"-2\",\"-5\"\r\n"
    "\"40\",\"60\",\"80\",\"100\",\"140\",\"160\"\r\n"
    "#FALSE#,#FALSE#,#TRUE#\r\n"
    "\"1.0\",\"1.5\",\"1500\",\"2000\"\r\n"
    "\"6\",\"300\",\"3\"\r\n"
    "\"RPM\",\"0\",\"RPM\",\"0\"\r\n"
    "\"1200\",\"** \",#TRUE#,#FALSE#\r\n"
    "#FALSE#,#TRUE#,\"Reset\",#FALSE#\r\n"
    "\"0.0\",#TRUE#,#FALSE#,\"25\"\r\n";

class SettingsFileOnDisk : public testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() /
               ("vc_tune_test_" + std::to_string(::getpid()) + "_" +
                testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    void TearDown() override {
        std::error_code ec;
        fs::permissions(dir_, fs::perms::owner_all, ec);
        fs::remove_all(dir_, ec);
    }

    static std::string contents(const fs::path& p) {
        std::ifstream in(p, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
    static void put(const fs::path& p, const std::string& bytes) {
        std::ofstream(p, std::ios::binary) << bytes;
    }
    std::size_t entriesInDir() const {
        return static_cast<std::size_t>(std::distance(fs::directory_iterator(dir_), {}));
    }

    fs::path dir_;
};

// Anything that differs from a BEL start-up Tune, so a load that did nothing shows.
tune::Tune changedTune(Edition edition) {
    tune::Tune t = tune::Tune::startup(edition);
    t.setOption(Option::Stroke2, true);
    t.cylinders.select(2);
    t.rpm[5] = "7000";
    t.mapAdj[0] = "-7";
    t.setOption(Option::PortedTPS, true);
    t.crankDelay.select(6);
    t.outputs[1].raw = "77";
    t.selectChannel(1, 3);
    t.limitType.select(4);
    t.setOption(Option::Retard, true);
    t.xled.select(2);
    t.knockIncr.select(8);
    t.unwindRate = "200";
    return t;
}

TEST_F(SettingsFileOnDisk, savedBelStartupTuneIsTheHeaderAndTwelveLines) {
    const fs::path file = dir_ / "start.cfg";
    ASSERT_TRUE(tune::writeFileAtomically(
        file, tune::settingsFileText(tune::Tune::startup(Edition::BEL), "BEL")));
    EXPECT_EQ(contents(file), kBelStartupFile);
    EXPECT_EQ(entriesInDir(), 1u);
}

TEST_F(SettingsFileOnDisk, qoltHeaderStillNamesVolcrestone) {
    const std::string text = tune::settingsFileText(tune::Tune::startup(Edition::QOLT), "QOLT");
    EXPECT_EQ(text.substr(0, text.find("\r\n")), "Volcrestone Settings QOLT v1");
}

TEST_F(SettingsFileOnDisk, referenceFileLoadsIntoAChangedTune) {
    const fs::path file = dir_ / "start.cfg";
    put(file, kBelStartupFile);
    tune::Tune t = changedTune(Edition::RUK);
    EXPECT_EQ(tune::loadSettingsFile(t, file), LoadOutcome::Loaded);
    EXPECT_EQ(tune::settingStr(t), tune::settingStr(tune::Tune::startup(Edition::BEL)));
}

TEST_F(SettingsFileOnDisk, changedTuneRoundTripsThroughAFile) {
    const tune::Tune written = changedTune(Edition::BEL);
    const fs::path file = dir_ / "round.cfg";
    ASSERT_TRUE(tune::writeFileAtomically(file, tune::settingsFileText(written, "BEL")));
    tune::Tune t = tune::Tune::startup(Edition::BEL);
    EXPECT_EQ(tune::loadSettingsFile(t, file), LoadOutcome::Loaded);
    EXPECT_EQ(tune::settingStr(t), tune::settingStr(written));
    EXPECT_EQ(t.outputs[1].text, "37");
}

TEST_F(SettingsFileOnDisk, filesMoveBetweenQoltAndBel) {
    const fs::path qoltFile = dir_ / "qolt.cfg";
    const tune::Tune qolt = tune::Tune::startup(Edition::QOLT);
    ASSERT_TRUE(tune::writeFileAtomically(qoltFile, tune::settingsFileText(qolt, "QOLT")));
    tune::Tune inBel = tune::Tune::startup(Edition::BEL);
    EXPECT_EQ(tune::loadSettingsFile(inBel, qoltFile), LoadOutcome::Loaded);
    EXPECT_EQ(tune::settingStr(inBel), tune::settingStr(qolt));

    const fs::path belFile = dir_ / "bel.cfg";
    tune::Tune bel = tune::Tune::startup(Edition::BEL);
    bel.cylinders.select(7);
    ASSERT_TRUE(tune::writeFileAtomically(belFile, tune::settingsFileText(bel, "BEL")));
    tune::Tune inQolt = tune::Tune::startup(Edition::QOLT);
    EXPECT_EQ(tune::loadSettingsFile(inQolt, belFile), LoadOutcome::Loaded);
    EXPECT_EQ(inQolt.cylinders.text, "12");
    EXPECT_EQ(tune::settingStr(inQolt), tune::settingStr(bel));
}

TEST_F(SettingsFileOnDisk, versionZeroFileReadsTwoRpmThresholds) {
    std::string old = kBelStartupFile;
    old.replace(old.find(" v1"), 3, " v0");
    old.replace(old.find("\"RPM\",\"0\",\"RPM\",\"0\""), 19, "\"3000\",\"4000\"");
    const fs::path file = dir_ / "old.cfg";
    put(file, old);
    tune::Tune t = tune::Tune::startup(Edition::BEL);
    EXPECT_EQ(tune::loadSettingsFile(t, file), LoadOutcome::Loaded);
    EXPECT_EQ(t.outputs[0].raw, "60");
    EXPECT_EQ(t.outputs[0].text, "3000");
    EXPECT_EQ(t.outputs[1].raw, "80");
    EXPECT_EQ(t.outputs[1].text, "4000");
    EXPECT_EQ(t.unwindRate, "25");
}

TEST_F(SettingsFileOnDisk, headerWithoutVersionIsReadAsTheOldLayout) {
    std::string old = kBelStartupFile;
    old.replace(old.find(" BEL v1"), 7, "");
    old.replace(old.find("\"RPM\",\"0\",\"RPM\",\"0\""), 19, "\"3000\",\"4000\"");
    const fs::path file = dir_ / "bare.cfg";
    put(file, old);
    tune::Tune t = tune::Tune::startup(Edition::BEL);
    EXPECT_EQ(tune::loadSettingsFile(t, file), LoadOutcome::Loaded);
    EXPECT_EQ(t.outputs[1].raw, "80");
}

TEST_F(SettingsFileOnDisk, lineFeedOnlyFileLoads) {
    std::string unix = kBelStartupFile;
    for (std::size_t p; (p = unix.find("\r\n")) != std::string::npos;)
        unix.replace(p, 2, "\n");
    const fs::path file = dir_ / "unix.cfg";
    put(file, unix);
    tune::Tune t = changedTune(Edition::BEL);
    EXPECT_EQ(tune::loadSettingsFile(t, file), LoadOutcome::Loaded);
    EXPECT_EQ(tune::settingStr(t), tune::settingStr(tune::Tune::startup(Edition::BEL)));
}

TEST_F(SettingsFileOnDisk, fileCutAfterLineFiveLoadsThoseLinesAndFails) {
    std::string cut = kBelStartupFile.substr(0, kBelStartupFile.find("#FALSE#,#FALSE#,#TRUE#"));
    const fs::path file = dir_ / "cut.cfg";
    put(file, cut);
    tune::Tune t = changedTune(Edition::BEL);
    EXPECT_EQ(tune::loadSettingsFile(t, file), LoadOutcome::Failed);
    EXPECT_EQ(t.rpm[5], "6500");
    EXPECT_TRUE(t.option(Option::Stroke4));
    EXPECT_EQ(t.cylinders.text, "4");
    EXPECT_TRUE(t.option(Option::PortedTPS));
    EXPECT_EQ(t.unwindRate, "200");
    EXPECT_EQ(t.knockIncr.text, "4.0");
}

TEST_F(SettingsFileOnDisk, foreignHeaderLeavesTheTuneUntouched) {
    for (const std::string header : {"Volcrestone Setting BEL v1", "volcrestone settings BEL v1",
                                     " Volcrestone Settings BEL v1", "", "Volcrestone"}) {
        std::string text = kBelStartupFile;
        text.replace(0, text.find("\r\n"), header);
        const fs::path file = dir_ / "foreign.cfg";
        put(file, text);
        tune::Tune t = changedTune(Edition::BEL);
        const std::string before = tune::settingStr(t);
        EXPECT_EQ(tune::loadSettingsFile(t, file), LoadOutcome::NotSettingsFile) << header;
        EXPECT_EQ(tune::settingStr(t), before);
    }
}

TEST_F(SettingsFileOnDisk, emptyFileIsNotASettingsFile) {
    const fs::path file = dir_ / "empty.cfg";
    put(file, "");
    tune::Tune t = tune::Tune::startup(Edition::BEL);
    EXPECT_EQ(tune::loadSettingsFile(t, file), LoadOutcome::NotSettingsFile);
}

TEST_F(SettingsFileOnDisk, binaryFileAfterOurHeaderFailsWithoutCrashing) {
    std::string bytes = "Volcrestone Settings BEL v1\r\n";
    for (int i = 0; i < 4096; ++i)
        bytes.push_back(static_cast<char>((i * 37) & 0xFF));
    const fs::path file = dir_ / "binary.cfg";
    put(file, bytes);
    tune::Tune t = tune::Tune::startup(Edition::BEL);
    EXPECT_EQ(tune::loadSettingsFile(t, file), LoadOutcome::Failed);
}

TEST_F(SettingsFileOnDisk, binaryFileWithoutOurHeaderIsRefused) {
    std::string bytes;
    for (int i = 0; i < 4096; ++i)
        bytes.push_back(static_cast<char>((i * 91 + 7) & 0xFF));
    const fs::path file = dir_ / "binary.bin";
    put(file, bytes);
    tune::Tune t = tune::Tune::startup(Edition::BEL);
    EXPECT_EQ(tune::loadSettingsFile(t, file), LoadOutcome::NotSettingsFile);
}

TEST_F(SettingsFileOnDisk, hugeFileIsAFailedLoadAndChangesNothing) {
    std::string big = kBelStartupFile;
    big.append(3u << 20, ' ');
    const fs::path file = dir_ / "huge.cfg";
    put(file, big);
    tune::Tune t = changedTune(Edition::BEL);
    const std::string before = tune::settingStr(t);
    EXPECT_EQ(tune::loadSettingsFile(t, file), LoadOutcome::Failed);
    EXPECT_EQ(tune::settingStr(t), before);
}

TEST_F(SettingsFileOnDisk, missingFileCannotBeOpened) {
    tune::Tune t = tune::Tune::startup(Edition::BEL);
    EXPECT_EQ(tune::loadSettingsFile(t, dir_ / "absent.cfg"), LoadOutcome::CannotOpen);
    EXPECT_EQ(tune::loadSettingsFile(t, dir_), LoadOutcome::CannotOpen);
}

TEST_F(SettingsFileOnDisk, savingReplacesAnExistingFile) {
    const fs::path file = dir_ / "replace.cfg";
    put(file, "old contents that are longer than the new ones will be, by quite a lot\r\n");
    ASSERT_TRUE(tune::writeFileAtomically(file, "new\r\n"));
    EXPECT_EQ(contents(file), "new\r\n");
    EXPECT_EQ(entriesInDir(), 1u);
}

TEST_F(SettingsFileOnDisk, savingIntoAMissingFolderFailsAndCreatesNothing) {
    EXPECT_FALSE(tune::writeFileAtomically(dir_ / "no" / "such.cfg", kBelStartupFile));
    EXPECT_FALSE(fs::exists(dir_ / "no"));
    EXPECT_EQ(entriesInDir(), 0u);
}

TEST_F(SettingsFileOnDisk, savingOverAFolderFailsAndLeavesItAndNoTemporaryFile) {
    fs::create_directory(dir_ / "taken.cfg");
    put(dir_ / "taken.cfg" / "inside", "kept");
    EXPECT_FALSE(tune::writeFileAtomically(dir_ / "taken.cfg", kBelStartupFile));
    EXPECT_EQ(contents(dir_ / "taken.cfg" / "inside"), "kept");
    EXPECT_EQ(entriesInDir(), 1u);
}

TEST_F(SettingsFileOnDisk, savingIntoAReadOnlyFolderLeavesThePreviousFile) {
    const fs::path file = dir_ / "kept.cfg";
    put(file, kBelStartupFile);
    fs::permissions(dir_, fs::perms::owner_read | fs::perms::owner_exec);
    if (::access(dir_.c_str(), W_OK) == 0) {
        GTEST_SKIP() << "this user may write into read-only folders";
    }
    EXPECT_FALSE(tune::writeFileAtomically(file, "replacement"));
    EXPECT_EQ(contents(file), kBelStartupFile);
}

TEST_F(SettingsFileOnDisk, aWriteThatFailsHalfwayLeavesThePreviousFileByteIdentical) {
    const fs::path file = dir_ / "kept.cfg";
    put(file, kBelStartupFile);
    const std::string replacement(64 * 1024, 'x');

    // A file-size limit makes the write fail part way through, whatever the user's rights.
    rlimit saved{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = 1024;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    const bool written = tune::writeFileAtomically(file, replacement);
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);

    EXPECT_FALSE(written);
    EXPECT_EQ(contents(file), kBelStartupFile);
    EXPECT_EQ(entriesInDir(), 1u);
}

}  // namespace

// volcrestone-cli plot as a process: a settings file in, a PNG out, read back and looked at.
#include <gtest/gtest.h>

#include <QImage>
#include <filesystem>
#include <fstream>

#include "support/BelStartup.h"
#include "support/Processes.h"

namespace {

class CliPlot : public testing::Test {
protected:
    CliPlot() { std::ofstream(path("start.cfg"), std::ios::binary) << support::kBelStartupFile; }

    // Settings of the Volcrestone Editions, in the private configuration folder.
    void storeSettings(const std::string& ini) {
        std::filesystem::create_directories(path("config/Volcrestone"));
        std::ofstream(path("config/Volcrestone/Volcrestone.ini")) << ini;
    }
    support::Finished plot(const std::string& settingsFile, const std::string& png) {
        return support::runToEnd(VOLCRESTONE_CLI_PATH, {"plot", settingsFile, "--png", png},
                                 {{"XDG_CONFIG_HOME", path("config")}});
    }
    std::string path(const std::string& name) const { return folder.path(name); }

    support::ScratchFolder folder;
};

constexpr QRgb kWhite = 0xFFFFFFFF;
constexpr QRgb kBlack = 0xFF000000;
constexpr QRgb kYellow = 0xFFFFFF00;
constexpr QRgb kBlue = 0xFF0000FF;

TEST_F(CliPlot, drawsTheStartupTuneAt96DpiWithTheStoredColourAndRpmScale) {
    storeSettings("[Plot]\nGridColor=16711680\n[Realtime]\nRPM=12\n");
    const auto run = plot(path("start.cfg"), path("map.png"));
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.out, "");
    const QImage image(QString::fromStdString(path("map.png")));
    ASSERT_EQ(image.size(), QSize(537, 329));
    EXPECT_EQ(image.pixel(5, 5), kWhite);
    // Frame corners, twips / 15: P(0,0,0) at (819.25, 2194.75), the front right P(12000,250,0)
    // at (7652.25, 4194.75), the top of the back wall's right edge at (5652.25, 594.75).
    EXPECT_EQ(image.pixel(54, 146), kBlack);
    EXPECT_EQ(image.pixel(510, 279), kBlack);
    EXPECT_EQ(image.pixel(376, 39), kBlack);
    // The surface in blue: P(0,0,14) where it starts, and P(6500,0,36) on the 12K scale, which
    // lies at (3437.125, 754.75).
    EXPECT_EQ(image.pixel(54, 108), kBlue);
    EXPECT_EQ(image.pixel(229, 50), kBlue);
    // The 8K scale puts that point at (4746.0625, 754.75) instead.
    storeSettings("[Realtime]\nRPM=8\n");
    ASSERT_EQ(plot(path("start.cfg"), path("map.png")).exitCode, 0);
    const QImage eightK(QString::fromStdString(path("map.png")));
    EXPECT_EQ(eightK.pixel(316, 50), kYellow);
    EXPECT_EQ(eightK.pixel(229, 50), kWhite);
}

TEST_F(CliPlot, aFileThatDoesNotLoadOrAPictureThatCannotBeWrittenFailsWithNoFileLeft) {
    std::ofstream(path("other.cfg")) << "Some other file\r\n";
    const std::pair<std::string, std::string> loads[] = {
        {path("missing.cfg"), "Could not open file 1\n"},
        {path("other.cfg"), "Not a Volcrestone Settings file!\n"}};
    for (const auto& [file, message] : loads) {
        const auto run = plot(file, path("map.png"));
        EXPECT_EQ(run.exitCode, 1);
        EXPECT_EQ(run.out, "");
        EXPECT_NE(run.err.find(message), std::string::npos) << run.err;
        EXPECT_FALSE(std::filesystem::exists(path("map.png")));
    }
    const auto unwritable = plot(path("start.cfg"), path("no/such/folder/map.png"));
    EXPECT_EQ(unwritable.exitCode, 1);
    EXPECT_NE(unwritable.err.find("Could not write " + path("no/such/folder/map.png")),
              std::string::npos)
        << unwritable.err;
    std::filesystem::create_directory(path("taken.png"));
    EXPECT_EQ(plot(path("start.cfg"), path("taken.png")).exitCode, 1);
    EXPECT_TRUE(std::filesystem::is_directory(path("taken.png")));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.path(".")),
                            std::filesystem::directory_iterator()),
              3);  // start.cfg, other.cfg and taken.png: no temporary file stays
}

}  // namespace

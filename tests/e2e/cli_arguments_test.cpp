#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "cli/Arguments.h"

namespace {

using cli::Command;
using cli::parseArguments;
using tune::Edition;

TEST(CliArguments, commandAloneTakesCom1BelAnd3Bar) {
    const cli::ParseResult parsed = parseArguments({"revision"});
    ASSERT_TRUE(parsed.arguments.has_value()) << parsed.error;
    EXPECT_EQ(parsed.arguments->command, Command::Revision);
    EXPECT_EQ(parsed.arguments->comNumber, 1);
    EXPECT_EQ(parsed.arguments->device, "");
    EXPECT_EQ(parsed.arguments->edition, Edition::BEL);
    EXPECT_TRUE(parsed.arguments->threeBar);
    EXPECT_EQ(cli::portName(*parsed.arguments), "COM1");
}

TEST(CliArguments, optionsMayStandBeforeOrAfterTheCommand) {
    const cli::ParseResult parsed =
        parseArguments({"upload", "--edition", "qolt", "t.cfg", "--no-3bar", "--port=com4"});
    ASSERT_TRUE(parsed.arguments.has_value()) << parsed.error;
    EXPECT_EQ(parsed.arguments->command, Command::Upload);
    EXPECT_EQ(parsed.arguments->file, "t.cfg");
    EXPECT_EQ(parsed.arguments->edition, Edition::QOLT);
    EXPECT_FALSE(parsed.arguments->threeBar);
    EXPECT_EQ(parsed.arguments->comNumber, 4);
    EXPECT_EQ(cli::portName(*parsed.arguments), "COM4");
}

TEST(CliArguments, editionInAnyLetterCaseAndAPortOtherThanCom1To4AsADevicePath) {
    const std::tuple<const char*, Edition, const char*> rows[] = {
        {"RUK", Edition::RUK, "COM5"},
        {"Zav", Edition::ZAV, "COM"},
        {"qOlT", Edition::QOLT, "/dev/ttyUSB0"}};
    for (const auto& [name, edition, device] : rows) {
        const cli::ParseResult parsed =
            parseArguments({"--edition", name, "--port", device, "revision"});
        ASSERT_TRUE(parsed.arguments.has_value()) << parsed.error;
        EXPECT_EQ(parsed.arguments->edition, edition) << name;
        EXPECT_EQ(parsed.arguments->device, device);
        EXPECT_EQ(cli::portName(*parsed.arguments), device);
    }
}

TEST(CliArguments, helpIsAskedForWithoutACommand) {
    EXPECT_TRUE(parseArguments({"--help"}).helpRequested);
    EXPECT_TRUE(parseArguments({"send", "-h"}).helpRequested);
}

TEST(CliArguments, malformedLinesAreRefusedWithAReason) {
    const std::vector<std::vector<std::string>> lines{{},
                                                      {"fly"},
                                                      {"revision", "extra"},
                                                      {"upload"},
                                                      {"send", "a.cfg", "b.cfg"},
                                                      {"--port"},
                                                      {"--port", "", "revision"},
                                                      {"--edition", "FOO", "revision"},
                                                      {"--no-3bar=yes", "revision"},
                                                      {"-x", "revision"}};
    for (const std::vector<std::string>& line : lines) {
        const cli::ParseResult parsed = parseArguments(line);
        EXPECT_FALSE(parsed.arguments.has_value());
        EXPECT_FALSE(parsed.helpRequested);
        EXPECT_FALSE(parsed.error.empty());
    }
}

}  // namespace

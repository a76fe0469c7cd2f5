#include <gtest/gtest.h>

#include <string>
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

TEST(CliArguments, portOtherThanCom1To4IsADevicePath) {
    for (const char* device : {"/dev/ttyUSB0", "COM5", "COM", "/dev/pts/3"}) {
        const cli::ParseResult parsed = parseArguments({"--port", device, "send", "a.cfg"});
        ASSERT_TRUE(parsed.arguments.has_value()) << parsed.error;
        EXPECT_EQ(parsed.arguments->device, device);
        EXPECT_EQ(cli::portName(*parsed.arguments), device);
    }
}

TEST(CliArguments, everyEditionIsNamedInAnyLetterCase) {
    const std::vector<std::pair<const char*, Edition>> names{{"RUK", Edition::RUK},
                                                             {"bel", Edition::BEL},
                                                             {"Zav", Edition::ZAV},
                                                             {"qOlT", Edition::QOLT}};
    for (const auto& [name, edition] : names) {
        const cli::ParseResult parsed = parseArguments({"--edition", name, "revision"});
        ASSERT_TRUE(parsed.arguments.has_value()) << name;
        EXPECT_EQ(parsed.arguments->edition, edition) << name;
    }
}

TEST(CliArguments, helpIsAskedForWithoutACommand) {
    EXPECT_TRUE(parseArguments({"--help"}).helpRequested);
    EXPECT_TRUE(parseArguments({"send", "-h"}).helpRequested);
}

TEST(CliArguments, malformedLinesAreRefusedWithAReason) {
    const std::vector<std::vector<std::string>> lines{
        {},
        {"fly"},
        {"revision", "extra"},
        {"upload"},
        {"send"},
        {"send", "a.cfg", "b.cfg"},
        {"--port"},
        {"--port", "", "revision"},
        {"--edition", "FOO", "revision"},
        {"--edition"},
        {"--no-3bar=yes", "revision"},
        {"--speed", "9600", "revision"},
        {"-x", "revision"},
    };
    for (const std::vector<std::string>& line : lines) {
        const cli::ParseResult parsed = parseArguments(line);
        EXPECT_FALSE(parsed.arguments.has_value());
        EXPECT_FALSE(parsed.helpRequested);
        EXPECT_FALSE(parsed.error.empty());
    }
}

TEST(CliArguments, usageNamesEveryCommandAndOption) {
    const std::string usage = cli::usageText();
    for (const char* word : {"revision", "upload", "send", "--port", "--edition", "--no-3bar"}) {
        EXPECT_NE(usage.find(word), std::string::npos) << word;
    }
}

}  // namespace

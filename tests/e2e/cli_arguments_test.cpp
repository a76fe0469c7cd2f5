#include <gtest/gtest.h>

#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "cli/Arguments.h"

namespace {

using cli::Command;
using tune::Edition;

// A command line written as one string, split at blanks.
cli::ParseResult parse(const std::string& line) {
    std::istringstream in(line);
    return cli::parseArguments(
        {std::istream_iterator<std::string>(in), std::istream_iterator<std::string>()});
}

TEST(CliArguments, optionsBeforeOrAfterTheCommandGiveItsPortEditionScalingAndFile) {
    struct Row {
        const char* line;
        const char* port;  // as the messages name it
        Command command;
        Edition edition;
        bool threeBar;
        const char* file;
    };
    const Row rows[] = {
        {"revision", "COM1", Command::Revision, Edition::BEL, true, ""},
        {"upload --edition qolt t.cfg --no-3bar --port=com4", "COM4", Command::Upload,
         Edition::QOLT, false, "t.cfg"},
        {"--edition RUK --port COM5 revision", "COM5", Command::Revision, Edition::RUK, true, ""},
        {"send a.cfg --edition Zav --port /dev/ttyUSB0", "/dev/ttyUSB0", Command::Send,
         Edition::ZAV, true, "a.cfg"}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.line);
        const cli::ParseResult parsed = parse(row.line);
        ASSERT_TRUE(parsed.arguments.has_value()) << parsed.error;
        EXPECT_EQ(cli::portName(*parsed.arguments), row.port);
        EXPECT_EQ(parsed.arguments->command, row.command);
        EXPECT_EQ(parsed.arguments->edition, row.edition);
        EXPECT_EQ(parsed.arguments->threeBar, row.threeBar);
        EXPECT_EQ(parsed.arguments->file, row.file);
    }
}

TEST(CliArguments, malformedLinesAreRefusedWithAReasonAndHelpNeedsNoCommand) {
    for (const char* line : {"", "fly", "revision extra", "upload", "--port", "--port= revision",
                             "--edition FOO revision", "--no-3bar=yes revision", "-x revision"}) {
        const cli::ParseResult parsed = parse(line);
        EXPECT_FALSE(parsed.arguments.has_value() || parsed.helpRequested) << line;
        EXPECT_FALSE(parsed.error.empty()) << line;
    }
    EXPECT_TRUE(parse("--help").helpRequested);
    EXPECT_TRUE(parse("send -h").helpRequested);
}

}  // namespace

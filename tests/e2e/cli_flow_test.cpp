// The command-line tool's own logic: its arguments, and its command flow on a fake line for what
// a real pseudo-terminal cannot do (an output that never drains, an adapter pulled out).
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "cli/Arguments.h"
#include "cli/Commands.h"
#include "support/BelStartup.h"
#include "support/FakePlatform.h"
#include "support/Processes.h"

namespace {

using tune::Edition;

cli::ParseResult parse(const std::string& line) {
    std::istringstream in(line);
    return cli::parseArguments(
        {std::istream_iterator<std::string>(in), std::istream_iterator<std::string>()});
}

TEST(CliArguments, optionsBeforeOrAfterTheCommandGiveThePortEditionScalingAndFile) {
    struct Row {
        const char* line;
        const char* port;  // as the messages name it
        Edition edition;
        bool threeBar;
        const char* file;
    };
    const Row rows[] = {
        {"revision", "COM1", Edition::BEL, true, ""},
        {"upload --edition qolt t --no-3bar --port=com4", "COM4", Edition::QOLT, false, "t"},
        {"--edition RUK --port COM5 revision", "COM5", Edition::RUK, true, ""},
        {"send a.cfg --edition Zav --port /dev/ttyS0", "/dev/ttyS0", Edition::ZAV, true, "a.cfg"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.line);
        const cli::ParseResult parsed = parse(row.line);
        ASSERT_TRUE(parsed.arguments.has_value()) << parsed.error;
        EXPECT_EQ(cli::portName(*parsed.arguments), row.port);
        EXPECT_EQ(parsed.arguments->edition, row.edition);
        EXPECT_EQ(parsed.arguments->threeBar, row.threeBar);
        EXPECT_EQ(parsed.arguments->operands.empty() ? "" : parsed.arguments->operands[0],
                  row.file);
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

// The test is the tool's host: ticks run back to back until the command stops them, or up to a
// limit so that a command that never ends fails instead of hanging.
class CliFlow : public testing::Test, public cli::Host {
protected:
    platform::SerialPort& port() override { return port_; }
    const platform::Clock& clock() override { return clock_; }
    platform::EventPump& pump() override { return pump_; }
    int runTicks(const std::function<void()>& tick) override {
        for (int ticks = 1; !code_ && ticks <= 100; ++ticks) {
            if (ticks == vanishAtTick_) {
                port_.vanish();
                vanished_();
            }
            tick();
        }
        return code_.value_or(-1);
    }
    void stop(int code) override { code_ = code; }
    void setOnPortVanished(std::function<void()> callback) override {
        vanished_ = std::move(callback);
    }

    int run(const std::string& command, const std::string& file = "a.cfg") {
        arguments_.command = command;
        arguments_.operands = {folder_.path(file)};
        code_.reset();
        return cli::runCommand(arguments_, *this, out_, err_);
    }

    support::FakeSerialPort port_;
    support::FakeClock clock_;
    support::FakeEventPump pump_;  // the output moves only when a test drains it
    int vanishAtTick_ = 0;
    support::ScratchFolder folder_;
    cli::Arguments arguments_;
    std::ostringstream out_;
    std::ostringstream err_;
    std::function<void()> vanished_;
    std::optional<int> code_;  // set once the command stops
};

TEST_F(CliFlow, sendOnALineThatNeverDrainsGivesUpWithAMessageAndNoBurn) {
    std::ofstream(folder_.path("a.cfg"), std::ios::binary) << support::kBelStartupFile;
    port_.holdOutput = true;
    pump_.onProcess = [this] { clock_.advance(1); };
    EXPECT_EQ(run("send"), 1);
    EXPECT_EQ(out_.str(), "");
    EXPECT_NE(err_.str().find("Could not send to COM1"), std::string::npos) << err_.str();
    EXPECT_NE(port_.written.back(), 'B');
}

// The window's messages for a settings file that cannot be read, each on its own line.
TEST_F(CliFlow, sendOfAFileThatCannotBeLoadedSaysWhyAsTheWindowDoesAndLeavesThePortAlone) {
    const std::string& file = support::kBelStartupFile;
    const std::pair<std::optional<std::string>, const char*> rows[] = {
        {std::nullopt, "Could not open file 1\n"},
        {"[Settings]\r\nRPM=1000\r\n", "Not a Volcrestone Settings file!\n"},
        {file.substr(0, file.find("#FALSE#,#FALSE#,#TRUE#")), "Error trying to Load Settings!\n"}};
    for (const auto& [content, message] : rows) {
        SCOPED_TRACE(message);
        std::filesystem::remove(folder_.path("a.cfg"));
        if (content)
            std::ofstream(folder_.path("a.cfg"), std::ios::binary) << *content;
        err_.str("");
        EXPECT_EQ(run("send"), 1);
        EXPECT_EQ(err_.str(), message);
    }
    EXPECT_EQ(out_.str(), "");
    EXPECT_TRUE(port_.openedNumbers.empty() && port_.written.empty());
}

TEST_F(CliFlow, uploadToAFileThatCannotBeOpenedSaysSoAsTheWindowDoesAndChangesNothing) {
    std::ofstream(folder_.path("kept.cfg"), std::ios::binary) << "kept";
    std::filesystem::permissions(folder_.path("kept.cfg"), std::filesystem::perms::owner_read);
    for (const char* target : {"missing/a.cfg", "kept.cfg"}) {
        SCOPED_TRACE(target);
        port_.push(std::vector<std::uint8_t>(63, 7));
        err_.str("");
        EXPECT_EQ(run("upload", target), 1);
        EXPECT_EQ(err_.str(), "Could not open file 1\n");
    }
    EXPECT_EQ(out_.str(), "");
    EXPECT_EQ(port_.writtenText(), "UU");
    EXPECT_EQ(support::readFile(folder_.path("kept.cfg")), "kept");
}

TEST_F(CliFlow, portVanishingDuringAnUploadEndsTheCommandAndWritesNoFile) {
    vanishAtTick_ = 2;
    EXPECT_EQ(run("upload"), 1);
    EXPECT_EQ(err_.str(), "COM1 is gone\n");
    EXPECT_FALSE(std::filesystem::exists(folder_.path("a.cfg")));
}

}  // namespace

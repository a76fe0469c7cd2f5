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

#include "cli/Arguments.h"
#include "cli/Commands.h"
#include "sim/Controller.h"
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
        for (int ticks = 1; !code_ && ticks <= 1000; ++ticks) {
            if (ticks == vanishAtTick_) {
                port_.vanish();
                vanished_();
            }
            beforeTick_(ticks);
            tick();
        }
        return code_.value_or(-1);
    }
    void stop(int code) override { code_ = code; }
    void setOnPortVanished(std::function<void()> callback) override {
        vanished_ = std::move(callback);
    }

    int run(const std::string& command) {
        arguments_.command = command;
        arguments_.operands = {folder_.path("a.cfg")};
        return cli::runCommand(arguments_, *this, out_, err_);
    }

    support::FakeSerialPort port_;
    support::FakeClock clock_;
    support::FakeEventPump pump_;  // the output moves only when a test drains it
    int vanishAtTick_ = 0;
    std::function<void(int tick)> beforeTick_ = [](int) {};
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

TEST_F(CliFlow, portVanishingDuringAnUploadEndsTheCommandAndWritesNoFile) {
    vanishAtTick_ = 2;
    EXPECT_EQ(run("upload"), 1);
    EXPECT_EQ(err_.str(), "COM1 is gone\n");
    EXPECT_FALSE(std::filesystem::exists(folder_.path("a.cfg")));
}

TEST_F(CliFlow, flashOnAPortThatVanishesWhileSendingLogsItOnceCleansUpAndExits1) {
    std::ofstream(folder_.path("a.cfg"), std::ios::binary) << "S1\r\nS2\r\nS3\r\nS9030000FC\r\n";
    // The simulator's controller answers on the fake line; ten ticks make a second.
    sim::Controller controller{sim::ControllerSetup{}};
    std::size_t heard = 0;
    beforeTick_ = [&](int tick) {
        clock_.seconds = 1000 + tick / 10;
        const std::vector<std::uint8_t> fresh(port_.written.begin() + heard, port_.written.end());
        heard = port_.written.size();
        port_.push(controller.receive(fresh, tick * 100));
        if (port_.isOpen() && port_.writtenText().ends_with("S2\r")) {
            port_.vanish();
            vanished_();
        }
    };
    EXPECT_EQ(run("flash"), 1);
    EXPECT_EQ(out_.str(),
              "S19 file opened...\nSent KQ '!'...\nSent KQ <CR>...\nGot: \r\nBoot>\n"
              "Sent KQ 'u'...\nGot: u - waiting ...\nSending s19...\n"
              "** PORT LOST! Stopped after 2 lines\n");
    EXPECT_EQ(err_.str(), "\rLines: 0\rLines: 1\rLines: 2\nCOM1 is gone\n");
}

}  // namespace

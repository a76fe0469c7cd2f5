// The tool's command flow on a fake line, for what a real pseudo-terminal cannot do: an output
// that never drains and an adapter pulled out mid-command.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <utility>

#include "cli/CommandFlow.h"
#include "support/BelStartup.h"
#include "support/FakePlatform.h"
#include "support/Processes.h"

namespace {

// The test is the tool's host: ticks run back to back until the command stops them, or up to a
// limit so that a command that never ends fails instead of hanging.
class CliFlow : public testing::Test, public cli::Host {
protected:
    platform::SerialPort& port() override { return port_; }
    const platform::Clock& clock() override { return clock_; }
    platform::EventPump& pump() override { return pump_; }
    int runTicks(const std::function<void()>& tick) override {
        for (int ticks = 1; !stopped_ && ticks <= 100; ++ticks) {
            if (ticks == vanishAtTick_) {
                port_.vanish();
                vanished_();
            }
            tick();
        }
        return code_;
    }
    void stop(int code) override {
        stopped_ = true;
        code_ = code;
    }
    void setOnPortVanished(std::function<void()> callback) override {
        vanished_ = std::move(callback);
    }

    int run(cli::Command command) {
        arguments_.command = command;
        arguments_.file = folder_.path("a.cfg");
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

private:
    std::function<void()> vanished_;
    bool stopped_ = false;
    int code_ = -1;
};

TEST_F(CliFlow, sendOnALineThatNeverDrainsGivesUpWithAMessageAndNoBurn) {
    std::ofstream(folder_.path("a.cfg"), std::ios::binary) << support::kBelStartupFile;
    port_.holdOutput = true;
    pump_.onProcess = [this] { clock_.advance(1); };
    EXPECT_EQ(run(cli::Command::Send), 1);
    EXPECT_EQ(out_.str(), "");
    EXPECT_NE(err_.str().find("Could not send to COM1"), std::string::npos) << err_.str();
    EXPECT_NE(port_.written.back(), 'B');
}

TEST_F(CliFlow, portVanishingDuringAnUploadEndsTheCommandAndWritesNoFile) {
    vanishAtTick_ = 2;
    EXPECT_EQ(run(cli::Command::Upload), 1);
    EXPECT_EQ(err_.str(), "COM1 is gone\n");
    EXPECT_FALSE(std::filesystem::exists(folder_.path("a.cfg")));
}

}  // namespace

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "cli/CommandFlow.h"
#include "link/Codec.h"
#include "support/FakePlatform.h"
#include "support/FakeSerialPort.h"
#include "tune/SettingsFile.h"
#include "tune/Tune.h"

namespace {

namespace fs = std::filesystem;

// The tool's surroundings in memory: ticks run back to back until the command stops them
// (or a generous limit, so a command that never ends fails instead of hanging).
class FakeHost : public cli::Host {
public:
    FakeHost() {
        port_.holdOutput = true;
        stuckPump_.onProcess = [this] { clock_.advance(1); };
    }

    platform::SerialPort& port() override { return port_; }
    const platform::Clock& clock() override { return clock_; }
    platform::EventPump& pump() override { return lineStuck ? stuckPump_ : pump_; }

    int runTicks(const std::function<void()>& tick) override {
        while (!stopped_ && ticks < 100) {
            ++ticks;
            if (onTick)
                onTick();
            tick();
        }
        return code_;
    }
    void stop(int code) override {
        stopped_ = true;
        code_ = code;
    }
    void setOnPortVanished(std::function<void()> callback) override {
        vanished = std::move(callback);
    }

    support::FakeSerialPort port_;
    support::FakeClock clock_;
    support::FakeEventPump pump_{&port_};
    // Time passes but the output never moves.
    support::FakeEventPump stuckPump_;
    bool lineStuck = false;
    std::function<void()> onTick;
    std::function<void()> vanished;
    int ticks = 0;

private:
    bool stopped_ = false;
    int code_ = -1;
};

std::vector<std::uint8_t> imageOf(const tune::Tune& tune) {
    std::vector<std::uint8_t> image(63, 0);
    for (const link::ImageWrite& w : link::encodeTune(tune, *link::calcEngineConstants(tune))) {
        image[static_cast<std::size_t>(w.offset)] = static_cast<std::uint8_t>(w.value);
    }
    return image;
}

class CliFlow : public testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "volcrestone-flow-XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        dir_ = pattern;
    }
    void TearDown() override {
        std::error_code ignored;
        fs::remove_all(dir_, ignored);
    }

    int run(cli::Command command, const std::string& file = {}) {
        arguments.command = command;
        arguments.file = file;
        return cli::runCommand(arguments, host, out, err);
    }

    // A controller that answers 'U' as soon as it is written.
    void answerWith(const std::vector<std::uint8_t>& image) {
        host.port_.onWrite = [this, image](const std::vector<std::uint8_t>& bytes) {
            if (bytes == std::vector<std::uint8_t>{'U'})
                host.port_.push(image);
        };
    }

    std::string file(const std::string& name) const { return (dir_ / name).string(); }

    cli::Arguments arguments;
    FakeHost host;
    std::ostringstream out;
    std::ostringstream err;
    fs::path dir_;
};

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST_F(CliFlow, uploadSavesTheImageAsASettingsFileOfTheEdition) {
    tune::Tune controllers = tune::Tune::startup(tune::Edition::QOLT);
    controllers.text(tune::Table::BaseTiming, 1) = "21";
    answerWith(imageOf(controllers));
    arguments.edition = tune::Edition::QOLT;

    EXPECT_EQ(run(cli::Command::Upload, file("q.cfg")), 0) << err.str();
    EXPECT_EQ(out.str(), "Upload Done!\n");
    const std::string text = readFile(file("q.cfg"));
    EXPECT_EQ(text.rfind("Volcrestone Settings QOLT v1\r\n", 0), 0u) << text;
    EXPECT_NE(text.find("\"8\",\"21\",\"24\""), std::string::npos) << text;
}

TEST_F(CliFlow, sendOnALineThatNeverDrainsGivesUpWithAMessage) {
    ASSERT_TRUE(tune::writeFileAtomically(
        file("a.cfg"), tune::settingsFileText(tune::Tune::startup(tune::Edition::BEL), "BEL")));
    host.lineStuck = true;
    EXPECT_EQ(run(cli::Command::Send, file("a.cfg")), 1);
    EXPECT_EQ(out.str(), "");
    EXPECT_NE(err.str().find("Could not send to COM1"), std::string::npos) << err.str();
    EXPECT_NE(host.port_.written.back(), 'B');
}

TEST_F(CliFlow, portVanishingDuringAnUploadEndsTheCommand) {
    host.onTick = [this] {
        if (host.ticks == 2) {
            host.port_.vanish();
            host.vanished();
        }
    };
    EXPECT_EQ(run(cli::Command::Upload, file("t.cfg")), 1);
    EXPECT_EQ(err.str(), "COM1 is gone\n");
    EXPECT_FALSE(fs::exists(file("t.cfg")));
}

}  // namespace

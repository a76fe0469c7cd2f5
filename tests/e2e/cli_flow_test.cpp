// The command-line tool's own logic: its arguments, its manual, the doctor's checks, and its
// command flow on a fake line for what a real pseudo-terminal cannot do (an output that never
// drains, a port that will not open).
#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <optional>
#include <sstream>
#include <string>
#include <tuple>

#include "cli/Arguments.h"
#include "cli/Commands.h"
#include "comlink/Engine.h"
#include "platform/FakePlatform.h"
#include "sim/Options.h"
#include "support/BelStartup.h"
#include "support/FakeSystem.h"
#include "support/Processes.h"

namespace {

using tune::Edition;

cli::ParseResult parse(const std::string& line) {
    std::istringstream in(line);
    return cli::parseArguments(
        {std::istream_iterator<std::string>(in), std::istream_iterator<std::string>()});
}

TEST(CliArguments, optionsBeforeOrAfterTheCommandGiveThePortEditionAndScalingAndBadLinesAReason) {
    struct Row {
        const char* line;
        const char* port;  // as the messages name it
        Edition edition;
        bool threeBar;
    };
    const Row rows[] = {
        {"revision", "COM1", Edition::BEL, true},
        {"upload --edition qolt t --no-3bar --port=com4", "COM4", Edition::QOLT, false},
        {"--edition RUK --port COM5 revision", "COM5", Edition::RUK, true},
        {"send a.cfg --edition Zav --port /dev/ttyS0", "/dev/ttyS0", Edition::ZAV, true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.line);
        const cli::ParseResult parsed = parse(row.line);
        ASSERT_TRUE(parsed.arguments.has_value()) << parsed.error;
        EXPECT_EQ(std::tuple(cli::portName(*parsed.arguments), parsed.arguments->edition,
                             parsed.arguments->threeBar),
                  std::tuple(row.port, row.edition, row.threeBar));
    }
    // Malformed lines are refused with a reason; help needs no command.
    for (const char* line : {"", "fly", "revision extra", "upload", "--port", "--port= revision",
                             "--edition FOO revision", "--no-3bar=yes revision", "-x revision"}) {
        const cli::ParseResult parsed = parse(line);
        EXPECT_FALSE(parsed.arguments.has_value() || parsed.helpRequested) << line;
        EXPECT_FALSE(parsed.error.empty()) << line;
    }
    EXPECT_TRUE(parse("--help").helpRequested);
    EXPECT_TRUE(parse("send -h").helpRequested);
}

// A manual page as written, where every "-" of a name reads "\-".
std::string manPage(const std::string& name) {
    return support::readFile(std::string(VOLCRESTONE_MAN_DIR) + "/" + name);
}
std::string roff(std::string name) {
    for (std::size_t at = name.find('-'); at != std::string::npos; at = name.find('-', at + 2))
        name.insert(at, "\\");
    return name;
}

// Whether a line of the page begins with `macro` and has `term` as a word of its own: an entry
// of the page (".SS diff ...", ".BI \-\-log ..."), not a mention in passing.
bool hasEntry(const std::string& page, const std::string& macro, const std::string& term) {
    std::istringstream lines(page);
    for (std::string line; std::getline(lines, line);) {
        if (line.rfind(macro, 0) != 0)
            continue;
        for (std::size_t at = line.find(term); at != std::string::npos;
             at = line.find(term, at + 1)) {
            const std::size_t end = at + term.size();
            const char after = end < line.size() ? line[end] : ' ';
            if ((line[at - 1] == ' ' || line[at - 1] == '"') &&
                (after == ' ' || after == '"' || after == ','))
                return true;
        }
    }
    return false;
}

TEST(Manuals, everyCommandAndOptionHasItsEntryInTheManualPageAndTheHelpAndEachPageRendersCleanly) {
    const std::string cliPage = manPage("volcrestone-cli.1");
    const std::string cliHelp = cli::usageText();
    for (const cli::CommandEntry& command : cli::commandTable()) {
        SCOPED_TRACE(command.name);
        EXPECT_TRUE(hasEntry(cliPage, ".SS ", command.name));
        EXPECT_NE(cliHelp.find(std::string("\n  ") + command.name + " "), std::string::npos);
        for (const cli::CommandOption& option : command.options) {
            EXPECT_TRUE(hasEntry(cliPage, ".B", roff(option.name))) << option.name;
            EXPECT_NE(cliHelp.find(option.name), std::string::npos) << option.name;
        }
    }
    const support::Finished simHelp = support::runToEnd(VOLCRESTONE_SIM_PATH, {"--help"});
    EXPECT_EQ(std::tuple(simHelp.exitCode, simHelp.err), std::tuple(0, ""));
    for (const sim::OptionHelp& option : sim::optionTable()) {
        SCOPED_TRACE(option.name);
        EXPECT_TRUE(hasEntry(manPage("volcrestone-sim.1"), ".B", roff(option.name)));
        EXPECT_NE(simHelp.out.find(std::string("\n  ") + option.name + " "), std::string::npos);
    }
    for (const char* page : {"volcrestone.1", "volcrestone-cli.1", "volcrestone-sim.1"}) {
        const support::Finished groff = support::runToEnd(
            "groff",
            {"-ww", "-z", "-man", "-Tutf8", std::string(VOLCRESTONE_MAN_DIR) + "/" + page});
        EXPECT_EQ(std::tuple(groff.exitCode, groff.err), std::tuple(0, "")) << page;
    }
}

// The test is the tool's host: ticks run back to back until the command stops them, or up to a
// limit so that a command that never ends fails instead of hanging.
class CliFlow : public testing::Test, public cli::Host {
protected:
    platform::SerialPort& port() override { return port_; }
    std::string portDevice(int) const override { return "/dev/ttyUSB0"; }
    std::string portError() const override { return "Permission denied"; }
    const platform::Clock& clock() override { return clock_; }
    platform::EventPump& pump() override { return pump_; }
    const platform::SettingsStore& settings() override { return settings_; }
    const cli::SystemView& system() override { return system_; }
    int runTicks(const std::function<void()>& tick) override {
        for (int ticks = 1; !code_ && ticks <= 1000; ++ticks) {
            if (beforeTick)
                beforeTick();
            tick();
        }
        return code_.value_or(-1);
    }
    void stop(int code) override { code_ = code; }
    void setOnPortVanished(std::function<void()>) override {}

    int run(const std::string& command) {
        arguments_.command = command;
        arguments_.operands = {folder_.write("a.cfg", support::kBelStartupFile)};
        code_.reset();
        return cli::runCommand(arguments_, *this, out_, err_);
    }

    platform::FakeSerialPort port_;
    platform::FakeClock clock_;
    platform::FakeEventPump pump_;  // the output moves only when a test drains it
    platform::FakeSettingsStore settings_;
    support::FakeSystem system_;
    support::ScratchFolder folder_;
    cli::Arguments arguments_;
    std::ostringstream out_;
    std::ostringstream err_;
    std::optional<int> code_;          // set once the command stops
    std::function<void()> beforeTick;  // the controller's part between two ticks
};

TEST_F(CliFlow, sendOnALineThatNeverDrainsGivesUpWithAMessageAndNoBurn) {
    port_.holdOutput = true;
    pump_.onProcess = [this] { clock_.advance(1); };
    EXPECT_EQ(run("send"), 1);
    EXPECT_EQ(std::tuple(out_.str(), err_.str()),
              std::tuple("", "Could not send to COM1: the line stopped before the Tune was out\n"));
    EXPECT_NE(port_.written.back(), 'B');
}

TEST_F(CliFlow, monitorShowsAndLogsNoMoreBlocksThanAskedForWhenTwoComeInOneTick) {
    arguments_.options = {{"--frames", "1"}, {"--log", folder_.path("m.csv")}};
    // The stream's first frame only synchronises; the next two come in the same tick.
    beforeTick = [this, answered = false]() mutable {
        if (!answered && port_.writtenText().ends_with("M")) {
            port_.push(std::vector<std::uint8_t>(3 * comlink::kRealtimeBlockSize, 0));
            answered = true;
        }
    };
    EXPECT_EQ(run("monitor"), 0) << err_.str();
    EXPECT_EQ(out_.str(),
              "RPM,MAP,Coolant,Ignition,MSD,TPS,Battery,O2\n0,0,-40,0.0,0.0,0.0,0.0,0.0\n");
    const std::string logged = support::readFile(folder_.path("m.csv"));
    EXPECT_EQ(std::count(logged.begin(), logged.end(), '\n'), 1) << logged;
}

TEST_F(CliFlow, doctorNamesEachFaultWithItsFixAndStopsWhereGoingOnIsPointless) {
    using cli::DeviceFile, platform::ComSource;
    struct Row {
        const char* what;
        support::Machine machine;
        std::string report;
        bool opens = true;
    };
    const std::string noAdapter =
        "ok   serial adapters: none plugged in (no /dev/ttyUSB*, /dev/ttyACM* or "
        "/dev/serial/by-id/*)\n";
    const std::string mapped =
        "ok   port: COM1 is /dev/ttyUSB0, from the environment variable VOLCRESTONE_COM1\n" +
        noAdapter;
    const std::string device = "ok   /dev/ttyUSB0 is a character device\n";
    const std::string usable = device + "ok   you (joe) may read and write /dev/ttyUSB0\n";
    const std::string deniedBy =
        "FAIL you (joe) may not read and write /dev/ttyUSB0: it belongs to group dialout ";
    const std::string opens =
        "ok   /dev/ttyUSB0 opens at 9600 baud, 8 data bits, no parity, 1 stop bit\n";
    const std::string unanswered =
        "FAIL the controller does not answer 'Q'. Fix: check that it has power, that its cable "
        "is plugged in at both ends and that COM1 is the port it is on\n";
    const Row rows[] = {
        {"a silent controller on the port the settings name, a simulator at the other end",
         {.mapping = {"/dev/ttyUSB0", ComSource::Settings},
          .others = {{77, "volcrestone-sim", "", true}}},
         "ok   port: COM1 is /dev/ttyUSB0, from COM1 under [Config] in "
         "/home/joe/.config/Volcrestone/Volcrestone.ini\n" +
             noAdapter + usable +
             "ok   no other program holds /dev/ttyUSB0\nok   ModemManager is not running\n" +
             opens + unanswered},
        {"a port that will not open, other users' programs hidden",
         {.seesAll = false},
         mapped + usable +
             "warn could not see other users' programs; run as root to check them\n"
             "ok   ModemManager is not running\n"
             "FAIL /dev/ttyUSB0 does not open at 9600 baud, 8 data bits, no parity, 1 stop bit: "
             "Permission denied. "
             "Fix: close any program that holds it (see above), or unplug the adapter and plug it "
             "in again\n",
         false},
        {"absent, brltty running",
         {.file = std::nullopt, .programs = {"brltty"}},
         mapped +
             "FAIL brltty is running and may take USB serial adapters. Fix: sudo systemctl mask "
             "brltty-udev.service brltty.service, then replug\n"
             "FAIL /dev/ttyUSB0 does not exist. Fix: plug the adapter in; ls /dev/ttyUSB* "
             "/dev/ttyACM* /dev/ttyS* lists the serial devices there are\n"},
        {"default name, a plain file, adapters plugged in",
         {.mapping = {"/dev/ttyS0", ComSource::System},
          .file = DeviceFile{"/dev/ttyS0", false, false, "root", 0644},
          .adapters = {{"/dev/ttyUSB0", "/dev/serial/by-id/usb-1a86_USB_Serial-if00-port0"},
                       {"/dev/ttyACM0", ""}}},
         "ok   port: COM1 is /dev/ttyS0 by default (VOLCRESTONE_COM1=DEVICE in the environment or "
         "COM1=DEVICE under [Config] in /home/joe/.config/Volcrestone/Volcrestone.ini chooses "
         "another)\n"
         "ok   serial adapters: /dev/serial/by-id/usb-1a86_USB_Serial-if00-port0 -> /dev/ttyUSB0, "
         "/dev/ttyACM0\n"
         "warn COM1 is /dev/ttyS0, but a USB serial adapter is at /dev/ttyUSB0. Fix: "
         "VOLCRESTONE_COM1=/dev/ttyUSB0, or COM1=/dev/ttyUSB0 under [Config] in "
         "/home/joe/.config/Volcrestone/Volcrestone.ini\n"
         "FAIL /dev/ttyS0 is not a character device. Fix: name the serial device itself (ls "
         "/dev/ttyUSB* /dev/ttyACM* /dev/ttyS*)\n"},
        {"not in the group",
         {.userAccess = {false, "joe", false, false}},
         mapped + device + deniedBy +
             "(rw-rw----) and you are not in that group. Fix: sudo usermod -aG dialout joe, then "
             "log out and back in\n"},
        {"added since login",
         {.userAccess = {false, "joe", false, true}},
         mapped + device + deniedBy +
             "(rw-rw----) and this login is not in that group yet. Fix: log out and back in (or "
             "start a shell in the group: newgrp dialout)\n"},
        {"group may not write",
         {.file = DeviceFile{"/dev/ttyUSB0", true, false, "dialout", 0600},
          .userAccess = {false, "joe", true, true}},
         mapped + device + deniedBy +
             "(rw-------) and that group may not read and write it. Fix: sudo chmod g+rw "
             "/dev/ttyUSB0\n"},
        {"held, ModemManager among the holders",
         {.others = {{90, "ModemManager", "", false},
                     {812, "minicom", "/run/lock/LCK..ttyUSB0", false}},
          .programs = {"ModemManager"}},
         mapped + usable +
             "FAIL ModemManager (pid 90), minicom (pid 812, lock file /run/lock/LCK..ttyUSB0) "
             "hold /dev/ttyUSB0. Fix: close them first\n"
             "FAIL ModemManager is probing /dev/ttyUSB0. Fix: sudo systemctl stop ModemManager\n" +
             opens + unanswered},
        {"stale lock, ModemManager running",
         {.others = {{4242, "", "/run/lock/LCK..ttyUSB0", false}}, .programs = {"ModemManager"}},
         mapped + usable +
             "warn stale lock file /run/lock/LCK..ttyUSB0 (its process 4242 is gone). Fix: sudo "
             "rm /run/lock/LCK..ttyUSB0\n"
             "warn ModemManager is running and may probe /dev/ttyUSB0 with modem commands. Fix: "
             "sudo systemctl stop ModemManager, or keep it off the adapter with a udev rule that "
             "sets ENV{ID_MM_DEVICE_IGNORE}=\"1\"\n" +
             opens + unanswered},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        static_cast<support::Machine&>(system_) = row.machine;
        port_.openSucceeds = row.opens;
        out_.str("");
        EXPECT_EQ(run("doctor"), 1);
        EXPECT_EQ(out_.str(), row.report);
    }
    // 'Q' from each that opens the port, then a carriage return for a bootloader's prompt.
    EXPECT_EQ(port_.writtenText(), "Q\rQ\rQ\r");
}

}  // namespace

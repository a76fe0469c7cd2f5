// volcrestone-cli as a process on the simulator's pseudo-terminal.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <QProcess>
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "support/BelStartup.h"
#include "support/Processes.h"

namespace {

using support::readFile;

std::string replaced(std::string text, const std::string& from, const std::string& to) {
    const std::size_t at = text.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    return at == std::string::npos ? text : text.replace(at, from.size(), to);
}

class CliProcess : public testing::Test {
protected:
    support::Finished run(const std::vector<std::string>& arguments,
                          std::vector<std::pair<std::string, std::string>> environment = {}) {
        environment.emplace_back("XDG_CONFIG_HOME", folder.path("config"));
        return support::runToEnd(VOLCRESTONE_CLI_PATH, arguments, environment);
    }
    std::string path(const std::string& name) const { return folder.path(name); }

    support::ScratchFolder folder;
};

TEST_F(CliProcess, revisionOnAComNumberMappedThroughTheEnvironmentPrintsTwoHexDigits) {
    support::SimProcess sim;
    const auto revision =
        run({"--port", "com3", "revision"}, {{"VOLCRESTONE_COM3", sim.devicePath()}});
    EXPECT_EQ(revision.exitCode, 0) << revision.err;
    EXPECT_EQ(revision.out, "0A\n");
    EXPECT_EQ(revision.err, "");
}

TEST_F(CliProcess, silentControllerGivesNoResponseAndExit1AndNoFile) {
    support::SimProcess sim({"--silent"});
    const auto upload = run({"--port", sim.devicePath(), "upload", path("t.cfg")});
    EXPECT_EQ(upload.exitCode, 1);
    EXPECT_EQ(upload.out, "");
    EXPECT_EQ(upload.err, "No Response from Controller!\n");
    EXPECT_FALSE(std::filesystem::exists(path("t.cfg")));
}

TEST_F(CliProcess, uploadWritesTheStartupFileAndAnEditedFileSentComesBackUnchangedOrUnscaled) {
    support::SimProcess sim;
    const auto upload = run({"--port", sim.devicePath(), "upload", path("a.cfg")});
    EXPECT_EQ(upload.exitCode, 0) << upload.err;
    EXPECT_EQ(upload.out, "Upload Done!\n");
    EXPECT_EQ(readFile(path("a.cfg")), support::kBelStartupFile);
    std::string edited = replaced(readFile(path("a.cfg")), "\"8\",\"18\"", "\"11\",\"18\"");
    edited = replaced(edited, "\"1200\",\"** \",#TRUE#,#FALSE#", "\"6500\",\"67%\",#FALSE#,#TRUE#");
    edited = replaced(edited, "\"RPM\",\"0\",\"RPM\",\"0\"", "\"TPS\",\"51\",\"CLT\",\"120\"");
    std::ofstream(path("a.cfg"), std::ios::binary) << edited;

    const auto send = run({"--port", sim.devicePath(), "send", path("a.cfg")});
    EXPECT_EQ(send.exitCode, 0) << send.err;
    EXPECT_EQ(send.out, "Download Done!\n");
    ASSERT_EQ(run({"--port", sim.devicePath(), "upload", path("b.cfg")}).exitCode, 0);
    EXPECT_EQ(readFile(path("b.cfg")), edited);
    ASSERT_EQ(run({"--port", sim.devicePath(), "--no-3bar", "upload", path("b.cfg")}).exitCode, 0);
    EXPECT_NE(readFile(path("b.cfg")).find("\"34\",\"51\",\"68\",\"85\",\"119\",\"136\"\r\n"),
              std::string::npos);
}

TEST_F(CliProcess, refusedSendsSayWhyAndPutNoByteOnTheLineButTheStartupFileGoesOutCellByCell) {
    support::SimProcess sim({"--record", path("wire")});
    const std::string& file = support::kBelStartupFile;
    const std::pair<std::string, const char*> rows[] = {
        {replaced(file, "\"45.0\"", "\"0.0\""), "Base Timing must be less than Static Timing!\n"},
        {replaced(file, "\"0.0\",#TRUE#", "\"1.0\",#TRUE#"),
         "\"Retard increase per knock detect\"\nmust be set to 0.0\n"}};
    for (const auto& [content, message] : rows) {
        std::ofstream(path("a.cfg"), std::ios::binary) << content;
        const auto send = run({"--port", sim.devicePath(), "send", path("a.cfg")});
        EXPECT_EQ(send.exitCode, 1);
        EXPECT_EQ(send.err, message);
        EXPECT_EQ(send.out, "");
    }
    std::ofstream(path("a.cfg"), std::ios::binary) << file;
    ASSERT_EQ(run({"--port", sim.devicePath(), "send", path("a.cfg")}).exitCode, 0);
    EXPECT_EQ(sim.stop(), 0);
    // The timing, speed, MAP advance and pressure cells column by column, then the rest in
    // order of offset (49 is never written) and the burn.
    EXPECT_EQ(readFile(path("wire")),
              std::string("W\x00\x10W\x06\x14W\x0c\x8cW\x12\x22W\x01\x24W\x07\x32W\x0d\x88W\x13\x33"
                          "W\x02\x30W\x08\x46W\x0e\x84W\x14\x44W\x03\x40W\x09\x5aW\x0f\x80W\x15\x55"
                          "W\x04\x40W\x0a\x6eW\x10\x7cW\x16\x77W\x05\x3cW\x0b\x82W\x11\x76W\x17\x88"
                          "W\x18\x33W\x19\x4cW\x1a\x5aW\x1b\x5aW\x1c\x1eW\x1d\x28W\x1e\x00W\x1f\x0c"
                          "W\x20\x06W\x21\x07W\x22\x00W\x23\x69W\x24\x78W\x25\x00W\x26\x01W\x27\x6c"
                          "W\x28\x00W\x29\x5aW\x2a\x04W\x2b\x00W\x2c\x00W\x2d\x18W\x2e\x00W\x2f\xff"
                          "W\x30\x00W\x32\x00W\x33\x19W\x34\x00W\x35\x00"
                          "B",
                          53 * 3 + 1));
}

TEST_F(CliProcess, portOrFileThatCannotBeOpenedIsNamedAndNothingIsLeftBehind) {
    const std::string missing = path("missing") + "/t.cfg";
    const std::pair<std::vector<std::string>, std::string> rows[] = {
        {{"--port", missing, "revision"}, "Could not open " + missing + "\n"},
        {{"--port", "COM2", "revision"}, "Could not open COM2\n"},
        {{"upload", missing}, "Could not open file 1\n"}};
    support::SimProcess sim;
    for (const auto& [arguments, message] : rows) {
        const auto failed =
            run(arguments, {{"VOLCRESTONE_COM1", sim.devicePath()}, {"VOLCRESTONE_COM2", missing}});
        EXPECT_EQ(failed.exitCode, 1);
        EXPECT_EQ(failed.err, message);
        EXPECT_EQ(failed.out, "");
    }
    EXPECT_FALSE(std::filesystem::exists(path("missing")));
}

// The readouts of each block match its logged bytes in the stored units: Celsius, O2 volts,
// kPa without the 3-bar scaling.
TEST_F(CliProcess, monitorPrintsTheDashboardsReadoutsInTheStoredUnitsAndLogsEachBlock) {
    std::filesystem::create_directories(path("config/Volcrestone"));
    std::ofstream(path("config/Volcrestone/Volcrestone.ini")) << "[Realtime]\nTemp=C\nO2=Voltage\n";
    support::SimProcess sim;
    const auto monitor = run({"--port", sim.devicePath(), "--no-3bar", "monitor", "--frames", "3",
                              "--log", path("m.csv")});
    EXPECT_EQ(monitor.exitCode, 0) << monitor.err;
    EXPECT_EQ(monitor.err, "");
    std::istringstream out(monitor.out);
    std::istringstream log(readFile(path("m.csv")));
    std::string line;
    std::getline(out, line);
    EXPECT_EQ(line, "RPM,MAP,Coolant,Ignition,MSD,TPS,Battery,O2");
    int lines = 0;
    for (std::string logged; std::getline(out, line) && std::getline(log, logged); ++lines) {
        ASSERT_EQ(logged.back(), '\r');
        std::vector<int> bytes;
        std::istringstream fields(logged);
        for (std::string field; std::getline(fields, field, ',');)
            bytes.push_back(std::stoi(field));
        ASSERT_EQ(bytes.size(), 30u);
        std::vector<std::string> readouts;
        std::istringstream values(line);
        for (std::string value; std::getline(values, value, ',');)
            readouts.push_back(value);
        ASSERT_EQ(readouts.size(), 8u) << line;
        EXPECT_EQ(readouts[0], std::to_string(bytes[12] * 256 + bytes[13]));
        EXPECT_EQ(readouts[1], std::to_string(bytes[11]));
        EXPECT_EQ(
            readouts[2],
            std::to_string(static_cast<int>(std::nearbyint((bytes[14] - 40 - 32) * 5.0 / 9.0))));
        char volts[16];
        std::snprintf(volts, sizeof volts, "%.2f", bytes[7] * 5.0 / 255);
        EXPECT_EQ(readouts[7], volts);
    }
    EXPECT_EQ(lines, 3);
    EXPECT_EQ(sim.stop(), 0);
}

TEST_F(CliProcess, monitorOnASilentControllerSaysNoResponseAndExits1) {
    support::SimProcess sim({"--silent"});
    const auto monitor = run({"--port", sim.devicePath(), "monitor", "--frames", "1"});
    EXPECT_EQ(monitor.exitCode, 1);
    EXPECT_EQ(monitor.err, "No Response from Controller!\n");
}

TEST_F(CliProcess, replayPrintsEachRecordAsTheDashboardShowsItWithTheStoredSettings) {
    const std::string log = path("drive.csv");
    std::ofstream(log, std::ios::binary)
        << " 0 , 0 , 0 , 0 , 0 , 0 , 0 , 0 , 0 , 0 , 0 , 0 , 0 , 0 , 0 , 0 , 0 , 0 , 0 , 0 , 0 , "
           "0 , 0 , 0 , 0 , 0 , 0 , 0 , 0 , 0 \r\n"
        << "0,0,0,0,0,255,128,0,0,0,0,100,31,64,200,0,0,147,0,192,191,0,0,0,0,0,150\r\n"
        << "\r\n"
        << "0,0,0,0,0,0,0,0,0,0,0,0,0,12.5";  // no line end
    const auto bel = run({"replay", log});
    EXPECT_EQ(bel.exitCode, 0) << bel.err;
    EXPECT_EQ(bel.out,
              "RPM,MAP,Coolant,Ignition,MSD,TPS,Battery,O2\n"
              "0,0,-40,0.0,0.0,0.0,0.0,0.0\n"
              "8000,118,160,-32.0,95.5,5.0,15.1,14.7\n"
              "0,0,-40,0.0,0.0,0.0,0.0,0.0\n"
              "12,0,-40,0.0,0.0,0.0,0.0,0.0\n");
    EXPECT_EQ(bel.err, "");

    std::filesystem::create_directories(path("config/Volcrestone"));
    std::ofstream(path("config/Volcrestone/Volcrestone.ini")) << "[Realtime]\nTemp=C\nO2=Voltage\n";
    const auto ruk = run({"--edition", "ruk", "--no-3bar", "replay", log});
    EXPECT_EQ(ruk.exitCode, 0) << ruk.err;
    EXPECT_EQ(ruk.out,
              "RPM,MAP,Coolant,Ignition,MSD,TPS,Battery,O2\n"
              "0,0,-18,0.0,0.0,0.0,0.0,0.00\n"
              "8000,100,66,-32.0,95.5,5.0,12.8,0.00\n"
              "0,0,-18,0.0,0.0,0.0,0.0,0.00\n"
              "12,0,-18,0.0,0.0,0.0,0.0,0.00\n");

    const auto missing = run({"replay", path("none.csv")});
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_EQ(missing.out, "");
    EXPECT_EQ(missing.err, "Could not open the log " + path("none.csv") + "\n");
}

TEST_F(CliProcess, aLogWrittenByMonitorReplaysToTheSameLines) {
    support::SimProcess sim;
    const auto monitor =
        run({"--port", sim.devicePath(), "monitor", "--frames", "6", "--log", path("m.csv")});
    EXPECT_EQ(monitor.exitCode, 0) << monitor.err;
    const auto replay = run({"replay", path("m.csv")});
    EXPECT_EQ(replay.exitCode, 0) << replay.err;
    EXPECT_EQ(replay.out, monitor.out);
    EXPECT_EQ(std::count(replay.out.begin(), replay.out.end(), '\n'), 7);
}

TEST_F(CliProcess, usageErrorsExitWith2AndShowTheUsage) {
    const auto usage = run({"fly"});
    EXPECT_EQ(usage.exitCode, 2);
    EXPECT_NE(usage.err.find("usage: volcrestone-cli"), std::string::npos) << usage.err;
}

// An S19 file with every kind of line end and a byte outside ASCII, ending in its end record.
const std::string kFirmware =
    "S00F000068656C6C6F202020202000003C\r\n"
    "S11F00007C0802A6900100049421FFF07C6C1B787C8C23783C6000003863000026\n"
    "S11F001C4BFFFFE5398000007D83637880010014382100107C0803A64E800020E9\r"
    "S111003848656C6C6F20776F726C642E0A0042\r\n"
    "S5030003F9 \xE9\r\n"
    "S9030000FC\r\n";
const std::vector<std::string> kFirmwareLines = {
    "S00F000068656C6C6F202020202000003C",
    "S11F00007C0802A6900100049421FFF07C6C1B787C8C23783C6000003863000026",
    "S11F001C4BFFFFE5398000007D83637880010014382100107C0803A64E800020E9",
    "S111003848656C6C6F20776F726C642E0A0042",
    "S5030003F9 \xE9",
    "S9030000FC"};

std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> lines;
    for (std::size_t at = 0, end; at < text.size(); at = end + 1) {
        end = text.find('\n', at);
        lines.push_back(text.substr(at, end - at));
    }
    return lines;
}

TEST_F(CliProcess, flashSendsEveryLineAsItIsAndPrintsTheWindowsLogLineByLine) {
    std::ofstream(path("fw.s19"), std::ios::binary) << kFirmware;
    support::SimProcess sim({"--s19-out", path("got.txt"), "--record", path("wire")});
    const auto flash = run({"--port", sim.devicePath(), "flash", path("fw.s19")});
    EXPECT_EQ(flash.exitCode, 0) << flash.err;
    EXPECT_EQ(flash.out,
              "S19 file opened...\nSent KQ '!'...\nSent KQ <CR>...\nGot: \r\nBoot>\n"
              "Sent KQ 'u'...\nGot: u - waiting ...\nSending s19...\nEOF s19, 6 lines\n"
              "Got:   Complete\r\nBoot>\r\nBoot>\nSent KQ 'x'...\nFirmware Update Done!\n");
    EXPECT_EQ(flash.err,
              "\rLines: 0\rLines: 1\rLines: 2\rLines: 3\rLines: 4\rLines: 5\rLines: 6\n");
    EXPECT_EQ(sim.stop(), 0);
    EXPECT_EQ(linesOf(readFile(path("got.txt"))), kFirmwareLines);
    std::string wire = "!\ru";
    for (const std::string& line : kFirmwareLines)
        wire += line + "\r";
    EXPECT_EQ(readFile(path("wire")), wire + "x");
}

TEST_F(CliProcess, flashWithoutAPromptAFileOrAnOperandSaysSoAndExits1Or2) {
    support::SimProcess sim({"--boot-fault", "blank:prompt"});
    std::ofstream(path("fw.s19"), std::ios::binary) << kFirmware;
    const auto timedOut = run({"--port", sim.devicePath(), "flash", path("fw.s19")});
    EXPECT_EQ(timedOut.exitCode, 1);
    EXPECT_EQ(timedOut.out,
              "S19 file opened...\nSent KQ '!'...\nSent KQ <CR>...\n** TIME OUT! 2 \r\nBoot> \n"
              "** Verify the controller is ON and RS232 cable attached!\n"
              "** Also check that H1 or R6 is shorted on the controller!\n");
    EXPECT_EQ(timedOut.err, "");
    const auto missing = run({"--port", sim.devicePath(), "flash", path("none.s19")});
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_EQ(missing.out, "** Failed to open S19 file\n");
    EXPECT_EQ(run({"--port", sim.devicePath(), "flash"}).exitCode, 2);
}

TEST_F(CliProcess, flashStoppedBySigtermWhileSendingLeavesTheControllerInItsBootloader) {
    std::string many;
    for (int i = 0; i < 100; ++i)
        many += "S1130000285F245F2212226A000424290008237C2A\r\n";
    std::ofstream(path("fw.s19"), std::ios::binary) << many;
    support::SimProcess sim;
    QProcess flash;
    flash.start(VOLCRESTONE_CLI_PATH,
                support::toQt({"--port", sim.devicePath(), "flash", path("fw.s19")}));
    std::string out;
    while (out.find("Sending s19...\n") == std::string::npos &&
           flash.waitForReadyRead(support::kPatienceMs))
        out += flash.readAllStandardOutput().toStdString();
    ASSERT_NE(out.find("Sending s19...\n"), std::string::npos) << out;
    flash.terminate();
    EXPECT_EQ(support::finish(flash), 1);
    const std::string err = flash.readAllStandardError().toStdString();
    EXPECT_TRUE(err.ends_with(" lines: the controller stays in its bootloader\n")) << err;
    EXPECT_NE(err.find("\nInterrupted after "), std::string::npos) << err;
    // The bootloader takes the revision query for a line of the file.
    EXPECT_EQ(run({"--port", sim.devicePath(), "revision"}).exitCode, 1);
}

}  // namespace

// volcrestone-cli doctor and diff as processes: on the simulator's pseudo-terminal, on a device
// that is not there, and on hand-made settings files.
#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include "support/BelStartup.h"
#include "support/Processes.h"

namespace {

std::string edited(std::string text,
                   const std::vector<std::pair<std::string, std::string>>& edits) {
    for (const auto& [from, to] : edits) {
        const std::size_t at = text.find(from);
        EXPECT_NE(at, std::string::npos) << from;
        if (at != std::string::npos)
            text.replace(at, from.size(), to);
    }
    return text;
}

class CliTools : public testing::Test {
protected:
    support::Finished run(const std::vector<std::string>& arguments,
                          std::vector<std::pair<std::string, std::string>> environment = {}) {
        environment.emplace_back("XDG_CONFIG_HOME", folder.path("config"));
        return support::runToEnd(VOLCRESTONE_CLI_PATH, arguments, environment);
    }
    std::string write(const std::string& name, const std::string& content) {
        std::ofstream(path(name), std::ios::binary) << content;
        return path(name);
    }
    std::string path(const std::string& name) const { return folder.path(name); }

    support::ScratchFolder folder;
};

TEST_F(CliTools, doctorOnAMissingDeviceSaysSoWithTheFixAndStopsThereWithExit1) {
    const std::string missing = path("ttyUSB7");
    const auto doctor = run({"--port", missing, "doctor"});
    EXPECT_EQ(doctor.exitCode, 1);
    EXPECT_EQ(doctor.out, "ok   port: " + missing + ", given with --port\nFAIL " + missing +
                              " does not exist. Fix: plug the adapter in; ls /dev/ttyUSB* "
                              "/dev/ttyACM* /dev/ttyS* lists the serial devices there are\n");
    EXPECT_EQ(doctor.err, "");
}

TEST_F(CliTools, doctorOnTheSimulatorFindsItAtTheFarEndAndEndsWithTheRevision) {
    support::SimProcess sim({"--revision", "171"});
    const auto doctor = run({"doctor"}, {{"VOLCRESTONE_COM1", sim.devicePath()}});
    EXPECT_EQ(doctor.exitCode, 0) << doctor.out;
    const std::string& device = sim.devicePath();
    EXPECT_EQ(doctor.out.rfind("ok   port: COM1 is " + device +
                                   ", from the environment variable "
                                   "VOLCRESTONE_COM1\nok   " +
                                   device + " is a character device",
                               0),
              0u)
        << doctor.out;
    EXPECT_NE(doctor.out.find("a pseudo-terminal whose other end is volcrestone-sim (pid "),
              std::string::npos);
    EXPECT_NE(doctor.out.find("ok   no other program holds " + device + "\n"), std::string::npos);
    const std::string ending = "ok   " + device +
                               " opens at 9600 baud, 8 data bits, no parity, 1 stop bit\n"
                               "ok   the controller answers 'Q': firmware revision AB\n";
    ASSERT_GE(doctor.out.size(), ending.size());
    EXPECT_EQ(doctor.out.substr(doctor.out.size() - ending.size()), ending);
}

TEST_F(CliTools, diffListsEachChangedFieldAsTheWindowShowsItAndExits0Or1) {
    const std::string& start = support::kBelStartupFile;
    const std::string a = write("a.cfg", start);
    const std::pair<std::string, std::string> rows[] = {
        {start, ""},
        {edited(start, {{"\"24\",\"32\"", "\"26\",\"32\""}}),
         "IGNITION TIMING / Degree 3: 24 -> 26\n"},
        {edited(start, {{"\"6500\"", "\"7000\""},
                        {"\"+2\"", "\"3.0\""},
                        {"#TRUE#,#FALSE#,\"4\"", "#FALSE#,#FALSE#,\"4\""},
                        {"\"1200\",\"** \"", "\"1200\",\"80%\""},
                        {"\"1.0\",\"1.5\"", "\"1.0\",\"2.5\""},
                        {"\"Reset\",#FALSE#", "\"Knock\",#TRUE#"},
                        {"\"RPM\",\"0\",\"RPM\",\"0\"", "\"TPS\",\"51\",\"CLT\",\"120\""},
                        {"\"0.0\",#TRUE#,#FALSE#", "\"0.0\",#FALSE#,#TRUE#"}}),
         "IGNITION TIMING / RPM 6: 6500 -> 7000\n"
         "Vaccum/ Boost Advance/ Retard / Degree 3: +2 -> 3.0\n"
         "ENGINE TYPE / 4-Stroke or 2-Stroke: 4-Stroke -> \"\"\n"
         "REV LIMITER: \"  ** DISABLED **\" -> \" 80%  Firm, 4 of 5\"\n"
         "Ported Vacuum / TPS (V) Full: 1.5 -> 2.5\n"
         "MAP SENSOR TYPE / XLED Function: Reset -> Knock\n"
         "MAP SENSOR TYPE / OUTPUT Invert: unchecked -> checked\n"
         "Knock Retard / MSEC or Sparks: MSEC -> Sparks\n"
         "OUTPUTS / #1: RPM 0 -> TPS 1.00\n"
         "OUTPUTS / #2: RPM 0 -> CLT 80\n"},
    };
    for (const auto& [content, differences] : rows) {
        const auto diff = run({"diff", a, write("b.cfg", content)});
        EXPECT_EQ(diff.exitCode, differences.empty() ? 0 : 1);
        EXPECT_EQ(diff.out, differences);
        EXPECT_EQ(diff.err, "");
    }
    const auto zav = run({"--edition", "zav", "diff", path("b.cfg"), a});
    EXPECT_NE(zav.out.find("MAP Sensor / XLED Function: Knock -> Reset\n"), std::string::npos)
        << zav.out;
}

TEST_F(CliTools, diffWithAFileThatDoesNotLoadNamesItAndExits2) {
    const std::string good = write("good.cfg", support::kBelStartupFile);
    const std::string cut = support::kBelStartupFile.substr(0, 200);
    const std::pair<std::vector<std::string>, std::string> rows[] = {
        {{good, path("none.cfg")}, path("none.cfg") + ": Could not open file 1\n"},
        {{write("cut.cfg", cut), good}, path("cut.cfg") + ": Error trying to Load Settings!\n"},
        {{good, write("other.cfg", "Some Settings BEL v1\r\n")},
         path("other.cfg") + ": Not a Volcrestone Settings file!\n"},
        {{good}, "diff compares two settings files, or one with --controller\n"},
    };
    for (const auto& [files, message] : rows) {
        std::vector<std::string> arguments = {"diff"};
        arguments.insert(arguments.end(), files.begin(), files.end());
        const auto diff = run(arguments);
        EXPECT_EQ(diff.exitCode, 2);
        EXPECT_EQ(diff.out, "");
        EXPECT_EQ(diff.err, message);
    }
}

TEST_F(CliTools, diffWithTheControllerComparesAFileWithTheTuneItUploads) {
    support::SimProcess sim;
    const std::string& start = support::kBelStartupFile;
    const std::pair<std::string, std::string> rows[] = {
        {start, ""},
        {edited(start, {{"\"24\",\"32\"", "\"26\",\"32\""}, {"\"300\"", "\"350\""}}),
         "IGNITION TIMING / Degree 3: 26 -> 24\nSTART TIMING / RPM Threshold: 350 -> 300\n"},
    };
    for (const auto& [content, differences] : rows) {
        const auto diff =
            run({"--port", sim.devicePath(), "diff", write("a.cfg", content), "--controller"});
        EXPECT_EQ(diff.exitCode, differences.empty() ? 0 : 1) << diff.err;
        EXPECT_EQ(diff.out, differences);
    }
    support::SimProcess silent({"--silent"});
    const auto unanswered =
        run({"--port", silent.devicePath(), "diff", path("a.cfg"), "--controller"});
    EXPECT_EQ(unanswered.exitCode, 2);
    EXPECT_EQ(unanswered.out, "");
    EXPECT_EQ(unanswered.err, "No Response from Controller!\n");
}

}  // namespace

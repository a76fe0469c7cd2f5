#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "support/BelStartup.h"
#include "support/SimProcess.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;

struct Outcome {
    int exitCode = -1;
    std::string out;
    std::string err;
};

std::string readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void writeFile(const fs::path& path, const std::string& content) {
    std::ofstream(path, std::ios::binary) << content;
}

std::string replaced(std::string text, const std::string& from, const std::string& to) {
    const std::size_t at = text.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    if (at != std::string::npos)
        text.replace(at, from.size(), to);
    return text;
}

class CliProcess : public testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "volcrestone-cli-XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        dir_ = pattern;
    }
    void TearDown() override {
        std::error_code ignored;
        fs::remove_all(dir_, ignored);
    }

    fs::path path(const std::string& name) const { return dir_ / name; }

    // Runs the tool to its end with stdout and stderr captured; `environment` adds variables.
    Outcome run(const std::vector<std::string>& args,
                const std::vector<std::string>& environment = {}) const {
        const std::string outPath = path("stdout").string();
        const std::string errPath = path("stderr").string();
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 1, outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                         0644);
        posix_spawn_file_actions_addopen(&actions, 2, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                         0644);

        std::vector<std::string> argStore{VOLCRESTONE_CLI_PATH};
        argStore.insert(argStore.end(), args.begin(), args.end());
        std::vector<char*> argv;
        for (std::string& a : argStore)
            argv.push_back(a.data());
        argv.push_back(nullptr);
        std::vector<std::string> envStore(environment);
        envStore.emplace_back("ASAN_OPTIONS=detect_leaks=0");
        for (char** e = environ; *e != nullptr; ++e)
            envStore.emplace_back(*e);
        std::vector<char*> envp;
        for (std::string& e : envStore)
            envp.push_back(e.data());
        envp.push_back(nullptr);

        pid_t pid = -1;
        const int spawned =
            posix_spawn(&pid, VOLCRESTONE_CLI_PATH, &actions, nullptr, argv.data(), envp.data());
        posix_spawn_file_actions_destroy(&actions);
        EXPECT_EQ(spawned, 0);
        Outcome outcome;
        if (spawned != 0)
            return outcome;

        // A hung tool must not hang the test run.
        int status = 0;
        const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(30);
        while (::waitpid(pid, &status, WNOHANG) == 0) {
            if (std::chrono::steady_clock::now() > giveUp) {
                ::kill(pid, SIGKILL);
                ::waitpid(pid, &status, 0);
                ADD_FAILURE() << "volcrestone-cli did not end";
                break;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        outcome.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        outcome.out = readFile(outPath);
        outcome.err = readFile(errPath);
        return outcome;
    }

    fs::path dir_;
};

TEST_F(CliProcess, revisionOnAComNumberMappedThroughTheEnvironmentPrintsTwoHexDigits) {
    support::SimProcess sim({"--revision", "200"});
    const Outcome outcome =
        run({"--port", "com3", "revision"},
            {"VOLCRESTONE_COM3=" + sim.devicePath(), "XDG_CONFIG_HOME=" + path("config").string()});
    EXPECT_EQ(outcome.exitCode, 0) << outcome.err;
    EXPECT_EQ(outcome.out, "C8\n");
    EXPECT_EQ(outcome.err, "");
}

TEST_F(CliProcess, silentControllerGivesNoResponseAndExit1) {
    support::SimProcess sim({"--silent"});
    const Outcome upload = run({"--port", sim.devicePath(), "upload", path("t.cfg").string()});
    EXPECT_EQ(upload.exitCode, 1);
    EXPECT_EQ(upload.out, "");
    EXPECT_EQ(upload.err, "No Response from Controller!\n");
    EXPECT_FALSE(fs::exists(path("t.cfg")));
}

TEST_F(CliProcess, uploadOfTheStartupImageWritesTheStartupSettingsFileOrRawPressures) {
    support::SimProcess sim;
    const Outcome outcome = run({"--port", sim.devicePath(), "upload", path("t.cfg").string()});
    EXPECT_EQ(outcome.exitCode, 0) << outcome.err;
    EXPECT_EQ(outcome.out, "Upload Done!\n");
    EXPECT_EQ(readFile(path("t.cfg")), support::kBelStartupFile);
    ASSERT_EQ(
        run({"--port", sim.devicePath(), "--no-3bar", "upload", path("t.cfg").string()}).exitCode,
        0);
    EXPECT_NE(readFile(path("t.cfg")).find("\"34\",\"51\",\"68\",\"85\",\"119\",\"136\"\r\n"),
              std::string::npos);
}

TEST_F(CliProcess, editedFileSentAndUploadedAgainComesBackUnchanged) {
    support::SimProcess sim;
    const std::string device = sim.devicePath();
    ASSERT_EQ(run({"--port", device, "upload", path("a.cfg").string()}).exitCode, 0);
    std::string edited = replaced(readFile(path("a.cfg")), "\"8\",\"18\"", "\"11\",\"18\"");
    edited = replaced(edited, "\"1200\",\"** \",#TRUE#,#FALSE#", "\"6500\",\"67%\",#FALSE#,#TRUE#");
    edited = replaced(edited, "\"RPM\",\"0\",\"RPM\",\"0\"", "\"TPS\",\"51\",\"CLT\",\"120\"");
    writeFile(path("a.cfg"), edited);

    const Outcome send = run({"--port", device, "send", path("a.cfg").string()});
    EXPECT_EQ(send.exitCode, 0) << send.err;
    EXPECT_EQ(send.out, "Download Done!\n");

    ASSERT_EQ(run({"--port", device, "upload", path("b.cfg").string()}).exitCode, 0);
    EXPECT_EQ(readFile(path("b.cfg")), edited);
}

TEST_F(CliProcess, uploadOfAnOddImageWritesEachFieldByItsDecodingRule) {
    // Half degrees, a -5.5 advance rounded to the even -6, a clamped +63.5, "3 Bar" pressures,
    // 2.5 V from 128, crank pulses from b = 0, a 2-stroke six, a retarding 67% limiter and
    // list indexes that the lists hold; offsets 27, 34..41, 47, 49 and 54..62 are not read.
    const std::string image(
        "\x18\x19\x5a\xff\x01\x78"
        "\x14\x32\x46\x5a\x6e\xff"
        "\x8c\x88\x84\x80\x75\xff"
        "\x22\x33\x44\x55\x00\xff"
        "\x33\x80\x5a\x00\x1e\x28\x13\x0d\x06\x00"
        "\xaa\xaa\xaa\xaa\xaa\xaa\xaa\xaa"
        "\x86\x3c\xff\xc8\x84\x77\x02\x99\x08\x00\x08\x0a"
        "\xee\xee\xee\xee\xee\xee\xee\xee\xee",
        63);
    writeFile(path("store"), image);
    support::SimProcess sim({"--store", path("store").string()});

    const Outcome outcome = run({"--port", sim.devicePath(), "upload", path("t.cfg").string()});
    EXPECT_EQ(outcome.exitCode, 0) << outcome.err;
    EXPECT_EQ(readFile(path("t.cfg")),
              "Volcrestone Settings BEL v1\r\n"
              "#FALSE#,#TRUE#,\"6\",\"45.0\",#FALSE#\r\n"
              "\"12\",\"12.5\",\"45\",\"127.5\",\"0.5\",\"60\"\r\n"
              "\"1000\",\"2500\",\"3500\",\"4500\",\"5500\",\"12750\"\r\n"
              "\"+6\",\"+4\",\"+2\",\"0\",\"-6\",\"+40\"\r\n"
              "\"40\",\"60\",\"80\",\"100\",\"0\",\"300\"\r\n"
              "#TRUE#,#FALSE#,#FALSE#\r\n"
              "\"1.0\",\"2.5\",\"1500\",\"2000\"\r\n"
              "\"6.5\",\"300\",\"3\"\r\n"
              "\"IGN\",\"60\",\"AD7\",\"255\"\r\n"
              "\"10000\",\"67%\",#FALSE#,#TRUE#\r\n"
              "#FALSE#,#TRUE#,\"Input\",#FALSE#\r\n"
              "\"4.0\",#FALSE#,#TRUE#,\"0\"\r\n");
}

TEST_F(CliProcess, handWrittenVersion0FileWithBareLineFeedsSendsItsValues) {
    // Unquoted numbers, blanks around values, text after a closing quote, a number as an
    // option, rpm thresholds of the first layout and line feeds without carriage returns.
    writeFile(path("a.cfg"),
              "Volcrestone Settings RUK v0\n"
              "#TRUE#, #FALSE# ,\"8\"junk,  \"60.0\" ,#TRUE#\n"
              "\"8\",18,\"24\" ,\"32\",\"32\",\"30\"\n"
              "1000,2500,3500,4500,5500,6500\n"
              "\"+6\",\"+4\",\"+2\",\"0\",\"-2\",\"-5\"\n"
              "\"40\",\"60\",\"80\",\"100\",\"140\",\"160\"\n"
              "#FALSE#,1,#FALSE#\n"
              "\"1.0\",\"1.5\",\"1500\",\"2000\"\n"
              "\"6\",\"300\",\"8\"\n"
              "\"3025\",\"4000\"\n"
              "\"1200\",\"80%\",#FALSE#,#TRUE#\n"
              "#TRUE#,#FALSE#,\"Knock\",#FALSE#\n"
              "\"0.5\",#FALSE#,#TRUE#,\"25\"\n");
    support::SimProcess sim({"--record", path("wire").string()});
    const Outcome send =
        run({"--port", sim.devicePath(), "--edition", "RUK", "send", path("a.cfg").string()});
    EXPECT_EQ(send.exitCode, 0) << send.err;
    ASSERT_EQ(run({"--port", sim.devicePath(), "revision"}).exitCode, 0);

    const std::string wire = readFile(path("wire"));
    ASSERT_EQ(wire.size(), 53u * 3 + 2);
    // Cell by cell: timing, speed, MAP advance, pressure / 1.176.
    EXPECT_EQ(wire.substr(0, 72), std::string("W\x00\x10W\x06\x14W\x0c\x8cW\x12\x22"
                                              "W\x01\x24W\x07\x32W\x0d\x88W\x13\x33"
                                              "W\x02\x30W\x08\x46W\x0e\x84W\x14\x44"
                                              "W\x03\x40W\x09\x5aW\x0f\x80W\x15\x55"
                                              "W\x04\x40W\x0a\x6eW\x10\x7cW\x16\x77"
                                              "W\x05\x3cW\x0b\x82W\x11\x76W\x17\x88",
                                              72));
    // 76.5 goes to the even 76; ported by rpm, 1 bar, sparks as the unwind unit; 8 pulses;
    // the constants of eight sparks; odd-fire eight; rpm codes 60 (60.5 to even) and 80;
    // retarding 80%; knock output; then the store command.
    EXPECT_EQ(wire.substr(72),
              std::string("W\x18\x33W\x19\x4cW\x1a\x78W\x1b\x78W\x1c\x1eW\x1d\x28W\x1e\x16"
                          "W\x1f\x0cW\x20\x06W\x21\xff"
                          "W\x22\x00W\x23\x34W\x24\xbcW\x25\x00W\x26\x02W\x27\xd8W\x28\x00"
                          "W\x29\x2d"
                          "W\x2a\x48W\x2b\x3cW\x2c\x50W\x2d\x18W\x2e\x82W\x2f\x10W\x30\x01"
                          "W\x32\x01W\x33\x19W\x34\x00W\x35\x00"
                          "BQ",
                          89));
}

TEST_F(CliProcess, refusedSendSaysWhyAndWritesNoByte) {
    support::SimProcess sim({"--record", path("wire").string()});
    const std::string& file = support::kBelStartupFile;
    const std::pair<std::optional<std::string>, const char*> rows[] = {
        {replaced(file, "\"45.0\"", "\"0.0\""), "Base Timing must be less than Static Timing!\n"},
        {replaced(file, "\"0.0\",#TRUE#", "\"1.0\",#TRUE#"),
         "\"Retard increase per knock detect\"\nmust be set to 0.0\n"},
        {"Some other file\r\n", "Not a Volcrestone Settings file!\n"},
        {std::nullopt, "Could not open file 1\n"},
        {file.substr(0, file.find("#FALSE#,#FALSE#,#TRUE#")), "Error trying to Load Settings!\n"}};
    for (const auto& [content, message] : rows) {
        fs::remove(path("a.cfg"));
        if (content)
            writeFile(path("a.cfg"), *content);
        const Outcome outcome = run({"--port", sim.devicePath(), "send", path("a.cfg").string()});
        EXPECT_EQ(outcome.exitCode, 1);
        EXPECT_EQ(outcome.err, message);
        EXPECT_EQ(outcome.out, "");
    }
    ASSERT_EQ(run({"--port", sim.devicePath(), "revision"}).exitCode, 0);
    EXPECT_EQ(readFile(path("wire")), "Q");
}

TEST_F(CliProcess, portThatCannotBeOpenedIsNamed) {
    const Outcome path1 = run({"--port", path("no-such-device").string(), "revision"});
    EXPECT_EQ(path1.exitCode, 1);
    EXPECT_EQ(path1.err, "Could not open " + path("no-such-device").string() + "\n");

    const Outcome com = run({"--port", "COM2", "revision"},
                            {"VOLCRESTONE_COM2=" + path("no-such-device").string()});
    EXPECT_EQ(com.exitCode, 1);
    EXPECT_EQ(com.err, "Could not open COM2\n");
}

TEST_F(CliProcess, fileThatCannotBeWrittenIsReportedAndNothingIsLeftBehind) {
    support::SimProcess sim;
    const fs::path target = path("missing-folder") / "t.cfg";
    const Outcome outcome = run({"--port", sim.devicePath(), "upload", target.string()});
    EXPECT_EQ(outcome.exitCode, 1);
    EXPECT_EQ(outcome.err, "Error trying to Save Settings!\n");
    EXPECT_EQ(outcome.out, "");
    EXPECT_FALSE(fs::exists(path("missing-folder")));
}

TEST_F(CliProcess, usageErrorsExitWith2) {
    for (const std::vector<std::string>& args : {std::vector<std::string>{},
                                                 {"fly"},
                                                 {"send", "a", "b"},
                                                 {"--edition", "XYZ", "revision"}}) {
        const Outcome outcome = run(args);
        EXPECT_EQ(outcome.exitCode, 2);
        EXPECT_NE(outcome.err.find("usage: volcrestone-cli"), std::string::npos) << outcome.err;
    }
}

}  // namespace

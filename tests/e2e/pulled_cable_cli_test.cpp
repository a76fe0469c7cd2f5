// volcrestone-cli as a process on a simulator whose line goes away mid-exchange, answers garbage
// or crawls at a tenth of its rate: one clear line, exit 1, no file changed, no hang.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <termios.h>
#include <unistd.h>

#include <QProcess>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "support/BelStartup.h"
#include "support/Processes.h"

namespace {

using support::readFile;

class PulledCableCli : public testing::Test {
protected:
    ~PulledCableCli() override {
        if (sim)
            sim->stop();
    }
    // A controller on COM1's link; the one before it must be gone first, or its exit would
    // remove the new link.
    void plugIn(std::vector<std::string> arguments) {
        if (sim)
            sim->stop();
        arguments.insert(arguments.end(), {"--link", path("ttyCOM1")});
        sim.emplace(arguments);
    }
    support::Finished run(const std::vector<std::string>& arguments) {
        return support::runToEnd(
            VOLCRESTONE_CLI_PATH, arguments,
            {{"XDG_CONFIG_HOME", path("config")}, {"VOLCRESTONE_COM1", path("ttyCOM1")}});
    }
    std::string path(const std::string& name) const { return folder.path(name); }

    support::ScratchFolder folder;
    std::optional<support::SimProcess> sim;
};

// Whether process `pid` has `device` open.
bool holds(qint64 pid, const std::string& device) {
    std::error_code error;
    for (const auto& fd :
         std::filesystem::directory_iterator("/proc/" + std::to_string(pid) + "/fd", error)) {
        if (std::filesystem::read_symlink(fd.path(), error) == device)
            return true;
    }
    return false;
}

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> all;
    for (std::size_t start = 0, end; (end = text.find('\n', start)) != std::string::npos;
         start = end + 1)
        all.push_back(text.substr(start, end - start));
    return all;
}

TEST_F(PulledCableCli, anUploadCutOffLeavesTheFileAsItWasAndWorksOnceTheDeviceIsBack) {
    std::ofstream(path("a.cfg"), std::ios::binary) << "kept";
    plugIn({"--vanish-after", "1"});
    const auto cut = run({"upload", path("a.cfg")});
    EXPECT_EQ(cut.exitCode, 1);
    EXPECT_EQ(cut.out, "");
    EXPECT_EQ(cut.err, "COM1 is gone\n");
    EXPECT_EQ(readFile(path("a.cfg")), "kept");

    plugIn({});
    const auto upload = run({"upload", path("a.cfg")});
    EXPECT_EQ(upload.exitCode, 0) << upload.err;
    EXPECT_EQ(readFile(path("a.cfg")), support::kBelStartupFile);
}

TEST_F(PulledCableCli, aMonitorStreamCutOffEndsAfterItsLastLineWithComOneIsGone) {
    // The third frame is out of step, so the tool sends "N": the second byte, and the last.
    plugIn({"--out-of-step", "3", "--vanish-after", "2"});
    const auto monitor = run({"monitor"});
    EXPECT_EQ(monitor.exitCode, 1);
    EXPECT_EQ(monitor.err, "COM1 is gone\n");
    ASSERT_EQ(lines(monitor.out).size(), 2u) << monitor.out;
    EXPECT_EQ(lines(monitor.out)[0], "RPM,MAP,Coolant,Ignition,MSD,TPS,Battery,O2");
}

TEST_F(PulledCableCli, aFirmwareUpdateCutOffLogsWhereItStoppedAndSaysComOneIsGoneOnce) {
    std::ofstream s19(path("fw.s19"), std::ios::binary);
    for (int line = 0; line < 60; ++line)
        s19 << "S1130000FFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFEC\r\n";
    s19 << "S9030000FC\r\n";
    s19.close();
    // "!", CR and "u", one whole line and the first byte of the next.
    plugIn({"--vanish-after", std::to_string(3 + 43 + 1)});
    const auto flash = run({"flash", path("fw.s19")});
    EXPECT_EQ(flash.exitCode, 1);
    ASSERT_FALSE(lines(flash.out).empty());
    EXPECT_EQ(lines(flash.out).back().rfind("** PORT LOST! Stopped after ", 0), 0u) << flash.out;
    EXPECT_TRUE(flash.err.ends_with("\nCOM1 is gone\n")) << flash.err;
    EXPECT_EQ(flash.err.find("gone"), flash.err.rfind("gone"));
}

TEST_F(PulledCableCli, aSendWhoseBytesWaitOnTheLineWhenItGoesSaysComOneIsGoneAndStoresNothing) {
    plugIn({});
    ASSERT_EQ(run({"upload", path("a.cfg")}).exitCode, 0);
    plugIn({"--store", path("stored")});
    // A pseudo-terminal takes any write at once; stopped, it keeps the Tune in the tool's queue
    // as a dying adapter would, until the line goes.
    const int line = ::open(path("ttyCOM1").c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    ASSERT_EQ(::tcflow(line, TCOOFF), 0);
    QProcess send;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("XDG_CONFIG_HOME", QString::fromStdString(path("config")));
    environment.insert("VOLCRESTONE_COM1", QString::fromStdString(path("ttyCOM1")));
    send.setProcessEnvironment(environment);
    send.start(VOLCRESTONE_CLI_PATH, support::toQt({"send", path("a.cfg")}));
    ASSERT_TRUE(send.waitForStarted(support::kPatienceMs));
    for (int waited = 0; !holds(send.processId(), sim->devicePath()); waited += 10) {
        ASSERT_LT(waited, support::kPatienceMs) << "the tool never opened the device";
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    sim->stop();
    ::close(line);
    EXPECT_EQ(support::finish(send), 1);
    EXPECT_EQ(send.readAllStandardOutput().toStdString(), "");
    EXPECT_EQ(send.readAllStandardError().toStdString(), "COM1 is gone\n");
    EXPECT_FALSE(std::filesystem::exists(path("stored")));

    plugIn({"--store", path("stored")});
    EXPECT_EQ(run({"send", path("a.cfg")}).out, "Download Done!\n");
    sim->stop();
    EXPECT_TRUE(std::filesystem::exists(path("stored")));
}

TEST_F(PulledCableCli, garbageAnswersAreTakenAsTheyComeAndACrawlingLineGivesNoResponse) {
    plugIn({"--answer-garbage"});
    const auto revision = run({"revision"});
    EXPECT_EQ(revision.exitCode, 0);
    EXPECT_EQ(revision.out.size(), 3u) << "two hex digits and a line end";
    EXPECT_EQ(run({"upload", path("g.cfg")}).exitCode, 0);
    EXPECT_EQ(readFile(path("g.cfg")).rfind("Volcrestone Settings BEL v1\r\n", 0), 0u);
    const auto flash = run({"flash", path("g.cfg")});
    EXPECT_EQ(flash.exitCode, 1);
    EXPECT_NE(flash.out.find("** TIME OUT! 2 "), std::string::npos) << flash.out;

    // 96 bytes a second: a revision and the live frames come in time, a 63-byte image does not.
    plugIn({"--slow"});
    EXPECT_EQ(run({"revision"}).out, "0A\n");
    const auto monitor = run({"monitor", "--frames", "2"});
    EXPECT_EQ(monitor.exitCode, 0) << monitor.err;
    EXPECT_EQ(lines(monitor.out).size(), 3u) << monitor.out;
    const auto upload = run({"upload", path("s.cfg")});
    EXPECT_EQ(upload.exitCode, 1);
    EXPECT_EQ(upload.err, "No Response from Controller!\n");
    EXPECT_FALSE(std::filesystem::exists(path("s.cfg")));
}

}  // namespace

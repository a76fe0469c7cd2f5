// volcrestone-cli as a process on the simulator's pseudo-terminal: each command's output and its
// failures, and a line that goes away mid-exchange, answers garbage or crawls at a tenth of its
// rate (one clear line, exit 1, no file changed, no hang).
#include <fcntl.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <termios.h>
#include <unistd.h>

#include <QImage>
#include <QProcess>
#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <thread>
#include <tuple>
#include <utility>
#include <vector>

#include "support/BelStartup.h"
#include "support/Processes.h"

namespace {

namespace fs = std::filesystem;
using namespace std::string_literals;
using support::kBelStartupFile;
using support::readFile;

std::string edited(std::string text,
                   const std::vector<std::pair<std::string, std::string>>& edits) {
    for (const auto& [from, to] : edits)
        text.replace(text.find(from), from.size(), to);  // throws where `from` is missing
    return text;
}

// Whether process `pid` has `device` open.
bool holds(qint64 pid, const std::string& device) {
    std::error_code error;
    for (const auto& fd : fs::directory_iterator("/proc/" + std::to_string(pid) + "/fd", error)) {
        if (fs::read_symlink(fd.path(), error) == device)
            return true;
    }
    return false;
}

// The names in `folder`, sorted.
std::vector<std::string> namesIn(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder))
        names.push_back(entry.path().filename());
    std::sort(names.begin(), names.end());
    return names;
}

// A command line, all the tool prints, and the controller it meets.
struct Row {
    std::vector<std::string> arguments;
    int exitCode;
    testing::Matcher<const std::string&> err;
    testing::Matcher<const std::string&> out = "";
    std::vector<std::string> controller = {};
};

// COM1 is the controller's link, COM2 a device that is not there; the tool's settings
// live in the scratch folder, and there is no runtime folder, as outside a desktop session.
class Cli : public testing::Test {
protected:
    support::Environment environment() const {
        return {{"XDG_CONFIG_HOME", path("config")},
                {"XDG_DATA_HOME", path(dataHome)},
                {"XDG_RUNTIME_DIR", ""},
                {"VOLCRESTONE_COM1", path("ttyCOM1")},
                {"VOLCRESTONE_COM2", path("missing/t.cfg")}};
    }
    support::Finished run(const std::vector<std::string>& arguments) {
        return support::runToEnd(VOLCRESTONE_CLI_PATH, arguments, environment());
    }
    // Runs the row's command line on the controller plugged in now.
    void expect(const Row& row) {
        SCOPED_TRACE(testing::PrintToString(row.arguments));
        const auto ran = run(row.arguments);
        EXPECT_EQ(ran.exitCode, row.exitCode);
        EXPECT_THAT(ran.err, row.err);
        EXPECT_THAT(ran.out, row.out);
    }
    // A controller on COM1's link, in place of the one before.
    void plugIn(std::vector<std::string> arguments) {
        arguments.insert(arguments.end(), {"--link", path("ttyCOM1")});
        sim.emplace(arguments);
    }
    void storeSettings(const std::string& ini) {
        fs::create_directories(path("config/Volcrestone"));
        folder.write("config/Volcrestone/Volcrestone.ini", ini);
    }
    std::string path(const std::string& name) const { return folder.path(name); }

    support::ScratchFolder folder;
    std::string dataHome = "data";  // where the tune history goes
    std::optional<support::SimProcess> sim;
};

TEST_F(Cli, eachCommandLinePrintsItsTextsOnTheRightStreamWithItsExitCodeAndLeavesNoStrayFile) {
    using testing::EndsWith, testing::HasSubstr, testing::MatchesRegex, testing::StartsWith;
    const std::string& start = kBelStartupFile;
    const std::string good = folder.write("good.cfg", start);
    const std::string other = folder.write("other.cfg", "Some Settings BEL v1\r\n");
    const std::string cut = folder.write("cut.cfg", start.substr(0, 200));
    const std::string knock =
        folder.write("knock.cfg", edited(start, {{"\"0.0\",#TRUE#", "\"1.0\",#TRUE#"}}));
    const std::string two = folder.write(
        "two.cfg", edited(start, {{"\"24\",\"32\"", "\"26\",\"32\""}, {"\"300\"", "\"350\""}}));
    const std::string many = folder.write(
        "many.cfg",
        edited(start, {{"\"6500\"", "\"7000\""},
                       {"\"+2\"", "\"3.0\""},
                       {"#TRUE#,#FALSE#,\"4\"", "#FALSE#,#FALSE#,\"4\""},
                       {"\"1200\",\"** \"", "\"1200\",\"80%\""},
                       {"\"1.0\",\"1.5\"", "\"1.0\",\"2.5\""},
                       {"\"Reset\",#FALSE#", "\"Knock\",#TRUE#"},
                       {"\"RPM\",\"0\",\"RPM\",\"0\"", "\"TPS\",\"51\",\"CLT\",\"120\""},
                       {"\"0.0\",#TRUE#,#FALSE#", "\"0.0\",#FALSE#,#TRUE#"}}));
    const std::string kept = folder.write("kept.cfg", "kept");
    fs::permissions(kept, fs::perms::owner_read);
    const std::string sixty = folder.write("sixty.s19", support::fillerFirmware(60));
    const std::string taken = path("taken.png");
    fs::create_directory(taken);
    const std::string missing = path("missing/t.cfg");
    const std::string none = path("none");  // no file of any kind
    const std::string link = path("ttyCOM1");
    const std::string usage = "\nusage: volcrestone-cli [--port DEVICE|COM1..COM4] ";
    const std::string doctorHint = "Run volcrestone-cli doctor to find out why.\n";
    const std::string noAnswer = "No Response from Controller!\n" + doctorHint;
    const std::string absent = ": No such file or directory\n";
    const std::string header = "RPM,MAP,Coolant,Ignition,MSD,TPS,Battery,O2\n";
    const std::string flashing = "S19 file opened...\nSent KQ '!'...\nSent KQ <CR>...\n";
    const std::string flashAgain =
        "The controller may be waiting in its bootloader: run volcrestone-cli flash " + sixty +
        " again.\n";
    const std::vector<std::string> silent = {"--silent"}, garbage = {"--answer-garbage"},
                                   slow = {"--slow"},  // 96 bytes a second
        quiet = {"--record", path("quiet.wire")};
    // An upload on a crawling line must time out even when a loaded machine stretches the five
    // ticks it waits: at 40 bytes a second the image takes over three times as long.
    const std::vector<std::string> crawling = {"--slow-rate", "40"};
    const Row cases[] = {
        Row({"--port", "com1", "revision"}, 0, "", "0A\n"),
        Row({"--port", missing, "revision"}, 1, "Could not open " + missing + absent + doctorHint),
        Row({"--port", "COM2", "revision"}, 1,
            "Could not open COM2\nCould not open COM2 (" + missing + ")" + absent + doctorHint),
        Row({"fly"}, 2, StartsWith("volcrestone-cli: unknown command fly" + usage)),
        Row({"flash"}, 2,
            StartsWith("volcrestone-cli: wrong number of arguments for flash" + usage)),
        // Upload asks the controller first, then finds no file it may write.
        Row({"upload", kept}, 1, "Could not open file 1\n" + kept + ": Permission denied\n"),
        // The file and its checks come before the port, which is not there.
        Row({"--port", none, "send", none}, 1, "Could not open file 1\n" + none + absent),
        Row({"--port", none, "send", knock}, 1,
            "\"Retard increase per knock detect\"\nmust be set to 0.0\n"),
        // The adapters listed are this machine's.
        Row({"--port", none, "doctor"}, 1, "",
            AllOf(StartsWith("ok   port: " + none + ", given with --port\nok   serial adapters: "),
                  HasSubstr("\nFAIL " + none + " does not exist. Fix: "))),
        // The controller holds the startup Tune.
        Row({"diff", good, two}, 1, "",
            "IGNITION TIMING / Degree 3: 24 -> 26\nSTART TIMING / RPM Threshold: 300 -> 350\n"),
        Row({"diff", two, "--controller"}, 1, "",
            "IGNITION TIMING / Degree 3: 26 -> 24\nSTART TIMING / RPM Threshold: 350 -> 300\n"),
        Row({"diff", good, many}, 1, "",
            "IGNITION TIMING / RPM 6: 6500 -> 7000\n"
            "Vaccum/ Boost Advance/ Retard / Degree 3: +2 -> 3.0\n"
            "ENGINE TYPE / 4-Stroke or 2-Stroke: 4-Stroke -> \"\"\n"
            "REV LIMITER: \"  ** DISABLED **\" -> \" 80%  Firm, 4 of 5\"\n"
            "Ported Vacuum / TPS (V) Full: 1.5 -> 2.5\n"
            "MAP SENSOR TYPE / XLED Function: Reset -> Knock\n"
            "MAP SENSOR TYPE / OUTPUT Invert: unchecked -> checked\n"
            "Knock Retard / MSEC or Sparks: MSEC -> Sparks\n"
            "OUTPUTS / #1: RPM 0 -> TPS 1.00\n"
            "OUTPUTS / #2: RPM 0 -> CLT 80\n"),
        Row({"--edition", "zav", "diff", many, good}, 1, "",
            HasSubstr("\nMAP Sensor / XLED Function: Knock -> Reset\n")),
        Row({"diff", good, none}, 2, none + ": Could not open file 1\n" + none + absent),
        Row({"diff", cut, good}, 2, cut + ": Error trying to Load Settings!\n"),
        Row({"diff", good}, 2, "diff compares two settings files, or one with --controller\n"),
        Row({"plot", other, "--png", path("map.png")}, 1, "Not a Volcrestone Settings file!\n"),
        Row({"plot", none, "--png", path("map.png")}, 1, "Could not open file 1\n" + none + absent),
        Row({"plot", good, "--png", taken}, 1, StartsWith("Could not write " + taken + ": ")),
        // The Tune is read before the log, and no picture is left of either failure.
        Row({"report", none, "--png", path("n.png")}, 1,
            "Could not open the log " + none + "\n" + none + absent),
        Row({"report", none, "--png", path("n.png"), "--tune", none}, 1,
            "Could not open file 1\n" + none + absent),
        Row({"replay", taken}, 1,
            "Could not open the log " + taken + "\n" + taken + ": Is a directory\n"),
        Row({"monitor", "--log", missing}, 1, "Could not create the log " + missing + absent),
        Row({"monitor", "--frames", "1", "--log", "/dev/full"}, 0,
            "Logging stopped: could not write /dev/full: No space left on device\n",
            MatchesRegex(header + "[^\n]+\n")),
        Row({"flash", none}, 1, none + absent, "** Failed to open S19 file\n"),
        Row({"doctor"}, 0, "",
            AllOf(StartsWith("ok   port: COM1 is " + link +
                             ", from the environment variable VOLCRESTONE_COM1\n"),
                  HasSubstr("\nok   " + link + " is a character device (/dev/pts/"),
                  HasSubstr("), a pseudo-terminal whose other end is volcrestone-sim (pid "),
                  HasSubstr(") may read and write " + link + "\nok   no other program holds " +
                            link + "\n"),
                  EndsWith(" stop bit\nok   the controller answers 'Q': firmware revision AB\n")),
            {"--revision", "171"}),
        Row({"upload", path("t.cfg")}, 1, noAnswer, "", silent),
        Row({"monitor", "--frames", "1"}, 1, noAnswer, header, silent),
        Row({"diff", good, "--controller"}, 2, noAnswer, "", silent),
        Row({"flash", sixty}, 1,
            "Firmware update failed: the controller's bootloader did not answer\n" + flashAgain,
            flashing + "** TIME OUT! 2 \r\nBoot> \n"
                       "** Verify the controller is ON and RS232 cable attached!\n"
                       "** Also check that H1 or R6 is shorted on the controller!\n",
            {"--boot-fault", "blank:prompt"}),
        // Garbage of the right length is an answer like any other: the protocol has no checksum.
        Row({"revision"}, 0, "", MatchesRegex("[0-9A-F]{2}\n"), garbage),
        Row({"upload", path("g.cfg")}, 0, "", "Upload Done!\n", garbage),
        // Whatever is not a whole S-record image never reaches the controller (checked below).
        Row({"flash", good}, 1, "** Not an S19 file: line 1: not an S-record\n", "", quiet),
        Row({"flash", folder.write("empty.s19", "")}, 1,
            "** Not an S19 file: line 1: no data records\n", "", quiet),
        Row({"doctor"}, 1, "",
            EndsWith("\nFAIL the controller is waiting in its bootloader. Fix: run volcrestone-cli "
                     "flash FILE.s19 again, or send \"x\" to leave it\n"),
            {"--in-bootloader"}),
        // A revision and the live frames come in time, a 63-byte image does not.
        Row({"revision"}, 0, "", "0A\n", slow),
        Row({"monitor", "--frames", "2"}, 0, "", MatchesRegex(header + "[^\n]+\n[^\n]+\n"), slow),
        Row({"upload", path("s.cfg")}, 1, noAnswer, "", crawling),
        // Pulled out after the "U"; after the "N" that stops a stream out of step at its third
        // frame; after "!", CR, "u", one whole line and the first byte of the next. Each next
        // row meets a controller plugged in again.
        Row({"upload", cut}, 1, "COM1 is gone\n", "", {"--vanish-after", "1"}),
        Row({"monitor"}, 1, "COM1 is gone\n", MatchesRegex(header + "[^\n]+\n"),
            {"--out-of-step", "3", "--vanish-after", "2"}),
        Row({"flash", sixty}, 1,
            MatchesRegex("\rLines: 0\rLines: 1\rLines: 2(\rLines: [0-9]+)*\nCOM1 is gone\n"
                         "Firmware update failed: the port went away while sending\n" +
                         flashAgain),
            MatchesRegex(flashing +
                         "Got: \r\nBoot>\nSent KQ 'u'...\nGot: u - waiting ...\nSending s19...\n"
                         "\\*\\* PORT LOST! Stopped after [0-9]+ lines\n"),
            {"--vanish-after", std::to_string(3 + 43 + 1)}),
    };
    const std::vector<std::string>* plugged = nullptr;
    for (const Row& row : cases) {
        if (!plugged || *plugged != row.controller) {
            plugged = &row.controller;
            plugIn(row.controller);
        }
        expect(row);
    }
    EXPECT_EQ(readFile(kept), "kept");
    EXPECT_EQ(readFile(path("quiet.wire")), "");
    EXPECT_EQ(readFile(cut), start.substr(0, 200));
    EXPECT_TRUE(readFile(path("g.cfg")).starts_with("Volcrestone Settings BEL v1\r\n"));
    EXPECT_EQ(namesIn(path(".")),
              (std::vector<std::string>{"cut.cfg", "data", "empty.s19", "g.cfg", "good.cfg",
                                        "kept.cfg", "knock.cfg", "many.cfg", "other.cfg",
                                        "quiet.wire", "sixty.s19", "taken.png", "two.cfg"}));
}

TEST_F(Cli, uploadAndSendCarryTheTuneCellByCellAndKeepItInTheHistoryWhoseEntriesAtNNameIt) {
    plugIn({"--record", path("wire")});
    EXPECT_EQ(run({"history"}).out, "");
    ASSERT_EQ(run({"upload", path("a.cfg")}).out, "Upload Done!\n");
    EXPECT_EQ(readFile(path("a.cfg")), kBelStartupFile);
    const std::string tune = folder.write(
        "e.cfg", edited(kBelStartupFile,
                        {{"\"8\",\"18\"", "\"11\",\"18\""},
                         {"\"1200\",\"** \",#TRUE#,#FALSE#", "\"6500\",\"67%\",#FALSE#,#TRUE#"},
                         {"\"RPM\",\"0\",\"RPM\",\"0\"", "\"TPS\",\"51\",\"CLT\",\"120\""}}));
    expect(Row({"send", tune}, 0, "", "Download Done!\n"));
    const std::string kept = path("data/Volcrestone/history");
    const std::vector<std::string> files = namesIn(kept);
    ASSERT_EQ(files.size(), 2u);
    // By name the older first, and the read one also within the same second.
    EXPECT_EQ(readFile(kept + "/" + files[0]), readFile(path("a.cfg")));
    EXPECT_EQ(readFile(kept + "/" + files[1]), readFile(tune));
    const std::string at = "[0-9]{4}-[0-9]{2}-[0-9]{2} [0-9]{2}:[0-9]{2}:[0-9]{2}  ";
    expect(Row({"history"}, 0, "",
               testing::MatchesRegex("@1  " + at + "sent  " + kept +
                                     "/[0-9]{8}-[0-9]{6}-sent(-[0-9]+)?\\.cfg\n@2  " + at +
                                     "read  " + kept + "/[-0-9]{15}-read\\.cfg\n")));
    // The entries name the files they keep; the table checks the lines diff prints.
    expect(Row({"diff", "@2", "@1"}, 1, "", run({"diff", path("a.cfg"), tune}).out));

    // A history that cannot be written changes nothing of the upload but one line.
    folder.write("blocked", "");
    dataHome = "blocked";
    expect(
        Row({"upload", path("b.cfg")}, 0,
            "Tune history not kept: " + path("blocked/Volcrestone/history") + ": Not a directory\n",
            "Upload Done!\n"));
    EXPECT_EQ(readFile(path("b.cfg")), readFile(tune));
    ASSERT_EQ(run({"--no-3bar", "upload", path("b.cfg")}).exitCode, 0);
    EXPECT_NE(readFile(path("b.cfg")).find("\"34\",\"51\",\"68\",\"85\",\"119\",\"136\"\r\n"),
              std::string::npos);
    dataHome = "data";

    EXPECT_EQ(run({"send", "@2"}).out, "Download Done!\n");
    EXPECT_EQ(run({"diff", path("a.cfg"), "--controller"}).exitCode, 0);
    // Sent again: the same as the newest sent entry, so not kept again.
    EXPECT_EQ(run({"send", "@1"}).out, "Download Done!\n");
    EXPECT_EQ(namesIn(kept).size(), 3u);
    for (const std::vector<std::string>& line : {std::vector<std::string>{"diff", "@1", "@4"},
                                                 {"send", "@4"},
                                                 {"plot", "@4", "--png", path("p.png")}})
        expect(Row(line, 1, "No tune history entry @4 (volcrestone-cli history lists them)\n"));
    EXPECT_EQ(sim->stop(), 0);
    // The last send, of the startup Tune: the timing, speed, MAP advance and pressure cells
    // column by column, then the rest in order of offset (49 is never written) and the burn.
    const std::string wire = readFile(path("wire"));
    EXPECT_EQ(wire.substr(wire.size() - (53 * 3 + 1)),
              "W\x00\x10W\x06\x14W\x0c\x8cW\x12\x22W\x01\x24W\x07\x32W\x0d\x88W\x13\x33W\x02\x30"
              "W\x08\x46W\x0e\x84W\x14\x44W\x03\x40W\x09\x5aW\x0f\x80W\x15\x55W\x04\x40W\x0a\x6e"
              "W\x10\x7cW\x16\x77W\x05\x3cW\x0b\x82W\x11\x76W\x17\x88W\x18\x33W\x19\x4cW\x1a\x5a"
              "W\x1b\x5aW\x1c\x1eW\x1d\x28W\x1e\x00W\x1f\x0cW\x20\x06W\x21\x07W\x22\x00W\x23\x69"
              "W\x24\x78W\x25\x00W\x26\x01W\x27\x6cW\x28\x00W\x29\x5aW\x2a\x04W\x2b\x00W\x2c\x00"
              "W\x2d\x18W\x2e\x00W\x2f\xffW\x30\x00W\x32\x00W\x33\x19W\x34\x00W\x35\x00"
              "B"s);
}

constexpr QRgb kWhite = 0xFFFFFFFF;
constexpr QRgb kYellow = 0xFFFFFF00;
constexpr QRgb kBlue = 0xFF0000FF;

// Whether any pixel inside the logical rectangle is not white.
bool inked(const QImage& image, int left, int top, int width, int height) {
    const int ratio = static_cast<int>(image.devicePixelRatio());
    for (int y = top * ratio; y < (top + height) * ratio; ++y)
        for (int x = left * ratio; x < (left + width) * ratio; ++x)
            if (image.pixel(x, y) != kWhite)
                return true;
    return false;
}

TEST_F(Cli, replayAndMonitorPrintRecordsAsTheDashboardShowsThemReportAndPlotDrawTheLogAndTheTune) {
    const std::string log = folder.write(
        "drive.csv",
        " 0 , 0 , 0 , 0 , 0 , 0 , 0 , 0 , 0 , 0 , 0 , 0 , 0 , 0 , 0 , 0 , 0 , 0 , 0 , 0 , 0 , "
        "0 , 0 , 0 , 0 , 0 , 0 , 0 , 0 , 0 \r\n"
        "0,0,0,0,0,255,128,0,0,0,0,100,31,64,200,0,0,147,0,192,191,0,0,0,0,0,150\r\n"
        "\r\n"
        "0,0,0,0,0,0,0,0,0,0,0,0,0,12.5");  // no line end
    expect(Row({"replay", log}, 0, "",
               "RPM,MAP,Coolant,Ignition,MSD,TPS,Battery,O2\n"
               "0,0,-40,0.0,0.0,0.0,0.0,0.0\n"
               "8000,118,160,-32.0,95.5,5.0,15.1,14.7\n"
               "0,0,-40,0.0,0.0,0.0,0.0,0.0\n"
               "12,0,-40,0.0,0.0,0.0,0.0,0.0\n"));
    storeSettings("[Realtime]\nTemp=C\nO2=Voltage\n");
    EXPECT_EQ(run({"--edition", "ruk", "--no-3bar", "replay", log}).out,
              "RPM,MAP,Coolant,Ignition,MSD,TPS,Battery,O2\n"
              "0,0,-18,0.0,0.0,0.0,0.0,0.00\n"
              "8000,100,66,-32.0,95.5,5.0,12.8,0.00\n"
              "0,0,-18,0.0,0.0,0.0,0.0,0.00\n"
              "12,0,-18,0.0,0.0,0.0,0.0,0.00\n");

    // The monitor prints a block as replay does, and logs it as it came.
    plugIn({});
    const auto monitor = run({"--no-3bar", "monitor", "--frames", "12", "--log", path("m.csv")});
    EXPECT_THAT(readFile(path("m.csv")), testing::MatchesRegex("([^\n]* \r\n){12}"));
    EXPECT_EQ(run({"--no-3bar", "replay", path("m.csv")}).out, monitor.out);

    // The report summarises that log (its lines are the report's own, see its tests) and draws
    // each strip against the map or empty axes.
    const std::string summary =
        "records: 12\n((rpm|kpa|advance): [^\n]+\n){3}rpm band  share\n"
        "([^\n]+  [.0-9]+%\n)+";
    expect(
        {{"report", path("m.csv"), "--png", path("r.png")}, 0, "", testing::MatchesRegex(summary)});
    const std::string tune = folder.write("t.cfg", kBelStartupFile);
    const std::string below = "below map by more than 1 deg: [0-9]+ records(; [^\n]+)?\n";
    expect(Row({"report", path("m.csv"), "--png", path("r2.png"), "--tune", tune, "--scale", "2"},
               0, "", testing::MatchesRegex(summary + below)));
    const QImage picture(QString::fromStdString(path("r.png")));
    const QImage dense(QString::fromStdString(path("r2.png")));
    ASSERT_EQ(picture.size(), QSize(1200, 900));
    ASSERT_EQ(dense.size(), QSize(2400, 1800));
    for (const int top : {42, 332, 622}) {  // inside each strip's frame
        EXPECT_TRUE(inked(picture, 72, top, 576, 236)) << top;
        EXPECT_TRUE(inked(dense, 72, top, 576, 236)) << top;
    }
    EXPECT_TRUE(inked(picture, 732, 42, 436, 436));  // the scatter

    expect(Row({"report", folder.write("empty.csv", ""), "--png", path("e.png")}, 0, "",
               "records: 0\n"));
    const QImage axes(QString::fromStdString(path("e.png")));
    EXPECT_FALSE(inked(axes, 72, 42, 576, 236));
    EXPECT_EQ(axes.pixel(70, 40), 0xFF000000);

    // Plot draws the startup Tune at 96 dpi with the stored colour and rpm scale.
    storeSettings("[Plot]\nGridColor=16711680\n[Realtime]\nRPM=12\n");
    expect(Row({"plot", tune, "--png", path("map.png")}, 0, ""));
    const QImage image(QString::fromStdString(path("map.png")));
    ASSERT_EQ(image.size(), QSize(537, 329));
    // The frame is the plot's own (see its recorded list). The surface in blue, twips / 15:
    // P(0,0,14) where it starts, and P(6500,0,36) on the 12K scale, which lies at (3437.125,
    // 754.75).
    EXPECT_EQ(image.pixel(54, 108), kBlue);
    EXPECT_EQ(image.pixel(229, 50), kBlue);
    // The 8K scale puts that point at (4746.0625, 754.75) instead.
    storeSettings("[Realtime]\nRPM=8\n");
    run({"plot", tune, "--png", path("map.png")});
    const QImage eightK(QString::fromStdString(path("map.png")));
    EXPECT_EQ(eightK.pixel(316, 50), kYellow);
    EXPECT_EQ(eightK.pixel(229, 50), kWhite);
}

TEST_F(Cli,
       flashSendsEveryLineAsItIsLongerOnesTooPrintsTheWindowsLogAndStopsOnSigtermInTheBootloader) {
    // Every kind of line end, ending in the end record.
    const std::vector<std::pair<std::string, std::string>> records = {
        {"S00F000068656C6C6F202020202000003C", "\r\n"},
        {"S11F00007C0802A6900100049421FFF07C6C1B787C8C23783C6000003863000026", "\n"},
        {"S11F001C4BFFFFE5398000007D83637880010014382100107C0803A64E800020E9", "\r"},
        {"S111003848656C6C6F20776F726C642E0A0042", "\r\n"},
        {"S5030003F9", "\r\n"},
        {"S9030000FC", "\r\n"}};
    std::string file, wire = "!\ru";
    for (const auto& [line, end] : records) {
        file += line + end;
        wire += line + "\r";
    }
    plugIn({"--record", path("wire")});
    expect(Row({"flash", folder.write("fw.s19", file)}, 0,
               "\rLines: 0\rLines: 1\rLines: 2\rLines: 3\rLines: 4\rLines: 5\rLines: 6\n",
               "S19 file opened...\nSent KQ '!'...\nSent KQ <CR>...\nGot: \r\nBoot>\n"
               "Sent KQ 'u'...\nGot: u - waiting ...\nSending s19...\nEOF s19, 6 lines\n"
               "Got:   Complete\r\nBoot>\r\nBoot>\nSent KQ 'x'...\nFirmware Update Done!\n"));
    EXPECT_EQ(sim->stop(), 0);
    EXPECT_EQ(readFile(path("wire")), wire + "x");

    // An objcopy image, whose lines are longer than a tick's worth of the line.
    folder.write("fw.bin", std::string(1024, '\x5a'));
    ASSERT_EQ(std::system(("objcopy -I binary -O srec --srec-len=64 --srec-forceS3 " +
                           path("fw.bin") + " " + path("fw.s19"))
                              .c_str()),
              0);
    plugIn({"--s19-out", path("got.txt")});
    expect(Row({"flash", path("fw.s19")}, 0, testing::_,
               testing::EndsWith("EOF s19, 18 lines\nGot:   Complete\r\nBoot>\r\nBoot>\n"
                                 "Sent KQ 'x'...\nFirmware Update Done!\n")));
    EXPECT_EQ(sim->stop(), 0);
    EXPECT_THAT(readFile(path("got.txt")),
                testing::MatchesRegex("(S[0-9A-F]+\n){18}"));  // S0 S3*16 S7

    // Stopped by SIGTERM while sending, it leaves the controller in its bootloader.
    plugIn({});
    QProcess flash;
    support::start(flash, VOLCRESTONE_CLI_PATH,
                   {"flash", folder.write("long.s19", support::fillerFirmware(100))},
                   environment());
    std::string out;
    while (out.find("Sending s19...\n") == std::string::npos &&
           flash.waitForReadyRead(support::kPatienceMs))
        out += flash.readAllStandardOutput().toStdString();
    ASSERT_NE(out.find("Sending s19...\n"), std::string::npos) << out;
    flash.terminate();
    EXPECT_EQ(support::finish(flash), 1);
    EXPECT_THAT(flash.readAllStandardError().toStdString(),
                testing::AllOf(testing::HasSubstr("\nInterrupted after "),
                               testing::EndsWith(" lines: the controller stays in its bootloader\n"
                                                 "The controller may be waiting in its bootloader: "
                                                 "run volcrestone-cli flash " +
                                                 path("long.s19") + " again.\n")));
    // The bootloader takes the revision query for a line of the file.
    EXPECT_EQ(run({"revision"}).exitCode, 1);
}

TEST_F(Cli, aSendWhoseBytesWaitOnTheLineWhenItIsPulledSaysComOneIsGoneAndStoresNothing) {
    folder.write("a.cfg", kBelStartupFile);
    plugIn({"--store", path("stored")});
    // A pseudo-terminal takes any write at once; stopped, it keeps the Tune in the tool's queue
    // as a dying adapter would, until the line goes.
    const int line = ::open(path("ttyCOM1").c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    ASSERT_EQ(::tcflow(line, TCOOFF), 0);
    QProcess send;
    support::start(send, VOLCRESTONE_CLI_PATH, {"send", path("a.cfg")}, environment());
    ASSERT_TRUE(send.waitForStarted(support::kPatienceMs));
    for (int waited = 0; !holds(send.processId(), sim->devicePath()); waited += 10) {
        ASSERT_LT(waited, support::kPatienceMs) << "the tool never opened the device";
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    sim->stop();
    ::close(line);
    EXPECT_EQ(support::finish(send), 1);
    EXPECT_EQ(std::tuple(send.readAllStandardOutput(), send.readAllStandardError()),
              std::tuple("", "COM1 is gone\n"));
    EXPECT_FALSE(fs::exists(path("stored")));

    plugIn({"--store", path("stored")});
    EXPECT_EQ(run({"send", path("a.cfg")}).out, "Download Done!\n");
    sim->stop();
    EXPECT_TRUE(fs::exists(path("stored")));
}

}  // namespace

// The firmware update's steps on a fake port and clock: the wire bytes, the log word for word,
// the whole-second time-outs and the clean-up.
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <tuple>
#include <vector>

#include "comlink/Bootloader.h"
#include "comlink/EngineFixture.h"
#include "comlink/S19Check.h"

namespace {

using namespace std::string_literals;
using tune::Edition;
using Lines = std::vector<std::string>;

const std::string kPrompt = "\r\nBoot>";
const std::string kAcknowledge = "u - waiting ...";
const std::string kComplete = "  Complete\r\nBoot>\r\nBoot>";
// The smallest image: one data record and the end record.
const std::string kImage = "S1050000AA55FB\r\nS9030000FC\r\n";

// `lines` data records of 16 bytes, then the end record.
std::string image(int lines) {
    std::string s19;
    for (int i = 0; i < lines; ++i)
        s19 += "S1130100555555555555555555555555555555559B\n";
    return s19 + "S9030000FC\n";
}

// Records what the firmware window would show.
struct RecordingView : comlink::BootloaderView {
    void updateStarting() override {
        buttonEnabled = false;
        logged.clear();
        lineCount = "";
    }
    void log(const std::string& line) override { logged.push_back(line); }
    void showLineCount(int count) override { lineCount = std::to_string(count); }
    void updateEnded(bool done) override {
        buttonEnabled = true;
        ended.push_back(done);
    }

    bool buttonEnabled = true;
    Lines logged;
    std::string lineCount = "(untouched)";
    std::vector<bool> ended;
};

class BootloaderTest : public ::testing::Test, protected EngineRig {
protected:
    BootloaderTest() {
        bootloader.setView(&view);
        events.onBootloaderTick = [this](int mode) { bootloader.step(mode); };
    }
    ~BootloaderTest() override { std::filesystem::remove_all(folder); }

    std::string file(const std::string& content) {
        std::filesystem::create_directories(folder);
        const std::string path = (folder / "fw.s19").string();
        std::ofstream(path, std::ios::binary) << content;
        return path;
    }
    // Pressed "DOWN LOAD" on `content` and answered exactly until the update is in `state`: 2
    // waits for the prompt, 3 for the acknowledgement, 4 sends, 5 waits for the end.
    void reach(int state, const std::string& content = kImage) {
        bootloader.downLoad(file(content));
        clock.advance(2);
        engine.tick();
        for (const std::string& answer : {kPrompt, kAcknowledge}) {
            if (engine.mode() < state) {
                port.pushText(answer);
                engine.tick();
            }
        }
        for (int tick = 0; tick < 5 && engine.mode() < state; ++tick)
            engine.tick();
        ASSERT_EQ(engine.mode(), state);
        port.clearWritten();
    }

    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() /
        ("vc-bootloader-" + std::to_string(::getpid()) + "-" +
         ::testing::UnitTest::GetInstance()->current_test_info()->name());
    comlink::DataFileSlot files;
    comlink::Bootloader bootloader{engine, files, [] { return std::string("COM3"); }};
    RecordingView view;
};

// Each line goes out as it is, a blank one too, ended by a carriage return whatever ended it.
TEST_F(BootloaderTest, aThreeLineFileGoesOutLineByLineAndTheDialogueIsLoggedWordForWord) {
    bootloader.downLoad(file("S1050000aa55fb\n\nS9030000FC\r"));
    EXPECT_EQ(std::tuple(sent(), engine.mode()), std::tuple("!", 1));
    clock.advance(1);  // one whole second is not more than one
    engine.tick();
    EXPECT_EQ(sent(), "!");
    clock.advance(1);
    engine.tick();
    EXPECT_EQ(sent(), "!\r");
    port.pushText("\r\n");  // the prompt split over two ticks matches in the second
    engine.tick();
    EXPECT_EQ(sent(), "!\r");
    port.pushText("Boot>");
    engine.tick();
    EXPECT_EQ(sent(), "!\ru");
    port.pushText(kAcknowledge);
    ticks(3);
    EXPECT_EQ(view.lineCount, "2");
    engine.tick();  // the third line and the end of the file in one tick
    EXPECT_EQ(std::tuple(view.lineCount, engine.mode(), files.isOpen(), sent()),
              std::tuple("3", 5, false, "!\ruS1050000aa55fb\r\rS9030000FC\r"));
    port.pushText(kComplete);
    engine.tick();
    EXPECT_EQ(std::tuple(sent().back(), engine.mode(), view.buttonEnabled, bootloader.mayClose()),
              std::tuple('x', 9, false, false));
    engine.tick();  // the window's button and close box: see the program's firmware test
    EXPECT_EQ(std::tuple(engine.mode(), view.ended), std::tuple(0, std::vector<bool>{true}));
    EXPECT_EQ(
        view.logged,
        (Lines{"S19 file opened...", "Sent KQ '!'...", "Sent KQ <CR>...", "Got: \r\nBoot>",
               "Sent KQ 'u'...", "Got: u - waiting ...", "Sending s19...", "EOF s19, 3 lines",
               "Got:   Complete\r\nBoot>\r\nBoot>", "Sent KQ 'x'...", "Firmware Update Done!"}));
}

TEST_F(BootloaderTest, aWrongOrLateAnswerTimesOutAfterMoreThanOneWholeSecondWithWhatCame) {
    // The state, what the controller says in it, the log from the time-out on and the failure.
    // State 2's time-out, word for word, is the command-line tool's flash row with a blank prompt.
    const std::tuple<int, std::string, Lines, std::string> rows[] = {
        {3,
         "u - waiting .\0\xE9"s,  // every byte that came, a zero too
         {"** TIME OUT! 3 u - waiting .\0\xE9"s},
         "the bootloader did not accept the upload"},
        {5, "", {"** TIME OUT! 5 "}, "the bootloader did not confirm the end of the upload"},
    };
    for (const auto& [state, answer, logged, failure] : rows) {
        SCOPED_TRACE(state);
        view = RecordingView();
        reach(state);
        view.logged.clear();
        port.pushText(answer);
        clock.advance(1);
        engine.tick();
        EXPECT_EQ(engine.mode(), state) << "one whole second is still in time";
        clock.advance(1);
        engine.tick();
        EXPECT_EQ(std::tuple(engine.mode(), view.logged, sent(), bootloader.failure()),
                  std::tuple(9, logged, "", failure))
            << "no 'x' after a time-out";
        engine.tick();
        EXPECT_EQ(std::tuple(engine.mode(), view.ended), std::tuple(0, std::vector<bool>{false}));
    }
}

TEST(S19Check, acceptsWholeImagesAndNamesTheFirstFaultWithItsLine) {
    // The text, then the line of its first fault (0: accepted) and the reason.
    const std::string data = "S107100001020304DE\r\n";
    const std::tuple<std::string, int, std::string> rows[] = {
        {"S005000066771D\r\n" + data +
             "S206012000DEAD4D\nS30700008000BEEFCB\nS5030003F9\nS9031000EC\n",
         0, ""},
        {"\n\n" + data + "\r\n  " + data, 5, "not an S-record"},
        {"S30700008000beefcb\n\nS705000080007a\n\n", 0, ""},
        {data + "S804012000DA", 0, ""},
        {"", 1, "no data records"},
        {"\n\r\n\n", 3, "no data records"},
        {"S005000066771D\nS9031000EC\n", 2, "no data records"},
        {data + data, 2, "no end record"},
        {data + "S9031000EC\n" + data, 3, "no end record"},
        {data + "S5030003F9\n", 2, "no end record"},
        {"Volcrestone Settings BEL v1\r\n", 1, "not an S-record"},
        {":10010000214601360121470136007EFE09D2190140\n", 1, "not an S-record"},
        {data + "S107100001020304D\n", 2, "not an S-record"},
        {data + "S107100001020304DG\n", 2, "not an S-record"},
        {data + "SX07100001020304DE\n", 2, "not an S-record"},
        {data + "S10210ED\n", 2, "not an S-record"},
        {data + "S107100001020304DF\n", 2, "bad checksum"},
        {data + "S108100001020304DE\n", 2, "byte count does not match"},
        {data + "S106100001020304DE\n", 2, "byte count does not match"},
    };
    for (const auto& [text, line, reason] : rows) {
        SCOPED_TRACE(text);
        const auto refusal = comlink::checkS19Text(text);
        ASSERT_EQ(refusal.has_value(), line != 0);
        if (refusal) {
            EXPECT_EQ(refusal->text(),
                      "** Not an S19 file: line " + std::to_string(line) + ": " + reason);
        }
    }
    // 4 MiB pass, one byte more does not: named by the line that crosses the limit.
    const std::string big = image(97541) + std::string(30, '\n');
    ASSERT_EQ(big.size(), 4u * 1024 * 1024);
    EXPECT_EQ(comlink::checkS19Text(big), std::nullopt);
    EXPECT_EQ(comlink::checkS19Text(big + "\n")->text(),
              "** Not an S19 file: line 97573: file too large");
}

TEST_F(BootloaderTest, aRefusedFileOrAClosedPortSendsNothingAndOnlyAMissingFileKeepsTheButton) {
    struct Row {
        const char* content;  // null: no file at all
        std::string logged;
        bool buttonBack;
    };
    const Row rows[] = {
        {"Volcrestone Settings BEL v1\r\n", "** Not an S19 file: line 1: not an S-record", true},
        {nullptr, "** Failed to open S19 file", false},
        {"", "** COM3 is not open", true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.logged);
        view = RecordingView();
        if (row.content != nullptr && *row.content == '\0')
            port.close();
        bootloader.downLoad(row.content ? file(row.content) : (folder / "none.s19").string());
        EXPECT_EQ(view.logged, Lines{row.logged});
        // No line count, nothing sent, the file given back and the window free to close.
        EXPECT_EQ(std::tuple(view.lineCount, view.buttonEnabled, sent(), engine.mode(),
                             files.isOpen(), bootloader.mayClose()),
                  std::tuple("", row.buttonBack, "", 0, false, true));
    }
}

TEST_F(BootloaderTest, longLinesWaitForTheWireAndTheEndIsTimedFromTheLastByteLeaving) {
    // 150 bytes a line; the wire carries 96 bytes a tick, so each line needs two ticks.
    const std::string line =
        "S34900000100000102030405060708090A0B0C0D0E0F101112131415161718191A1B1C1D1E1F20212223"
        "2425262728292A2B2C2D2E2F303132333435363738393A3B3C3D3E3F40414243CF";
    reach(4, line + "\n" + line + "\n" + line + "\nS70500000000FA\n");
    port.holdOutput = true;
    std::vector<std::size_t> sentAfterTick;
    for (int tick = 0; engine.mode() == 4; ++tick) {
        ASSERT_LT(tick, 20);
        engine.tick();
        sentAfterTick.push_back(port.written.size());
        if (engine.mode() == 4)
            port.drainOutput(96);
    }
    EXPECT_EQ(sentAfterTick, (std::vector<std::size_t>{151, 151, 302, 302, 453, 453, 468}));
    EXPECT_EQ(view.logged.back(), "EOF s19, 4 lines");
    // The last line takes a tick to leave, then the controller answers just in time.
    clock.advance(2);
    engine.tick();
    port.drainOutput(96);
    clock.advance(1);
    engine.tick();
    clock.advance(1);
    port.pushText(kComplete);
    engine.tick();
    EXPECT_EQ(view.logged.back(), "Firmware Update Done!");
}

TEST_F(BootloaderTest, aLineThatStopsMovingEndsTheUpdateInsteadOfHoldingTheWindow) {
    reach(4, image(2));
    port.holdOutput = true;
    port.lineStalled = true;
    engine.tick();
    for (int second = 0; second < 7; ++second) {
        clock.advance(1);
        engine.tick();
    }
    EXPECT_EQ(std::tuple(engine.mode(), view.logged.back()),
              std::tuple(9, "** LINE STALLED! Stopped after 1 lines"));
    engine.tick();
    EXPECT_TRUE(bootloader.mayClose());
}

TEST_F(BootloaderTest, downLoadDuringTheMonitorStreamDoesNothingAndTheWindowMayNotClose) {
    engine.cmdM();
    bootloader.downLoad(file(kImage));
    EXPECT_TRUE(view.logged.empty() && view.buttonEnabled && !files.isOpen());
    EXPECT_FALSE(engine.firmwareUpdate());  // nor may the engine start one underneath it
    EXPECT_EQ(sent(), "M");
    EXPECT_FALSE(bootloader.mayClose());
}

TEST_F(BootloaderTest, anotherFileInTheSharedSlotIsNeitherSentNorClosed) {
    reach(4, image(1));
    const std::string other = (folder / "log.csv").string();
    std::ofstream(other) << "1,2,3\n";
    ASSERT_TRUE(files.openForReading(other, comlink::DataFileSlot::Use::Replay));
    engine.tick();
    EXPECT_EQ(std::tuple(sent(), view.logged.back()), std::tuple("", "EOF s19, 0 lines"));
    engine.setMode(9);
    engine.tick();
    EXPECT_TRUE(files.isOpen());
}

TEST(FirmwarePath, defaultsByEdition) {
    Lines paths;
    for (Edition edition : {Edition::RUK, Edition::QOLT, Edition::BEL, Edition::ZAV})
        paths.push_back(comlink::defaultFirmwarePath(edition));
    EXPECT_EQ(paths, (Lines{"D:\\motorola\\Volcrestone\\Volcrestone.s19", "Ferrodyn.s19",
                            "Volcrestone.s19", "Volcrestone.s19"}));
}

}  // namespace

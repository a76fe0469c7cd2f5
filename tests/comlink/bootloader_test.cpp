// The firmware update's steps on a fake port and clock: the wire bytes, the log word for word,
// the whole-second time-outs and the clean-up.
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "comlink/Bootloader.h"
#include "comlink/EngineFixture.h"

namespace {

using namespace std::string_literals;
using tune::Edition;
using Lines = std::vector<std::string>;

const std::string kPrompt = "\r\nBoot>";
const std::string kAcknowledge = "u - waiting ...";
const std::string kComplete = "  Complete\r\nBoot>\r\nBoot>";

// Records what the firmware window would show.
struct RecordingView : comlink::BootloaderView {
    void updateStarting() override {
        ++starts;
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

    int starts = 0;
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
    // Pressed "DOWN LOAD" on `content` and brought the update to state 4 with exact answers.
    void startSending(const std::string& content) {
        bootloader.downLoad(file(content));
        clock.advance(2);
        engine.tick();
        port.pushText(kPrompt);
        engine.tick();
        port.pushText(kAcknowledge);
        engine.tick();
        ASSERT_EQ(engine.mode(), 4);
        port.clearWritten();
    }

    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() /
        ("vc-bootloader-" + std::to_string(::getpid()) + "-" +
         ::testing::UnitTest::GetInstance()->current_test_info()->name());
    comlink::DataFileSlot files;
    comlink::Bootloader bootloader{engine, files};
    RecordingView view;
};

TEST_F(BootloaderTest, aThreeLineFileGoesOutLineByLineAndTheDialogueIsLoggedWordForWord) {
    bootloader.downLoad(file("S0030000FC\r\nS1050000AA55FB\r\nS9030000FC\r\n"));
    EXPECT_EQ(sent(), "!");
    EXPECT_EQ(engine.mode(), 1);
    EXPECT_FALSE(view.buttonEnabled);
    clock.advance(1);  // one whole second is not more than one
    engine.tick();
    EXPECT_EQ(sent(), "!");
    clock.advance(1);
    engine.tick();
    EXPECT_EQ(sent(), "!\r");
    port.pushText(kPrompt);
    engine.tick();
    EXPECT_EQ(sent(), "!\ru");
    port.pushText(kAcknowledge);
    engine.tick();
    EXPECT_EQ(view.lineCount, "0");
    engine.tick();
    engine.tick();
    EXPECT_EQ(view.lineCount, "2");
    EXPECT_EQ(engine.mode(), 4);
    EXPECT_EQ(view.logged.back(), "Sending s19...");
    engine.tick();  // the third line and the end of the file in one tick
    EXPECT_EQ(view.lineCount, "3");
    EXPECT_EQ(view.logged.back(), "EOF s19, 3 lines");
    EXPECT_EQ(engine.mode(), 5);
    EXPECT_FALSE(files.isOpen());
    EXPECT_EQ(sent(), "!\ruS0030000FC\rS1050000AA55FB\rS9030000FC\r");
    port.pushText(kComplete);
    engine.tick();
    EXPECT_EQ(sent().back(), 'x');
    EXPECT_EQ(engine.mode(), 9);
    EXPECT_FALSE(view.buttonEnabled);
    EXPECT_FALSE(bootloader.mayClose());
    engine.tick();
    EXPECT_EQ(engine.mode(), 0);
    EXPECT_TRUE(view.buttonEnabled);
    EXPECT_TRUE(bootloader.mayClose());
    EXPECT_EQ(view.ended, std::vector<bool>{true});
    EXPECT_EQ(
        view.logged,
        (Lines{"S19 file opened...", "Sent KQ '!'...", "Sent KQ <CR>...", "Got: \r\nBoot>",
               "Sent KQ 'u'...", "Got: u - waiting ...", "Sending s19...", "EOF s19, 3 lines",
               "Got:   Complete\r\nBoot>\r\nBoot>", "Sent KQ 'x'...", "Firmware Update Done!"}));
}

TEST_F(BootloaderTest, aPromptSplitOverTwoTicksMatchesInTheSecond) {
    bootloader.downLoad(file("S9030000FC\n"));
    clock.advance(2);
    engine.tick();
    port.pushText("\r\n");
    engine.tick();
    EXPECT_EQ(engine.mode(), 2);
    port.pushText("Boot>");
    engine.tick();
    EXPECT_EQ(engine.mode(), 3);
    EXPECT_EQ(view.logged.back(), "Sent KQ 'u'...");
}

TEST_F(BootloaderTest, aWrongOrLateAnswerTimesOutAfterMoreThanOneWholeSecondWithWhatCame) {
    struct Row {
        int state;
        std::string answer;  // what the controller says in that state
        Lines logged;        // the log from the time-out on
    };
    const Row rows[] = {
        {2,
         kPrompt + " ",
         {"** TIME OUT! 2 \r\nBoot> ", "** Verify the controller is ON and RS232 cable attached!",
          "** Also check that H1 or R6 is shorted on the controller!"}},
        {3, "u - waiting ..\xE9", {"** TIME OUT! 3 u - waiting ..\xE9"}},
        {5, "", {"** TIME OUT! 5 "}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.state);
        view = RecordingView();
        bootloader.downLoad(file(""));
        clock.advance(2);
        engine.tick();
        if (row.state >= 3) {
            port.pushText(kPrompt);
            engine.tick();
        }
        if (row.state == 5) {
            port.pushText(kAcknowledge);
            engine.tick();
            engine.tick();  // the empty file ends at once
        }
        ASSERT_EQ(engine.mode(), row.state);
        const std::size_t before = view.logged.size();
        port.pushText(row.answer);
        clock.advance(1);
        engine.tick();
        EXPECT_EQ(engine.mode(), row.state) << "one whole second is still in time";
        clock.advance(1);
        port.clearWritten();
        engine.tick();
        EXPECT_EQ(engine.mode(), 9);
        EXPECT_EQ(
            Lines(view.logged.begin() + static_cast<std::ptrdiff_t>(before), view.logged.end()),
            row.logged);
        EXPECT_EQ(sent(), "") << "no 'x' after a time-out";
        engine.tick();
        EXPECT_EQ(engine.mode(), 0);
        EXPECT_EQ(view.ended, std::vector<bool>{false});
    }
}

TEST_F(BootloaderTest, anEmptyFileLogsTheEndWithZeroLinesInItsFirstSendingTick) {
    startSending("");
    engine.tick();
    EXPECT_EQ(view.logged.back(), "EOF s19, 0 lines");
    EXPECT_EQ(view.lineCount, "0");
    EXPECT_EQ(engine.mode(), 5);
    EXPECT_EQ(sent(), "");
}

TEST_F(BootloaderTest, everyLineEndAndByteOutsideAsciiGoOutAsTheyAreEachLineWithACarriageReturn) {
    startSending("A1\r\nB2\nC3\rD\xE9\x00\x7F\r\n\nE"s);
    for (int i = 0; i < 6; ++i)
        engine.tick();
    EXPECT_EQ(sent(), "A1\rB2\rC3\rD\xE9\x00\x7F\r\rE\r"s);
    EXPECT_EQ(view.logged.back(), "EOF s19, 6 lines");
}

TEST_F(BootloaderTest, megabyteLinesAndAHundredThousandLinesGoOutWholeOnePerTick) {
    const std::string big(1000000, 'S');
    startSending(big + "\n" + big + "\n");
    engine.tick();
    engine.tick();
    EXPECT_EQ(sent(), big + "\r" + big + "\r");
    EXPECT_EQ(view.logged.back(), "EOF s19, 2 lines");

    engine.setMode(0);
    std::string many;
    for (int i = 0; i < 100000; ++i)
        many += "S1130000285F245F2212226A000424290008237C2A\r\n";
    startSending(many);
    for (int i = 0; i < 100000; ++i)
        engine.tick();
    EXPECT_EQ(view.lineCount, "100000");
    EXPECT_EQ(view.logged.back(), "EOF s19, 100000 lines");
    EXPECT_EQ(port.written.size(), many.size() - 100000);
}

TEST_F(BootloaderTest, aMissingFileIsLoggedSendsNothingAndKeepsTheButtonDisabled) {
    bootloader.downLoad((folder / "none.s19").string());
    EXPECT_EQ(view.logged, Lines{"** Failed to open S19 file"});
    EXPECT_EQ(view.lineCount, "");
    EXPECT_FALSE(view.buttonEnabled);
    EXPECT_EQ(sent(), "");
    EXPECT_EQ(engine.mode(), 0);
    EXPECT_TRUE(bootloader.mayClose());
}

TEST_F(BootloaderTest, downLoadDuringTheMonitorStreamDoesNothingAndTheWindowMayNotClose) {
    engine.cmdM();
    bootloader.downLoad(file("S9030000FC\n"));
    EXPECT_EQ(view.starts, 0);
    EXPECT_TRUE(view.logged.empty());
    EXPECT_TRUE(view.buttonEnabled);
    EXPECT_FALSE(files.isOpen());
    EXPECT_EQ(sent(), "M");
    EXPECT_EQ(engine.mode(), 77);
    EXPECT_FALSE(bootloader.mayClose());
}

TEST_F(BootloaderTest, closingIsRefusedWhileSendingAndAVanishedPortEndsItWithOneLine) {
    startSending("S1\nS2\nS3\nS4\n");
    engine.tick();
    EXPECT_FALSE(bootloader.mayClose());
    port.vanish();
    engine.tick();
    engine.tick();  // the clean-up
    engine.tick();
    EXPECT_EQ(view.logged.back(), "** PORT LOST! Stopped after 1 lines");
    EXPECT_EQ(view.logged.size(), 8u);
    EXPECT_EQ(engine.mode(), 0);
    EXPECT_FALSE(files.isOpen());
    EXPECT_TRUE(view.buttonEnabled);
    EXPECT_TRUE(bootloader.mayClose());
}

TEST_F(BootloaderTest, anotherFileInTheSharedSlotIsNeitherSentNorClosed) {
    startSending("S1\nS2\n");
    const std::string other = (folder / "log.csv").string();
    std::ofstream(other) << "1,2,3\n";
    ASSERT_TRUE(files.openForReading(other, comlink::DataFileSlot::Use::Replay));
    engine.tick();
    EXPECT_EQ(sent(), "");
    EXPECT_EQ(view.logged.back(), "EOF s19, 0 lines");
    engine.setMode(9);
    engine.tick();
    EXPECT_TRUE(files.isOpen());
}

TEST(FirmwarePath, defaultsByEdition) {
    EXPECT_EQ(comlink::defaultFirmwarePath(Edition::RUK),
              "D:\\motorola\\Volcrestone\\Volcrestone.s19");
    EXPECT_EQ(comlink::defaultFirmwarePath(Edition::QOLT), "Ferrodyn.s19");
    EXPECT_EQ(comlink::defaultFirmwarePath(Edition::BEL), "Volcrestone.s19");
    EXPECT_EQ(comlink::defaultFirmwarePath(Edition::ZAV), "Volcrestone.s19");
}

}  // namespace

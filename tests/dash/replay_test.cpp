// The data log read back: the record reader and the replay window's steps on real files.
#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <fstream>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "dash/LogFormat.h"
#include "dash/LogReplay.h"
#include "dash/LogReport.h"
#include "platform/FakePlatform.h"

namespace {

using dash::Record;

Record values(std::vector<int> first) {
    Record r{};
    std::copy(first.begin(), first.end(), r.begin());
    return r;
}

TEST(ReadRecord, fieldsAreReadByTheNumberRuleAndRoundedHalfToEven) {
    const struct {
        const char* line;
        Record expected;
    } rows[] = {
        {" 12.5 , 13.5 , -2.5 ", values({12, 14, -2})},
        {"1,,abc, 7x ,&HFF, 1 2 ", values({1, 0, 0, 7, 255, 12})},
        {"300,-5,99999999999", values({300, -5, 2147483647})},  // no clamp to a byte
        {"000000012,1234567890,+7,5,", values({12, 1234567890, 7, 5, 0})},
        {" 37 , 235 ,1 2,  ,\t9", values({37, 235, 12, 0, 9})},  // as the log writes them
        {"1,2,3,4,5,6,7,8,9,10,11,12,13,14,15,16,17,18,19,20,21,22,23,24,25,26,27,28,29,30,31,32",
         values({1,  2,  3,  4,  5,  6,  7,  8,  9,  10, 11, 12, 13, 14, 15,
                 16, 17, 18, 19, 20, 21, 22, 23, 24, 25, 26, 27, 28, 29, 30})},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(dash::readRecord(row.line), row.expected) << row.line;
    }
}

// Whichever of CR LF, CR or LF ends a line, and wherever the file's 64 KiB chunks end.
TEST(DataFileSlot, readsTheSameLinesWhereverAChunkEnds) {
    QTemporaryDir folder;
    const std::string path = folder.filePath("log.csv").toStdString();
    for (const std::string ending : {"\r\n", "\r", "\n"}) {
        for (std::size_t first = 65530; first <= 65537; ++first) {
            SCOPED_TRACE(testing::Message() << ending.size() << " " << first);
            const std::vector<std::string> lines = {std::string(first, '1'), "2,3", "", "4"};
            std::string text;
            for (const std::string& line : lines)
                text += line + ending;
            std::ofstream(path, std::ios::binary) << text;
            comlink::DataFileSlot slot;
            ASSERT_TRUE(slot.openForReading(path, comlink::DataFileSlot::Use::Replay));
            std::vector<std::string> read;
            while (const auto line = slot.readLine()) {
                read.emplace_back(line->text);
                EXPECT_EQ(line->length, static_cast<std::int64_t>(read.back().size()));
            }
            EXPECT_EQ(read, lines);
        }
    }
}

// Against the BEL start-up map (see the plot's tests): 3000 rpm at 40 kPa expects 27 degrees.
TEST(LogReport, countsTheRpmBandsAndTheRecordsMoreThanADegreeBelowTheMap) {
    const plot::TimingMap map(tune::Tune::startup(tune::Edition::BEL));
    dash::LogReport report(map, true);
    EXPECT_EQ(report.summary(), std::vector<std::string>{"records: 0"});
    const dash::ReportSample samples[] = {
        {800, 100, 8},   {1000, 100, 8},    {3000, 40, 20},  {3000, 100, 20.5},
        {7000, 160, 20}, {4500, 120, 29.5}, {5000, 100, 32}, {6500, 250, 27},
    };
    for (const auto& sample : samples)
        report.add(sample);
    EXPECT_EQ(report.summary(),
              (std::vector<std::string>{
                  "records: 8", "rpm: min 800, median 3750, max 7000", "kpa: min 40, max 250",
                  "advance: min 8.0, max 32.0", "rpm band  share", "below 1000  12.5%",
                  "1000-2500  12.5%", "2500-3500  25.0%", "3500-4500  0.0%", "4500-5500  25.0%",
                  "5500-6500  0.0%", "6500 and above  25.0%",
                  "below map by more than 1 deg: 3 records; largest 7.0 deg at 3000 rpm, 40 kPa "
                  "(record 3)"}));

    // A record as the Dashboard reads it: 3106 rpm, 85 kPa scaled for 3 bar, byte 192 = -32.0.
    const dash::ReportSample read = dash::reportSample(
        values({0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 85, 12, 34, 0, 0, 0, 0, 0, 192}),
        tune::Edition::BEL, true);
    EXPECT_EQ(std::vector<double>({read.rpm, read.kpa, read.advance}),
              std::vector<double>({3106, 100, -32}));

    // A thousand records fit the strips' 512 columns two by two.
    dash::LogReport many(map, false);
    for (int i = 0; i < 1000; ++i)
        many.add({static_cast<double>(i), 100, 10});
    ASSERT_EQ(many.columns().size(), 500u);
    EXPECT_EQ(std::pair(many.columns()[499].rpm.min, many.columns()[499].rpm.max),
              std::pair(998.0, 999.0));
    EXPECT_EQ(many.summary()[1], "rpm: min 0, median 500, max 999");
}

TEST(ReadRecord, percentagesHaveOneDecimalAndCountBeyondFourGigabytes) {
    EXPECT_EQ(dash::percentText(5, 9), "55.6%");
    EXPECT_EQ(dash::percentText(0, 1000), "0.0%");
    EXPECT_EQ(dash::percentText(4'500'000'000, 6'000'000'000), "75.0%");
    EXPECT_EQ(dash::percentText(12, 0), "100.0%");  // empty when opened, lines when read
}

// Records what the replay shows, as the Dashboard and the window would.
struct Shown : dash::ReplayView {
    std::vector<std::string> calls;  // "start", "windows", "file <path>"
    std::vector<Record> samples;     // blocks shown with a new graph sample
    Record current{};                // the block the Dashboard shows now
    int cursor = 0;
    std::vector<std::string> percents;
    std::function<void()> onPaint = [] {};

    void startReplay() override { calls.push_back("start"); }
    void showFileName(const std::string& path) override { calls.push_back("file " + path); }
    void showWindows() override { calls.push_back("windows"); }
    void showBlock(const comlink::RxBuffer& block, bool updateTrends) override {
        std::copy(block.begin(), block.begin() + 30, current.begin());
        if (updateTrends)
            samples.push_back(current);
    }
    void setGraphCursor(int samplesBack) override { cursor = samplesBack; }
    void setPercentText(const std::string& text) override { percents.push_back(text); }
    void letWindowsPaint() override { onPaint(); }
};

class Replay : public testing::Test {
protected:
    Replay()
        : replay(std::make_unique<dash::LogReplay>(
              545, dash::ReplayServices{slot, files, messages, "/logs", "Volcrestone"}, shown)) {}

    // A log whose line i starts with the value i (1-based).
    std::string writeLog(const std::string& name, int lines) {
        std::string text;
        for (int i = 1; i <= lines; ++i)
            text += std::to_string(i) + "," + std::to_string(i % 7) + "\r\n";
        return write(name, text);
    }
    std::string write(const std::string& name, const std::string& text) {
        const std::string path = folder.filePath(QString::fromStdString(name)).toStdString();
        std::ofstream(path, std::ios::binary) << text;
        return path;
    }
    void load(const std::string& path) {
        files.paths.push_back(path);
        replay->cmdLoadFile_Click();
    }

    QTemporaryDir folder;
    comlink::DataFileSlot slot;
    platform::FakeFileDialog files;
    platform::FakeMessageBox messages;
    Shown shown;
    std::unique_ptr<dash::LogReplay> replay;
};

TEST_F(Replay, backStopsAt544AndForwardSpendsItsStepsOnTheCursorFirst) {
    load(writeLog("long.csv", 1000));  // 544 read
    for (int i = 0; i < 3; ++i)
        replay->cmdMinus100_Click();
    EXPECT_EQ(std::pair(shown.cursor, shown.current[0]), std::pair(300, 244));
    replay->cmdFwd_Click();  // 272 steps, none read
    EXPECT_EQ(std::pair(shown.cursor, shown.current[0]), std::pair(28, 516));
    for (int i = 0; i < 6; ++i)
        replay->cmdMinus100_Click();
    EXPECT_EQ(shown.current, Record{});  // the sample before the first record, at 544
    replay->cmdFFwd_Click();             // 544 back to the newest, nothing read
    replay->cmdPlus10_Click();
    EXPECT_EQ(std::pair(shown.samples.size(), shown.current[0]), std::pair(std::size_t{554}, 554));
}

TEST_F(Replay, aSecondLogFollowsTheFirstAndTheCursorStillFindsTheFirstLogsRecords) {
    load(writeLog("a.csv", 10));
    load(write("b.csv", "100\r\n200\r\n"));
    EXPECT_EQ(shown.samples.size(), 12u);
    replay->Back(11);
    EXPECT_EQ(shown.current[0], 1);
}

TEST_F(Replay, cancelOrAnUnreadableFileChangesNothingAndForwardWithoutAFileDoesNothing) {
    load("");
    load(folder.path().toStdString());  // a folder cannot be replayed
    load(folder.filePath("gone.csv").toStdString());
    ASSERT_EQ(messages.shown.size(), 2u);
    EXPECT_EQ(std::tuple(messages.last().text, messages.last().title, messages.last().icon),
              std::tuple("Could not open the log " + folder.filePath("gone.csv").toStdString(),
                         "Volcrestone", platform::MessageBox::Icon::Critical));
    ASSERT_TRUE(slot.openForWriting(folder.filePath("running.csv").toStdString(),
                                    comlink::DataFileSlot::Use::Log));
    replay->cmdFFwd_Click();
    replay->cmdPlus1_Click();
    EXPECT_TRUE(shown.calls.empty() && shown.samples.empty() && shown.percents.empty());
    EXPECT_TRUE(slot.isOpen());  // a running log survives a failed load
    replay->cmdMinus1_Click();   // back only moves the cursor over the stored rows
    EXPECT_EQ(shown.cursor, 1);
}

TEST_F(Replay, closingTheFileDuringAStepEndsItAndAClickMeanwhileReadsOnFromWhereTheFileStands) {
    load(writeLog("a.csv", 2000));
    int painted = 0;
    shown.onPaint = [&] {
        if (++painted == 3)
            replay->cmdPlus10_Click();  // clicked while ">>" runs
        if (painted == 100)
            slot.close();  // the Dashboard was closed: StopRealtime empties the slot
    };
    replay->cmdFFwd_Click();
    EXPECT_EQ(shown.samples.back()[0], 644);
    EXPECT_NE(shown.percents.back(), "** EOF ** ");
    replay->cmdPlus1_Click();
    EXPECT_EQ(shown.samples.size(), 644u);
}

TEST_F(Replay, theWindowGoingAwayDuringAStepEndsTheStepAtOnce) {
    load(writeLog("a.csv", 2000));
    shown.onPaint = [&] { replay.reset(); };
    replay->cmdFFwd_Click();
    EXPECT_EQ(replay, nullptr);
    EXPECT_EQ(shown.samples.size(), 545u);
}

// A last line without a line end still counts two bytes; an empty line is one sample of zeros.
TEST_F(Replay, shortHugeAndBinaryFilesAreReadWithoutHangingAndCountedWhole) {
    load(write("short.csv", "1,2\r\n\r\n3,4"));  // 10 bytes
    EXPECT_EQ(shown.percents, (std::vector<std::string>{"50.0%", "70.0%", "120.0%", "** EOF ** "}));
    EXPECT_EQ(shown.samples, (std::vector<Record>{values({1, 2}), Record{}, values({3, 4})}));
    load(write("huge.csv", "5,6," + std::string(3 << 20, '7') + "\r\n8"));
    EXPECT_EQ(std::vector<Record>(shown.samples.begin() + 3, shown.samples.end()),
              (std::vector<Record>{values({5, 6, 2147483647}), values({8})}));
    EXPECT_EQ(replay->bytesRead(), replay->fileLen() + 2);
    std::string binary(20000, '\0');
    for (std::size_t i = 0; i < binary.size(); ++i)
        binary[i] = static_cast<char>(i * 31 % 256);
    load(write("binary.csv", binary));
    EXPECT_GT(shown.samples.size(), 100u);
    EXPECT_EQ(shown.percents.back(), "** EOF ** ");
}

}  // namespace

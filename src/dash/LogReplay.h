#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "comlink/DataFileSlot.h"
#include "comlink/Engine.h"
#include "platform/Dialogs.h"

// Playing a data log back through the Dashboard: the record reader shared with the command-line
// tool, and the replay window's stepping without the window.
namespace dash {

using Record = std::array<std::int32_t, comlink::kRealtimeBlockSize>;

// One log line as 30 values: comma-separated fields, each read by the number rule and rounded
// half to even; missing fields are 0 and fields after the 30th are ignored.
Record readRecord(std::string_view line);

// lblFilePercent: the share of the file read, "0.0%" (may pass 100% when the last line has no
// line end, which still counts 2 bytes).
std::string percentText(std::int64_t bytesRead, std::int64_t fileLen);
inline constexpr const char* kEndOfFileText = "** EOF ** ";
inline constexpr const char* kLogFilter = "CSV Files (*.csv)|*.csv|All Files (*.*)|*.*";

// The message for a chosen log that cannot be read.
std::string cannotOpenLogText(const std::string& path);

// What a replay step changes outside itself.
class ReplayView {
public:
    virtual ~ReplayView() = default;
    // A log is being loaded: live blocks and the data log end for the rest of the run.
    virtual void startReplay() = 0;
    virtual void showFileName(const std::string& path) = 0;
    // The Dashboard shows and the replay window comes to the front.
    virtual void showWindows() = 0;
    // The Dashboard update: a new sample on both graphs only with updateTrends.
    virtual void showBlock(const comlink::RxBuffer& block, bool updateTrends) = 0;
    // Both graphs' cursor, samples back from the newest.
    virtual void setGraphCursor(int samplesBack) = 0;
    virtual void setPercentText(const std::string& text) = 0;
    // Pending window events run; a button clicked meanwhile is handled inside this call.
    virtual void letWindowsPaint() = 0;
};

struct ReplayServices {
    comlink::DataFileSlot& dataFile;
    platform::FileDialog& files;
    platform::MessageBox& messages;
    std::string defaultDir;
    std::string appName;
    // A firmware update holds the data file slot: no log may be loaded meanwhile.
    std::function<bool()> firmwareUpdating = [] { return false; };
};

// The log replay window's state and steps. Records are read one line at a time from the data
// file slot, so a log of any size costs the same memory; the last samplecount records are kept
// so that the cursor can show any sample still on the graphs.
class LogReplay {
public:
    LogReplay(int sampleCount, ReplayServices services, ReplayView& view);
    ~LogReplay();
    LogReplay(const LogReplay&) = delete;
    LogReplay& operator=(const LogReplay&) = delete;

    // The buttons.
    void cmdLoadFile_Click();
    void cmdFwd_Click() { Forward(halfGraph()); }
    void cmdFFwd_Click() { Forward(sampleCount_ - 1); }
    void cmdPlus1_Click() { Forward(1); }
    void cmdPlus10_Click() { Forward(10); }
    void cmdPlus100_Click() { Forward(100); }
    void cmdMinus1_Click() { Back(1); }
    void cmdMinus10_Click() { Back(10); }
    void cmdMinus100_Click() { Back(100); }

    void Forward(int n);
    void Back(int n);

    int row() const { return row_; }
    int cursor() const { return cursor_; }
    std::int64_t bytesRead() const { return bytesRead_; }
    std::int64_t fileLen() const { return fileLen_; }
    const Record& bufferRow(int r) const { return buffer_[static_cast<std::size_t>(r)]; }
    int bufferRows() const { return static_cast<int>(buffer_.size()); }
    int halfGraph() const;

private:
    bool replaying() const;
    // False when the window went away while events ran; the caller must then stop at once.
    bool ReadRecord();
    void ShowAtCursor();
    bool letWindowsPaint();

    int sampleCount_;
    ReplayServices services_;
    ReplayView& view_;
    std::vector<Record> buffer_;
    comlink::RxBuffer block_{};
    int row_ = -1;
    int cursor_ = 0;
    std::int64_t bytesRead_ = 0;
    std::int64_t fileLen_ = 0;
    // Cleared by the destructor: a step running events learns that its window was unloaded.
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

}  // namespace dash

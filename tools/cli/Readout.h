#pragma once

#include <iosfwd>
#include <string>

#include "comlink/Realtime.h"

// The Dashboard's value labels as console lines, shared by the commands that show realtime
// blocks (live or from a data log).
namespace cli {

class Runner;

// Prints the header, then one line per block the update shows: RPM, MAP, coolant, ignition,
// MSD, TPS, battery and O2/AFR as the labels read them, with the stored display settings and
// the command line's Edition and "3 Bar" choice.
class Readout : public comlink::RealtimeDisplay {
public:
    // `flushEachLine` for a live stream that someone watches; a log runs faster without.
    Readout(Runner& runner, bool flushEachLine);

    void printHeader();
    long long shown() const { return shown_; }
    // Writes out the lines still held back (only a log's are).
    void flush();

    // comlink::RealtimeDisplay
    comlink::RealtimeOptions options() const override { return options_; }
    void showReadoutTexts(const comlink::ReadoutTexts& texts) override;

private:
    static constexpr std::size_t kWriteSize = 1 << 16;

    std::ostream& out_;
    std::string pending_;
    comlink::RealtimeOptions options_;
    bool flushEachLine_;
    long long shown_ = 0;
};

}  // namespace cli

#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "tune/Edition.h"

namespace tune {

// A drop-down list: fixed entries, the selected index (-1 for none) and the shown text. Only the
// limiter list lets the user type a text that is none of its entries.
struct ListField {
    std::vector<std::string> entries;
    int index = -1;
    std::string text;

    // Removes every entry and adds these; nothing is selected afterwards.
    void fill(std::vector<std::string> items);
    // Selects entry i (-1 clears the selection). An index past the entries changes nothing and
    // returns false.
    bool select(int i);
    // Selects the entry whose text equals t exactly; false (selection unchanged) when none does.
    bool selectText(std::string_view t);
};

// The six-cell tables, cell 0 at the top.
enum class Table { RPM, BaseTiming, Map, MapAdj };
// The numeric fields that stand alone.
enum class Single {
    Static,
    PortedStartTPS,
    PortedFullTPS,
    PortedStartRPM,
    PortedFullRPM,
    CrankRPM,
    CrankAdv,
    RPMlimit,
    UnwindRate,
};
// Option buttons. Groups: strokes; ported-vacuum mode; MAP sensor; limiter action; unwind unit.
enum class Option {
    Stroke4,
    Stroke2,
    PortedTPS,
    PortedRPM,
    PortedNone,
    Map115,
    Map250,
    Drop,
    Retard,
    UnwindMsec,
    UnwindSpark,
};

// One switched output: the watched channel and its threshold. The raw code (0..255, kept as
// decimal text) is the value of record; the text is derived from it and the channel.
struct Output {
    ListField channel;
    std::string raw = "0";
    std::string text = "0";
};

// The complete set of ignition settings the user edits. Every field keeps the text, selection
// or state that the Setup window shows; nothing else holds a copy of the Tune.
class Tune {
public:
    // The Tune as the Setup window shows it right after start-up in this Edition.
    static Tune startup(Edition edition);

    std::string& text(Table table, int cell);
    const std::string& text(Table table, int cell) const;
    std::string& text(Single field);
    const std::string& text(Single field) const;

    bool option(Option o) const;
    // True selects the option and clears the others of its group; false clears it alone. A
    // stroke option that becomes selected rebuilds the cylinder list.
    void setOption(Option o, bool selected);

    // cmbRPMout_Click: recomputes output i's text from its raw code and channel.
    void channelChanged(int i);
    // Selects channel entry `index` of output i and recomputes its text; false if no such entry.
    bool selectChannel(int i, int index);
    // tbRPMout_LostFocus: turns output i's text into a raw code (clamped 0..255) and rewrites it.
    void commitOutput(int i);
    // PageUp / PageDown on output i: one raw count up or down.
    void stepOutput(int i, bool up);
    // Conversion constants of the channel currently selected for output i.
    double outputScale(int i) const;
    int outputOffset(int i) const;

    std::array<std::string, 6> rpm, baseTiming, map, mapAdj;
    std::string staticTiming, portedStartTPS, portedFullTPS, portedStartRPM, portedFullRPM;
    std::string crankAdv, crankRPM, rpmLimit, unwindRate;

    ListField cylinders, crankDelay, limitType, xled, knockIncr;
    std::array<Output, 2> outputs;

    int oddFire = 0;
    int invertSpout = 0;
    int check1 = 1;  // "3 Bar": read only by the controller image codec; not in the settings file

private:
    void strokeSelected(Option stroke);

    std::array<bool, 11> options_{};
};

// The limiter list's key: the first three characters of its text without outer blanks.
std::string limiterKey(std::string_view limitText);

}  // namespace tune

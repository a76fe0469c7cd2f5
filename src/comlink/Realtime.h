#pragma once

#include <array>
#include <functional>
#include <span>
#include <string>

#include "comlink/Engine.h"
#include "tune/Edition.h"

// The realtime block of live engine values: its layout, the values derived from it and the
// texts, samples and dial values the displays show. CopyATdata hands one block to them all.
namespace comlink {

// Positions of the bytes this program converts; the rest are only shown raw.
enum RealtimePosition : int {
    kSecl = 0,
    kEngineBits = 1,
    kTps = 5,
    kBatt = 6,
    kEgo = 7,
    kKpa = 11,
    kRpmHi = 12,
    kRpmLo = 13,
    kCoolant = 14,
    kAfrWbo2 = 17,
    kIgnition = 19,
    kIgnMsd = 20,
    kCoolant2 = 26,
};

// How the values are shown: the Setup window's "3 Bar" box and the Dashboard's options.
struct RealtimeOptions {
    tune::Edition edition = tune::Edition::BEL;
    bool threeBar = true;
    bool celsius = false;
    bool wideBandAfr = true;
};

// The values computed afresh for each block. A replayed log can hand any 32-bit number, so
// everything is kept in doubles, where every sum and product here stays exact.
struct DerivedValues {
    double rpm = 0;
    double ignRaw = 0;  // half degrees
    double msdRaw = 0;
    double coolantF = 0;
    double batteryTenths = 0;
    double afr = 0;  // tenths of AFR
    double o2 = 0;   // raw 0..255 = 0..5 V
    double kpa = 0;
    double tps = 0;
};

// The copies of the last values that the link keeps between blocks (the display settings read
// them when the temperature unit or the O2 mode changes before the next block).
struct RealtimeCopies {
    double coolantF = 0;
    double afr = 0;
    double o2 = 0;
};

// The Dashboard's value labels, in the order the update sets them.
struct ReadoutTexts {
    std::string rpm, map, coolant, ignition, ignMsd, tps, battery, o2afr;
};

// One sample of each trend graph: tgRPM's RPM, TPS, MAP and coolant pens, tgAFR's timing,
// MSD timing and O2/AFR pens.
struct TrendSamples {
    std::array<double, 4> rpmGraph{};
    std::array<double, 3> afrGraph{};
};

// The needles of the six dials.
struct DialValues {
    double rpm = 0, map = 0, o2afr = 0, ignition = 0, coolant = 0, tps = 0;
};

// A byte of the signed half-degree coding: 192 and above stand for byte - 256.
double signedHalfDegrees(double byte);

DerivedValues deriveValues(const RxBuffer& block, tune::Edition edition);

// The MAP reading in kPa: with "3 Bar" checked, the raw value times 1.176, rounded.
double pressureReading(double kpa, bool threeBar);

// The coolant reading in the chosen unit: coolantF, or whole degrees Celsius.
double coolantReading(double coolantF, bool celsius);
std::string coolantText(double coolantF, bool celsius);
// lblO2AFR: the wide-band AFR with one decimal, or the O2 voltage with two.
std::string o2Text(double afr, double o2, bool wideBandAfr);

ReadoutTexts readoutTexts(const DerivedValues& values, const RealtimeOptions& options);
// `rpmGraphMaxY` is tgRPM's upper range (TPS is drawn as a share of it).
TrendSamples trendSamples(const DerivedValues& values, const RealtimeOptions& options,
                          double rpmGraphMaxY);
DialValues dialValues(const DerivedValues& values, const RealtimeOptions& options);

// The VAC/PSI dial: psi of boost from 100 kPa up; below it the vacuum in inches of mercury,
// scaled by the same 1.176 the boost side uses, so the needle runs without a jump from
// -25.11 at 0 kPa to 0 at 100 kPa.
double mapDialValue(double kpa);

// The Dashboard side of CopyATdata, in the order the update runs. The command-line tool and
// the tests implement it without a window.
class RealtimeDisplay {
public:
    virtual ~RealtimeDisplay() = default;
    virtual RealtimeOptions options() const = 0;
    virtual double rpmGraphMaxY() const { return 8000; }
    virtual void showReadoutTexts(const ReadoutTexts& /*texts*/) {}
    // Only when updateTrends is true.
    virtual void addTrendSamples(const TrendSamples& /*samples*/) {}
    virtual void setDials(const DialValues& /*dials*/) {}
    // The data log line, after the dials and before the readouts.
    virtual void logBlock(const RxBuffer& /*block*/) {}
    // The seven-segment readouts take the values back from their dials.
    virtual void setReadoutsFromDials() {}
};

// CopyATdata: turns one block into every display's values, keeping the link's copies.
class Realtime {
public:
    // The link window's raw cells come first; `rawView` may also load the display.
    void setRawView(std::function<void(const RxBuffer&)> rawView) { rawView_ = std::move(rawView); }
    void setDisplay(RealtimeDisplay* display) { display_ = display; }
    RealtimeDisplay* display() const { return display_; }
    const RealtimeCopies& copies() const { return copies_; }

    void copyATdata(const RxBuffer& block, bool updateTrends);
    // The blocks of one tick, in order: each adds its samples to the graphs and its line to the
    // log, but only the last sets what the screen shows, which would show the others for no
    // time at all.
    void copyATdata(std::span<const RxBuffer> blocks);

private:
    std::function<void(const RxBuffer&)> rawView_;
    RealtimeDisplay* display_ = nullptr;
    RealtimeCopies copies_;
};

}  // namespace comlink

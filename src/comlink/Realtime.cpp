#include "comlink/Realtime.h"

#include "tune/Numeric.h"

namespace comlink {

namespace {

constexpr double kThreeBarScale = 1.176;
constexpr double kPsiPerKpa = 0.145;
constexpr double kInHgPerKpa = 0.2953;
constexpr double kBoostFromKpa = 100;
// The pressure pen of tgRPM spreads 0..255 kPa over most of its 0..8000 range.
constexpr double kPressurePenScale = 31;

double at(const RxBuffer& block, int position) {
    return block[static_cast<std::size_t>(position)];
}

double rnd(double value) {
    // Plus zero, so that a reading rounded up from -0.4 is written "0", never "-0".
    return num::roundHalfEven(value) + 0.0;
}

std::string wholeText(double value) {
    return num::plainDecimal(value + 0.0);
}

}  // namespace

double pressureReading(double kpa, bool threeBar) {
    return threeBar ? rnd(kpa * kThreeBarScale) : kpa;
}

double signedHalfDegrees(double byte) {
    return byte >= 192 ? byte - 256 : byte;
}

DerivedValues deriveValues(const RxBuffer& block, tune::Edition edition) {
    const bool ruk = edition == tune::Edition::RUK;
    DerivedValues v;
    v.rpm = at(block, kRpmHi) * 256 + at(block, kRpmLo);
    v.ignRaw = signedHalfDegrees(at(block, kIgnition));
    v.msdRaw = signedHalfDegrees(at(block, kIgnMsd));
    v.coolantF = ruk ? at(block, kCoolant2) : at(block, kCoolant) - 40;
    v.batteryTenths = ruk ? at(block, kBatt) : rnd(at(block, kBatt) * 300 / 255);
    v.afr = at(block, kAfrWbo2);
    v.o2 = at(block, kEgo);
    v.kpa = at(block, kKpa);
    v.tps = at(block, kTps);
    return v;
}

double coolantReading(double coolantF, bool celsius) {
    return celsius ? rnd((coolantF - 32) * 5 / 9) : coolantF;
}

std::string coolantText(double coolantF, bool celsius) {
    return wholeText(coolantReading(coolantF, celsius));
}

std::string o2Text(double afr, double o2, bool wideBandAfr) {
    return wideBandAfr ? num::formatFixed(afr / 10, 1) : num::formatFixed(o2 * 5 / 255, 2);
}

ReadoutTexts readoutTexts(const DerivedValues& v, const RealtimeOptions& options) {
    ReadoutTexts t;
    t.rpm = wholeText(v.rpm);
    t.map = wholeText(pressureReading(v.kpa, options.threeBar));
    t.coolant = coolantText(v.coolantF, options.celsius);
    t.ignition = num::formatFixed(v.ignRaw / 2, 1);
    t.ignMsd = num::formatFixed(v.msdRaw / 2, 1);
    t.tps = num::formatFixed(v.tps * 5 / 255, 1);
    t.battery = num::formatFixed(v.batteryTenths / 10, 1);
    t.o2afr = o2Text(v.afr, v.o2, options.wideBandAfr);
    return t;
}

TrendSamples trendSamples(const DerivedValues& v, const RealtimeOptions& options,
                          double rpmGraphMaxY) {
    TrendSamples s;
    s.rpmGraph = {
        v.rpm,
        rnd(rpmGraphMaxY * v.tps / 255),
        options.threeBar ? rnd(v.kpa * kPressurePenScale * kThreeBarScale)
                         : v.kpa * kPressurePenScale,
        v.coolantF * kPressurePenScale,
    };
    s.afrGraph = {
        v.ignRaw + 100,
        v.msdRaw + 100,
        options.wideBandAfr ? v.afr : rnd(v.o2 * 100 / 255 + 100),
    };
    return s;
}

DialValues dialValues(const DerivedValues& v, const RealtimeOptions& options) {
    DialValues d;
    d.map = mapDialValue(v.kpa);
    d.rpm = v.rpm;
    d.ignition = v.ignRaw / 2;
    d.tps = v.tps * 5 / 255;
    d.coolant = coolantReading(v.coolantF, options.celsius);
    d.o2afr = v.o2 * 5 / 255;
    return d;
}

double mapDialValue(double kpa) {
    // kpa * 0.145 - 14.5 written as 0.145 * (kpa - 100), which is exactly 0 at the atmosphere
    // (the first form leaves -2E-15 there, and the readout would show a minus sign).
    if (kpa >= kBoostFromKpa) {
        return kPsiPerKpa * (kpa - kBoostFromKpa) * kThreeBarScale;
    }
    return kInHgPerKpa * (kpa - kBoostFromKpa) / kThreeBarScale;
}

void Realtime::copyATdata(const RxBuffer& block, bool updateTrends) {
    if (rawView_) {
        rawView_(block);
    }
    if (display_ == nullptr) {
        return;
    }
    const RealtimeOptions options = display_->options();
    const DerivedValues values = deriveValues(block, options.edition);
    copies_ = {values.coolantF, values.afr, values.o2};
    display_->showReadoutTexts(readoutTexts(values, options));
    if (updateTrends) {
        display_->addTrendSamples(trendSamples(values, options, display_->rpmGraphMaxY()));
    }
    display_->setDials(dialValues(values, options));
    display_->logBlock(block);
    display_->setReadoutsFromDials();
}

void Realtime::copyATdata(std::span<const RxBuffer> blocks) {
    for (std::size_t i = 0; i + 1 < blocks.size(); ++i) {
        // Until the first block has loaded the display, every block goes the whole way.
        if (display_ == nullptr) {
            copyATdata(blocks[i], true);
            continue;
        }
        const RealtimeOptions options = display_->options();
        const DerivedValues values = deriveValues(blocks[i], options.edition);
        display_->addTrendSamples(trendSamples(values, options, display_->rpmGraphMaxY()));
        display_->logBlock(blocks[i]);
    }
    if (!blocks.empty()) {
        copyATdata(blocks.back(), true);
    }
}

}  // namespace comlink

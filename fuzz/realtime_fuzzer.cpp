// Realtime decoding with any 32-bit value in every position (a replayed log can hold any), in
// any Edition and with any display options: each reading is finite, each text reads back to
// its value within the decimals it shows and is never a negative zero, and the data log line
// holds the 30 values as they were.
#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <iterator>
#include <string>

#include "comlink/Realtime.h"
#include "dash/LogFormat.h"
#include "fuzz/Check.h"
#include "tune/Numeric.h"

namespace {

using comlink::DerivedValues;
using comlink::RealtimeOptions;

// The input: the 30 values of a block, a byte with the Edition and the options, one with tgRPM's
// upper range.
struct Case {
    comlink::RxBuffer block{};
    RealtimeOptions options;
    double rpmGraphMaxY = 8000;
};

Case caseFrom(const std::uint8_t* data, std::size_t size) {
    Case c;
    std::int32_t values[comlink::kRealtimeBlockSize] = {};
    std::memcpy(values, data, std::min(size, sizeof values));
    std::copy(std::begin(values), std::end(values), c.block.begin());
    const unsigned bits = size > sizeof values ? data[sizeof values] : 0;
    c.options = {static_cast<tune::Edition>(bits & 3), (bits & 4) != 0, (bits & 8) != 0,
                 (bits & 16) != 0};
    if (size > sizeof values + 1)
        c.rpmGraphMaxY = 1000.0 * (data[sizeof values + 1] % 32 + 1);
    return c;
}

bool isNegativeZero(const std::string& text) {
    return text[0] == '-' && text.find_first_not_of("-0.") == std::string::npos;
}

// The text shows `value` with `decimals` decimals (0 for a whole-number text, which must be exact).
void checkText(const std::string& text, double value, int decimals) {
    FUZZ_CHECK(!text.empty() && !isNegativeZero(text));
    const double shown = num::readNumber(text);
    const double kept = decimals == 0 ? 0 : 0.5 * std::pow(10.0, -decimals) * (1 + 1E-9);
    FUZZ_CHECK(std::fabs(shown - value) <= kept + std::fabs(value) * DBL_EPSILON);
}

void checkTexts(const DerivedValues& v, const RealtimeOptions& o) {
    const comlink::ReadoutTexts t = comlink::readoutTexts(v, o);
    checkText(t.rpm, v.rpm, 0);
    checkText(t.map, o.threeBar ? num::roundHalfEven(v.kpa * 1.176) : v.kpa, 0);
    checkText(t.coolant, comlink::coolantReading(v.coolantF, o.celsius), 0);
    checkText(t.ignition, v.ignRaw / 2, 1);
    checkText(t.ignMsd, v.msdRaw / 2, 1);
    checkText(t.tps, v.tps * 5 / 255, 1);
    checkText(t.battery, v.batteryTenths / 10, 1);
    if (o.wideBandAfr)
        checkText(t.o2afr, v.afr / 10, 1);
    else
        checkText(t.o2afr, v.o2 * 5 / 255, 2);
}

void checkFinite(const DerivedValues& v, const RealtimeOptions& o, double rpmGraphMaxY) {
    for (const double d :
         {v.rpm, v.ignRaw, v.msdRaw, v.coolantF, v.batteryTenths, v.afr, v.o2, v.kpa, v.tps})
        FUZZ_CHECK(std::isfinite(d));
    const comlink::TrendSamples s = comlink::trendSamples(v, o, rpmGraphMaxY);
    for (const double d : s.rpmGraph)
        FUZZ_CHECK(std::isfinite(d));
    for (const double d : s.afrGraph)
        FUZZ_CHECK(std::isfinite(d));
    const comlink::DialValues dials = comlink::dialValues(v, o);
    for (const double d :
         {dials.rpm, dials.map, dials.o2afr, dials.ignition, dials.coolant, dials.tps})
        FUZZ_CHECK(std::isfinite(d));
}

void checkLogLine(const comlink::RxBuffer& block) {
    const std::string line = dash::logLine(block);
    std::size_t start = 0;
    for (int i = 0; i < comlink::kRealtimeBlockSize; ++i) {
        const std::size_t end = std::min(line.find(',', start), line.size());
        const std::string field = line.substr(start, end - start);
        FUZZ_CHECK(field.size() >= 3 && field.front() == ' ' && field.back() == ' ');
        FUZZ_CHECK(num::readNumber(field) == block[static_cast<std::size_t>(i)]);
        start = end + 1;
    }
    FUZZ_CHECK(start == line.size() + 1);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const Case c = caseFrom(data, size);
    const DerivedValues v = comlink::deriveValues(c.block, c.options.edition);
    checkTexts(v, c.options);
    checkFinite(v, c.options, c.rpmGraphMaxY);
    checkLogLine(c.block);
    return 0;
}

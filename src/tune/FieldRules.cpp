#include "tune/FieldRules.h"

#include <algorithm>

#include "tune/Numeric.h"

namespace tune {

namespace {

using Form = FieldRule::Form;

//                                 factor res  min  max  step  form             Enter
constexpr FieldRule kRpmCell{1, 100, 0, 127, 100, Form::Whole, true};
constexpr FieldRule kBaseTimingCell{1, 1, 0, 45, 1, Form::Whole, true};
constexpr FieldRule kMapCell{1, 1, 0, 255, 1, Form::Whole, true};
constexpr FieldRule kMapAdjCell{1, 1, -32, 40, 1, Form::Signed, true};
constexpr FieldRule kStatic{2, 1, 0, 255, 0.5, Form::OneDecimal, true};
constexpr FieldRule kPortedTPS{10, 1, 0, 50, 0.1, Form::OneDecimal, false};
constexpr FieldRule kPortedRPM{1, 100, 0, 95, 100, Form::Whole, false};
constexpr FieldRule kCrankRPM{1, 50, 1, 19, 50, Form::Whole, true};
constexpr FieldRule kCrankAdv{1, 1, 0, 40, 1, Form::Whole, true};
constexpr FieldRule kRPMlimit{1, 50, 0, 255, 50, Form::Whole, true};
constexpr FieldRule kUnwindRate{1, 1, 1, 255, 1, Form::Whole, true};

}  // namespace

const FieldRule& ruleFor(Table table) {
    switch (table) {
        case Table::RPM:
            return kRpmCell;
        case Table::BaseTiming:
            return kBaseTimingCell;
        case Table::Map:
            return kMapCell;
        case Table::MapAdj:
            break;
    }
    return kMapAdjCell;
}

const FieldRule& ruleFor(Single field) {
    switch (field) {
        case Single::Static:
            return kStatic;
        case Single::PortedStartTPS:
        case Single::PortedFullTPS:
            return kPortedTPS;
        case Single::PortedStartRPM:
        case Single::PortedFullRPM:
            return kPortedRPM;
        case Single::CrankRPM:
            return kCrankRPM;
        case Single::CrankAdv:
            return kCrankAdv;
        case Single::RPMlimit:
            return kRPMlimit;
        case Single::UnwindRate:
            break;
    }
    return kUnwindRate;
}

std::string committedText(const FieldRule& rule, std::string_view text) {
    // Nearest whole unit first, then cut down to the resolution (2549.6 -> 2550 -> 2500).
    std::int32_t n = num::rnd32(num::readNumber(text) * rule.factor);
    n /= rule.resolution;
    n = std::clamp(n, rule.min, rule.max);
    switch (rule.form) {
        case FieldRule::Form::Whole:
            return num::integerText(static_cast<std::int64_t>(n) * rule.resolution);
        case FieldRule::Form::Signed:
            return num::formatSigned(n);
        case FieldRule::Form::OneDecimal:
            break;
    }
    return num::formatFixed(n / rule.factor, 1);
}

std::string steppedText(const FieldRule& rule, std::string_view text, bool up) {
    const double v = num::readNumber(text) + (up ? rule.step : -rule.step);
    return committedText(rule, num::plainDecimal(v));
}

int cellLeftOf(int cell) {
    return cell % 6 != 0 ? cell - 1 : cell + 5;
}

int cellRightOf(int cell) {
    return (cell + 1) % 6 == 0 ? cell - 5 : cell + 1;
}

void commit(Tune& tune, Table table, int cell) {
    std::string& text = tune.text(table, cell);
    text = committedText(ruleFor(table), text);
}

void commit(Tune& tune, Single field) {
    std::string& text = tune.text(field);
    text = committedText(ruleFor(field), text);
}

void step(Tune& tune, Table table, int cell, bool up) {
    std::string& text = tune.text(table, cell);
    text = steppedText(ruleFor(table), text, up);
}

void step(Tune& tune, Single field, bool up) {
    std::string& text = tune.text(field);
    text = steppedText(ruleFor(field), text, up);
}

}  // namespace tune

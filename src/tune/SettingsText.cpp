#include "tune/SettingsText.h"

#include <initializer_list>

namespace tune {

namespace {

std::string flag(bool value) {
    return value ? "#TRUE#" : "#FALSE#";
}

// No escaping: a double quote inside the text goes out as it stands.
std::string quoted(std::string_view text) {
    return "\"" + std::string(text) + "\"";
}

std::string line(std::initializer_list<std::string> values) {
    std::string out;
    const char* separator = "";
    for (const std::string& v : values) {
        out += separator;
        out += v;
        separator = ",";
    }
    return out;
}

std::string quotedCells(const std::array<std::string, 6>& cells) {
    return line({quoted(cells[0]), quoted(cells[1]), quoted(cells[2]), quoted(cells[3]),
                 quoted(cells[4]), quoted(cells[5])});
}

}  // namespace

std::string settingStr(const Tune& t) {
    const std::string lines[12] = {
        line({flag(t.option(Option::Stroke4)), flag(t.option(Option::Stroke2)),
              quoted(t.cylinders.text), quoted(t.staticTiming), flag(t.oddFire != 0)}),
        quotedCells(t.baseTiming),
        quotedCells(t.rpm),
        quotedCells(t.mapAdj),
        quotedCells(t.map),
        line({flag(t.option(Option::PortedTPS)), flag(t.option(Option::PortedRPM)),
              flag(t.option(Option::PortedNone))}),
        line({quoted(t.portedStartTPS), quoted(t.portedFullTPS), quoted(t.portedStartRPM),
              quoted(t.portedFullRPM)}),
        line({quoted(t.crankAdv), quoted(t.crankRPM), quoted(t.crankDelay.text)}),
        line({quoted(t.outputs[0].channel.text), quoted(t.outputs[0].raw),
              quoted(t.outputs[1].channel.text), quoted(t.outputs[1].raw)}),
        line({quoted(t.rpmLimit), quoted(limiterKey(t.limitType.text)),
              flag(t.option(Option::Drop)), flag(t.option(Option::Retard))}),
        line({flag(t.option(Option::Map115)), flag(t.option(Option::Map250)), quoted(t.xled.text),
              flag(t.invertSpout != 0)}),
        line({quoted(t.knockIncr.text), flag(t.option(Option::UnwindMsec)),
              flag(t.option(Option::UnwindSpark)), quoted(t.unwindRate)}),
    };
    std::string out;
    const char* separator = "";
    for (const std::string& l : lines) {
        out += separator;
        out += l;
        separator = "\r\n";
    }
    return out;
}

}  // namespace tune

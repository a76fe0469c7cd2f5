#include "tune/FieldNames.h"

#include <initializer_list>

namespace tune {

namespace caption {

std::string_view option(Option o) {
    switch (o) {
        case Option::Stroke4:
            return "4-Stroke";
        case Option::Stroke2:
            return "2-Stroke";
        case Option::PortedTPS:
            return "TPS (V)";
        case Option::PortedRPM:
            return "RPM";
        case Option::PortedNone:
            return "None";
        case Option::Map115:
            return "1 Bar";
        case Option::Map250:
            return "2 Bar";
        case Option::Drop:
            return "Drop";
        case Option::Retard:
            return "Retard";
        case Option::UnwindMsec:
            return "MSEC";
        case Option::UnwindSpark:
            break;
    }
    return "Sparks";
}

std::string_view mapSensorPanel(Edition edition) {
    return edition == Edition::ZAV ? kMapSensorPanelZav : kMapSensorPanel;
}

}  // namespace caption

namespace {

// The window's texts keep the odd double blank; a name reads better with single ones.
std::string simplified(std::string_view text) {
    std::string out;
    for (const char c : text) {
        if (c != ' ') {
            out += c;
        } else if (!out.empty() && out.back() != ' ') {
            out += ' ';
        }
    }
    if (!out.empty() && out.back() == ' ') {
        out.pop_back();
    }
    return out;
}

std::string joined(std::initializer_list<std::string_view> words) {
    std::string out;
    for (const std::string_view word : words) {
        const std::string part = simplified(word);
        if (!out.empty() && !part.empty()) {
            out += ' ';
        }
        out += part;
    }
    return out;
}

class Collector {
public:
    Collector(const Tune& tune, std::vector<ShownField>& fields) : tune_(tune), fields_(fields) {}

    void panel(std::string_view caption) { panel_ = simplified(caption); }

    void add(const std::string& label, std::string value) {
        fields_.push_back({label.empty() ? panel_ : panel_ + " / " + label, std::move(value)});
    }

    void table(std::string_view leftHeading, Table left, std::string_view rightHeading,
               Table right) {
        for (int i = 0; i < 6; ++i) {
            const std::string row = " " + std::to_string(i + 1);
            add(simplified(leftHeading) + row, tune_.text(left, i));
            add(simplified(rightHeading) + row, tune_.text(right, i));
        }
    }

    void options(std::initializer_list<Option> group) {
        std::string label;
        std::string value;
        std::size_t n = 0;
        for (const Option o : group) {
            const std::string_view shown = caption::option(o);
            label += n == 0 ? "" : n + 1 == group.size() ? " or " : ", ";
            label += simplified(shown);
            if (tune_.option(o)) {
                value = simplified(shown);
            }
            ++n;
        }
        add(label, value);
    }

    void check(const std::string& label, int state) {
        add(label, state != 0 ? "checked" : "unchecked");
    }

private:
    const Tune& tune_;
    std::vector<ShownField>& fields_;
    std::string panel_;
};

}  // namespace

std::vector<ShownField> fieldsAsShown(const Tune& tune, Edition edition) {
    using namespace caption;
    std::vector<ShownField> fields;
    Collector c(tune, fields);

    c.panel(kTimingPanel);
    c.table(kRpmHeading, Table::RPM, kDegreeHeading, Table::BaseTiming);
    c.panel(kMapAdjustPanel);
    c.table(kPressureHeading, Table::Map, kDegreeHeading, Table::MapAdj);

    c.panel(kStaticPanel);
    c.add(joined({kCrankDegrees}), tune.staticTiming);
    c.panel(kStartPanel);
    c.add(joined({kIgnitionTiming}), tune.crankAdv);
    c.add(joined({kRpmThreshold}), tune.crankRPM);
    c.add(joined({kPulsesUntilSpark}), tune.crankDelay.text);
    c.panel(kEnginePanel);
    c.options({Option::Stroke4, Option::Stroke2});
    c.add(joined({kCylinders}), tune.cylinders.text);
    c.check(joined({kOddFire}), tune.oddFire);
    c.panel(kLimiterPanel);
    c.add("", tune.limitType.text);
    c.add(joined({kLimiterRpm}), tune.rpmLimit);
    c.options({Option::Drop, Option::Retard});

    c.panel(kPortedPanel);
    c.options({Option::PortedNone, Option::PortedTPS, Option::PortedRPM});
    const std::string_view tps = option(Option::PortedTPS);
    const std::string_view rpm = option(Option::PortedRPM);
    c.add(joined({tps, kStartHeading}), tune.portedStartTPS);
    c.add(joined({tps, kFullHeading}), tune.portedFullTPS);
    c.add(joined({rpm, kStartHeading}), tune.portedStartRPM);
    c.add(joined({rpm, kFullHeading}), tune.portedFullRPM);
    c.panel(mapSensorPanel(edition));
    c.add(joined({kXled, kXledFunction}), tune.xled.text);
    c.options({Option::Map115, Option::Map250});
    c.check(joined({kThreeBar}), tune.check1);
    c.check(joined({kOutput, kInvert}), tune.invertSpout);
    c.panel(kKnockPanel);
    c.add(joined({kKnockIncrease}), tune.knockIncr.text);
    c.add(joined({kDecreaseBy}), tune.unwindRate);
    c.options({Option::UnwindMsec, Option::UnwindSpark});
    c.panel(kOutputsPanel);
    for (int i = 0; i < 2; ++i) {
        const Output& out = tune.outputs[static_cast<std::size_t>(i)];
        c.add(joined({kOutputRow[i]}), out.channel.text + " " + out.text);
    }
    return fields;
}

}  // namespace tune

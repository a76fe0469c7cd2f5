#include "tune/Tune.h"

#include <algorithm>
#include <utility>

#include "tune/Numeric.h"

namespace tune {

namespace {

// Constant-initialised, so a Tune may be built while other files' statics are set up.
template <std::size_t N>
using Texts = std::array<std::string_view, N>;

constexpr Texts<8> kStroke4Cylinders{"2", "3", "4", "5", "6", "8", "10", "12"};
constexpr Texts<6> kStroke2Cylinders{"1", "2", "3", "4", "5", "6"};
constexpr Texts<3> kQoltCylinders{"4", "6", "8"};
constexpr Texts<7> kCrankDelays{"2", "3", "4", "5", "6", "7", "8"};
constexpr Texts<3> kXledFunctions{"Reset", "Knock", "Input"};
constexpr Texts<9> kKnockIncrements{"0.0", "0.5", "1.0", "1.5", "2.0", "2.5", "3.0", "3.5", "4.0"};
constexpr Texts<10> kLimitTypes{"  ** DISABLED **",   "100% Hard, all",     " 80%  Firm, 4 of 5",
                                " 75%  Firm, 3 of 4", " 67%  Firm, 2 of 3", " 60%  Firm, 3 of 5",
                                " 50%  Soft, 1 of 2", " 40%  Soft, 2 of 5", " 33%  Soft, 1 of 3",
                                " 25%  Soft, 1 of 4"};
constexpr Texts<11> kChannels{"RPM", "MAP", "MAT", "CLT", "TPS", "BAT",
                              "EGO", "AFR", "IGN", "AD6", "AD7"};

template <std::size_t N>
std::vector<std::string> entries(const Texts<N>& texts) {
    return {texts.begin(), texts.end()};
}

// Each option belongs to the group of consecutive enumerators it stands in.
std::pair<Option, Option> groupOf(Option o) {
    switch (o) {
        case Option::Stroke4:
        case Option::Stroke2:
            return {Option::Stroke4, Option::Stroke2};
        case Option::PortedTPS:
        case Option::PortedRPM:
        case Option::PortedNone:
            return {Option::PortedTPS, Option::PortedNone};
        case Option::Map115:
        case Option::Map250:
            return {Option::Map115, Option::Map250};
        case Option::Drop:
        case Option::Retard:
            return {Option::Drop, Option::Retard};
        case Option::UnwindMsec:
        case Option::UnwindSpark:
            break;
    }
    return {Option::UnwindMsec, Option::UnwindSpark};
}

std::size_t slot(Option o) {
    return static_cast<std::size_t>(o);
}

std::size_t cellSlot(int cell) {
    return static_cast<std::size_t>(cell);
}

std::string trimBlanks(std::string_view text) {
    const auto first = text.find_first_not_of(' ');
    if (first == std::string_view::npos)
        return {};
    const auto last = text.find_last_not_of(' ');
    return std::string(text.substr(first, last - first + 1));
}

}  // namespace

void ListField::fill(std::vector<std::string> items) {
    entries = std::move(items);
    index = -1;
    text.clear();
}

bool ListField::select(int i) {
    if (i < -1 || i >= static_cast<int>(entries.size()))
        return false;
    index = i;
    text = i < 0 ? std::string() : entries[static_cast<std::size_t>(i)];
    return true;
}

bool ListField::selectText(std::string_view t) {
    const auto found = std::find(entries.begin(), entries.end(), t);
    if (found == entries.end())
        return false;
    return select(static_cast<int>(found - entries.begin()));
}

Tune Tune::startup(Edition edition) {
    Tune t;
    // What the window holds before start-up touches it.
    t.rpm = {"1000", "2500", "3500", "4500", "5500", "6500"};
    t.baseTiming = {"8", "18", "24", "32", "32", "30"};
    t.map = {"40", "60", "80", "100", "140", "160"};
    t.mapAdj = {"+6", "+4", "+2", "0", "-2", "-5"};
    t.staticTiming = "45.0";
    t.crankAdv = "6";
    t.crankRPM = "300";
    t.rpmLimit = "1200";
    t.portedStartTPS = "1.0";
    t.portedFullTPS = "1.5";
    t.portedStartRPM = "1500";
    t.portedFullRPM = "2000";
    t.unwindRate = "25";
    t.crankDelay.fill(entries(kCrankDelays));
    t.xled.fill(entries(kXledFunctions));
    t.knockIncr.fill(entries(kKnockIncrements));
    t.setOption(Option::PortedNone, true);

    // Then the Edition adapts the window.
    if (edition != Edition::ZAV)
        t.xled.select(0);
    if (edition == Edition::QOLT) {
        t.cylinders.fill(entries(kQoltCylinders));
        t.cylinders.select(0);
    } else {
        t.setOption(Option::Stroke4, true);
        t.cylinders.select(2);
    }

    t.crankDelay.select(1);
    t.setOption(Option::Map250, true);
    t.setOption(Option::Drop, true);
    t.knockIncr.select(0);
    t.setOption(Option::UnwindMsec, true);
    t.limitType.fill(entries(kLimitTypes));
    t.limitType.select(0);
    for (int i = 0; i < 2; ++i) {
        t.outputs[cellSlot(i)].channel.fill(entries(kChannels));
        t.selectChannel(i, 0);
        t.outputs[cellSlot(i)].raw = "0";
    }
    return t;
}

std::string& Tune::text(Table table, int cell) {
    return const_cast<std::string&>(std::as_const(*this).text(table, cell));
}

const std::string& Tune::text(Table table, int cell) const {
    switch (table) {
        case Table::RPM:
            return rpm.at(cellSlot(cell));
        case Table::BaseTiming:
            return baseTiming.at(cellSlot(cell));
        case Table::Map:
            return map.at(cellSlot(cell));
        case Table::MapAdj:
            break;
    }
    return mapAdj.at(cellSlot(cell));
}

std::string& Tune::text(Single field) {
    return const_cast<std::string&>(std::as_const(*this).text(field));
}

const std::string& Tune::text(Single field) const {
    switch (field) {
        case Single::Static:
            return staticTiming;
        case Single::PortedStartTPS:
            return portedStartTPS;
        case Single::PortedFullTPS:
            return portedFullTPS;
        case Single::PortedStartRPM:
            return portedStartRPM;
        case Single::PortedFullRPM:
            return portedFullRPM;
        case Single::CrankRPM:
            return crankRPM;
        case Single::CrankAdv:
            return crankAdv;
        case Single::RPMlimit:
            return rpmLimit;
        case Single::UnwindRate:
            break;
    }
    return unwindRate;
}

bool Tune::option(Option o) const {
    return options_[slot(o)];
}

void Tune::setOption(Option o, bool selected) {
    if (!selected) {
        options_[slot(o)] = false;
        return;
    }
    const bool wasSelected = options_[slot(o)];
    const auto [first, last] = groupOf(o);
    for (std::size_t s = slot(first); s <= slot(last); ++s)
        options_[s] = false;
    options_[slot(o)] = true;
    // Like a click on the button: only a change of state rebuilds the cylinder list.
    if (!wasSelected && (o == Option::Stroke4 || o == Option::Stroke2))
        strokeSelected(o);
}

void Tune::strokeSelected(Option stroke) {
    const int k = cylinders.index;
    if (stroke == Option::Stroke2) {
        cylinders.fill(entries(kStroke2Cylinders));
        cylinders.select(std::min(k + 1, 5));
    } else {
        // The same count stands one place earlier in the 4-stroke list.
        cylinders.fill(entries(kStroke4Cylinders));
        cylinders.select(k > 0 ? k - 1 : k);
    }
}

double Tune::outputScale(int i) const {
    const std::string& c = outputs.at(cellSlot(i)).channel.text;
    if (c == "RPM")
        return 50;
    if (c == "TPS" || c == "EGO" || c == "AD6" || c == "AD7")
        return num::toSingle(5.0 / 255.0);
    if (c == "AFR" || c == "BAT")
        return num::toSingle(0.1);
    if (c == "IGN")
        return 0.5;
    return 1;
}

int Tune::outputOffset(int i) const {
    const std::string& c = outputs.at(cellSlot(i)).channel.text;
    if (c == "IGN")
        return -32;
    if (c == "MAT" || c == "CLT")
        return -40;
    return 0;
}

void Tune::channelChanged(int i) {
    Output& out = outputs.at(cellSlot(i));
    const double scale = outputScale(i);
    const double value = num::toSingle(num::readNumber(out.raw) * scale + outputOffset(i));
    const int decimals = scale >= 1 ? 0 : scale >= 0.1 ? 1 : 2;
    out.text = num::formatFixed(value, decimals);
}

bool Tune::selectChannel(int i, int index) {
    if (!outputs.at(cellSlot(i)).channel.select(index))
        return false;
    channelChanged(i);
    return true;
}

void Tune::commitOutput(int i) {
    Output& out = outputs.at(cellSlot(i));
    const double raw = (num::readNumber(out.text) - outputOffset(i)) / outputScale(i);
    out.raw = num::integerText(std::clamp(num::rnd32(raw), 0, 255));
    channelChanged(i);
}

void Tune::stepOutput(int i, bool up) {
    Output& out = outputs.at(cellSlot(i));
    const double scale = outputScale(i);
    out.text = num::plainDecimal(num::readNumber(out.text) + (up ? scale : -scale));
    commitOutput(i);
}

std::string limiterKey(std::string_view limitText) {
    return trimBlanks(limitText).substr(0, 3);
}

}  // namespace tune

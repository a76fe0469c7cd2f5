// The names diff prints: every field of the Tune under a name of its own, in the window's words.
// The diff end-to-end test pins the tables, crank rpm, limiter, XLED, invert, unwind and outputs.
#include <gtest/gtest.h>

#include <functional>
#include <set>
#include <string>
#include <vector>

#include "tune/FieldNames.h"

namespace {

using tune::Option;
using tune::Tune;

std::vector<std::string> changedNames(const Tune& before, const Tune& after) {
    const auto a = tune::fieldsAsShown(before, tune::Edition::BEL);
    const auto b = tune::fieldsAsShown(after, tune::Edition::BEL);
    std::vector<std::string> names;
    for (std::size_t i = 0; i < a.size(); ++i) {
        EXPECT_EQ(a[i].name, b[i].name);
        if (a[i].value != b[i].value)
            names.push_back(a[i].name);
    }
    return names;
}

TEST(FieldNames, everyFieldOfTheTuneHasANameOfItsOwnAndAChangeShowsUnderItAlone) {
    const Tune start = Tune::startup(tune::Edition::BEL);
    const auto fields = tune::fieldsAsShown(start, tune::Edition::BEL);
    std::set<std::string> names;
    for (const auto& field : fields)
        names.insert(field.name);
    EXPECT_EQ(fields.size(), 48u);
    EXPECT_EQ(names.size(), fields.size());

    const std::pair<std::function<void(Tune&)>, const char*> rows[] = {
        {[](Tune& t) { t.map[1] = "61"; }, "Vaccum/ Boost Advance/ Retard / Pressure 2"},
        {[](Tune& t) { t.staticTiming = "44.5"; }, "Static Timing / Crank Degrees BTDC"},
        {[](Tune& t) { t.crankAdv = "7"; }, "START TIMING / Ignition Timing"},
        {[](Tune& t) { t.crankDelay.select(3); }, "START TIMING / Pulses Until 1st Spark"},
        {[](Tune& t) { t.cylinders.select(4); }, "ENGINE TYPE / Cylinders"},
        {[](Tune& t) { t.oddFire = 1; }, "ENGINE TYPE / Odd Fire"},
        {[](Tune& t) { t.rpmLimit = "7000"; }, "REV LIMITER / RPM"},
        {[](Tune& t) { t.setOption(Option::Retard, true); }, "REV LIMITER / Drop or Retard"},
        {[](Tune& t) { t.setOption(Option::PortedRPM, true); },
         "Ported Vacuum / None, TPS (V) or RPM"},
        {[](Tune& t) { t.portedStartTPS = "1.1"; }, "Ported Vacuum / TPS (V) Start"},
        {[](Tune& t) { t.portedStartRPM = "1600"; }, "Ported Vacuum / RPM Start"},
        {[](Tune& t) { t.portedFullRPM = "2100"; }, "Ported Vacuum / RPM Full"},
        {[](Tune& t) { t.setOption(Option::Map115, true); }, "MAP SENSOR TYPE / 1 Bar or 2 Bar"},
        {[](Tune& t) { t.check1 = 0; }, "MAP SENSOR TYPE / 3 Bar"},
        {[](Tune& t) { t.knockIncr.select(1); },
         "Knock Retard / Retard increase per knock detect (degrees)"},
        {[](Tune& t) { t.unwindRate = "26"; }, "Knock Retard / Decrease retard by"},
    };
    for (const auto& [change, name] : rows) {
        Tune changed = start;
        change(changed);
        EXPECT_EQ(changedNames(start, changed), std::vector<std::string>{name});
    }
}

}  // namespace

#include <gtest/gtest.h>

#include <functional>
#include <optional>

#include "link/Transfer.h"
#include "tune/Tune.h"

namespace {

using link::Refusal;
using tune::Edition;
using tune::Option;
using tune::Single;
using tune::Table;
using tune::Tune;

struct CheckCase {
    const char* what;
    std::function<void(Tune&)> edit;
    Edition edition;
    std::optional<Refusal> refusal;
    int storedRpmK;  // -7: the constants were left untouched
};

TEST(SendCheck, cylinderCountComesFirstThenTheEditionsRulesUnderTheirOwnTitle) {
    const Refusal cylinders{"Can not Download!)", "Verify the Cylinder Count"};
    const CheckCase cases[] = {
        {"start-up Tune", [](Tune&) {}, Edition::BEL, std::nullopt, 6912000},
        {"sixteen sparks",
         [](Tune& t) {
             t.setOption(Option::Stroke2, true);
             t.cylinders.text = "8";
         },
         Edition::BEL, cylinders, -7},
        {"no cylinders and broken rules",
         [](Tune& t) {
             t.cylinders.text = "";
             t.text(Single::Static) = "0.0";
         },
         Edition::BEL, cylinders, -7},
        {"broken rule after the constants", [](Tune& t) { t.text(Table::BaseTiming, 5) = "45"; },
         Edition::BEL, Refusal{"Can not Download!", "Base Timing must be less than Static Timing!"},
         6912000},
        {"knock increment in BEL", [](Tune& t) { t.knockIncr.selectText("0.5"); }, Edition::BEL,
         Refusal{"Can not Download!", "\"Retard increase per knock detect\"\r\nmust be set to 0.0"},
         6912000},
        {"knock increment in RUK", [](Tune& t) { t.knockIncr.selectText("0.5"); }, Edition::RUK,
         std::nullopt, 6912000},
    };
    for (const CheckCase& c : cases) {
        SCOPED_TRACE(c.what);
        Tune tune = Tune::startup(Edition::BEL);
        c.edit(tune);
        link::EngineConstants constants{-7, -8, -9};
        EXPECT_EQ(link::checkBeforeSend(tune, c.edition, constants), c.refusal);
        EXPECT_EQ(constants.rpmK, c.storedRpmK);
    }
}

}  // namespace

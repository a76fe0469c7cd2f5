#include <gtest/gtest.h>

#include <string>
#include <variant>

#include "tune/FieldRules.h"
#include "tune/Tune.h"

namespace {

using tune::Single;
using tune::Table;
using Field = std::variant<Table, Single>;

const tune::FieldRule& rule(Field f) {
    return std::visit([](auto x) -> const tune::FieldRule& { return tune::ruleFor(x); }, f);
}

struct CommitCase {
    Field field;
    std::string typed;
    std::string committed;
};

void PrintTo(const CommitCase& c, std::ostream* os) {
    *os << '"' << c.typed << '"';
}

class Commit : public testing::TestWithParam<CommitCase> {};

TEST_P(Commit, writesTheCanonicalTextOfTheSnappedAndClampedValue) {
    EXPECT_EQ(tune::committedText(rule(GetParam().field), GetParam().typed), GetParam().committed);
}

INSTANTIATE_TEST_SUITE_P(
    RpmCells, Commit,
    testing::Values(CommitCase{Table::RPM, "2550", "2500"}, CommitCase{Table::RPM, "2599", "2500"},
                    CommitCase{Table::RPM, "2599.6", "2600"},
                    CommitCase{Table::RPM, "2549.6", "2500"},
                    CommitCase{Table::RPM, "13000", "12700"}, CommitCase{Table::RPM, "-100", "0"},
                    CommitCase{Table::RPM, "1 0 0 0", "1000"}, CommitCase{Table::RPM, "", "0"}));

INSTANTIATE_TEST_SUITE_P(BaseTimingAndMapCells, Commit,
                         testing::Values(CommitCase{Table::BaseTiming, "12abc", "12"},
                                         CommitCase{Table::BaseTiming, "1E2", "45"},
                                         CommitCase{Table::BaseTiming, "&H20", "32"},
                                         CommitCase{Table::BaseTiming, "letters", "0"},
                                         CommitCase{Table::BaseTiming, "12.5", "12"},
                                         CommitCase{Table::BaseTiming, "13.5", "14"},
                                         CommitCase{Table::Map, "300", "255"},
                                         CommitCase{Table::Map, "&O17", "15"},
                                         CommitCase{Table::Map, "-1", "0"}));

INSTANTIATE_TEST_SUITE_P(
    MapAdjCells, Commit,
    testing::Values(CommitCase{Table::MapAdj, "5", "+5"}, CommitCase{Table::MapAdj, "+50", "+40"},
                    CommitCase{Table::MapAdj, "-40", "-32"}, CommitCase{Table::MapAdj, "-0", "0"},
                    CommitCase{Table::MapAdj, "-5", "-5"}, CommitCase{Table::MapAdj, "0.5", "0"},
                    CommitCase{Table::MapAdj, "1.5", "+2"},
                    CommitCase{Table::MapAdj, "-2.5", "-2"}));

INSTANTIATE_TEST_SUITE_P(
    SingleFields, Commit,
    testing::Values(
        CommitCase{Single::Static, "12.25", "12.0"}, CommitCase{Single::Static, "12.75", "13.0"},
        CommitCase{Single::Static, "200", "127.5"}, CommitCase{Single::Static, "12", "12.0"},
        CommitCase{Single::Static, "abc", "0.0"}, CommitCase{Single::Static, "", "0.0"},
        CommitCase{Single::PortedStartTPS, "2.34", "2.3"},
        CommitCase{Single::PortedFullTPS, "6", "5.0"},
        CommitCase{Single::PortedFullTPS, "x", "0.0"},
        CommitCase{Single::PortedStartRPM, "9600", "9500"},
        CommitCase{Single::PortedFullRPM, "1550", "1500"}, CommitCase{Single::CrankRPM, "0", "50"},
        CommitCase{Single::CrankRPM, "", "50"}, CommitCase{Single::CrankRPM, "1000", "950"},
        CommitCase{Single::CrankRPM, "75", "50"}, CommitCase{Single::CrankAdv, "41", "40"},
        CommitCase{Single::RPMlimit, "12800", "12750"},
        CommitCase{Single::RPMlimit, "1249", "1200"}, CommitCase{Single::UnwindRate, "0", "1"},
        CommitCase{Single::UnwindRate, "256", "255"}));

INSTANTIATE_TEST_SUITE_P(NumbersBeyondThe32BitRange, Commit,
                         testing::Values(CommitCase{Table::RPM, "1E20", "12700"},
                                         CommitCase{Table::RPM, "-1E20", "0"},
                                         CommitCase{Single::Static, "1E400", "127.5"},
                                         CommitCase{Table::MapAdj, "-1E400", "-32"},
                                         CommitCase{Single::CrankRPM, "&HFFFFFFFFFF", "950"},
                                         CommitCase{Single::UnwindRate, "-&H20", "1"}));

struct StepCase {
    Field field;
    std::string from;
    bool up;
    std::string result;
};

void PrintTo(const StepCase& c, std::ostream* os) {
    *os << '"' << c.from << '"' << (c.up ? " PageUp" : " PageDown");
}

class Step : public testing::TestWithParam<StepCase> {};

TEST_P(Step, movesByOneStepFromWhatTheTextReadsAsAndCommits) {
    EXPECT_EQ(tune::steppedText(rule(GetParam().field), GetParam().from, GetParam().up),
              GetParam().result);
}

INSTANTIATE_TEST_SUITE_P(Fields, Step,
                         testing::Values(StepCase{Table::BaseTiming, "12abc", true, "13"},
                                         StepCase{Table::BaseTiming, "45", true, "45"},
                                         StepCase{Table::BaseTiming, "0", false, "0"},
                                         StepCase{Table::RPM, "1050", true, "1100"},
                                         StepCase{Table::RPM, "1000", true, "1100"},
                                         StepCase{Table::RPM, "12700", true, "12700"},
                                         StepCase{Table::MapAdj, "0", true, "+1"},
                                         StepCase{Table::MapAdj, "+1", false, "0"},
                                         StepCase{Table::MapAdj, "-32", false, "-32"},
                                         StepCase{Single::Static, "45.0", true, "45.5"},
                                         StepCase{Single::Static, "45.0", false, "44.5"},
                                         StepCase{Single::PortedStartTPS, "4.9", true, "5.0"},
                                         StepCase{Single::PortedStartTPS, "5.0", true, "5.0"},
                                         StepCase{Single::PortedFullTPS, "2.3", true, "2.4"},
                                         StepCase{Single::PortedFullTPS, "0.1", false, "0.0"},
                                         StepCase{Single::PortedStartRPM, "9500", true, "9500"},
                                         StepCase{Single::CrankRPM, "50", false, "50"},
                                         StepCase{Single::CrankRPM, "300", true, "350"},
                                         StepCase{Single::RPMlimit, "12750", true, "12750"},
                                         StepCase{Single::UnwindRate, "1", false, "1"},
                                         StepCase{Single::CrankAdv, "", true, "1"}));

TEST(StepFromCommitted, tenthsAddUpWithoutDrift) {
    std::string text = "0.0";
    for (int i = 0; i < 50; ++i) {
        text = tune::steppedText(tune::ruleFor(Single::PortedStartTPS), text, true);
    }
    EXPECT_EQ(text, "5.0");
    for (int i = 0; i < 23; ++i) {
        text = tune::steppedText(tune::ruleFor(Single::PortedStartTPS), text, false);
    }
    EXPECT_EQ(text, "2.7");
}

TEST(EnterKey, commitsEveryFieldButTheFourPortedVacuumPoints) {
    for (Table t : {Table::RPM, Table::BaseTiming, Table::Map, Table::MapAdj}) {
        EXPECT_TRUE(tune::ruleFor(t).enterCommits);
    }
    for (Single s : {Single::Static, Single::CrankRPM, Single::CrankAdv, Single::RPMlimit,
                     Single::UnwindRate}) {
        EXPECT_TRUE(tune::ruleFor(s).enterCommits);
    }
    for (Single s : {Single::PortedStartTPS, Single::PortedFullTPS, Single::PortedStartRPM,
                     Single::PortedFullRPM}) {
        EXPECT_FALSE(tune::ruleFor(s).enterCommits);
    }
}

TEST(CellMoves, leftFromTheTopCellWrapsToTheBottom) {
    EXPECT_EQ(tune::cellLeftOf(0), 5);
    EXPECT_EQ(tune::cellLeftOf(3), 2);
    EXPECT_EQ(tune::cellLeftOf(5), 4);
}

TEST(CellMoves, rightFromTheBottomCellWrapsToTheTop) {
    EXPECT_EQ(tune::cellRightOf(5), 0);
    EXPECT_EQ(tune::cellRightOf(0), 1);
    EXPECT_EQ(tune::cellRightOf(2), 3);
}

TEST(TuneFields, commitNormalisesOnlyTheNamedCell) {
    tune::Tune t = tune::Tune::startup(tune::Edition::BEL);
    t.map[3] = "1 2 0";
    t.map[4] = "1 4 0";
    tune::commit(t, Table::Map, 3);
    EXPECT_EQ(t.map[3], "120");
    EXPECT_EQ(t.map[4], "1 4 0");
    EXPECT_EQ(t.rpm[3], "4500");
}

TEST(TuneFields, stepWritesTheSteppedTextIntoTheField) {
    tune::Tune t = tune::Tune::startup(tune::Edition::BEL);
    tune::step(t, Single::CrankRPM, false);
    EXPECT_EQ(t.crankRPM, "250");
    tune::step(t, Table::MapAdj, 5, true);
    EXPECT_EQ(t.mapAdj[5], "-4");
    tune::step(t, Single::Static, true);
    EXPECT_EQ(t.staticTiming, "45.5");
}

TEST(TuneFields, eachSingleFieldNameReachesItsOwnText) {
    tune::Tune t = tune::Tune::startup(tune::Edition::BEL);
    for (Single s : {Single::Static, Single::PortedStartTPS, Single::PortedFullTPS,
                     Single::PortedStartRPM, Single::PortedFullRPM, Single::CrankRPM,
                     Single::CrankAdv, Single::RPMlimit, Single::UnwindRate}) {
        t.text(s) = "junk";
        tune::commit(t, s);
    }
    EXPECT_EQ(t.staticTiming, "0.0");
    EXPECT_EQ(t.portedStartTPS, "0.0");
    EXPECT_EQ(t.portedFullTPS, "0.0");
    EXPECT_EQ(t.portedStartRPM, "0");
    EXPECT_EQ(t.portedFullRPM, "0");
    EXPECT_EQ(t.crankRPM, "50");
    EXPECT_EQ(t.crankAdv, "0");
    EXPECT_EQ(t.rpmLimit, "0");
    EXPECT_EQ(t.unwindRate, "1");
}

}  // namespace

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <variant>

#include "tune/FieldRules.h"

namespace {

using tune::Single;
using tune::Table;
using Field = std::variant<Table, Single>;

const tune::FieldRule& rule(Field f) {
    return std::visit([](auto x) -> const tune::FieldRule& { return tune::ruleFor(x); }, f);
}

TEST(FieldRules, commitWritesTheCanonicalTextOfTheSnappedAndClampedValue) {
    const std::tuple<Field, std::string, std::string> cases[] = {
        {Table::RPM, "2599", "2500"},      {Table::RPM, "2599.6", "2600"},
        {Table::RPM, "1E20", "12700"},     {Table::BaseTiming, "13.5", "14"},
        {Table::MapAdj, "0.4", "0"},       {Table::MapAdj, "-1E400", "-32"},
        {Single::Static, "12.25", "12.0"}, {Single::PortedFullTPS, "6", "5.0"},
        {Single::CrankRPM, "", "50"},      {Single::UnwindRate, "256", "255"}};
    for (const auto& [field, typed, committed] : cases) {
        SCOPED_TRACE('"' + typed + '"');
        EXPECT_EQ(tune::committedText(rule(field), typed), committed);
    }
}

TEST(FieldRules, pageKeysMoveOneStepFromWhatTheTextReadsAsAndCommit) {
    const std::tuple<Field, std::string, bool, std::string> cases[] = {
        {Table::BaseTiming, "45", true, "45"}, {Table::RPM, "1050", true, "1100"},
        {Table::MapAdj, "0", true, "+1"},      {Single::Static, "45.0", false, "44.5"},
        {Single::CrankRPM, "50", false, "50"}, {Single::PortedFullTPS, "0.1", false, "0.0"},
        {Single::CrankAdv, "", true, "1"}};
    for (const auto& [field, from, up, result] : cases) {
        SCOPED_TRACE('"' + from + (up ? "\" PageUp" : "\" PageDown"));
        EXPECT_EQ(tune::steppedText(rule(field), from, up), result);
    }
}

}  // namespace

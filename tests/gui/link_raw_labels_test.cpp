#include <gtest/gtest.h>

#include <string>

#include "link/ui/RawLabels.h"

namespace {

struct CellCase {
    int position;
    int value;
    std::string text;
};

class RawCellTable : public ::testing::TestWithParam<CellCase> {};

TEST_P(RawCellTable, showsDecimalExceptTheEngineBitsInHex) {
    EXPECT_EQ(link::rawValueText(GetParam().position, GetParam().value), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(Cells, RawCellTable,
                         ::testing::Values(CellCase{1, 5, "$05"}, CellCase{1, 10, "$0A"},
                                           CellCase{1, 0, "$00"}, CellCase{1, 255, "$FF"},
                                           CellCase{0, 5, "5"}, CellCase{0, 10, "10"},
                                           CellCase{2, 0, "0"}, CellCase{12, 255, "255"},
                                           CellCase{29, 128, "128"}));

TEST(RawLabelNames, followTheControllersOrderFromSeclToBspot3) {
    EXPECT_EQ(link::kRealtimeNames[0], "secl");
    EXPECT_EQ(link::kRealtimeNames[1], "engine");
    EXPECT_EQ(link::kRealtimeNames[11], "kpa");
    EXPECT_EQ(link::kRealtimeNames[12], "rpm_hi");
    EXPECT_EQ(link::kRealtimeNames[13], "rpm_lo");
    EXPECT_EQ(link::kRealtimeNames[19], "ignition");
    EXPECT_EQ(link::kRealtimeNames[23], "ts1_diff_2");
    EXPECT_EQ(link::kRealtimeNames[26], "coolant2");
    EXPECT_EQ(link::kRealtimeNames[29], "bspot3");
}

}  // namespace

// The texts the windows put in their labels, without a window.
#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <tuple>
#include <utility>

#include "dialogs/AboutText.h"
#include "link/ui/RawLabels.h"

namespace {

TEST(AboutTexts, revisionShowsItsLastTwoHexDigitsOrQuestionMarksWhenUnknown) {
    const std::pair<int, const char*> rows[] = {
        {0, "Firmware RevNum: 00"},       {10, "Firmware RevNum: 0A"},
        {255, "Firmware RevNum: FF"},     {427, "Firmware RevNum: AB"},
        {INT_MAX, "Firmware RevNum: FF"}, {-1, "Firmware RevNum: ??"},
        {INT_MIN, "Firmware RevNum: ??"}};
    for (const auto& [revision, line] : rows)
        EXPECT_EQ(dialogs::revisionLine(revision), line) << revision;
}

TEST(RawLabelTexts, showDecimalExceptTheEngineBitsInHex) {
    const std::tuple<int, int, const char*> rows[] = {
        {1, 10, "$0A"}, {1, 255, "$FF"}, {0, 10, "10"}, {12, 255, "255"}, {29, 128, "128"}};
    for (const auto& [position, value, text] : rows)
        EXPECT_EQ(link::rawValueText(position, value), text) << position << " " << value;
}

}  // namespace

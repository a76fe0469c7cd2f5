#include <gtest/gtest.h>

#include "platform/FileFilter.h"

namespace {

struct FilterCase {
    const char* given;
    const char* qt;
};

TEST(FileFilterTest, pairsOfDescriptionAndPatternsBecomeQtFilters) {
    const FilterCase cases[] = {
        {"Volcrestone Settings (*.cfg)|*.cfg|All Files (*.*)|*.*",
         "Volcrestone Settings (*.cfg);;All Files (*)"},
        {"Data Log (*.csv)|*.csv", "Data Log (*.csv)"},
        {"Logs|*.csv;*.txt", "Logs (*.csv *.txt)"},
        {"Text (*.txt)|*.log", "Text (*.log)"},
        {"Anything", "Anything (*)"},
        {"", "(*)"},
    };
    for (const FilterCase& c : cases) {
        EXPECT_EQ(platform::qtFileFilter(c.given), c.qt) << c.given;
    }
}

}  // namespace

#include <gtest/gtest.h>

#include "platform/FileFilter.h"

namespace {

TEST(FileFilterTest, pairsOfDescriptionAndPatternsBecomeQtFilters) {
    const std::pair<const char*, const char*> cases[] = {
        {"CFG Files (*.cfg)|*.cfg|All Files (*.*)|*.*", "CFG Files (*.cfg);;All Files (*)"},
        {"Logs|*.csv;*.txt", "Logs (*.csv *.txt)"},
        {"", "(*)"}};
    for (const auto& [given, qt] : cases)
        EXPECT_EQ(platform::qtFileFilter(given), qt) << given;
}

}  // namespace

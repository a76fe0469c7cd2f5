#include <gtest/gtest.h>

#include "platform/FileFilter.h"

namespace {

TEST(FileFilterTest, pairsOfDescriptionAndPatternsBecomeQtFilters) {
    const std::pair<const char*, const char*> cases[] = {
        {"Volcrestone Settings (*.cfg)|*.cfg|All Files (*.*)|*.*",
         "Volcrestone Settings (*.cfg);;All Files (*)"},
        {"Logs|*.csv;*.txt", "Logs (*.csv *.txt)"},
        {"Anything", "Anything (*)"},
        {"", "(*)"}};
    for (const auto& [given, qt] : cases) {
        EXPECT_EQ(platform::qtFileFilter(given), qt) << given;
    }
}

}  // namespace

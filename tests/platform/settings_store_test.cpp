// The settings store on a real file in a temporary config folder, and the file-dialog filters.
#include <gtest/gtest.h>

#include <QFile>

#include "platform/FileFilter.h"
#include "platform/QtSettingsStore.h"

namespace {

TEST(SettingsStoreTest, valuesGoToTheUsersIniFileAndANewStoreReadsThemBackUnchanged) {
    const std::string app = "VolcrestoneStoreTest";
    for (const std::string text : {"3", "a, b", "say \"x\"", "Gr\xFCn", " padded "}) {
        platform::QtSettingsStore(app).write("Config", "Port", text);
        EXPECT_EQ(platform::QtSettingsStore(app).read("Config", "Port", ""), text);
    }
    platform::QtSettingsStore(app).write("Plot", "Port", "1");
    QFile file(
        QString::fromStdString(platform::QtSettingsStore::folderOf(app) + "/" + app + ".ini"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_TRUE(file.readAll().contains("[Plot]\nPort=1"));
}

TEST(FileFilterTest, pairsOfDescriptionAndPatternsBecomeQtFilters) {
    const std::pair<const char*, const char*> cases[] = {
        {"CFG Files (*.cfg)|*.cfg|All Files (*.*)|*.*", "CFG Files (*.cfg);;All Files (*)"},
        {"Logs|*.csv;*.txt", "Logs (*.csv *.txt)"},
        {"", "(*)"}};
    for (const auto& [given, qt] : cases)
        EXPECT_EQ(platform::qtFileFilter(given), qt) << given;
}

}  // namespace

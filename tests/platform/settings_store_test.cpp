// The settings store and the single-instance lock on real files in a temporary config folder.
#include <gtest/gtest.h>

#include <QFile>
#include <optional>

#include "platform/QtSettingsStore.h"
#include "platform/SingleInstance.h"

namespace {

std::string configFolder(const std::string& app) {
    return qEnvironmentVariable("XDG_CONFIG_HOME").toStdString() + "/" + app;
}

TEST(SettingsStoreTest, valuesGoToTheUsersIniFileAndANewStoreReadsThemBackUnchanged) {
    const std::string app = "VolcrestoneStoreTest";
    for (const std::string text : {"3", "a, b", "say \"x\"", "Gr\xFCn", " padded "}) {
        platform::QtSettingsStore(app).write("Config", "Port", text);
        EXPECT_EQ(platform::QtSettingsStore(app).read("Config", "Port", ""), text);
    }
    platform::QtSettingsStore(app).write("Plot", "Port", "1");
    QFile file(QString::fromStdString(configFolder(app) + "/" + app + ".ini"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_TRUE(file.readAll().contains("[Plot]\nPort=1"));
}

TEST(SingleInstanceTest, aSecondInstanceSeesTheFirstUntilItEnds) {
    const std::string folder = configFolder("VolcrestoneLockTest");
    std::optional<platform::SingleInstance> first(folder);
    EXPECT_FALSE(first->anotherInstanceRunning());
    EXPECT_TRUE(platform::SingleInstance(folder).anotherInstanceRunning());
    first.reset();
    EXPECT_FALSE(platform::SingleInstance(folder).anotherInstanceRunning());
}

}  // namespace

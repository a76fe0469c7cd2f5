#include <gtest/gtest.h>

#include <QFile>
#include <QFileInfo>
#include <optional>

#include "platform/QtSettingsStore.h"
#include "platform/SingleInstance.h"

namespace {

std::string configFolder(const std::string& app) {
    return qEnvironmentVariable("XDG_CONFIG_HOME").toStdString() + "/" + app;
}

TEST(SettingsStoreTest, valuesGoToTheUsersIniFileAndANewStoreReadsThemBackUnchanged) {
    for (const std::string text : {"3", "a, b", "say \"x\"", "Gr\xFCn", " padded "}) {
        platform::QtSettingsStore("VolcrestoneStoreTest").write("Config", "Port", text);
        platform::QtSettingsStore("VolcrestoneStoreTest").write("Plot", "Port", "1");
        platform::QtSettingsStore again("VolcrestoneStoreTest");
        EXPECT_EQ(again.read("Config", "Port", ""), text);
        EXPECT_EQ(again.read("Plot", "Port", ""), "1");
        EXPECT_EQ(again.read("Nowhere", "Port", "F"), "F");
    }
    QFile file(
        QString::fromStdString(configFolder("VolcrestoneStoreTest") + "/VolcrestoneStoreTest.ini"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_TRUE(file.readAll().contains("[Plot]\nPort=1"));
}

TEST(SingleInstanceTest, aSecondInstanceSeesTheFirstUntilItEnds) {
    const std::string folder = configFolder("VolcrestoneLockTest");
    std::optional<platform::SingleInstance> first(folder);
    EXPECT_FALSE(first->anotherInstanceRunning());
    EXPECT_TRUE(QFileInfo::exists(QString::fromStdString(folder + "/volcrestone.lock")));
    EXPECT_TRUE(platform::SingleInstance(folder).anotherInstanceRunning());
    first.reset();
    EXPECT_FALSE(platform::SingleInstance(folder).anotherInstanceRunning());
}

}  // namespace

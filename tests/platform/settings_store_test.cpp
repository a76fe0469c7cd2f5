#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <memory>

#include "platform/QtSettingsStore.h"
#include "platform/SingleInstance.h"

namespace {

std::string fileText(const std::string& path) {
    QFile file(QString::fromLocal8Bit(path));
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    return file.readAll().toStdString();
}

TEST(SettingsStoreTest, aWrittenValueIsInTheApplicationsIniFileInTheUsersConfigFolder) {
    platform::QtSettingsStore store("VolcrestoneStoreTest");
    store.write("Config", "Port", "3");
    const std::string expectedFolder =
        qEnvironmentVariable("XDG_CONFIG_HOME").toStdString() + "/VolcrestoneStoreTest";
    EXPECT_EQ(store.folder(), expectedFolder);
    const std::string text = fileText(expectedFolder + "/VolcrestoneStoreTest.ini");
    EXPECT_NE(text.find("[Config]"), std::string::npos) << text;
    EXPECT_NE(text.find("Port=3"), std::string::npos) << text;
}

TEST(SettingsStoreTest, aNewStoreReadsWhatAnEarlierOneWrote) {
    {
        platform::QtSettingsStore first("VolcrestoneReopenTest");
        first.write("Realtime", "TempUnit", "C");
    }
    platform::QtSettingsStore second("VolcrestoneReopenTest");
    EXPECT_EQ(second.read("Realtime", "TempUnit", "F"), "C");
}

TEST(SettingsStoreTest, aMissingKeyReadsTheFallback) {
    platform::QtSettingsStore store("VolcrestoneFallbackTest");
    EXPECT_EQ(store.read("Config", "Port", "1"), "1");
    EXPECT_EQ(store.read("Nowhere", "Nothing", ""), "");
}

TEST(SettingsStoreTest, sectionsKeepTheirOwnKeys) {
    platform::QtSettingsStore store("VolcrestoneSectionTest");
    store.write("Config", "Color", "1");
    store.write("Plot", "Color", "2");
    EXPECT_EQ(store.read("Config", "Color", ""), "1");
    EXPECT_EQ(store.read("Plot", "Color", ""), "2");
}

TEST(SettingsStoreTest, textsWithCommasQuotesAndLatin1LettersComeBackUnchanged) {
    platform::QtSettingsStore store("VolcrestoneTextTest");
    const std::string texts[] = {"16777215", "True", "a, b", "say \"x\"", "Gr\xFCn", " padded "};
    for (const std::string& text : texts) {
        store.write("Plot", "GridColor", text);
        platform::QtSettingsStore again("VolcrestoneTextTest");
        EXPECT_EQ(again.read("Plot", "GridColor", ""), text);
    }
}

TEST(SingleInstanceTest, aSecondInstanceSeesTheFirstUntilItEnds) {
    const std::string folder =
        qEnvironmentVariable("XDG_CONFIG_HOME").toStdString() + "/VolcrestoneLockTest";
    auto first = std::make_unique<platform::SingleInstance>(folder);
    EXPECT_FALSE(first->anotherInstanceRunning());
    EXPECT_TRUE(QFileInfo::exists(QString::fromStdString(folder + "/volcrestone.lock")));
    {
        platform::SingleInstance second(folder);
        EXPECT_TRUE(second.anotherInstanceRunning());
    }
    first.reset();
    platform::SingleInstance third(folder);
    EXPECT_FALSE(third.anotherInstanceRunning());
}

}  // namespace

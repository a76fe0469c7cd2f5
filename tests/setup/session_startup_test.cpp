#include "setup/SessionFixture.h"
#include "tune/SettingsText.h"

namespace setup_test {
namespace {

using Icon = platform::MessageBox::Icon;
using tune::Edition;

struct EditionStart {
    Edition edition;
    const char* defaultDir;
    const char* appName;
};

class SessionStartupByEdition : public SessionTest,
                                public ::testing::WithParamInterface<EditionStart> {};

TEST_P(SessionStartupByEdition, keepsTheStartupSettingsTextAsSavedAndOpensInTheRightFolder) {
    setup::Session& s = start(GetParam().edition);
    EXPECT_EQ(s.savedSettings(), tune::settingStr(tune::Tune::startup(GetParam().edition)));
    EXPECT_FALSE(s.hasUnsavedChanges());
    EXPECT_EQ(s.defaultDir(), GetParam().defaultDir);
    EXPECT_EQ(s.edition().appName, GetParam().appName);
    EXPECT_GE(view.tuneShown, 1);
}

INSTANTIATE_TEST_SUITE_P(
    AllEditions, SessionStartupByEdition,
    ::testing::Values(EditionStart{Edition::RUK, "/home/tuner", "Volcrestone"},
                      EditionStart{Edition::BEL, "/work/current", "Volcrestone"},
                      EditionStart{Edition::ZAV, "/work/current", "Volcrestone"},
                      EditionStart{Edition::QOLT, "/work/current", "Ferrodyn"}));

TEST_F(SessionTest, belStartupSettingsTextIsTheTwelveDefaultLines) {
    setup::Session& s = start(Edition::BEL);
    // The file minus its header and the final line end is the settings text.
    const std::string body = kBelStartupFile.substr(kBelStartupFile.find("\r\n") + 2);
    EXPECT_EQ(s.savedSettings(), body.substr(0, body.size() - 2));
}

struct StoredPort {
    const char* stored;  // nullptr: nothing stored yet
    int opened;
};

class SessionStartupPort : public SessionTest, public ::testing::WithParamInterface<StoredPort> {};

TEST_P(SessionStartupPort, opensTheRememberedPortOrCom1AndChecksIt) {
    if (GetParam().stored != nullptr) {
        store.values[{"Config", "Port"}] = GetParam().stored;
    }
    setup::Session& s = start();
    ASSERT_EQ(port.openedNumbers.size(), 1u);
    EXPECT_EQ(port.openedNumbers[0], GetParam().opened);
    EXPECT_EQ(s.checkedPort(), GetParam().opened);
    EXPECT_EQ(store.read("Config", "Port", "?"), std::to_string(GetParam().opened));
}

INSTANTIATE_TEST_SUITE_P(StoredValues, SessionStartupPort,
                         ::testing::Values(StoredPort{nullptr, 1}, StoredPort{"7", 1},
                                           StoredPort{"3", 3}, StoredPort{"4", 4},
                                           StoredPort{"0", 1}, StoredPort{"-2", 1},
                                           StoredPort{"2.5", 2}, StoredPort{"3.5", 4},
                                           StoredPort{" 2", 2}, StoredPort{"COM3", 1},
                                           StoredPort{"1e30", 1}));

TEST_F(SessionTest, startupWithAnOpenPortEnablesRealtimeAndUploadButNotSend) {
    setup::Session& s = start();
    EXPECT_TRUE(s.realtimeEnabled());
    EXPECT_TRUE(s.uploadEnabled());
    EXPECT_FALSE(s.downloadEnabled());
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(SessionTest, startupWhosePortFailsSaysCouldNotOpenAndDisablesTheButtons) {
    store.values[{"Config", "Port"}] = "3";
    port.openSucceeds = false;
    setup::Session& s = start();
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.last().text, "Could not open COM3");
    EXPECT_EQ(messages.last().title, "Volcrestone");
    EXPECT_EQ(messages.last().icon, Icon::Critical);
    EXPECT_FALSE(s.realtimeEnabled());
    EXPECT_FALSE(s.uploadEnabled());
    EXPECT_FALSE(s.downloadEnabled());
    EXPECT_EQ(s.checkedPort(), 3);
    EXPECT_EQ(store.read("Config", "Port", "?"), "3");
}

TEST_F(SessionTest, qoltPortFailureIsTitledWithItsOwnName) {
    port.openSucceeds = false;
    start(Edition::QOLT);
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.last().text, "Could not open COM1");
    EXPECT_EQ(messages.last().title, "Ferrodyn");
}

TEST_F(SessionTest, openingAPortUnloadsTheDashboardAndHidesTheNoResponseNotice) {
    start();
    view.dashboard = true;
    session->choosePort(2);
    EXPECT_GE(view.dashboardUnloads, 1);
    EXPECT_GE(view.noResponseHidden, 2);
    EXPECT_FALSE(view.dashboard);
}

}  // namespace
}  // namespace setup_test

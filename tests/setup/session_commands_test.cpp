#include <vector>

#include "setup/SessionFixture.h"

namespace setup_test {
namespace {

using Answer = platform::MessageBox::Answer;
using Buttons = platform::MessageBox::Buttons;
using Icon = platform::MessageBox::Icon;
using tune::Edition;

std::vector<std::uint8_t> bytes(std::initializer_list<int> values) {
    std::vector<std::uint8_t> out;
    for (int v : values) {
        out.push_back(static_cast<std::uint8_t>(v));
    }
    return out;
}

TEST_F(SessionTest, sendingWithThePortClosedSendsNothingAndSaysSo) {
    port.openSucceeds = false;
    start();
    session->saveSettings();  // cancelled, but it enables the send button all the same
    messages.shown.clear();
    port.clearWritten();
    session->sendToController();
    EXPECT_TRUE(port.written.empty());
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.last().text, "COM1 is not open. Nothing was sent.");
    EXPECT_EQ(messages.last().title, "Volcrestone");
    EXPECT_EQ(messages.last().icon, Icon::Critical);
}

TEST_F(SessionTest, sendingTheStartupTuneWritesTheImageThenStoresIt) {
    start();
    port.clearWritten();
    session->sendToController();
    ASSERT_GE(port.written.size(), 10u);
    const std::vector<std::uint8_t> head(port.written.begin(), port.written.begin() + 9);
    EXPECT_EQ(head, bytes({'W', 0, 16, 'W', 6, 20, 'W', 12, 140}));
    const std::vector<std::uint8_t> tail(port.written.end() - 4, port.written.end());
    EXPECT_EQ(tail, bytes({'W', 53, 0, 'B'}));
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.last().text, "Download Done!");
    EXPECT_EQ(messages.last().icon, Icon::Information);
}

TEST_F(SessionTest, anUnusableCylinderCountIsRefusedUnderItsOwnTitle) {
    start();
    session->tune().setOption(tune::Option::Stroke2, true);
    ASSERT_TRUE(session->tune().cylinders.selectText("6"));
    // Eight two-stroke cylinders only come from outside the editors (an image or old file).
    session->tune().cylinders.entries.push_back("8");
    ASSERT_TRUE(session->tune().cylinders.selectText("8"));
    port.clearWritten();
    session->sendToController();
    EXPECT_TRUE(port.written.empty());
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.last().text, "Verify the Cylinder Count");
    EXPECT_EQ(messages.last().title, "Can not Download!)");
    EXPECT_EQ(messages.last().icon, Icon::Critical);
}

struct Refused {
    const char* what;
    void (*edit)(tune::Tune&);
    const char* message;
};

class SessionSendRefusal : public SessionTest, public ::testing::WithParamInterface<Refused> {};

TEST_P(SessionSendRefusal, showsTheFirstBrokenRuleAndSendsNothing) {
    start(Edition::BEL);
    GetParam().edit(session->tune());
    port.clearWritten();
    session->sendToController();
    EXPECT_TRUE(port.written.empty());
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.last().text, GetParam().message);
    EXPECT_EQ(messages.last().title, "Can not Download!");
    EXPECT_EQ(messages.last().icon, Icon::Critical);
}

void baseTimingAtStatic(tune::Tune& edited) {
    edited.baseTiming[5] = "45";
}
void tpsFullAtStart(tune::Tune& edited) {
    edited.portedFullTPS = "1.0";
}
void rpmFullBelowStart(tune::Tune& edited) {
    edited.portedFullRPM = "1500";
}
void knockIncrementSet(tune::Tune& edited) {
    edited.knockIncr.select(1);
}

std::string refusalName(const ::testing::TestParamInfo<Refused>& refused) {
    return refused.param.what;
}

INSTANTIATE_TEST_SUITE_P(
    Rules, SessionSendRefusal,
    ::testing::Values(Refused{"baseTiming", baseTimingAtStatic,
                              "Base Timing must be less than Static Timing!"},
                      Refused{"tps", tpsFullAtStart, "TPS Start exceeds TPS Full!"},
                      Refused{"rpm", rpmFullBelowStart, "RPM Start exceeds RPM Full!"},
                      Refused{"knock", knockIncrementSet,
                              "\"Retard increase per knock detect\"\r\nmust be set to 0.0"}),
    refusalName);

TEST_F(SessionTest, loadFromControllerWithoutEditsAsksNothingAndSendsU) {
    start();
    port.clearWritten();
    session->loadFromController();
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_EQ(port.writtenText(), "U");
}

TEST_F(SessionTest, loadFromControllerWithAnEditAsksAndCancelSendsNothing) {
    start();
    session->tune().map[0] = "45";
    messages.answers.push_back(Answer::Cancel);
    port.clearWritten();
    session->loadFromController();
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.last().text,
              "The settings have been changed but not saved!\n\nUploading will overwrite your "
              "changes!");
    EXPECT_EQ(messages.last().icon, Icon::Exclamation);
    EXPECT_EQ(messages.last().buttons, Buttons::OkCancel);
    EXPECT_TRUE(port.written.empty());
}

TEST_F(SessionTest, loadFromControllerWithAnEditAndOkSendsU) {
    start();
    session->tune().map[0] = "45";
    messages.answers.push_back(Answer::Ok);
    port.clearWritten();
    session->loadFromController();
    EXPECT_EQ(port.writtenText(), "U");
}

TEST_F(SessionTest, aCompletedUploadShowsTheTuneAllowsSendingAndSaysUploadDone) {
    start();
    session->loadFromController();
    std::vector<std::uint8_t> image(63, 0);
    image[45] = 120;  // rev limit 6000 rpm
    port.push(image);
    engine.tick();
    EXPECT_EQ(session->tune().rpmLimit, "6000");
    EXPECT_EQ(view.rpmLimit, 6000.0);
    EXPECT_TRUE(session->downloadAllowed());
    EXPECT_TRUE(session->downloadEnabled());
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.last().text, "Upload Done!");
    EXPECT_EQ(messages.last().title, "Volcrestone");
    EXPECT_EQ(messages.last().icon, Icon::Information);
}

TEST_F(SessionTest, anUploadCompletedWithTheDashboardVisibleLeavesSendDisabled) {
    start();
    session->loadFromController();
    view.dashboard = true;
    port.push(std::vector<std::uint8_t>(63, 0));
    engine.tick();
    EXPECT_TRUE(session->downloadAllowed());
    EXPECT_FALSE(session->downloadEnabled());
    session->setExchangeEnabled(true);
    EXPECT_TRUE(session->downloadEnabled());
}

TEST_F(SessionTest, anUploadAnsweredWith62BytesChangesNoField) {
    start();
    session->loadFromController();
    port.push(std::vector<std::uint8_t>(62, 0));
    for (int tick = 0; tick < 6; ++tick) {
        engine.tick();
    }
    EXPECT_FALSE(session->hasUnsavedChanges());
    EXPECT_FALSE(session->downloadAllowed());
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(SessionTest, choosingTheCheckedPortWhileOpenDoesNotReopenIt) {
    start();
    const int writes = store.writes;
    session->choosePort(1);
    EXPECT_EQ(port.openedNumbers.size(), 1u);
    EXPECT_EQ(port.closeCalls, 0);
    EXPECT_EQ(store.writes, writes);
}

TEST_F(SessionTest, choosingAnotherPortMovesTheCheckMarkAndOpensIt) {
    start();
    session->choosePort(4);
    EXPECT_EQ(session->checkedPort(), 4);
    EXPECT_EQ(port.openedNumbers.back(), 4);
    EXPECT_EQ(store.read("Config", "Port", "?"), "4");
    EXPECT_TRUE(port.isOpen());
}

TEST_F(SessionTest, choosingTheCheckedPortAfterAFailedOpenTriesAgain) {
    port.openSucceeds = false;
    start();
    port.openSucceeds = true;
    session->choosePort(1);
    EXPECT_EQ(port.openedNumbers.size(), 2u);
    EXPECT_TRUE(session->uploadEnabled());
    EXPECT_TRUE(session->realtimeEnabled());
}

TEST_F(SessionTest, aFailedPortChoiceKeepsTheCheckMarkAndTheStoredNumber) {
    start();
    port.openSucceeds = false;
    session->choosePort(2);
    EXPECT_EQ(session->checkedPort(), 2);
    EXPECT_EQ(store.read("Config", "Port", "?"), "2");
    EXPECT_EQ(messages.last().text, "Could not open COM2");
    EXPECT_FALSE(session->uploadEnabled());
}

TEST_F(SessionTest, aPortOutsideOneToFourIsIgnored) {
    start();
    session->choosePort(5);
    session->choosePort(0);
    EXPECT_EQ(port.openedNumbers.size(), 1u);
    EXPECT_EQ(session->checkedPort(), 1);
}

TEST_F(SessionTest, aVanishedPortIsReportedOnceAndChoosingItAgainReopensIt) {
    store.values[{"Config", "Port"}] = "2";
    start();
    port.vanish();
    session->portLost();
    session->portLost();
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.last().text, "COM2 was disconnected.");
    EXPECT_EQ(messages.last().icon, Icon::Critical);
    EXPECT_FALSE(session->realtimeEnabled());
    EXPECT_FALSE(session->uploadEnabled());
    EXPECT_FALSE(session->downloadEnabled());
    session->choosePort(2);
    EXPECT_TRUE(port.isOpen());
    EXPECT_TRUE(session->uploadEnabled());
}

TEST_F(SessionTest, aVanishedPortEndsRealtimeMode) {
    start();
    session->realtime();
    port.vanish();
    session->portLost();
    EXPECT_FALSE(view.dashboard);
    EXPECT_FALSE(session->uploadEnabled());
}

TEST_F(SessionTest, dashLocksTheExchangeButtonsAndStartsRealtime) {
    start();
    session->saveSettings();
    session->realtime();
    EXPECT_EQ(view.realtimeStarts, 1);
    EXPECT_FALSE(session->uploadEnabled());
    EXPECT_FALSE(session->downloadEnabled());
    session->setExchangeEnabled(true);
    EXPECT_TRUE(session->uploadEnabled());
    EXPECT_TRUE(session->downloadEnabled());
}

TEST_F(SessionTest, dashDuringAReplayOnlyShowsTheDashboard) {
    start();
    view.replay = true;
    session->realtime();
    EXPECT_EQ(view.dashboardShows, 1);
    EXPECT_EQ(view.realtimeStarts, 0);
    EXPECT_TRUE(session->uploadEnabled());
}

TEST_F(SessionTest, savingDuringRealtimeKeepsSendLockedUntilRealtimeEnds) {
    start();
    session->realtime();
    session->saveSettings();
    EXPECT_TRUE(session->downloadAllowed());
    EXPECT_FALSE(session->downloadEnabled());
    session->setExchangeEnabled(true);
    EXPECT_TRUE(session->downloadEnabled());
}

}  // namespace
}  // namespace setup_test

// The Session's dealings with the port and the controller: start-up, port choice, send, load.
#include <vector>

#include "setup/SessionFixture.h"
#include "tune/SettingsText.h"

namespace setup_test {
namespace {

using Bytes = std::vector<std::uint8_t>;

TEST_F(SessionTest, startsWithTheStartupTuneAsSavedAndRukAloneOpensTheHomeFolder) {
    for (const auto edition : {tune::Edition::RUK, tune::Edition::BEL, tune::Edition::QOLT}) {
        setup::Session& s = start(edition);
        EXPECT_EQ(s.savedSettings(), tune::settingStr(tune::Tune::startup(edition)));
        EXPECT_FALSE(s.hasUnsavedChanges());
        EXPECT_EQ(s.defaultDir(), edition == tune::Edition::RUK ? "/home/tuner" : "/work/current");
    }
}

TEST_F(SessionTest, startupOpensTheRememberedPortOrCom1AndEnablesAllButSend) {
    const std::pair<const char*, int> rows[] = {{nullptr, 1}, {"3", 3},    {"4", 4},   {"7", 1},
                                                {"0", 1},     {"-2", 1},   {"2.5", 2}, {"3.5", 4},
                                                {" 2", 2},    {"COM3", 1}, {"1e30", 1}};
    for (const auto& [stored, opened] : rows) {
        SCOPED_TRACE(stored == nullptr ? "nothing stored" : stored);
        store.values.clear();
        if (stored != nullptr)
            store.values[{"Config", "Port"}] = stored;
        setup::Session& s = start();
        EXPECT_EQ(port.openedNumbers.back(), opened);
        EXPECT_EQ(s.checkedPort(), opened);
        EXPECT_EQ(store.read("Config", "Port", "?"), std::to_string(opened));
        EXPECT_TRUE(s.realtimeEnabled() && s.uploadEnabled() && !s.downloadEnabled());
        EXPECT_TRUE(messages.shown.empty());
    }
}

TEST_F(SessionTest, choosingTheOpenPortAgainOrOneOutsideOneToFourDoesNothing) {
    start();
    for (int n : {1, 5, 0})
        session->choosePort(n);
    EXPECT_EQ(port.openedNumbers, std::vector<int>{1});
    EXPECT_EQ(port.closeCalls, 0);
    EXPECT_EQ(session->checkedPort(), 1);
}

TEST_F(SessionTest, aPortThatFailsIsNamedStaysCheckedAndRememberedAndChoosingItAgainRetries) {
    store.values[{"Config", "Port"}] = "3";
    port.openSucceeds = false;
    setup::Session& s = start();
    expectOnlyMessage("Could not open COM3", Icon::Critical);
    EXPECT_EQ(messages.last().title, "Volcrestone");
    EXPECT_FALSE(s.realtimeEnabled() || s.uploadEnabled());
    view.dashboard = true;
    s.choosePort(4);
    EXPECT_EQ(s.checkedPort(), 4);
    EXPECT_EQ(store.read("Config", "Port", "?"), "4");
    EXPECT_EQ(messages.last().text, "Could not open COM4");
    port.openSucceeds = true;
    s.choosePort(4);
    EXPECT_EQ(port.openedNumbers, (std::vector<int>{3, 4, 4}));
    EXPECT_TRUE(s.uploadEnabled() && s.realtimeEnabled());
    EXPECT_FALSE(view.dashboard);
}

TEST_F(SessionTest, aVanishedPortIsReportedOnceEndsRealtimeAndCanBeChosenAgain) {
    store.values[{"Config", "Port"}] = "2";
    start();
    session->realtime();
    port.vanish();
    session->portLost();
    session->portLost();
    expectOnlyMessage("COM2 was disconnected.", Icon::Critical);
    EXPECT_FALSE(view.dashboard || session->realtimeEnabled() || session->uploadEnabled());
    session->choosePort(2);
    EXPECT_TRUE(port.isOpen() && session->uploadEnabled());
}

TEST_F(SessionTest, sendingWithThePortClosedSendsNothingAndSaysSo) {
    port.openSucceeds = false;
    start();
    session->saveSettings();  // cancelled, but it enables the send button all the same
    ASSERT_TRUE(session->downloadEnabled());
    messages.shown.clear();
    session->sendToController();
    EXPECT_TRUE(port.written.empty());
    expectOnlyMessage("COM1 is not open. Nothing was sent.", Icon::Critical);
}

TEST_F(SessionTest, sendingWritesTheImageThenStoresItOrRefusesABrokenTune) {
    start();
    session->tune().baseTiming[5] = "45";
    session->sendToController();
    EXPECT_TRUE(port.written.empty());
    EXPECT_EQ(messages.last().text, "Base Timing must be less than Static Timing!");
    EXPECT_EQ(messages.last().title, "Can not Download!");
    EXPECT_EQ(messages.last().icon, Icon::Critical);
    session->tune().baseTiming[5] = "30";
    session->sendToController();
    ASSERT_EQ(port.written.size(), 53u * 3 + 1);
    EXPECT_EQ(Bytes(port.written.end() - 4, port.written.end()), (Bytes{'W', 53, 0, 'B'}));
    EXPECT_EQ(messages.last().text, "Download Done!");
    EXPECT_EQ(messages.last().icon, Icon::Information);
}

TEST_F(SessionTest, loadFromControllerAsksFirstOnlyAfterAnEditAndOnlyOkSendsU) {
    start();
    session->loadFromController();
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_EQ(port.writtenText(), "U");
    for (int tick = 0; tick < 6; ++tick)  // unanswered: the engine gives up
        engine.tick();
    port.clearWritten();
    session->tune().map[0] = "45";
    messages.answers = {Answer::Cancel, Answer::Ok};
    session->loadFromController();
    EXPECT_TRUE(port.written.empty());
    EXPECT_EQ(messages.last().text,
              "The settings have been changed but not saved!\n\nUploading will overwrite your "
              "changes!");
    EXPECT_EQ(messages.last().icon, Icon::Exclamation);
    EXPECT_EQ(messages.last().buttons, Buttons::OkCancel);
    session->loadFromController();
    EXPECT_EQ(port.writtenText(), "U");
}

TEST_F(SessionTest, aCompletedUploadShowsTheTuneAllowsSendingAndSaysUploadDone) {
    start();
    session->loadFromController();
    Bytes image(63, 0);
    image[45] = 120;  // rev limit 6000 rpm
    port.push(image);
    engine.tick();
    EXPECT_EQ(session->tune().rpmLimit, "6000");
    EXPECT_EQ(view.rpmLimit, 6000.0);
    EXPECT_TRUE(session->downloadEnabled());
    expectOnlyMessage("Upload Done!", Icon::Information);
}

TEST_F(SessionTest, anUploadAnsweredWith62BytesChangesNoField) {
    start();
    session->loadFromController();
    port.push(Bytes(62, 0));
    for (int tick = 0; tick < 6; ++tick)
        engine.tick();
    EXPECT_FALSE(session->hasUnsavedChanges() || session->downloadAllowed());
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(SessionTest, dashLocksSendAndUploadUntilRealtimeEndsEvenAfterAnUploadOrSave) {
    start();
    session->realtime();
    EXPECT_EQ(view.realtimeStarts, 1);
    session->loadFromController();  // the windows' buttons are locked, the Session is not
    port.push(Bytes(63, 0));
    engine.tick();
    session->saveSettings();
    EXPECT_TRUE(session->downloadAllowed());
    EXPECT_FALSE(session->uploadEnabled() || session->downloadEnabled());
    session->setExchangeEnabled(true);
    EXPECT_TRUE(session->uploadEnabled() && session->downloadEnabled());
}

}  // namespace
}  // namespace setup_test

// The whole program built with fake platform services, its windows driven with Qt Test: the
// link window's buttons, what the engine reports, the About box, the firmware update window, the
// plot window and closing the Setup window.
#include <QIcon>
#include <QListWidget>

#include "comlink/ui/S19Window.h"
#include "dialogs/ui/About.h"
#include "gui/ProgramTest.h"
#include "plot/ui/Plot.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

class ProgramWindows : public guitest::ProgramTest {
protected:
    ProgramWindows() { start(); }

    bool noCommShown() { return program->noComm().isVisible(); }
};

TEST_F(ProgramWindows, startUpShowsTheLinkWindowsCellsAndNoCommAfterSilentTicksUntilAByteComes) {
    comlink::SerialWindow& window = program->serialWindow();
    EXPECT_FALSE(noCommShown());
    const QIcon icon = setupWindow().windowIcon();
    EXPECT_EQ(icon.availableSizes(),
              QList<QSize>({QSize(16, 16), QSize(32, 32), QSize(48, 48), QSize(64, 64)}));
    const guitest::Caption cells[] = {{"Label20", "Timing Controller"},
                                      {"lblModeTitle", "MODE"},
                                      {"lblMode", "0"},
                                      {"lblName0", "secl"},
                                      {"lblName12", "rpm_hi"},
                                      {"lblName29", "bspot3"}};
    expectTexts(window, "Volcrestone Interface", cells);
    click(window, "cmdC");
    ticks(5);  // the engine's tests count the five
    comlink::NoCommWindow& notice = program->noComm();
    EXPECT_TRUE(notice.isVisible() && !notice.isModal());
    const guitest::Caption texts[] = {{"Label1", "No Response from Controller!"},
                                      {"Command1", "OK"}};
    expectTexts(notice, "Volcrestone", texts);
    Bytes block(30, 7);  // the block @ asks for, after the byte that ends the notice
    block[1] = 10;
    port.push(Bytes{0x42});
    ticks(1);
    click(window, "cmdAt");
    port.push(block);
    ticks(1);
    EXPECT_EQ(text(window, "lbValue0") + " " + text(window, "lbValue1"), "7 $0A");
    click(window, "cmdQ");
    ticks(1);
    EXPECT_EQ(text(window, "lblMode"), "81");
    notice.showAndRaise();
    click(notice, "Command1");
    EXPECT_FALSE(noCommShown());
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    EXPECT_FALSE(window.close());  // closing the link window only minimises it
    EXPECT_TRUE(window.isVisible() && window.isMinimized() && port.isOpen());
}

TEST_F(ProgramWindows, linkButtonsCarryTheirCaptionAndSendTheirCommand) {
    // Monitoring goes on until N stops it; every other command gives up unanswered.
    const std::tuple<const char*, const char*, const char*> buttons[] = {
        {"cmdQ", "Q: REVNUM", "Q"}, {"cmdM", "M: Mon On", "M"},        {"cmdN", "N: Mon Off", "N"},
        {"cmdU", "U: Upload", "U"}, {"cmdBoot", "!: Bootloader", "!"}, {"cmdAt", "@: Vars", "@"},
        {"cmdC", "C: SECL", "C"}};
    for (const auto& [name, caption, sent] : buttons) {
        SCOPED_TRACE(name);
        EXPECT_EQ(text(program->serialWindow(), name), caption);
        port.clearWritten();
        click(program->serialWindow(), name);
        EXPECT_EQ(port.writtenText(), sent);
        ticks(6);
    }
}

TEST_F(ProgramWindows, aboutAsksOnceForTheRevisionAndAfreshAfterOkWithoutNoCommWhileItShows) {
    EXPECT_EQ(program->about().window(), nullptr);  // built when first asked for
    menu("mAbout");
    ASSERT_NE(program->about().window(), nullptr);
    dialogs::About& about = *program->about().window();
    const guitest::Caption texts[] = {{"lblAppName", "Volcrestone"},
                                      {"Label1", "Timing  Controller TEST ver3."},
                                      {"lblVersion", "Version 1.0.0 BEL"},
                                      {"mOK", "OK"}};
    expectTexts(about, "About", texts);
    menu("mAbout");  // up already: only comes to the front
    EXPECT_TRUE(about.isVisible());
    port.push(Bytes{0xAB});
    ticks(1);
    EXPECT_EQ(text(about, "lblFirmware"), "Firmware RevNum: AB");
    click(about, "mOK");
    menu("mAbout");
    EXPECT_EQ(port.writtenText(), "QQ");
    ticks(6);  // unanswered while the box shows: it keeps "??" and no notice comes up
    EXPECT_EQ(text(about, "lblFirmware"), "Firmware RevNum: ??");
    EXPECT_FALSE(noCommShown());
}

TEST_F(ProgramWindows, aFirmwareUpdateRunsFromDownLoadToDoneWithTheSetupButtonsHeldUntilItCloses) {
    // The dialogue itself, word for word, is the bootloader's tests' business.
    const auto answer = [&](std::initializer_list<const char*> replies) {
        for (const char* reply : replies) {
            port.pushText(reply);
            ticks(1);
        }
    };
    menu("mS19");
    comlink::S19Window* window = program->firmwareWindow();
    ASSERT_TRUE(window != nullptr && window->isVisible());
    const guitest::Caption texts[] = {{"tbPath", "Volcrestone.s19"},
                                      {"cmdDownLoad", "DOWN LOAD"},
                                      {"Label1", "Lines:"},
                                      {"lblLines", ""}};
    expectTexts(*window, "Firmware Update", texts);
    EXPECT_FALSE(enabled(setupWindow(), "cmdUpload") || enabled(setupWindow(), "cmdDownLoad") ||
                 enabled(setupWindow(), "cmdRealtime"));

    const QTemporaryDir folder;
    std::ofstream(folder.filePath("fw.s19").toStdString()) << "S1050000AA55FB\nS9030000FC\n";
    in<QLineEdit>(*window, "tbPath")->setText(folder.filePath("fw.s19"));
    click(*window, "cmdDownLoad");
    EXPECT_FALSE(enabled(*window, "cmdDownLoad"));
    EXPECT_GE(pump.calls, 1) << "the press lets pending events run before opening the file";
    clock.advance(2);
    answer({"", "\r\nBoot>", "u - waiting ...", ""});
    EXPECT_EQ(text(*window, "lblLines"), "1");
    EXPECT_FALSE(window->close());
    EXPECT_TRUE(window->isVisible());

    // Nothing else may take the firmware file or the port while the lines go out.
    program->live().showLogReplay();
    program->live().showDashboard();
    click(program->live().replay(), "cmdLoadFile");
    click(program->live().dashboard(), "cmdLogData");
    menu("mCOM2");
    program->live().dashboard().close();
    EXPECT_TRUE(files.requests.empty());
    EXPECT_EQ(port.openedNumbers, std::vector<int>{1});
    ASSERT_EQ(messages.shown.size(), 3u);
    for (const auto& shown : messages.shown)
        EXPECT_EQ(std::tuple(shown.text, shown.title, shown.icon),
                  std::tuple("A firmware update is running. Wait until it has finished.",
                             "Volcrestone", platform::MessageBox::Icon::Critical));
    EXPECT_FALSE(enabled(setupWindow(), "cmdUpload") || enabled(setupWindow(), "cmdDownLoad") ||
                 enabled(setupWindow(), "cmdRealtime"));
    answer({""});
    EXPECT_EQ(text(*window, "lblLines"), "2");
    answer({"  Complete\r\nBoot>\r\nBoot>", ""});
    EXPECT_TRUE(enabled(*window, "cmdDownLoad"));
    auto* log = in<QListWidget>(*window, "List1");
    ASSERT_EQ(log->count(), 11);
    EXPECT_EQ(log->item(10)->text(), "Firmware Update Done!");
    EXPECT_TRUE(log->currentRow() == 10 && log->currentItem()->isSelected());

    menu("mS19");  // a loaded window only comes to the front
    EXPECT_EQ(std::pair(program->firmwareWindow(), log->count()), std::pair(window, 11));
    EXPECT_TRUE(window->close());
    QCoreApplication::processEvents();
    EXPECT_TRUE(enabled(setupWindow(), "cmdUpload") && enabled(setupWindow(), "cmdRealtime"));
    menu("mS19");  // loaded afresh
    EXPECT_EQ(in<QListWidget>(*program->firmwareWindow(), "List1")->count(), 0);
}

TEST_F(ProgramWindows, plot3DOpensOneWindowRaisesItUnchangedAndAfterCloseDrawsTheTuneAnew) {
    menu("mPlot3D");
    plot::Plot* first = program->plot().window();
    ASSERT_TRUE(first != nullptr && first->isVisible());
    const plot::Primitives drawn = first->timing().load();

    // An edit after opening does not reach the open window, and Plot3D only brings it forward.
    program->session().tune().baseTiming[0] = "40";
    menu("mPlot3D");
    EXPECT_EQ(program->plot().window(), first);
    EXPECT_EQ(first->timing().load(), drawn);

    colors.answers = {16711680u};
    click(*first, "cmdGridColor");
    first->close();
    EXPECT_EQ(program->plot().window(), nullptr);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    menu("mPlot3D");
    ASSERT_NE(program->plot().window(), nullptr);
    EXPECT_NE(program->plot().window()->timing().load(), drawn);
    EXPECT_EQ(program->plot().window()->timing().DrawSurface().front().color, 16711680u);

    const QPointer<plot::Plot> second = program->plot().window();
    program->unload();  // takes the open plot window first
    EXPECT_TRUE(second.isNull());
}

TEST_F(ProgramWindows, closingTheSetupWindowUnloadsEverythingUnlessTheCloseIsRefused) {
    QSignalSpy finished(program.get(), &app::Application::finished);
    program->session().tune().text(tune::Single::Static) = "33";
    messages.answers = {platform::MessageBox::Answer::Cancel, platform::MessageBox::Answer::No};
    EXPECT_FALSE(setupWindow().close());
    QCoreApplication::processEvents();
    EXPECT_EQ(finished.count(), 0);
    EXPECT_TRUE(port.isOpen() && setupWindow().isVisible() && program->serialWindow().isVisible());
    EXPECT_EQ(messages.shown.size(), 1u);  // the question to save, one answer per close
    EXPECT_TRUE(setupWindow().close());
    QCoreApplication::processEvents();
    EXPECT_EQ(std::pair(finished.count(), port.isOpen()), std::pair(qsizetype{1}, false));
    ticks(1);  // a tick after the end must not reach the unloaded windows
}

}  // namespace

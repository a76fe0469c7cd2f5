// The firmware update window in the whole program on fake platform services: opened from the
// S19 menu entry, driven with Qt Test through a whole update, closed and opened again.
#include <gtest/gtest.h>

#include <QAction>
#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <fstream>

#include "app/Application.h"
#include "comlink/ui/S19Window.h"
#include "setup/ui/Ignition.h"
#include "support/FakeProgram.h"

namespace {

class FirmwareWindow : public ::testing::Test, protected support::FakeServices {
protected:
    FirmwareWindow() { program.start(); }

    comlink::S19Window* openFromTheMenu() {
        program.ignition().findChild<QAction*>("mS19")->trigger();
        return program.firmwareWindow();
    }
    template <typename T>
    T* in(const char* name) {
        return program.firmwareWindow()->findChild<T*>(name);
    }
    QStringList logged() {
        QStringList lines;
        for (int i = 0; i < in<QListWidget>("List1")->count(); ++i)
            lines << in<QListWidget>("List1")->item(i)->text();
        return lines;
    }
    bool setupEnabled(const char* name) {
        return program.ignition().findChild<QPushButton*>(name)->isEnabled();
    }
    void tick(const std::string& answer = "") {
        port.pushText(answer);
        program.engine().tick();
    }

    QTemporaryDir folder;
    app::Application program{tune::editionInfo(tune::Edition::BEL), platform(), "/tmp"};
};

TEST_F(FirmwareWindow, anUpdateRunsFromDownLoadToDoneWithTheSetupButtonsHeldUntilTheWindowCloses) {
    EXPECT_TRUE(setupEnabled("cmdUpload") && setupEnabled("cmdRealtime"));
    comlink::S19Window* window = openFromTheMenu();
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(window->windowTitle(), "Firmware Update");
    EXPECT_EQ(in<QLineEdit>("tbPath")->text(), "Volcrestone.s19");
    EXPECT_EQ(in<QPushButton>("cmdDownLoad")->text(), "DOWN LOAD");
    EXPECT_EQ(in<QLabel>("Label1")->text(), "Lines:");
    EXPECT_EQ(in<QLabel>("lblLines")->text(), "");
    EXPECT_FALSE(setupEnabled("cmdUpload") || setupEnabled("cmdDownLoad") ||
                 setupEnabled("cmdRealtime"));

    const QString path = folder.filePath("fw.s19");
    std::ofstream(path.toStdString()) << "S1\nS9\n";
    in<QLineEdit>("tbPath")->setText(path);
    QTest::mouseClick(in<QPushButton>("cmdDownLoad"), Qt::LeftButton);
    EXPECT_FALSE(in<QPushButton>("cmdDownLoad")->isEnabled());
    EXPECT_GE(pump.calls, 1) << "the press lets pending events run before opening the file";
    clock.advance(2);
    tick();
    tick("\r\nBoot>");
    tick("u - waiting ...");
    EXPECT_EQ(in<QLabel>("lblLines")->text(), "0");
    tick();
    EXPECT_EQ(in<QLabel>("lblLines")->text(), "1");
    EXPECT_FALSE(window->close());
    EXPECT_TRUE(window->isVisible());
    tick();
    tick("  Complete\r\nBoot>\r\nBoot>");
    EXPECT_FALSE(in<QPushButton>("cmdDownLoad")->isEnabled());
    tick();
    EXPECT_TRUE(in<QPushButton>("cmdDownLoad")->isEnabled());
    EXPECT_EQ(port.writtenText(), "!\ruS1\rS9\rx");
    EXPECT_EQ(logged().size(), 11);
    EXPECT_EQ(logged()[3], "Got: \r\nBoot>");
    EXPECT_EQ(logged()[10], "Firmware Update Done!");
    EXPECT_EQ(in<QListWidget>("List1")->currentRow(), 10);
    EXPECT_TRUE(in<QListWidget>("List1")->currentItem()->isSelected());

    EXPECT_EQ(openFromTheMenu(), window);  // a loaded window only comes to the front
    EXPECT_EQ(logged().size(), 11);
    EXPECT_TRUE(window->close());
    QCoreApplication::processEvents();
    EXPECT_EQ(program.firmwareWindow(), nullptr);
    EXPECT_TRUE(setupEnabled("cmdUpload") && setupEnabled("cmdRealtime"));
    EXPECT_FALSE(setupEnabled("cmdDownLoad")) << "no Tune was uploaded, loaded or saved";
    openFromTheMenu();  // loaded afresh
    EXPECT_EQ(in<QLineEdit>("tbPath")->text(), "Volcrestone.s19");
    EXPECT_TRUE(logged().isEmpty() && in<QLabel>("lblLines")->text().isEmpty());
}

}  // namespace

#pragma once
// The whole program on fake platform services, and the moves a test makes in its windows.
#include <gtest/gtest.h>

#include <QAction>
#include <QPushButton>
#include <QTest>
#include <memory>
#include <span>
#include <string>
#include <utility>

#include "app/Application.h"
#include "comlink/ui/NoCommWindow.h"
#include "comlink/ui/SerialWindow.h"
#include "dash/ui/Realtime.h"
#include "setup/ui/Ignition.h"
#include "support/FakeProgram.h"

namespace guitest {

using Caption = std::pair<const char*, const char*>;  // a control's name and its text

class ProgramTest : public ::testing::Test, protected support::FakeServices {
protected:
    void start(tune::Edition edition = tune::Edition::BEL, const std::string& folder = "/tmp") {
        program.reset();
        program =
            std::make_unique<app::Application>(tune::editionInfo(edition), platform(), folder);
        program->start();
    }
    void ticks(int n) {
        for (int i = 0; i < n; ++i)
            program->engine().tick();
    }
    template <typename T = QWidget>
    static T* in(const QObject& window, const char* name) {
        return window.findChild<T*>(name);
    }
    static void click(const QObject& window, const char* name) {
        QTest::mouseClick(in<QAbstractButton>(window, name), Qt::LeftButton);
    }
    static QString text(const QObject& window, const char* name) {
        return in<QObject>(window, name)->property("text").toString();
    }
    // The window's title and, word for word, the text each named control shows.
    static void expectTexts(const QWidget& window, const char* title,
                            std::span<const Caption> texts) {
        EXPECT_EQ(window.windowTitle(), title);
        for (const auto& [name, shown] : texts)
            EXPECT_EQ(text(window, name), shown) << name;
    }
    static bool enabled(const QObject& window, const char* name) {
        return in(window, name)->isEnabled();
    }
    setup::Ignition& setupWindow() { return program->ignition(); }
    void menu(const char* name) { in<QAction>(setupWindow(), name)->trigger(); }

    std::unique_ptr<app::Application> program;
};

}  // namespace guitest

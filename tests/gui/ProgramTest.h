#pragma once
// The whole program on fake platform services, and the moves a test makes in its windows.
#include <gtest/gtest.h>

#include <QAction>
#include <QComboBox>
#include <QCoreApplication>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <fstream>
#include <memory>
#include <span>
#include <string>
#include <tuple>
#include <utility>

#include "app/Application.h"
#include "comlink/ui/NoCommWindow.h"
#include "comlink/ui/SerialWindow.h"
#include "dash/ui/File.h"
#include "dash/ui/Realtime.h"
#include "platform/display/TrendGraph.h"
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
    // What a control shows: a list its chosen entry, a panel its caption, the rest their text.
    static QString text(const QObject& window, const char* name) {
        const QObject* control = in<QObject>(window, name);
        return control
            ->property(qobject_cast<const QComboBox*>(control)   ? "currentText"
                       : qobject_cast<const QGroupBox*>(control) ? "title"
                                                                 : "text")
            .toString();
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
    dash::Realtime& dashboard() { return program->live().dashboard(); }
    platform::display::TrendGraph& graph(const char* name) {
        return *in<platform::display::TrendGraph>(dashboard(), name);
    }
    // A monitor block of zeros but for the counter and the given (position, value) bytes; the
    // first after "M" only synchronises.
    void arrive(int secl, std::initializer_list<std::pair<int, int>> bytes = {}) {
        std::vector<std::uint8_t> block(30, 0);
        block[0] = static_cast<std::uint8_t>(secl);
        for (const auto& [position, value] : bytes)
            block[static_cast<std::size_t>(position)] = static_cast<std::uint8_t>(value);
        port.push(block);
    }
    void frame(int secl, std::initializer_list<std::pair<int, int>> bytes = {}) {
        arrive(secl, bytes);
        ticks(1);
    }
    void menu(const char* name) { in<QAction>(setupWindow(), name)->trigger(); }

    std::unique_ptr<app::Application> program;
};

}  // namespace guitest

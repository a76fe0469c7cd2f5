#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <random>
#include <string>

#include "link/Engine.h"
#include "setup/Session.h"
#include "support/BelStartup.h"
#include "support/FakeDialogs.h"
#include "support/FakePlatform.h"
#include "support/FakeSerialPort.h"
#include "tune/Edition.h"

namespace setup_test {

using Answer = platform::MessageBox::Answer;
using Buttons = platform::MessageBox::Buttons;
using Icon = platform::MessageBox::Icon;

// Records what the Session asks of the windows; whether the Dashboard shows is scripted.
struct RecordingView : setup::SessionView {
    int tuneShown = 0;
    int noResponseHidden = 0;
    int realtimeStarts = 0;
    double rpmLimit = -1;
    bool dashboard = false;

    void showTune() override { ++tuneShown; }
    void hideNoResponse() override { ++noResponseHidden; }
    bool dashboardVisible() const override { return dashboard; }
    void unloadDashboard() override { dashboard = false; }
    void setRpmUpperLimit(double rpm) override { rpmLimit = rpm; }
    void startRealtime() override {
        ++realtimeStarts;
        dashboard = true;
    }
};

// Hands the engine's completed uploads to the Session, as the program's wiring does.
struct UploadRouter : link::EngineEvents {
    setup::Session* session = nullptr;
    void imageReceived(const link::RxBuffer& rx) override { session->imageReceived(rx); }
};

class SessionTest : public ::testing::Test {
protected:
    SessionTest() {
        std::filesystem::create_directories(folder);
        engine.setListener(&router);
    }
    ~SessionTest() override { std::filesystem::remove_all(folder); }

    // A new Session on the same port, store and dialogs; a test may start several in turn.
    setup::Session& start(tune::Edition edition = tune::Edition::BEL) {
        if (port.isOpen())
            port.close();
        messages.shown.clear();
        session = std::make_unique<setup::Session>(tune::editionInfo(edition), engine, port,
                                                   setup::Services{messages, files, store},
                                                   "/work/current", "/home/tuner");
        session->setView(&view);
        router.session = session.get();
        session->start();
        return *session;
    }

    // The one message box shown since the Session started (or since `messages.shown` was cleared).
    void expectOnlyMessage(const std::string& text, Icon icon) const {
        ASSERT_EQ(messages.shown.size(), 1u);
        EXPECT_EQ(messages.last().text, text);
        EXPECT_EQ(messages.last().icon, icon);
    }

    std::string path(const std::string& name) const { return (folder / name).string(); }
    void writeFile(const std::string& name, const std::string& content) const {
        std::ofstream(folder / name, std::ios::binary) << content;
    }
    std::string readFile(const std::string& name) const {
        std::ifstream in(folder / name, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }

    support::FakeSerialPort port;
    support::FakeClock clock;
    support::FakeEventPump pump{&port};
    link::Engine engine{port, clock, pump};
    support::FakeMessageBox messages;
    support::FakeFileDialog files;
    support::FakeSettingsStore store;
    RecordingView view;
    UploadRouter router;
    std::unique_ptr<setup::Session> session;
    const std::filesystem::path folder = std::filesystem::temp_directory_path() /
                                         ("session_test_" + std::to_string(std::random_device{}()));
};

}  // namespace setup_test

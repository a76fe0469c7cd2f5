#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <random>
#include <sstream>
#include <string>

#include "link/Engine.h"
#include "setup/Session.h"
#include "support/FakeDialogs.h"
#include "support/FakePlatform.h"
#include "support/FakeSerialPort.h"
#include "tune/Edition.h"

namespace setup_test {

// Records what the Session asks of the windows; the Dashboard and replay answers are scripted.
struct RecordingView : setup::SessionView {
    int tuneShown = 0;
    int commandsShown = 0;
    int noResponseHidden = 0;
    int dashboardUnloads = 0;
    int realtimeStarts = 0;
    int dashboardShows = 0;
    double rpmLimit = -1;
    bool dashboard = false;
    bool replay = false;

    void showTune() override { ++tuneShown; }
    void showCommands() override { ++commandsShown; }
    void hideNoResponse() override { ++noResponseHidden; }
    bool dashboardVisible() const override { return dashboard; }
    void unloadDashboard() override {
        ++dashboardUnloads;
        dashboard = false;
    }
    void setRpmUpperLimit(double rpm) override { rpmLimit = rpm; }
    void startRealtime() override {
        ++realtimeStarts;
        dashboard = true;
    }
    bool replayVisible() const override { return replay; }
    void showDashboard() override { ++dashboardShows; }
};

// Hands the engine's completed uploads to the Session, as the program's wiring does.
struct UploadRouter : link::EngineEvents {
    setup::Session* session = nullptr;
    void imageReceived(const link::RxBuffer& rx) override { session->imageReceived(rx); }
};

class SessionTest : public ::testing::Test {
protected:
    SessionTest() {
        folder = std::filesystem::temp_directory_path() /
                 ("session_test_" + std::to_string(std::random_device{}()) + "_" +
                  ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::remove_all(folder);
        std::filesystem::create_directories(folder);
        engine.setListener(&router);
    }
    ~SessionTest() override { std::filesystem::remove_all(folder); }

    setup::Session& start(tune::Edition edition = tune::Edition::BEL) {
        session = std::make_unique<setup::Session>(tune::editionInfo(edition), engine, port,
                                                   setup::Services{messages, files, store},
                                                   "/work/current", "/home/tuner");
        session->setView(&view);
        router.session = session.get();
        session->start();
        return *session;
    }

    std::string path(const std::string& name) const { return (folder / name).string(); }

    void writeFile(const std::string& name, const std::string& content) const {
        std::ofstream out(folder / name, std::ios::binary);
        out << content;
    }

    std::string readFile(const std::string& name) const {
        std::ifstream in(folder / name, std::ios::binary);
        std::ostringstream text;
        text << in.rdbuf();
        return text.str();
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
    std::filesystem::path folder;
};

// The settings file of the start-up Tune in Edition BEL.
inline const std::string kBelStartupFile =
    "Volcrestone Settings BEL v1\r\n"
    "#TRUE#,#FALSE#,\"4\",\"45.0\",#FALSE#\r\n"
    "\"8\",\"18\",\"24\",\"32\",\"32\",\"30\"\r\n"
    "\"1000\",\"2500\",\"3500\",\"4500\",\"5500\",\"6500\"\r\n"
    "\"+6\",\"+4\",\"+2\",\"0\",\"-2\",\"-5\"\r\n"
    "\"40\",\"60\",\"80\",\"100\",\"140\",\"160\"\r\n"
    "#FALSE#,#FALSE#,#TRUE#\r\n"
    "\"1.0\",\"1.5\",\"1500\",\"2000\"\r\n"
    "\"6\",\"300\",\"3\"\r\n"
    "\"RPM\",\"0\",\"RPM\",\"0\"\r\n"
    "\"1200\",\"** \",#TRUE#,#FALSE#\r\n"
    "#FALSE#,#TRUE#,\"Reset\",#FALSE#\r\n"
    "\"0.0\",#TRUE#,#FALSE#,\"25\"\r\n";

}  // namespace setup_test

// The built program as a process: its main() on the simulator, and the second-instance rule.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include "platform/SingleInstance.h"
#include "support/SimProcess.h"

namespace {

constexpr int kPatienceMs = 15000;

class ProgramProcess : public ::testing::Test {
protected:
    ProgramProcess() {
        auto env = QProcessEnvironment::systemEnvironment();
        env.insert("XDG_CONFIG_HOME", config.path());
        env.insert("QT_QPA_PLATFORM", "offscreen");
        env.insert("VOLCRESTONE_COM1", QString::fromStdString(sim.devicePath()));
        program.setProcessEnvironment(env);
        program.setProgram(VOLCRESTONE_APP_PATH);
    }
    ~ProgramProcess() override {
        if (program.state() != QProcess::NotRunning) {
            program.kill();
            program.waitForFinished();
        }
    }

    QTemporaryDir config;
    support::SimProcess sim;
    QProcess program;
};

TEST_F(ProgramProcess, startsOnTheSimulatorAndRemembersItsPort) {
    auto env = program.processEnvironment();
    env.insert("VOLCRESTONE_STARTUP_PROBE", "1");
    program.setProcessEnvironment(env);
    program.start();
    ASSERT_TRUE(program.waitForFinished(kPatienceMs));
    EXPECT_EQ(program.exitCode(), 0);
    EXPECT_EQ(program.readAllStandardOutput().trimmed(), "shown");

    QFile settings(QDir(config.path()).filePath("Volcrestone/Volcrestone.ini"));
    ASSERT_TRUE(settings.open(QIODevice::ReadOnly));
    const QByteArray text = settings.readAll();
    EXPECT_TRUE(text.contains("[Config]")) << text.toStdString();
    EXPECT_TRUE(text.contains("Port=1")) << text.toStdString();
}

TEST_F(ProgramProcess, aSecondInstanceEndsSilently) {
    const platform::SingleInstance first(
        QDir(config.path()).filePath("Volcrestone").toLocal8Bit().toStdString());
    ASSERT_FALSE(first.anotherInstanceRunning());
    program.start();
    ASSERT_TRUE(program.waitForFinished(kPatienceMs));
    EXPECT_EQ(program.exitCode(), 0);
    EXPECT_TRUE(program.readAllStandardOutput().isEmpty());
}

}  // namespace

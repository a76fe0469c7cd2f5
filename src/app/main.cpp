// The program: which Edition, which settings, which port, and the windows connected to them.
#include <QApplication>
#include <QDir>
#include <QTimer>
#include <cstdio>

#include "app/Application.h"
#include "platform/QtColorDialog.h"
#include "platform/QtFileDialog.h"
#include "platform/QtMessageBox.h"
#include "platform/QtSerialPort.h"
#include "platform/QtSettingsStore.h"
#include "platform/SingleInstance.h"
#include "platform/SystemClock.h"
#include "tune/Edition.h"

int main(int argc, char* argv[]) {
    QApplication qt(argc, argv);
    // The Setup window decides when the program ends; the link window is never really closed.
    qt.setQuitOnLastWindowClosed(false);

    // One instance per user for every Edition: two of them would fight over the same port.
    const auto lockOwner = tune::editionInfo(tune::defaultEdition()).appName;
    const platform::SingleInstance instance(platform::QtSettingsStore::folderOf(lockOwner));
    if (instance.anotherInstanceRunning())
        return 0;

    const QString commandLine = QCoreApplication::arguments().mid(1).join(QLatin1Char(' '));
    const tune::EditionInfo edition =
        tune::editionFromCommandLine(commandLine.toLatin1().toStdString());

    platform::QtSettingsStore store(edition.appName);
    platform::QtSerialPort port(store);
    platform::SystemClock clock;
    platform::QtEventPump events;
    platform::QtMessageBox messages;
    platform::QtFileDialog files;
    platform::QtColorDialog colors;

    app::Application program(edition, {port, store, clock, events, messages, files, colors},
                             QDir::currentPath().toLocal8Bit().toStdString());
    port.setOnVanished([&program] { program.session().portLost(); });
    QObject::connect(&program, &app::Application::finished, &qt, &QCoreApplication::quit);
    program.start();

    // Start-up timing probe for the benchmark: report once the windows are up, then leave.
    if (qEnvironmentVariableIsSet("VOLCRESTONE_STARTUP_PROBE")) {
        QTimer::singleShot(0, &qt, [&program, &qt] {
            std::puts("shown");
            std::fflush(stdout);
            program.unload();
            qt.quit();
        });
    }
    // Load probe for the benchmark: the DASH command as soon as the windows are up.
    if (qEnvironmentVariableIsSet("VOLCRESTONE_DASH_PROBE"))
        QTimer::singleShot(0, &program, [&program] { program.session().realtime(); });
    return qt.exec();
}

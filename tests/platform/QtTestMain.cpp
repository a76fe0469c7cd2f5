#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QTemporaryDir>

// Qt needs its application object for sockets, timers and settings; the user's configuration
// folder points into a fresh temporary folder so that no test touches real settings.
int main(int argc, char** argv) {
    QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit());
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QTemporaryDir>

// Sockets, timers and settings need Qt's application; a fresh config folder spares real settings.
int main(int argc, char** argv) {
    QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit());
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}

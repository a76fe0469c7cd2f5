// The real save dialog, answered by choosing a file in it.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QFile>
#include <QFileDialog>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTimer>

#include "platform/QtFileDialog.h"

namespace {

TEST(FileDialogTest, theSaveDialogOpensInTheGivenFolderAndTakesAnExistingFileWithoutAsking) {
    const QTemporaryDir folder;
    const QString existing = folder.filePath(QStringLiteral("tune.cfg"));
    QFile file(existing);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();

    QString openedIn;
    int questions = 0;
    // Watches every turn of the event loop: first for the dialog, then for a question box that
    // its accept() would open about replacing the file.
    QTimer watcher;
    watcher.setInterval(0);
    QObject::connect(&watcher, &QTimer::timeout, [&] {
        QWidget* modal = QApplication::activeModalWidget();
        if (auto* box = qobject_cast<QMessageBox*>(modal)) {
            ++questions;
            box->button(QMessageBox::Yes)->click();
        } else if (auto* dialog = qobject_cast<QFileDialog*>(modal); dialog && openedIn.isNull()) {
            openedIn = dialog->directory().absolutePath();
            dialog->selectFile(existing);
            // Queued, as a click on its Save button would come, so that the watcher keeps
            // running during a question the dialog might ask.
            QMetaObject::invokeMethod(dialog, "accept", Qt::QueuedConnection);
        }
    });
    watcher.start();
    const std::string chosen = platform::QtFileDialog().saveFile(
        "CFG Files (*.cfg)|*.cfg|All Files (*.*)|*.*", folder.path().toStdString());
    watcher.stop();
    EXPECT_EQ(openedIn, folder.path());
    EXPECT_EQ(chosen, existing.toStdString());
    EXPECT_EQ(questions, 0);
}

}  // namespace

// The real message box, save and load dialogs, answered by pressing their buttons or choosing a
// file.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QMessageBox>
#include <QPointer>
#include <QTemporaryDir>
#include <QTimer>
#include <QUrl>
#include <tuple>
#include <vector>

#include "platform/QtFileDialog.h"
#include "platform/QtMessageBox.h"

namespace {

using Box = platform::MessageBox;
using Q = QMessageBox;

TEST(MessageBoxTest, aBoxShowsTextTitleIconAndButtonsAndReturnsTheButtonPressed) {
    // The button pressed (NoButton: Escape), the icon Qt shows and the answer returned.
    const std::tuple<Box::Icon, Box::Buttons, Q::StandardButton, Q::Icon, Box::Answer> rows[] = {
        {Box::Icon::Critical, Box::Buttons::Ok, Q::Ok, Q::Critical, Box::Answer::Ok},
        {Box::Icon::Exclamation, Box::Buttons::OkCancel, Q::NoButton, Q::Warning,
         Box::Answer::Cancel},
        {Box::Icon::Exclamation, Box::Buttons::YesNoCancel, Q::No, Q::Warning, Box::Answer::No}};
    for (const auto& [icon, buttons, press, qtIcon, answer] : rows) {
        SCOPED_TRACE(static_cast<int>(press));
        std::string seen;
        QTimer::singleShot(0, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            ASSERT_NE(box, nullptr);
            seen = (box->windowTitle() + ": " + box->text()).toStdString();
            EXPECT_EQ(box->icon(), qtIcon);
            EXPECT_EQ(box->standardButtons().testFlag(Q::Cancel), buttons != Box::Buttons::Ok);
            press == Q::NoButton ? box->reject() : box->button(press)->click();
        });
        const Box::Answer given =
            platform::QtMessageBox().show("Could not open COM3", "Volcrestone", icon, buttons);
        EXPECT_EQ(std::tuple(given, seen), std::tuple(answer, "Volcrestone: Could not open COM3"));
    }
}

TEST(FileDialogTest, saveOpensInTheFolderAndTakesAFileWithoutAskingAndLoadListsTheHistoryFolder) {
    const QTemporaryDir folder;
    const QString history = folder.filePath(QStringLiteral("history"));
    const QString existing = folder.filePath(QStringLiteral("tune.cfg"));
    ASSERT_TRUE(QDir().mkdir(history) && QFile(existing).open(QIODevice::WriteOnly));

    std::vector<std::string> openedIn;
    bool listed = false;  // by the last dialog, the load dialog
    int questions = 0;
    // Watches every turn of the event loop: for each dialog, then for a question box that its
    // accept() would open about replacing the file.
    QPointer<QFileDialog> answered;
    QTimer watcher;
    QObject::connect(&watcher, &QTimer::timeout, [&] {
        QWidget* modal = QApplication::activeModalWidget();
        if (auto* box = qobject_cast<QMessageBox*>(modal)) {
            ++questions;
            box->button(QMessageBox::Yes)->click();
        } else if (auto* dialog = qobject_cast<QFileDialog*>(modal); dialog && dialog != answered) {
            answered = dialog;
            openedIn.push_back(dialog->directory().absolutePath().toStdString());
            listed = dialog->sidebarUrls().contains(QUrl::fromLocalFile(history));
            dialog->selectFile(existing);
            // Queued, as a click on its Save button would come, so that the watcher keeps
            // running during a question the dialog might ask.
            QMetaObject::invokeMethod(dialog, "accept", Qt::QueuedConnection);
        }
    });
    watcher.start(0);
    const std::string saved = platform::QtFileDialog().saveFile(
        "CFG Files (*.cfg)|*.cfg|All Files (*.*)|*.*", folder.path().toStdString());
    const std::string loaded = platform::QtFileDialog().openFileWithPlace(
        "CFG Files (*.cfg)|*.cfg", folder.path().toStdString(), history.toStdString());
    watcher.stop();
    EXPECT_EQ(std::tuple(openedIn, saved, loaded, listed, questions),
              std::tuple(std::vector<std::string>(2, folder.path().toStdString()),
                         existing.toStdString(), existing.toStdString(), true, 0));
}

}  // namespace

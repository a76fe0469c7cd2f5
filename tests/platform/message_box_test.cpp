#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTimer>

#include "platform/QtMessageBox.h"

namespace {

using Box = platform::MessageBox;

struct BoxCase {
    Box::Icon icon;
    Box::Buttons buttons;
    QMessageBox::StandardButton press;  // NoButton: the box is closed with Escape
    QMessageBox::Icon qtIcon;
    Box::Answer answer;
};

TEST(MessageBoxTest, aBoxShowsTextTitleIconAndButtonsAndReturnsTheButtonPressed) {
    using Q = QMessageBox;
    const BoxCase cases[] = {
        {Box::Icon::Critical, Box::Buttons::Ok, Q::Ok, Q::Critical, Box::Answer::Ok},
        {Box::Icon::Information, Box::Buttons::Ok, Q::Ok, Q::Information, Box::Answer::Ok},
        {Box::Icon::Exclamation, Box::Buttons::OkCancel, Q::NoButton, Q::Warning,
         Box::Answer::Cancel},
        {Box::Icon::Exclamation, Box::Buttons::YesNoCancel, Q::No, Q::Warning, Box::Answer::No},
        {Box::Icon::Exclamation, Box::Buttons::YesNoCancel, Q::Yes, Q::Warning, Box::Answer::Yes}};
    for (const BoxCase& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.press));
        QString seen;
        QTimer::singleShot(0, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            ASSERT_NE(box, nullptr);
            seen = box->windowTitle() + ": " + box->text();
            EXPECT_EQ(box->icon(), c.qtIcon);
            EXPECT_EQ(box->standardButtons().testFlag(Q::Cancel), c.buttons != Box::Buttons::Ok);
            c.press == Q::NoButton ? box->reject() : box->button(c.press)->click();
        });
        EXPECT_EQ(
            platform::QtMessageBox().show("Could not open COM3", "Volcrestone", c.icon, c.buttons),
            c.answer);
        EXPECT_EQ(seen, "Volcrestone: Could not open COM3");
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}

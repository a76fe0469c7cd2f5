// The real message box, answered by pressing its buttons.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTimer>
#include <tuple>

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
        QString seen;
        QTimer::singleShot(0, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            ASSERT_NE(box, nullptr);
            seen = box->windowTitle() + ": " + box->text();
            EXPECT_EQ(box->icon(), qtIcon);
            EXPECT_EQ(box->standardButtons().testFlag(Q::Cancel), buttons != Box::Buttons::Ok);
            press == Q::NoButton ? box->reject() : box->button(press)->click();
        });
        EXPECT_EQ(
            platform::QtMessageBox().show("Could not open COM3", "Volcrestone", icon, buttons),
            answer);
        EXPECT_EQ(seen, "Volcrestone: Could not open COM3");
    }
}

}  // namespace

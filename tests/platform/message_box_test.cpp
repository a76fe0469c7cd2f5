#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTimer>
#include <memory>

#include "platform/QtMessageBox.h"

namespace {

struct Seen {
    QString text;
    QString title;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QMessageBox::StandardButtons buttons;
};

class MessageBoxTest : public ::testing::Test {
protected:
    Seen show(const std::string& text, const std::string& title, platform::MessageBox::Icon icon,
              platform::MessageBox::Buttons buttons, QMessageBox::StandardButton press,
              platform::MessageBox::Answer& answer) {
        auto seen = std::make_shared<Seen>();
        QTimer::singleShot(0, [seen, press] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (box == nullptr) {
                return;
            }
            *seen = {box->text(), box->windowTitle(), box->icon(), box->standardButtons()};
            if (press == QMessageBox::NoButton) {
                box->reject();
            } else {
                box->button(press)->click();
            }
        });
        answer = boxes.show(text, title, icon, buttons);
        return *seen;
    }

    platform::QtMessageBox boxes;
};

TEST_F(MessageBoxTest, errorShowsTextTitleCriticalIconAndOk) {
    platform::MessageBox::Answer answer{};
    const Seen seen =
        show("Could not open COM3", "Volcrestone", platform::MessageBox::Icon::Critical,
             platform::MessageBox::Buttons::Ok, QMessageBox::Ok, answer);
    EXPECT_EQ(seen.text, "Could not open COM3");
    EXPECT_EQ(seen.title, "Volcrestone");
    EXPECT_EQ(seen.icon, QMessageBox::Critical);
    EXPECT_EQ(seen.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
    EXPECT_EQ(answer, platform::MessageBox::Answer::Ok);
}

TEST_F(MessageBoxTest, successShowsTheInformationIcon) {
    platform::MessageBox::Answer answer{};
    const Seen seen = show("Upload Done!", "Volcrestone", platform::MessageBox::Icon::Information,
                           platform::MessageBox::Buttons::Ok, QMessageBox::Ok, answer);
    EXPECT_EQ(seen.icon, QMessageBox::Information);
}

struct AnswerCase {
    platform::MessageBox::Buttons buttons;
    QMessageBox::StandardButton press;
    platform::MessageBox::Answer answer;
};

TEST_F(MessageBoxTest, questionsUseTheExclamationIconAndReturnTheButtonPressed) {
    using B = platform::MessageBox::Buttons;
    using A = platform::MessageBox::Answer;
    const AnswerCase cases[] = {
        {B::OkCancel, QMessageBox::Ok, A::Ok},
        {B::OkCancel, QMessageBox::Cancel, A::Cancel},
        {B::OkCancel, QMessageBox::NoButton, A::Cancel},
        {B::YesNoCancel, QMessageBox::Yes, A::Yes},
        {B::YesNoCancel, QMessageBox::No, A::No},
        {B::YesNoCancel, QMessageBox::Cancel, A::Cancel},
        {B::YesNoCancel, QMessageBox::NoButton, A::Cancel},
    };
    for (const AnswerCase& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.press));
        platform::MessageBox::Answer answer{};
        const Seen seen = show("Save changes?", "Volcrestone",
                               platform::MessageBox::Icon::Exclamation, c.buttons, c.press, answer);
        EXPECT_EQ(seen.icon, QMessageBox::Warning);
        EXPECT_EQ(answer, c.answer);
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

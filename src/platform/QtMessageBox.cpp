#include "platform/QtMessageBox.h"

#include <QMessageBox>

namespace platform {

namespace {

QMessageBox::Icon qtIcon(MessageBox::Icon icon) {
    switch (icon) {
        case MessageBox::Icon::Critical:
            return QMessageBox::Critical;
        case MessageBox::Icon::Information:
            return QMessageBox::Information;
        case MessageBox::Icon::Exclamation:
            return QMessageBox::Warning;
    }
    return QMessageBox::NoIcon;
}

QMessageBox::StandardButtons qtButtons(MessageBox::Buttons buttons) {
    switch (buttons) {
        case MessageBox::Buttons::Ok:
            return QMessageBox::Ok;
        case MessageBox::Buttons::OkCancel:
            return QMessageBox::Ok | QMessageBox::Cancel;
        case MessageBox::Buttons::YesNoCancel:
            return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    }
    return QMessageBox::Ok;
}

}  // namespace

MessageBox::Answer QtMessageBox::show(const std::string& text, const std::string& title, Icon icon,
                                      Buttons buttons) {
    QMessageBox box(qtIcon(icon), QString::fromLatin1(title), QString::fromLatin1(text),
                    qtButtons(buttons), parent_);
    switch (box.exec()) {
        case QMessageBox::Yes:
            return Answer::Yes;
        case QMessageBox::No:
            return Answer::No;
        case QMessageBox::Cancel:
            return Answer::Cancel;
        case QMessageBox::Ok:
            return Answer::Ok;
        default:
            // Closed some other way: no choice made, so nothing is to go ahead.
            return buttons == Buttons::Ok ? Answer::Ok : Answer::Cancel;
    }
}

}  // namespace platform

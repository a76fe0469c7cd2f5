#include "setup/ui/FieldEdit.h"

#include <QFocusEvent>
#include <QKeyEvent>

namespace setup {

FieldEdit::FieldEdit(bool tableCell, QWidget* parent) : QLineEdit(parent), tableCell_(tableCell) {}

void FieldEdit::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
        case Qt::Key_PageUp:
        case Qt::Key_PageDown:
            emit stepped(event->key() == Qt::Key_PageUp);
            event->accept();
            return;
        case Qt::Key_Left:
        case Qt::Key_Right:
            if (tableCell_) {
                emit moved(event->key() == Qt::Key_Right);
                event->accept();
                return;
            }
            break;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            QLineEdit::keyPressEvent(event);
            emit enterPressed();
            return;
        default:
            break;
    }
    QLineEdit::keyPressEvent(event);
}

void FieldEdit::focusOutEvent(QFocusEvent* event) {
    QLineEdit::focusOutEvent(event);
    // Another window coming to the front, or a menu opening, is not leaving the field: the
    // text stays as typed until the user moves on within this window.
    if (event->reason() != Qt::ActiveWindowFocusReason && event->reason() != Qt::PopupFocusReason) {
        emit left();
    }
}

}  // namespace setup

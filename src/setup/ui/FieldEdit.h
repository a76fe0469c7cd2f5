#pragma once

#include <QLineEdit>

namespace setup {

// A numeric field of the Setup window. It only reports the keys that the editing rules act on;
// the text itself is edited by QLineEdit as usual (no key is filtered).
class FieldEdit : public QLineEdit {
    Q_OBJECT

public:
    // Table cells take Left / Right to move between cells; single fields keep the caret keys.
    explicit FieldEdit(bool tableCell, QWidget* parent = nullptr);

signals:
    void stepped(bool up);  // PageUp (true) or PageDown
    void enterPressed();
    void moved(bool right);  // Left / Right in a table cell
    void left();             // the focus went to another control of this window

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    bool tableCell_;
};

}  // namespace setup

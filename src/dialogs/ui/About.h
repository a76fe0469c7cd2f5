#pragma once

#include <QDialog>

#include "comlink/Engine.h"
#include "tune/Edition.h"

class QLabel;

namespace dialogs {

// The About box: the program's name, version and Edition, and the connected controller's
// firmware revision, asked for each time the box is opened. OK only hides it again.
class About : public QDialog {
    Q_OBJECT
public:
    About(const tune::EditionInfo& edition, comlink::Engine& engine, QWidget* parent = nullptr);

    // The About menu entry: a hidden box forgets the old revision and asks again; a box that is
    // up already only comes to the front.
    void Display();
    // The revision line: two hexadecimal digits, "??" for a negative number.
    void SetRevNum(int revision);

private:
    comlink::Engine& engine_;
    QLabel* lblFirmware_ = nullptr;
};

}  // namespace dialogs

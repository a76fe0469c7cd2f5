#pragma once

#include <QDialog>
#include <string>

namespace comlink {

// The no-answer notice. It never blocks: the tick shows it when a command times out and hides it
// as soon as any byte arrives.
class NoCommWindow : public QDialog {
    Q_OBJECT
public:
    explicit NoCommWindow(const std::string& appName, QWidget* parent = nullptr);

    // Shown and brought to the front, also when it is up already.
    void showAndRaise();

signals:
    // The user pressed OK (the window has hidden itself). Realtime mode ends on this too.
    void acknowledged();
};

}  // namespace comlink

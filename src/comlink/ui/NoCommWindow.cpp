#include "comlink/ui/NoCommWindow.h"

#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace comlink {

NoCommWindow::NoCommWindow(const std::string& appName, QWidget* parent) : QDialog(parent) {
    setObjectName("NoComm");
    setWindowTitle(QString::fromLatin1(appName));
    setModal(false);

    auto* text = new QLabel("No Response from Controller!", this);
    text->setObjectName("Label1");
    text->setAlignment(Qt::AlignCenter);
    auto* ok = new QPushButton("OK", this);
    ok->setObjectName("Command1");
    ok->setDefault(true);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(24, 18, 24, 14);
    layout->setSpacing(14);
    layout->addWidget(text);
    layout->addWidget(ok, 0, Qt::AlignHCenter);

    connect(ok, &QPushButton::clicked, this, [this] {
        hide();
        emit acknowledged();
    });
}

void NoCommWindow::showAndRaise() {
    show();
    raise();
}

}  // namespace comlink

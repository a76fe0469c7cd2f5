#include "dialogs/ui/About.h"

#include <QLabel>
#include <QPushButton>
#include <algorithm>

#include "dialogs/AboutText.h"
#include "dialogs/ui/SparkPicture.h"
#include "platform/Twips.h"

namespace dialogs {

namespace {

// The box keeps the classic fixed layout, given in twips.
using platform::twipsRect;

// Placed as in the classic layout, but never narrower than its text: the desktop's font may be
// wider than the one the layout was drawn for.
QLabel* placedLabel(const char* name, const QString& text, const QRect& where, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    label->setGeometry(where);
    label->setMinimumWidth(label->sizeHint().width());
    return label;
}

}  // namespace

About::About(const tune::EditionInfo& edition, comlink::Engine& engine, QWidget* parent)
    : QDialog(parent), engine_(engine) {
    setObjectName("About");
    setWindowTitle("About");
    setModal(false);
    auto* picture = new SparkPicture(this);
    picture->setObjectName("Picture1");
    picture->setGeometry(twipsRect(240, 240, 495, 495));

    auto* appName = placedLabel("lblAppName", QString::fromLatin1(edition.appName),
                                twipsRect(960, 240, 1695, 375), this);
    QFont bold(appName->font());
    bold.setFamily("Sans Serif");
    bold.setPointSize(12);
    bold.setBold(true);
    appName->setFont(bold);

    // Right of the picture rather than under its corner, so the whole line stays readable.
    placedLabel("Label1", "Timing  Controller TEST ver3.", twipsRect(960, 615, 2175, 255), this);
    placedLabel("lblVersion", QString::fromLatin1(versionLine(edition.editionName)),
                twipsRect(240, 960, 2655, 255), this);
    lblFirmware_ = placedLabel("lblFirmware", QString(), twipsRect(240, 1200, 2655, 255), this);
    placedLabel("Label2", QString(), twipsRect(240, 1560, 2535, 255), this);

    auto* ok = new QPushButton("OK", this);
    ok->setObjectName("mOK");
    ok->setGeometry(twipsRect(840, 1920, 1455, 375));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QWidget::hide);

    SetRevNum(-1);
    // The classic size, grown where a label needed more room.
    const QSize classic = twipsRect(0, 0, 3135, 2535).size();
    const QRect used = childrenRect();
    setFixedSize(std::max(classic.width(), used.right() + 16),
                 std::max(classic.height(), used.bottom() + 12));
    ok->move((width() - ok->width()) / 2, ok->y());
}

void About::Display() {
    if (!isVisible()) {
        SetRevNum(-1);
        engine_.cmdQ();
        show();
    }
    raise();
    activateWindow();
}

void About::SetRevNum(int revision) {
    lblFirmware_->setText(QString::fromLatin1(revisionLine(revision)));
}

}  // namespace dialogs

#include "platform/QtFileDialog.h"

#include <QFileDialog>
#include <QUrl>

#include "platform/FileFilter.h"

namespace platform {

namespace {

QString qtFilter(const std::string& filter) {
    return QString::fromLatin1(qtFileFilter(filter));
}

std::string chosen(const QString& path) {
    return path.toLocal8Bit().toStdString();
}

}  // namespace

std::string QtFileDialog::openFile(const std::string& filter, const std::string& folder) {
    return chosen(QFileDialog::getOpenFileName(parent_, QString(), QString::fromLocal8Bit(folder),
                                               qtFilter(filter)));
}

std::string QtFileDialog::openFileWithPlace(const std::string& filter, const std::string& folder,
                                            const std::string& place) {
    QFileDialog dialog(parent_, QString(), QString::fromLocal8Bit(folder), qtFilter(filter));
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    if (!place.empty()) {
        QList<QUrl> places = dialog.sidebarUrls();
        places << QUrl::fromLocalFile(QString::fromLocal8Bit(place));
        dialog.setSidebarUrls(places);
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return chosen(dialog.selectedFiles().constFirst());
}

std::string QtFileDialog::saveFile(const std::string& filter, const std::string& folder) {
    // Choosing an existing file means replacing it; the save asks nothing more.
    return chosen(QFileDialog::getSaveFileName(parent_, QString(), QString::fromLocal8Bit(folder),
                                               qtFilter(filter), nullptr,
                                               QFileDialog::DontConfirmOverwrite));
}

}  // namespace platform

#include "platform/QtSettingsStore.h"

#include <QStandardPaths>
#include <QStringList>

namespace platform {

namespace {

QString keyPath(const std::string& section, const std::string& key) {
    return QString::fromLatin1(section) + QLatin1Char('/') + QString::fromLatin1(key);
}

}  // namespace

QtSettingsStore::QtSettingsStore(const std::string& appName)
    : settings_(QSettings::IniFormat, QSettings::UserScope, QString::fromLatin1(appName),
                QString::fromLatin1(appName)) {}

std::string QtSettingsStore::read(const std::string& section, const std::string& key,
                                  const std::string& fallback) const {
    const QVariant value = settings_.value(keyPath(section, key));
    if (!value.isValid()) {
        return fallback;
    }
    // A hand-edited value with an unquoted comma comes back as a list.
    if (value.userType() == QMetaType::QStringList) {
        return value.toStringList().join(QLatin1Char(',')).toLatin1().toStdString();
    }
    return value.toString().toLatin1().toStdString();
}

void QtSettingsStore::write(const std::string& section, const std::string& key,
                            const std::string& value) {
    // The Dashboard's start-up selects every stored option again, which stores it again: a
    // value already there costs no rewrite of the file.
    const QString path = keyPath(section, key);
    const QString text = QString::fromLatin1(value);
    const QVariant stored = settings_.value(path);
    if (stored.isValid() && stored.userType() == QMetaType::QString && stored.toString() == text)
        return;
    settings_.setValue(path, text);
    settings_.sync();
}

std::string QtSettingsStore::folderOf(const std::string& appName) {
    // Where QSettings puts a user's INI files: the configuration folder, then the organisation.
    const QString config = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    return (config + QLatin1Char('/') + QString::fromLatin1(appName)).toLocal8Bit().toStdString();
}

std::string QtSettingsStore::fileName() const {
    return settings_.fileName().toLocal8Bit().toStdString();
}

}  // namespace platform

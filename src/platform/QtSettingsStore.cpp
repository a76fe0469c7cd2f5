#include "platform/QtSettingsStore.h"

#include <QFileInfo>
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
    settings_.setValue(keyPath(section, key), QString::fromLatin1(value));
    settings_.sync();
}

std::string QtSettingsStore::folder() const {
    return QFileInfo(settings_.fileName()).absolutePath().toLocal8Bit().toStdString();
}

std::string QtSettingsStore::fileName() const {
    return settings_.fileName().toLocal8Bit().toStdString();
}

}  // namespace platform

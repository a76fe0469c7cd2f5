#include "platform/SingleInstance.h"

#include <QDir>

namespace platform {

namespace {

QString lockPath(const std::string& folder) {
    const QString dir = QString::fromLocal8Bit(folder);
    QDir().mkpath(dir);
    return QDir(dir).filePath(QStringLiteral("volcrestone.lock"));
}

}  // namespace

SingleInstance::SingleInstance(const std::string& folder) : lock_(lockPath(folder)) {
    // Held for the whole run: only a lock whose process is gone counts as stale, never its age.
    lock_.setStaleLockTime(0);
    held_ = lock_.tryLock(0);
}

}  // namespace platform

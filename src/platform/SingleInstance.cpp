#include "platform/SingleInstance.h"

#include <QDir>

#ifndef _WIN32
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>
#endif

namespace platform {

namespace {

QString lockPath(const std::string& folder) {
    const QString dir = QString::fromLocal8Bit(folder);
    QDir().mkpath(dir);
    return QDir(dir).filePath(QStringLiteral("volcrestone.instance"));
}

}  // namespace

#ifdef _WIN32

SingleInstance::SingleInstance(const std::string& folder) : lock_(lockPath(folder)) {
    // Held for the whole run: only a lock whose process is gone counts as stale, never its age.
    lock_.setStaleLockTime(0);
    held_ = lock_.tryLock(0);
}

SingleInstance::~SingleInstance() = default;

#else

// A kernel lock on the file: it goes with the process however that ends, so no stale lock is
// ever left behind, and taking it writes nothing to the disk.
SingleInstance::SingleInstance(const std::string& folder) {
    fd_ =
        ::open(QFile::encodeName(lockPath(folder)).constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    // A folder we cannot write to must not keep the program from starting.
    held_ = fd_ < 0 || ::flock(fd_, LOCK_EX | LOCK_NB) == 0;
}

SingleInstance::~SingleInstance() {
    if (fd_ >= 0)
        ::close(fd_);
}

#endif

}  // namespace platform

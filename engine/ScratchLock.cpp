#include "ScratchLock.h"

#include <QFile>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

ScratchLock::~ScratchLock() {
    unlock();
}

QString ScratchLock::lockFilePath(const QString& userFolder) {
    return userFolder + QStringLiteral("/lock");
}

bool ScratchLock::tryLock(const QString& userFolder, QString* reason) {
    unlock();
    const QByteArray path = QFile::encodeName(lockFilePath(userFolder));
    // Close-on-exec: a child process must not carry the lock past our run.
    const int fd = ::open(path.constData(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0) {
        if (reason)
            *reason = QStringLiteral("cannot open %1: %2")
                          .arg(QFile::decodeName(path), QString::fromLocal8Bit(std::strerror(errno)));
        return false;
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        if (reason)
            *reason = errno == EWOULDBLOCK ? QStringLiteral("another conversion is running")
                                           : QString::fromLocal8Bit(std::strerror(errno));
        ::close(fd);
        return false;
    }
    fd_ = fd;
    return true;
}

void ScratchLock::unlock() {
    if (fd_ < 0)
        return;
    ::flock(fd_, LOCK_UN);
    ::close(fd_);
    fd_ = -1;
}

#include "storage/ScratchLock.h"

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

Result<> ScratchLock::tryLock(const QString& userFolder) {
    unlock();
    const QString path = lockFilePath(userFolder);
    // Close-on-exec: a child process must not carry the lock past our run.
    const int fd =
        ::open(QFile::encodeName(path).constData(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0)
        return Result<>::failure(tr("cannot open the scratch lock %1: %2")
                                     .arg(path, QString::fromLocal8Bit(std::strerror(errno))));
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int error = errno;
        ::close(fd);
        if (error == EWOULDBLOCK)
            return Result<>::failure(tr("another ZEV conversion is running (it holds %1); try again when "
                                        "it has finished")
                                         .arg(path));
        return Result<>::failure(
            tr("cannot lock %1: %2").arg(path, QString::fromLocal8Bit(std::strerror(error))));
    }
    fd_ = fd;
    return Result<>::success();
}

void ScratchLock::unlock() {
    if (fd_ < 0)
        return;
    ::flock(fd_, LOCK_UN);
    ::close(fd_);
    fd_ = -1;
}

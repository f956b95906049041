#include "storage/FileLock.h"

#include "core/SystemError.h"

#include <QFile>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace zev {

namespace {

QString systemError(int error) {
    return SystemError::text(error);
}

// Whether the open file is still the one the path names.
bool stillAtPath(int fd, const QByteArray& path) {
    struct stat opened {};
    struct stat named {};
    return ::fstat(fd, &opened) == 0 && ::lstat(path.constData(), &named) == 0 &&
           opened.st_dev == named.st_dev && opened.st_ino == named.st_ino;
}

} // namespace

FileLock::~FileLock() {
    unlock();
}

Result<> FileLock::tryLockFile(const QString& path, const QString& busyReason) {
    unlock();
    const QByteArray encoded = QFile::encodeName(path);
    // A few rounds at most: each retry means a holder removed the file
    // between our open and our lock.
    for (int attempt = 0; attempt < 8; ++attempt) {
        // Close-on-exec: a child process must not carry the lock past our run.
        const int fd = ::open(encoded.constData(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
        if (fd < 0)
            return Result<>::failure(tr("cannot open the lock %1: %2").arg(path, systemError(errno)));
        if (Result<> locked = lockOpened(fd, path, busyReason); !locked)
            return locked;
        if (stillAtPath(fd, encoded)) {
            removeOnUnlock_ = path;
            return Result<>::success();
        }
        unlock();
    }
    return Result<>::failure(tr("cannot lock %1: it keeps being replaced").arg(path));
}

Result<> FileLock::tryLockFolder(const QString& path) {
    unlock();
    const int fd =
        ::open(QFile::encodeName(path).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0)
        return Result<>::failure(tr("cannot open %1: %2").arg(path, systemError(errno)));
    return lockOpened(fd, path, tr("%1 is in use").arg(path));
}

Result<> FileLock::lockOpened(int fd, const QString& path, const QString& busyReason) {
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int error = errno;
        ::close(fd);
        if (error == EWOULDBLOCK)
            return Result<>::failure(busyReason);
        return Result<>::failure(tr("cannot lock %1: %2").arg(path, systemError(error)));
    }
    fd_ = fd;
    return Result<>::success();
}

void FileLock::unlock() {
    if (fd_ < 0)
        return;
    // Removed while still held: whoever opens the path next makes a new file.
    if (!removeOnUnlock_.isEmpty())
        ::unlink(QFile::encodeName(removeOnUnlock_).constData());
    removeOnUnlock_.clear();
    ::flock(fd_, LOCK_UN);
    ::close(fd_);
    fd_ = -1;
}

} // namespace zev

#pragma once

#include "core/Result.h"

#include <QCoreApplication>
#include <QString>

namespace zev {

// An exclusive flock() held without waiting, on a lock file or on a folder.
// The kernel drops it when the holder exits or is killed, so a lock never
// outlives its process, and two locks taken in one process exclude each
// other as well (each has its own open file).
//
// A lock file is removed when it is released, so lock files do not pile up
// (one per frame folder ever converted). That is safe because a holder checks,
// once it has the lock, that the file it locked is still the one at the path:
// a contender that opened the file just before it was removed would otherwise
// hold a lock on a file nobody else can see.
class FileLock {
    Q_DECLARE_TR_FUNCTIONS(FileLock)

public:
    FileLock() = default;
    ~FileLock();
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;

    // Creates the lock file when missing and takes the lock. When another
    // holder has it, fails with busyReason.
    Result<> tryLockFile(const QString& path, const QString& busyReason);
    // Locks an existing folder; the folder stays when the lock is released.
    Result<> tryLockFolder(const QString& path);

    bool isLocked() const { return fd_ >= 0; }
    void unlock();

private:
    Result<> lockOpened(int fd, const QString& path, const QString& busyReason);

    int fd_ = -1;
    QString removeOnUnlock_;
};

} // namespace zev

#pragma once

#include "core/Result.h"

#include <QCoreApplication>
#include <QString>

// An exclusive lock on the per-user scratch folder, held by one conversion
// from before it touches any scratch folder until it returns. Two windows, or
// the window and the command line, would otherwise write into the same
// scratch folders and silently mix each other's frames.
//
// It is an flock() on a file in the user folder: the kernel drops it when
// the holder exits or crashes, so a stale lock cannot outlive its process,
// and two locks taken in one process exclude each other as well.
class ScratchLock {
    Q_DECLARE_TR_FUNCTIONS(ScratchLock)

public:
    ScratchLock() = default;
    ~ScratchLock();
    ScratchLock(const ScratchLock&) = delete;
    ScratchLock& operator=(const ScratchLock&) = delete;

    // Takes the lock without waiting. Fails when another conversion holds it
    // or the lock file cannot be opened.
    Result<> tryLock(const QString& userFolder);
    bool isLocked() const { return fd_ >= 0; }
    void unlock();

    static QString lockFilePath(const QString& userFolder);

private:
    int fd_ = -1;
};

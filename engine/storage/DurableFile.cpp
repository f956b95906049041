#include "storage/DurableFile.h"

#include "core/SystemError.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace zev {

namespace {

bool writeAll(int descriptor, const QByteArray& bytes) {
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t wrote = ::write(descriptor, bytes.constData() + done, size_t(bytes.size() - done));
        if (wrote < 0 && errno == EINTR)
            continue;
        if (wrote <= 0) {
            // A write that took nothing without an error is a full disk.
            if (wrote == 0)
                errno = ENOSPC;
            return false;
        }
        done += wrote;
    }
    return true;
}

// Makes the renames in folder last past a crash; a folder that cannot be
// flushed (some file systems refuse) loses nothing written.
void flushFolder(const QString& folder) {
    const int descriptor = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (descriptor < 0)
        return;
    ::fsync(descriptor);
    ::close(descriptor);
}

} // namespace

QString DurableFile::temporaryPathFor(const QString& finalPath) {
    const QFileInfo target(finalPath);
    return target.path() +
           QStringLiteral("/.zev-beside-%1-%2-%3")
               .arg(QCoreApplication::applicationPid())
               .arg(QString::number(QRandomGenerator::system()->generate64(), 36), target.fileName());
}

Result<> DurableFile::writeNew(const QString& temporaryPath, const QByteArray& bytes,
                               const QString& shownPath) {
    const QByteArray path = QFile::encodeName(temporaryPath);
    const int descriptor =
        ::open(path.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (descriptor < 0)
        return Result<>::failure(tr("cannot write %1: %2").arg(shownPath, SystemError::text(errno)));
    struct stat status {};
    bool written =
        writeAll(descriptor, bytes) && ::fsync(descriptor) == 0 && ::fstat(descriptor, &status) == 0;
    int error = errno;
    if (written && status.st_size != bytes.size()) {
        written = false;
        error = EIO;
    }
    if (::close(descriptor) != 0 && written) {
        written = false;
        error = errno;
    }
    if (written)
        return Result<>::success();
    ::unlink(path.constData());
    return Result<>::failure(tr("cannot write %1: %2").arg(shownPath, SystemError::text(error)));
}

Result<> DurableFile::rename(const QString& temporaryPath, const QString& finalPath) {
    if (std::rename(QFile::encodeName(temporaryPath).constData(), QFile::encodeName(finalPath).constData()) !=
        0)
        return Result<>::failure(
            tr("cannot rename %1 to %2: %3").arg(temporaryPath, finalPath, SystemError::text(errno)));
    flushFolder(QFileInfo(finalPath).path());
    return Result<>::success();
}

Result<> DurableFile::write(const QString& finalPath, const QByteArray& bytes) {
    const QString temporary = temporaryPathFor(finalPath);
    if (Result<> written = writeNew(temporary, bytes, finalPath); !written)
        return written;
    if (Result<> renamed = rename(temporary, finalPath); !renamed) {
        QFile::remove(temporary);
        return renamed;
    }
    return Result<>::success();
}

Result<> DurableFile::canReplace(const QString& path) {
    struct stat status {};
    if (::lstat(QFile::encodeName(path).constData(), &status) == 0 && S_ISDIR(status.st_mode))
        return Result<>::failure(tr("a folder stands at %1").arg(path));
    return Result<>::success();
}

} // namespace zev

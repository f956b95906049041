#include "pipeline/PendingFiles.h"

#include "core/SystemError.h"
#include "pipeline/PendingVideo.h"
#include "storage/DurableFile.h"

#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <unistd.h>

namespace zev {

PendingFiles::PendingFiles(QString outputFolder)
    : outputFolder_(std::move(outputFolder)) {}

PendingFiles::~PendingFiles() {
    for (const Written& file : std::as_const(written_))
        ::unlink(QFile::encodeName(file.temporaryPath).constData());
}

QString PendingFiles::pathOf(const QString& fileName) const {
    return outputFolder_ + u'/' + fileName;
}

Result<> PendingFiles::write(const QString& fileName, const QByteArray& bytes) {
    const QString path = pathOf(fileName);
    const QString temporary = DurableFile::temporaryPathFor(path);
    if (Result<> written = DurableFile::writeNew(temporary, bytes, path); !written)
        return written;
    written_.append({fileName, temporary});
    removed_.removeAll(fileName);
    return Result<>::success();
}

void PendingFiles::remove(const QString& fileName) {
    if (!removed_.contains(fileName))
        removed_.append(fileName);
}

Result<> PendingFiles::commit(PendingVideo& video) {
    QStringList names = removed_;
    for (const Written& file : std::as_const(written_))
        names.append(file.fileName);
    for (const QString& name : std::as_const(names)) {
        if (Result<> free = DurableFile::canReplace(pathOf(name)); !free)
            return free;
    }
    if (Result<> committed = video.commit(); !committed)
        return committed;
    // Past this point the new video stands: whatever cannot be renamed or
    // removed must not stay to describe it wrongly.
    const Result<> renamed = renameWritten();
    const Result<> cleaned = removeStale();
    return !renamed ? renamed : cleaned;
}

Result<> PendingFiles::renameWritten() {
    Result<> outcome = Result<>::success();
    while (!written_.isEmpty()) {
        const Written file = written_.takeFirst();
        if (Result<> renamed = DurableFile::rename(file.temporaryPath, pathOf(file.fileName)); !renamed) {
            ::unlink(QFile::encodeName(file.temporaryPath).constData());
            remove(file.fileName);
            if (outcome)
                outcome = renamed;
        }
    }
    return outcome;
}

Result<> PendingFiles::removeStale() {
    for (const QString& name : std::as_const(removed_)) {
        const QString path = pathOf(name);
        if (::unlink(QFile::encodeName(path).constData()) != 0 && errno != ENOENT)
            return Result<>::failure(tr("cannot remove %1, which describes the previous video: %2")
                                         .arg(path, SystemError::text(errno)));
    }
    removed_.clear();
    return Result<>::success();
}

} // namespace zev

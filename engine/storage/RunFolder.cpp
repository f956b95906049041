#include "storage/RunFolder.h"

#include "core/SystemError.h"
#include "storage/ScratchFolders.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <unistd.h>

namespace zev {

namespace {

const QString kUnnamedPrefix = QStringLiteral(".new-");
// Earlier versions made express link folders straight in the user folder.
const QString kOldLinkFolderPrefix = QStringLiteral("express-");
// A folder still under its first name after this long lost its run in the
// moment between mkdtemp() and the rename; an old link folder this old has
// outlived any express run.
constexpr qint64 kUnlockedGraceSeconds = 600;

bool olderThan(const QFileInfo& entry, qint64 seconds) {
    return entry.lastModified().secsTo(QDateTime::currentDateTime()) > seconds;
}

} // namespace

RunFolder::~RunFolder() {
    if (!path_.isEmpty())
        removeEntry(path_);
    lock_.unlock();
}

Result<> RunFolder::create() {
    if (Result<> prepared = ScratchFolders::prepareUserFolder(); !prepared)
        return prepared;
    removeStale();
    const QString userFolder = ScratchFolders::userFolder();
    QByteArray name = QFile::encodeName(userFolder + u'/' + kUnnamedPrefix + QStringLiteral("XXXXXX"));
    // mkdtemp() makes the folder with mode 0700.
    if (!::mkdtemp(name.data()))
        return Result<>::failure(
            tr("cannot create a scratch folder in %1: %2").arg(userFolder, SystemError::text(errno)));
    const QString unnamed = QFile::decodeName(name);
    if (Result<> locked = lock_.tryLockFolder(unnamed); !locked) {
        QDir(unnamed).removeRecursively();
        return locked;
    }
    const QString named = userFolder + u'/' + kNamePrefix + unnamed.right(6);
    if (::rename(name.constData(), QFile::encodeName(named).constData()) != 0) {
        const QString why = SystemError::text(errno);
        QDir(unnamed).removeRecursively();
        lock_.unlock();
        return Result<>::failure(tr("cannot name the scratch folder %1: %2").arg(named, why));
    }
    path_ = named;
    return Result<>::success();
}

QStringList RunFolder::removeStale() {
    const QString userFolder = ScratchFolders::userFolder();
    QStringList removed;
    const QFileInfoList entries =
        QDir(userFolder).entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden | QDir::NoSymLinks);
    for (const QFileInfo& entry : entries) {
        const QString name = entry.fileName();
        // Held while the folder goes, so no run can start using it.
        FileLock probe;
        const bool stale = name.startsWith(kNamePrefix)
                               ? bool(probe.tryLockFolder(entry.filePath()))
                               : (name.startsWith(kUnnamedPrefix) || name.startsWith(kOldLinkFolderPrefix)) &&
                                     olderThan(entry, kUnlockedGraceSeconds);
        if (stale && removeEntry(entry.filePath()))
            removed.append(entry.filePath());
    }
    // The shared folders of earlier versions, unless one of those still runs.
    FileLock oldLock;
    if (QFileInfo::exists(userFolder + QStringLiteral("/lock")) &&
        oldLock.tryLockFile(userFolder + QStringLiteral("/lock"), QString())) {
        for (const QString& old :
             {ScratchFolders::alphaImagesDirectoryPath(), ScratchFolders::rgbImagesDirectoryPath(),
              ScratchFolders::appendImagesDirectoryPath(),
              userFolder + QStringLiteral("/appendImages.source")}) {
            if (QFileInfo(old).exists() && removeEntry(old))
                removed.append(old);
        }
    }
    return removed;
}

bool RunFolder::removeEntry(const QString& path) {
    const QFileInfo info(path);
    // QDir::removeRecursively removes links it meets, never their targets.
    if (info.isDir() && !info.isSymLink())
        return QDir(path).removeRecursively();
    return QFile::remove(path);
}

} // namespace zev

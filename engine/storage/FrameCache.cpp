#include "storage/FrameCache.h"

#include "core/SystemError.h"
#include "storage/CacheRecord.h"
#include "storage/FileLock.h"
#include "storage/ScratchFolders.h"
#include "storage/SourceFolderLock.h"

#include <QDateTime>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace zev {

namespace {

const QString kPackedFolderName = QStringLiteral("appendImages");
const QString kPartialSuffix = QStringLiteral(".partial");

QString systemError() {
    return SystemError::text(errno);
}

struct Entry {
    QString folder;
    QString key;
    qint64 bytes = 0;
    QDateTime lastUsed;
};

QDateTime lastUsed(const QString& entryFolder) {
    const QFileInfo record(CacheRecord::filePath(entryFolder));
    // An entry without a record (a store cut short) holds nothing usable.
    return record.exists() ? record.lastModified() : QDateTime::fromSecsSinceEpoch(0);
}

} // namespace

QString FrameCache::rootFolder() {
    QString cache = qEnvironmentVariable("XDG_CACHE_HOME");
    // The base directory rules ignore a relative path.
    if (cache.isEmpty() || QDir::isRelativePath(cache))
        cache = QDir::homePath() + QStringLiteral("/.cache");
    return cache + QStringLiteral("/zev");
}

QString FrameCache::entryFolder(const QString& frameFolder) {
    return rootFolder() + u'/' + SourceFolderLock::key(frameFolder);
}

QString FrameCache::packedFramesFolder(const QString& frameFolder) {
    return entryFolder(frameFolder) + u'/' + kPackedFolderName;
}

Result<> FrameCache::store(const QString& frameFolder, const QString& packedFrames, qint64 frameCount) {
    const QString entry = entryFolder(frameFolder);
    if (Result<> made = makePrivateFolder(rootFolder()); !made)
        return made;
    if (Result<> made = makePrivateFolder(entry); !made)
        return made;
    // From here until the record is written the entry answers no cache run.
    if (Result<> forgotten = CacheRecord::clear(entry); !forgotten)
        return forgotten;
    const QString target = packedFramesFolder(frameFolder);
    QDir(target).removeRecursively();
    QDir(target + kPartialSuffix).removeRecursively();
    if (Result<> moved = moveFolder(packedFrames, target); !moved)
        return moved;
    return CacheRecord::write(entry, frameFolder, frameCount);
}

Result<> FrameCache::matches(const QString& frameFolder, qint64 frameCount) {
    return CacheRecord::matches(entryFolder(frameFolder), frameFolder, frameCount);
}

void FrameCache::markUsed(const QString& frameFolder) {
    // A null time is "now".
    ::utimensat(AT_FDCWD, QFile::encodeName(CacheRecord::filePath(entryFolder(frameFolder))).constData(),
                nullptr, 0);
}

QStringList FrameCache::prune(qint64 capBytes) {
    QList<Entry> entries;
    qint64 total = 0;
    const QFileInfoList folders =
        QDir(rootFolder()).entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::NoSymLinks);
    for (const QFileInfo& folder : folders) {
        Entry entry{folder.filePath(), folder.fileName(), sizeOnDisk(folder.filePath()),
                    lastUsed(folder.filePath())};
        total += entry.bytes;
        entries.append(entry);
    }
    std::sort(entries.begin(), entries.end(),
              [](const Entry& a, const Entry& b) { return a.lastUsed < b.lastUsed; });
    QStringList removed;
    if (total <= capBytes || !ScratchFolders::prepareUserFolder())
        return removed;
    for (const Entry& entry : std::as_const(entries)) {
        if (total <= capBytes)
            break;
        FileLock inUse;
        if (!inUse.tryLockFile(SourceFolderLock::lockFilePathForKey(entry.key), QString()))
            continue;
        if (QDir(entry.folder).removeRecursively()) {
            total -= entry.bytes;
            removed.append(entry.folder);
        }
    }
    return removed;
}

qint64 FrameCache::sizeOnDisk(const QString& folder) {
    qint64 bytes = 0;
    QDirIterator it(folder, QDir::Files | QDir::Hidden | QDir::System | QDir::NoSymLinks,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        it.next();
        bytes += it.fileInfo().size();
    }
    return bytes;
}

Result<> FrameCache::makePrivateFolder(const QString& folder) {
    if (::mkdir(QFile::encodeName(folder).constData(), 0700) != 0 && errno != EEXIST &&
        !QDir().mkpath(folder))
        return Result<>::failure(QStringLiteral("cannot create %1: %2").arg(folder, systemError()));
    const QFileInfo info(folder);
    if (!info.isDir() || info.isSymLink())
        return Result<>::failure(QStringLiteral("%1 is not a folder").arg(folder));
    return Result<>::success();
}

// A rename when both are on one file system; a copy otherwise (the scratch
// folder is often on tmpfs), made under another name and renamed when whole.
Result<> FrameCache::moveFolder(const QString& from, const QString& to) {
    if (::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) == 0)
        return Result<>::success();
    if (errno != EXDEV)
        return Result<>::failure(QStringLiteral("cannot move %1 to %2: %3").arg(from, to, systemError()));
    const QString partial = to + kPartialSuffix;
    if (Result<> made = makePrivateFolder(partial); !made)
        return made;
    const QDir source(from);
    for (const QString& name : source.entryList(QDir::Files | QDir::Hidden | QDir::NoSymLinks)) {
        if (!QFile::copy(source.filePath(name), partial + u'/' + name)) {
            QDir(partial).removeRecursively();
            return Result<>::failure(
                QStringLiteral("cannot copy %1 into %2").arg(source.filePath(name), partial));
        }
    }
    if (::rename(QFile::encodeName(partial).constData(), QFile::encodeName(to).constData()) != 0)
        return Result<>::failure(QStringLiteral("cannot move %1 to %2: %3").arg(partial, to, systemError()));
    QDir(from).removeRecursively();
    return Result<>::success();
}

} // namespace zev

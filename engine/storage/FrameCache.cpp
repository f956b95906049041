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
#include <QRandomGenerator>
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
const QString kSetAsideMark = QStringLiteral(".set-aside-");

QString systemError() {
    return SystemError::text(errno);
}

struct Entry {
    QString folder;
    QString key;
    qint64 bytes = 0;
    QDateTime lastUsed;
};

bool statWithoutFollowing(const QString& path, struct stat* status) {
    return ::lstat(QFile::encodeName(path).constData(), status) == 0;
}

// A folder as rmdir(2) and unlink(2) see it: a link is removed itself, and
// QDir::removeRecursively removes the links it meets inside, never their
// targets.
bool removeWithoutFollowing(const QString& path) {
    struct stat status {};
    if (!statWithoutFollowing(path, &status))
        return errno == ENOENT;
    if (S_ISDIR(status.st_mode))
        return QDir(path).removeRecursively();
    return ::unlink(QFile::encodeName(path).constData()) == 0;
}

QDateTime lastUsed(const QString& entryFolder) {
    // What was set aside goes first.
    if (QFileInfo(entryFolder).fileName().contains(kSetAsideMark))
        return QDateTime::fromSecsSinceEpoch(0);
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

Result<QString> FrameCache::store(const QString& frameFolder, const QString& packedFrames,
                                  qint64 frameCount) {
    const QString entry = entryFolder(frameFolder);
    if (Result<> made = makePrivateFolder(rootFolder()); !made)
        return made.failure();
    Result<QString> checked = checkEntry(frameFolder);
    if (!checked)
        return checked;
    if (Result<> made = makePrivateFolder(entry); !made)
        return made.failure();
    // From here until the record is written the entry answers no cache run.
    if (Result<> forgotten = CacheRecord::clear(entry); !forgotten)
        return forgotten.failure();
    const QString target = packedFramesFolder(frameFolder);
    if (!removeWithoutFollowing(target) || !removeWithoutFollowing(target + kPartialSuffix))
        return Result<QString>::failure(
            tr("cannot remove the earlier packed frames in %1: %2").arg(entry, systemError()));
    if (Result<> moved = moveFolder(packedFrames, target); !moved)
        return moved.failure();
    if (Result<> recorded = CacheRecord::write(entry, frameFolder, frameCount); !recorded)
        return recorded.failure();
    return checked;
}

Result<QString> FrameCache::checkEntry(const QString& frameFolder) {
    if (Result<> ours = inspectCacheFolder(); !ours)
        return ours.failure();
    const QString entry = entryFolder(frameFolder);
    const Result<> sound = inspectEntry(entry);
    if (sound)
        return QString();
    struct stat status {};
    if (statWithoutFollowing(entry, &status) && S_ISLNK(status.st_mode)) {
        if (::unlink(QFile::encodeName(entry).constData()) != 0)
            return Result<QString>::failure(
                tr("cannot remove the symbolic link %1 from the cache: %2").arg(entry, systemError()));
        return tr("removed the symbolic link %1, which stood where the folder's cache belongs").arg(entry);
    }
    const Result<QString> aside = setAside(entry);
    if (!aside)
        return Result<QString>::failure(
            tr("the cache %1 is not as ZEV made it (%2), and %3").arg(entry, sound.reason(), aside.reason()));
    return tr("the cache %1 is not as ZEV made it (%2); it was set aside as %3 and is not used")
        .arg(entry, sound.reason(), *aside);
}

Result<> FrameCache::inspectCacheFolder() {
    const QString root = rootFolder();
    struct stat status {};
    if (!statWithoutFollowing(root, &status))
        return errno == ENOENT ? Result<>::success()
                               : Result<>::failure(tr("cannot examine %1: %2").arg(root, systemError()));
    if (S_ISLNK(status.st_mode))
        return Result<>::failure(tr("the cache folder %1 is a symbolic link").arg(root));
    if (!S_ISDIR(status.st_mode))
        return Result<>::failure(tr("the cache folder %1 is not a folder").arg(root));
    if (status.st_uid != ::getuid())
        return Result<>::failure(tr("the cache folder %1 belongs to another user").arg(root));
    return Result<>::success();
}

Result<> FrameCache::inspectEntry(const QString& entry) {
    struct stat status {};
    if (!statWithoutFollowing(entry, &status))
        return errno == ENOENT ? Result<>::success()
                               : Result<>::failure(tr("cannot examine %1: %2").arg(entry, systemError()));
    if (Result<> folder = inspectFolder(entry, false); !folder)
        return folder;
    for (const QString& packed : {kPackedFolderName, kPackedFolderName + kPartialSuffix}) {
        const QString path = entry + u'/' + packed;
        if (!statWithoutFollowing(path, &status) && errno == ENOENT)
            continue;
        if (Result<> folder = inspectFolder(path, true); !folder)
            return folder;
    }
    const QString record = CacheRecord::filePath(entry);
    if (statWithoutFollowing(record, &status) && !S_ISREG(status.st_mode))
        return Result<>::failure(tr("%1 is not a plain file").arg(record));
    return Result<>::success();
}

// A real folder of this user; with plainFilesOnly, holding nothing else.
Result<> FrameCache::inspectFolder(const QString& folder, bool plainFilesOnly) {
    struct stat status {};
    if (!statWithoutFollowing(folder, &status))
        return Result<>::failure(tr("cannot examine %1: %2").arg(folder, systemError()));
    if (S_ISLNK(status.st_mode))
        return Result<>::failure(tr("%1 is a symbolic link").arg(folder));
    if (!S_ISDIR(status.st_mode))
        return Result<>::failure(tr("%1 is not a folder").arg(folder));
    if (status.st_uid != ::getuid())
        return Result<>::failure(tr("%1 belongs to another user").arg(folder));
    if (!plainFilesOnly)
        return Result<>::success();
    QDirIterator it(folder, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    while (it.hasNext()) {
        const QString path = it.next();
        if (!statWithoutFollowing(path, &status) || !S_ISREG(status.st_mode))
            return Result<>::failure(tr("%1 is not a plain file").arg(path));
    }
    return Result<>::success();
}

Result<QString> FrameCache::setAside(const QString& entry) {
    for (int attempt = 0; attempt < 8; ++attempt) {
        const QString aside =
            entry + kSetAsideMark + QString::number(QRandomGenerator::system()->generate(), 36);
        struct stat status {};
        if (statWithoutFollowing(aside, &status))
            continue;
        // rename(2) moves the entry itself, whatever it holds.
        if (::rename(QFile::encodeName(entry).constData(), QFile::encodeName(aside).constData()) != 0)
            return Result<QString>::failure(tr("cannot set it aside: %1").arg(systemError()));
        return aside;
    }
    return Result<QString>::failure(tr("cannot find a name to set it aside under"));
}

Result<> FrameCache::matches(const QString& frameFolder, qint64 frameCount) {
    return CacheRecord::matches(entryFolder(frameFolder), frameFolder, frameCount);
}

void FrameCache::markUsed(const QString& frameFolder) {
    // A null time is "now"; a link standing at the record is not followed.
    ::utimensat(AT_FDCWD, QFile::encodeName(CacheRecord::filePath(entryFolder(frameFolder))).constData(),
                nullptr, AT_SYMLINK_NOFOLLOW);
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
        if (removeWithoutFollowing(entry.folder)) {
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

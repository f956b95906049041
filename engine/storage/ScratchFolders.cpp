#include "storage/ScratchFolders.h"

#include "core/SystemError.h"

#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

namespace zev {

namespace {

constexpr mode_t kPrivateMode = 0700;

bool statWithoutFollowing(const QString& path, struct stat* status) {
    return ::lstat(QFile::encodeName(path).constData(), status) == 0;
}

QString systemError() {
    return SystemError::text(errno);
}

} // namespace

QString ScratchFolders::userFolder() {
    return temporaryFolder() + QStringLiteral("/zev-") + QString::number(::getuid());
}

// QDir::tempPath() answers an empty path when TMPDIR names no folder, which
// would put the user folder at the root. The C library (tmpfile, tempnam)
// passes over such a TMPDIR for /tmp, and so does this; a relative one too,
// since every tool is given absolute paths.
QString ScratchFolders::temporaryFolder() {
    const QString named = qEnvironmentVariable("TMPDIR");
    if (!named.isEmpty() && QDir::isAbsolutePath(named) && QFileInfo(named).isDir()) {
        if (QString resolved = QFileInfo(named).canonicalFilePath(); !resolved.isEmpty())
            return resolved;
    }
    const QString fallback = QFileInfo(QStringLiteral("/tmp")).canonicalFilePath();
    return fallback.isEmpty() ? QStringLiteral("/tmp") : fallback;
}

Result<> ScratchFolders::prepareUserFolder() {
    const QString folder = userFolder();
    const QByteArray encoded = QFile::encodeName(folder);
    struct stat status {};
    if (!statWithoutFollowing(folder, &status)) {
        // EEXIST: someone created it in between; the checks below judge it.
        if (::mkdir(encoded.constData(), kPrivateMode) != 0 && errno != EEXIST)
            return refuse(tr("cannot create %1: %2").arg(folder, systemError()));
        if (!statWithoutFollowing(folder, &status))
            return refuse(tr("cannot examine %1: %2").arg(folder, systemError()));
    }
    if (S_ISLNK(status.st_mode))
        return refuse(tr("%1 is a symbolic link").arg(folder));
    if (!S_ISDIR(status.st_mode))
        return refuse(tr("%1 is not a folder").arg(folder));
    if (status.st_uid != ::getuid())
        return refuse(tr("%1 belongs to another user").arg(folder));
    if ((status.st_mode & 07777) != kPrivateMode && ::chmod(encoded.constData(), kPrivateMode) != 0)
        return refuse(tr("cannot make %1 private: %2").arg(folder, systemError()));
    return Result<>::success();
}

QString ScratchFolders::alphaImagesDirectoryPath(const QString& runFolder) {
    return runFolder + QStringLiteral("/alphaImages");
}

QString ScratchFolders::rgbImagesDirectoryPath(const QString& runFolder) {
    return runFolder + QStringLiteral("/rgbImages");
}

QString ScratchFolders::appendImagesDirectoryPath(const QString& runFolder) {
    return runFolder + QStringLiteral("/appendImages");
}

Result<> ScratchFolders::rebuild(const QString& folder) {
    if (Result<> prepared = prepareUserFolder(); !prepared)
        return prepared;
    const QString cleaned = QDir::cleanPath(folder);
    const QFileInfo info(cleaned);
    // Only direct children: a deeper path could pass through a link that
    // leads out of the private folder.
    if (info.fileName().isEmpty() || !isScratchParent(info.path()))
        return refuse(tr("%1 is not a scratch folder inside %2").arg(folder, userFolder()));
    if (Result<> removed = removeEntry(cleaned); !removed)
        return removed;
    if (::mkdir(QFile::encodeName(cleaned).constData(), kPrivateMode) != 0)
        return refuse(tr("cannot create %1: %2").arg(cleaned, systemError()));
    if (!isEmptyRealFolder(cleaned))
        return refuse(tr("%1 is not an empty folder after rebuilding it").arg(cleaned));
    return Result<>::success();
}

Result<> ScratchFolders::refuse(const QString& why) {
    qWarning().noquote() << "Scratch folder refused:" << why;
    return Result<>::failure(tr("scratch folder: %1").arg(why));
}

Result<> ScratchFolders::removeEntry(const QString& path) {
    struct stat status {};
    if (!statWithoutFollowing(path, &status))
        return errno == ENOENT ? Result<>::success()
                               : refuse(tr("cannot examine %1: %2").arg(path, systemError()));
    // QDir::removeRecursively removes links it meets, never their targets.
    const bool removed = S_ISDIR(status.st_mode) ? QDir(path).removeRecursively()
                                                 : ::unlink(QFile::encodeName(path).constData()) == 0;
    return removed ? Result<>::success() : refuse(tr("cannot remove %1").arg(path));
}

bool ScratchFolders::isEmptyRealFolder(const QString& path) {
    struct stat status {};
    if (!statWithoutFollowing(path, &status) || !S_ISDIR(status.st_mode))
        return false;
    return QDir(path).isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System);
}

bool ScratchFolders::isScratchParent(const QString& folder) {
    const QString user = QDir::cleanPath(userFolder());
    if (folder == user)
        return true;
    const QFileInfo run(folder);
    struct stat status {};
    return run.path() == user && run.fileName().startsWith(QStringLiteral("run-")) &&
           statWithoutFollowing(folder, &status) && S_ISDIR(status.st_mode);
}

} // namespace zev

#include "storage/SourceFolderLock.h"

#include "storage/ScratchFolders.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>

namespace zev {

QString SourceFolderLock::key(const QString& frameFolder) {
    QString canonical = QFileInfo(frameFolder).canonicalFilePath();
    // A folder that is gone still has a key: its cache can be pruned.
    if (canonical.isEmpty())
        canonical = QDir::cleanPath(QFileInfo(frameFolder).absoluteFilePath());
    // 128 bits of the hash are plenty for a name and keep it short.
    return QString::fromLatin1(
        QCryptographicHash::hash(canonical.toUtf8(), QCryptographicHash::Sha256).toHex().left(32));
}

QString SourceFolderLock::lockFilePathForKey(const QString& key) {
    return ScratchFolders::userFolder() + QStringLiteral("/folder-") + key + QStringLiteral(".lock");
}

Result<> SourceFolderLock::tryLock(const QString& frameFolder) {
    return lock_.tryLockFile(
        lockFilePathForKey(key(frameFolder)),
        tr("another ZEV conversion of %1 is running; two at once would write the same video. "
           "Try again when it has finished")
            .arg(frameFolder));
}

} // namespace zev

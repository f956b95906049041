#include "storage/CacheRecord.h"

#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>

namespace zev {

namespace {
const QString kFolderKey = QStringLiteral("frameFolder");
const QString kCountKey = QStringLiteral("frameCount");
} // namespace

QString CacheRecord::filePath(const QString& userFolder) {
    return userFolder + QStringLiteral("/appendImages.source");
}

Result<> CacheRecord::clear(const QString& userFolder) {
    QFile file(filePath(userFolder));
    if (file.remove() || !file.exists())
        return Result<>::success();
    return Result<>::failure(
        tr("cannot remove the cache record %1: %2").arg(file.fileName(), file.errorString()));
}

Result<> CacheRecord::write(const QString& userFolder, const QString& frameFolder, qint64 frameCount) {
    QSaveFile file(filePath(userFolder));
    const QJsonObject record{{kFolderKey, canonicalFolder(frameFolder)}, {kCountKey, frameCount}};
    if (file.open(QIODevice::WriteOnly)) {
        file.write(QJsonDocument(record).toJson(QJsonDocument::Compact));
        if (file.commit())
            return Result<>::success();
    }
    return Result<>::failure(
        tr("cannot write the cache record %1: %2").arg(file.fileName(), file.errorString()));
}

Result<> CacheRecord::matches(const QString& userFolder, const QString& frameFolder, qint64 frameCount) {
    QFile file(filePath(userFolder));
    if (!file.open(QIODevice::ReadOnly))
        return Result<>::failure(tr("there is no record of a finished full run (%1: %2)")
                                     .arg(file.fileName(), file.errorString()));
    const QJsonObject record = QJsonDocument::fromJson(file.readAll()).object();
    const QString recordedFolder = record.value(kFolderKey).toString();
    const qint64 recordedCount = record.value(kCountKey).toInteger(-1);
    const QString folder = canonicalFolder(frameFolder);
    if (!folder.isEmpty() && recordedFolder == folder && recordedCount == frameCount)
        return Result<>::success();
    if (recordedFolder.isEmpty() || recordedCount < 0)
        return Result<>::failure(tr("the cache record %1 cannot be read").arg(file.fileName()));
    return Result<>::failure(tr("they come from %1 with %2 frames").arg(recordedFolder).arg(recordedCount));
}

QString CacheRecord::canonicalFolder(const QString& folder) {
    return QFileInfo(folder).canonicalFilePath();
}

} // namespace zev

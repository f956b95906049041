#include "storage/CacheRecord.h"

#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>

namespace {
const QString kFolderKey = QStringLiteral("frameFolder");
const QString kCountKey = QStringLiteral("frameCount");
} // namespace

QString CacheRecord::filePath(const QString& userFolder) {
    return userFolder + QStringLiteral("/appendImages.source");
}

void CacheRecord::clear(const QString& userFolder) {
    QFile::remove(filePath(userFolder));
}

bool CacheRecord::write(const QString& userFolder, const QString& frameFolder, qint64 frameCount) {
    QSaveFile file(filePath(userFolder));
    if (!file.open(QIODevice::WriteOnly))
        return false;
    const QJsonObject record{{kFolderKey, canonicalFolder(frameFolder)}, {kCountKey, frameCount}};
    file.write(QJsonDocument(record).toJson(QJsonDocument::Compact));
    return file.commit();
}

bool CacheRecord::matches(const QString& userFolder, const QString& frameFolder, qint64 frameCount) {
    QFile file(filePath(userFolder));
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QJsonObject record = QJsonDocument::fromJson(file.readAll()).object();
    const QString folder = canonicalFolder(frameFolder);
    return !folder.isEmpty() && record.value(kFolderKey).toString() == folder &&
           record.value(kCountKey).toInteger(-1) == frameCount;
}

QString CacheRecord::canonicalFolder(const QString& folder) {
    return QFileInfo(folder).canonicalFilePath();
}

#include "TemporaryFolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace zev {

TemporaryFolder::TemporaryFolder()
    : dir_(QDir::tempPath() + QStringLiteral("/zev-test-XXXXXX")) {}

QString TemporaryFolder::touch(const QString& name, const QByteArray& content) const {
    const QString file = filePath(name);
    QDir().mkpath(QFileInfo(file).absolutePath());
    QFile out(file);
    if (out.open(QIODevice::WriteOnly))
        out.write(content);
    return file;
}

QString TemporaryFolder::makeFolder(const QString& name) const {
    const QString folder = filePath(name);
    QDir().mkpath(folder);
    return folder;
}

void TemporaryFolder::touchAll(const QStringList& names) const {
    for (const QString& name : names)
        touch(name);
}

} // namespace zev

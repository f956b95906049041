#include "RecordedCalls.h"

#include <QDir>
#include <QFile>

namespace zev {

QString RecordedCalls::recorderPath() {
    return QStringLiteral(ZEV_ARGUMENT_RECORDER);
}

QList<QStringList> RecordedCalls::read(const QString& folder) {
    // Names start with the start time in nanoseconds, zero-padded, so name
    // order is call order; hidden files are calls still being written.
    const QStringList names = QDir(folder).entryList(QDir::Files, QDir::Name);
    QList<QStringList> calls;
    for (const QString& name : names) {
        QFile file(QDir(folder).filePath(name));
        if (!file.open(QIODevice::ReadOnly))
            continue;
        const QByteArray content = file.readAll();
        QStringList arguments;
        qsizetype start = 0;
        for (qsizetype end = content.indexOf('\0'); end >= 0; end = content.indexOf('\0', start)) {
            arguments.append(QString::fromUtf8(content.mid(start, end - start)));
            start = end + 1;
        }
        calls.append(arguments);
    }
    return calls;
}

} // namespace zev

#include "tools/Mp4Boxes.h"

#include <QFile>
#include <QtEndian>

namespace zev {

QList<Mp4Boxes::Box> Mp4Boxes::read(const QString& path) {
    QList<Box> boxes;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return boxes;
    const qint64 end = file.size();
    qint64 at = 0;
    while (at + 8 <= end && file.seek(at)) {
        const QByteArray header = file.read(16);
        if (header.size() < 8)
            break;
        qint64 size = qFromBigEndian<quint32>(header.constData());
        if (size == 1 && header.size() == 16)
            size = qint64(qFromBigEndian<quint64>(header.constData() + 8));
        else if (size == 0)
            size = end - at;
        if (size < 8 || at + size > end)
            break;
        boxes.append({header.mid(4, 4), at, size});
        at += size;
    }
    return boxes;
}

bool Mp4Boxes::indexLeads(const QString& path) {
    return indexLeads(read(path));
}

bool Mp4Boxes::indexLeads(const QList<Box>& boxes) {
    for (const Box& box : boxes) {
        if (box.type == "moov")
            return true;
        if (box.type == "mdat")
            return false;
    }
    return false;
}

} // namespace zev

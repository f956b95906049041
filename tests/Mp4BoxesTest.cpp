#include "tools/Mp4Boxes.h"

#include "TemporaryFolder.h"

#include <QtEndian>
#include <gtest/gtest.h>

using namespace zev;

namespace {

QByteArray box(const char* type, int payload) {
    QByteArray bytes(8 + payload, '\0');
    qToBigEndian<quint32>(quint32(8 + payload), bytes.data());
    bytes.replace(4, 4, type);
    return bytes;
}

QByteArray largeBox(const char* type, int payload) {
    QByteArray bytes(16 + payload, '\0');
    qToBigEndian<quint32>(1, bytes.data());
    bytes.replace(4, 4, type);
    qToBigEndian<quint64>(quint64(16 + payload), bytes.data() + 8);
    return bytes;
}

struct BoxCase {
    const char* name;
    QByteArray bytes;
    QList<QByteArray> types;
    bool indexLeads;
};

TEST(Mp4Boxes, ListsTheTopLevelBoxesAndWhereTheIndexIs) {
    QByteArray toTheEnd = box("mdat", 4);
    qToBigEndian<quint32>(0, toTheEnd.data());
    const QList<BoxCase> cases{
        {"faststart",
         box("ftyp", 16) + box("moov", 40) + box("free", 0) + box("mdat", 100),
         {"ftyp", "moov", "free", "mdat"},
         true},
        {"index last", box("ftyp", 16) + box("mdat", 100) + box("moov", 40), {"ftyp", "mdat", "moov"}, false},
        {"64-bit size",
         box("ftyp", 16) + largeBox("mdat", 30) + box("moov", 8),
         {"ftyp", "mdat", "moov"},
         false},
        {"to the end", box("ftyp", 16) + box("moov", 8) + toTheEnd, {"ftyp", "moov", "mdat"}, true},
        {"cut short", box("ftyp", 16) + box("mdat", 100).left(50), {"ftyp"}, false},
        {"size too small", QByteArray("\0\0\0\4ftyp", 8), {}, false},
        {"not a file of boxes", QByteArray("hello"), {}, false},
    };
    for (const BoxCase& test : cases) {
        TemporaryFolder folder;
        const QString path = folder.touch("v.mp4", test.bytes);
        QList<QByteArray> types;
        for (const Mp4Boxes::Box& found : Mp4Boxes::read(path))
            types.append(found.type);
        EXPECT_EQ(types, test.types) << test.name;
        EXPECT_EQ(Mp4Boxes::indexLeads(path), test.indexLeads) << test.name;
    }
    EXPECT_TRUE(Mp4Boxes::read("/nonexistent/v.mp4").isEmpty());
}

} // namespace

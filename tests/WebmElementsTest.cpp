#include "tools/WebmElements.h"

#include "TemporaryFolder.h"

#include <gtest/gtest.h>

using namespace zev;

namespace {

// An element's ID as its bytes (the length marker included).
QByteArray idBytes(quint32 id) {
    QByteArray bytes;
    for (quint32 rest = id; rest != 0; rest >>= 8)
        bytes.prepend(char(rest & 0xFF));
    return bytes;
}

// The size in one byte, or in eight (as muxers write large ones).
QByteArray element(quint32 id, const QByteArray& payload, bool longSize = false) {
    QByteArray size;
    if (longSize) {
        size = QByteArray(8, '\0');
        size[0] = char(0x01);
        for (int i = 0; i < 4; ++i)
            size[7 - i] = char((payload.size() >> (8 * i)) & 0xFF);
    } else {
        size = QByteArray(1, char(0x80 | payload.size()));
    }
    return idBytes(id) + size + payload;
}

QByteArray unknownSize(quint32 id, const QByteArray& payload) {
    return idBytes(id) + QByteArray::fromHex("01FFFFFFFFFFFFFF") + payload;
}

const quint32 kInfo = 0x1549A966;
const quint32 kTracks = 0x1654AE6B;

QByteArray file(const QByteArray& segmentPayload, bool unknownSegment = false) {
    const QByteArray header = element(WebmElements::kEbmlHeader, QByteArray(4, 'h'));
    return header + (unknownSegment ? unknownSize(WebmElements::kSegment, segmentPayload)
                                    : element(WebmElements::kSegment, segmentPayload, true));
}

struct ElementCase {
    const char* name;
    QByteArray bytes;
    QList<quint32> ids;
    bool cuesLead;
};

TEST(WebmElements, ListsTheSegmentsChildrenAndWhereTheCuesAre) {
    const QByteArray info = element(kInfo, "abc");
    const QByteArray tracks = element(kTracks, "tracks");
    const QByteArray cues = element(WebmElements::kCues, "cues");
    const QByteArray cluster = element(WebmElements::kCluster, QByteArray(40, 'f'));
    const QList<ElementCase> cases{
        {"cues first",
         file(info + tracks + cues + cluster),
         {kInfo, kTracks, WebmElements::kCues, WebmElements::kCluster},
         true},
        {"cues last",
         file(info + tracks + cluster + cues),
         {kInfo, kTracks, WebmElements::kCluster, WebmElements::kCues},
         false},
        {"segment of unknown size",
         file(info + cues + cluster, true),
         {kInfo, WebmElements::kCues, WebmElements::kCluster},
         true},
        {"cluster of unknown size",
         file(info + unknownSize(WebmElements::kCluster, "x") + cues),
         {kInfo},
         false},
        {"cut short", file(info + cues + cluster).chopped(10), {kInfo, WebmElements::kCues}, true},
        {"not EBML",
         QByteArray("\0\0\0\x18"
                    "ftypisom",
                    12),
         {},
         false},
        {"no segment", element(WebmElements::kEbmlHeader, "h") + info, {}, false},
    };
    for (const ElementCase& test : cases) {
        TemporaryFolder folder;
        const QString path = folder.touch("v.webm", test.bytes);
        QList<quint32> ids;
        for (const WebmElements::Element& found : WebmElements::read(path))
            ids.append(found.id);
        EXPECT_EQ(ids, test.ids) << test.name;
        EXPECT_EQ(WebmElements::cuesLead(path), test.cuesLead) << test.name;
    }
    EXPECT_TRUE(WebmElements::read("/nonexistent/v.webm").isEmpty());
}

} // namespace

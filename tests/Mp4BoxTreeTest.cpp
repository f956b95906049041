#include "tools/Mp4BoxTree.h"

#include "ParamName.h"

#include <QtEndian>
#include <gtest/gtest.h>
#include <limits>

using namespace zev;

namespace {

QByteArray be32(quint32 value) {
    char buffer[4];
    qToBigEndian(value, buffer);
    return QByteArray(buffer, 4);
}

Mp4BoxTree container(const QByteArray& type, QList<Mp4BoxTree> children, const QByteArray& payload = {}) {
    Mp4BoxTree box = Mp4BoxTree::leaf(type, payload);
    box.container = true;
    box.children = std::move(children);
    return box;
}

Mp4BoxTree stco(const QList<quint32>& offsets) {
    QByteArray payload = be32(0) + be32(quint32(offsets.size()));
    for (const quint32 offset : offsets)
        payload += be32(offset);
    return Mp4BoxTree::leaf("stco", payload);
}

Mp4BoxTree index(const QList<quint32>& offsets) {
    return container(
        "moov",
        {Mp4BoxTree::leaf("mvhd", QByteArray(100, '\1')),
         container("trak", {container("mdia", {container("minf", {container("stbl", {stco(offsets)})})})})});
}

TEST(Mp4BoxTreeTest, WritesBackTheBytesItRead) {
    const QByteArray bytes = index({100, 2000, 40000}).serialise();
    const std::optional<Mp4BoxTree> parsed = Mp4BoxTree::parse(bytes);
    ASSERT_TRUE(parsed);
    EXPECT_EQ(parsed->serialise(), bytes);
    EXPECT_EQ(parsed->serialisedSize(), bytes.size());
}

struct OffsetCase {
    const char* title;
    QList<quint64> offsets;
    QByteArray type;
};

class ChunkOffsets : public testing::TestWithParam<OffsetCase> {};

// An offset past 4 GiB widens the table to co64; the others stay stco.
TEST_P(ChunkOffsets, TakeTheNarrowestTableThatHoldsThem) {
    const OffsetCase& c = GetParam();
    Mp4BoxTree moov = index({1, 2, 3});
    Mp4BoxTree* table = moov.all("stco").value(0);
    ASSERT_NE(table, nullptr);
    table->setChunkOffsets(c.offsets);
    const std::optional<Mp4BoxTree> parsed = Mp4BoxTree::parse(moov.serialise());
    ASSERT_TRUE(parsed);
    Mp4BoxTree copy = *parsed;
    const QList<Mp4BoxTree*> tables = copy.all(c.type);
    ASSERT_EQ(tables.size(), 1);
    EXPECT_EQ(tables.first()->chunkOffsets(), c.offsets);
}

INSTANTIATE_TEST_SUITE_P(
    Mp4BoxTreeTest, ChunkOffsets,
    testing::Values(OffsetCase{"largest_32_bit", {48, std::numeric_limits<quint32>::max()}, "stco"},
                    OffsetCase{"past_4_GiB", {48, quint64(std::numeric_limits<quint32>::max()) + 1}, "co64"},
                    OffsetCase{"none", {}, "stco"}),
    ParamName());

TEST(Mp4BoxTreeTest, RefusesBytesThatAreNotOneWholeBox) {
    const QByteArray bytes = index({100}).serialise();
    EXPECT_FALSE(Mp4BoxTree::parse(bytes.left(bytes.size() - 1)));
    EXPECT_FALSE(Mp4BoxTree::parse(bytes + "x"));
    QByteArray lying = bytes;
    // The track claims more bytes than the index holds.
    qToBigEndian<quint32>(4096, lying.data() + 8 + 108);
    EXPECT_FALSE(Mp4BoxTree::parse(lying));
    EXPECT_FALSE(Mp4BoxTree::leaf("stco", be32(0) + be32(5) + be32(1)).chunkOffsets());
}

// MP4's metadata box has a version and flags before its children,
// QuickTime's has none; both are read.
TEST(Mp4BoxTreeTest, ReadsBothKindsOfMetadataBox) {
    const Mp4BoxTree handler = Mp4BoxTree::leaf("hdlr", QByteArray(25, '\0'));
    for (const QByteArray& prefix : {be32(0), QByteArray()}) {
        const QByteArray bytes =
            container("udta", {container("meta", {handler, container("ilst", {})}, prefix)}).serialise();
        const std::optional<Mp4BoxTree> parsed = Mp4BoxTree::parse(bytes);
        ASSERT_TRUE(parsed);
        const Mp4BoxTree* meta = parsed->child("meta");
        ASSERT_NE(meta, nullptr);
        EXPECT_EQ(meta->payload, prefix);
        EXPECT_NE(meta->child("ilst"), nullptr);
        EXPECT_EQ(parsed->serialise(), bytes);
    }
}

} // namespace

#include "tools/EmbeddedDescriptions.h"

#include "ParamName.h"
#include "TemporaryFolder.h"
#include "ToolProbe.h"
#include "tools/Mp4BoxTree.h"
#include "tools/Mp4Boxes.h"

#include <QFile>
#include <gtest/gtest.h>

using namespace zev;

namespace {

// A small video made with the staged ffmpeg: 10 frames of the test
// pattern, with or without a sound track and the index first.
std::optional<QByteArray> makeVideo(const QString& path, const QStringList& extra) {
    QStringList arguments{"-v", "error", "-f", "lavfi", "-i", "testsrc=size=64x48:rate=25"};
    arguments += extra;
    arguments += {"-frames:v", "10", "-pix_fmt", "yuv420p", "-y", "file:" + path};
    return ToolProbe::output(ToolProbe::stagedFfmpeg(), arguments);
}

// Every decoded frame's checksum, sound included: the same text means the
// same pixels and samples.
QByteArray decodedChecksums(const QString& path) {
    return ToolProbe::output(ToolProbe::stagedFfmpeg(),
                             {"-v", "error", "-i", "file:" + path, "-map", "0", "-f", "framemd5", "-"})
        .value_or(QByteArray());
}

QList<quint64> chunkOffsetsOf(const QString& path) {
    QList<quint64> offsets;
    for (const Mp4Boxes::Box& box : Mp4Boxes::read(path)) {
        if (box.type != "moov")
            continue;
        QFile file(path);
        file.open(QIODevice::ReadOnly);
        file.seek(box.offset);
        std::optional<Mp4BoxTree> moov = Mp4BoxTree::parse(file.read(box.size));
        for (const Mp4BoxTree* table : moov->all("stco") + moov->all("co64"))
            offsets += table->chunkOffsets().value_or(QList<quint64>());
    }
    return offsets;
}

VapcDescription vapc() {
    VapcDescription description;
    description.frames = 10;
    description.size = {40, 32};
    description.videoSize = {64, 48};
    description.colourRect = {0, 0, 40, 32};
    description.alphaRect = {48, 0, 16, 16};
    return description;
}

MarkedDescription marked() {
    MarkedDescription description;
    description.videoSize = {64, 48};
    description.alphaRect = {0, 0, 32, 48};
    description.colourRect = {32, 0, 32, 48};
    return description;
}

struct WriteCase {
    const char* title;
    QStringList encoding;
    bool vapc;
    bool markers;
    // Descriptions the file already holds, written first.
    bool describedBefore;
};

class Writes : public testing::TestWithParam<WriteCase> {};

// The frames decode to the same pixels (and sound to the same samples)
// afterwards, the descriptions read back as written, and the index's chunk
// offsets moved by the bytes that came before the frames.
TEST_P(Writes, KeepTheFramesAndHoldTheDescriptions) {
    const WriteCase& c = GetParam();
    TemporaryFolder folder;
    const QString plain = folder.filePath("plain.mp4");
    const QString before = folder.filePath("before.mp4");
    const QString after = folder.filePath("after.mp4");
    ASSERT_TRUE(makeVideo(plain, c.encoding));
    if (c.describedBefore) {
        MarkedDescription other = marked();
        other.fps = 12;
        ASSERT_TRUE(EmbeddedDescriptions::write(plain, before, {vapc(), other}).ok());
    } else {
        ASSERT_TRUE(QFile::copy(plain, before));
    }
    EmbeddedDescriptions::Written written;
    if (c.vapc)
        written.vapc = vapc();
    if (c.markers)
        written.marked = marked();
    const Result<> made = EmbeddedDescriptions::write(before, after, written);
    ASSERT_TRUE(made.ok()) << made.reason().toStdString();

    EXPECT_TRUE(EmbeddedDescriptions::check(after, written).ok());
    const QByteArray checksums = decodedChecksums(plain);
    ASSERT_FALSE(checksums.isEmpty());
    EXPECT_EQ(decodedChecksums(after), checksums);
    const QList<Mp4Boxes::Box> boxes = Mp4Boxes::read(after);
    EXPECT_EQ(boxes.size() > 1 && boxes.at(1).type == "vapc", c.vapc);
    EXPECT_EQ(Mp4Boxes::indexLeads(after), Mp4Boxes::indexLeads(plain));

    // Every chunk moved by what now stands before the frames.
    const auto mdatAt = [](const QString& path) {
        for (const Mp4Boxes::Box& box : Mp4Boxes::read(path))
            if (box.type == "mdat")
                return box.offset;
        return qint64(-1);
    };
    const qint64 shift = mdatAt(after) - mdatAt(plain);
    const QList<quint64> original = chunkOffsetsOf(plain);
    const QList<quint64> moved = chunkOffsetsOf(after);
    ASSERT_EQ(moved.size(), original.size());
    ASSERT_FALSE(original.isEmpty());
    for (qsizetype i = 0; i < original.size(); ++i)
        EXPECT_EQ(qint64(moved.at(i)) - qint64(original.at(i)), shift);
}

const QStringList kH264 = {"-c:v", "libx264"};
const QStringList kFaststart = {"-c:v", "libx264", "-movflags", "+faststart"};

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    EmbeddedDescriptionsTest, Writes,
    testing::Values(
        //       title                 encoding                                                  vapc   markers before
        WriteCase{"box_index_last",    kH264,                                                    true,  false, false},
        WriteCase{"both_with_sound",   QStringList{"-f", "lavfi", "-i", "sine=d=0.4", "-c:v", "libx264", "-c:a", "aac",
                                                   "-shortest", "-movflags", "+faststart"},      true,  true,  false},
        WriteCase{"replaced",          kFaststart,                                               true,  true,  true}),
    ParamName());
// clang-format on

struct RefusalCase {
    const char* title;
    QStringList encoding;
    const char* extension;
    const char* reason;
    // Bytes cut off the end of the file.
    int cut = 0;
};

class Refusals : public testing::TestWithParam<RefusalCase> {};

TEST_P(Refusals, LeaveNothingAndSayWhy) {
    const RefusalCase& c = GetParam();
    TemporaryFolder folder;
    const QString plain = folder.filePath(QStringLiteral("plain.") + c.extension);
    const QString after = folder.filePath("after.mp4");
    ASSERT_TRUE(makeVideo(plain, c.encoding));
    QFile file(plain);
    ASSERT_TRUE(file.resize(file.size() - c.cut));
    const Result<> made = EmbeddedDescriptions::write(plain, after, {vapc(), marked()});
    ASSERT_FALSE(made.ok());
    EXPECT_TRUE(made.reason().contains(c.reason)) << made.reason().toStdString();
    EXPECT_FALSE(QFile::exists(after));
}

INSTANTIATE_TEST_SUITE_P(
    EmbeddedDescriptionsTest, Refusals,
    testing::Values(RefusalCase{"webm", {"-c:v", "libvpx-vp9"}, "webm", "not an MP4 file"},
                    RefusalCase{"fragmented",
                                {"-c:v", "libx264", "-movflags", "frag_keyframe+empty_moov"},
                                "mp4",
                                "fragmented"},
                    RefusalCase{"cut_short", kFaststart, "mp4", "its boxes end at byte", 100}),
    ParamName());

// What a player finds: a vapc box elsewhere than right after ftyp is not
// one, and a marked text without its closing marker is no description.
TEST(EmbeddedDescriptionsTest, ReadsOnlyWhatPlayersWouldFind) {
    TemporaryFolder folder;
    const QString plain = folder.filePath("plain.mp4");
    ASSERT_TRUE(makeVideo(plain, kFaststart));
    QFile file(plain);
    ASSERT_TRUE(file.open(QIODevice::Append));
    file.write(Mp4BoxTree::leaf("vapc", vapc().toJson()).serialise());
    file.write(Mp4BoxTree::leaf("free", MarkedDescription::kOpening + "eJw=").serialise());
    file.close();
    const EmbeddedDescriptions::Found found = EmbeddedDescriptions::read(plain);
    EXPECT_FALSE(found.vapc);
    EXPECT_TRUE(found.vapcMisplaced);
    ASSERT_TRUE(found.marked);
    EXPECT_FALSE(found.marked->ok());
}

} // namespace

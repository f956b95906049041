#include "VideoUnpacker.h"

#include "PngFrameFile.h"
#include "TemporaryFolder.h"
#include "TestFrames.h"
#include "TestVideos.h"
#include "core/Cancellation.h"

#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <gtest/gtest.h>

using namespace zev;

namespace {

constexpr int kFrames = 6;

VideoUnpacker::Tools stagedTools() {
    const QString folder = QStringLiteral(ZEV_STAGED_RESOURCES "/ffmpeg/");
    return {folder + QStringLiteral("ffprobe"), folder + QStringLiteral("ffmpeg")};
}

// Every file below folder (links as links) with a hash of what it holds.
QStringList contents(const QString& folder) {
    QStringList found;
    QDirIterator it(folder, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        const QFileInfo info(path);
        QFile file(path);
        const QByteArray bytes =
            info.isFile() && !info.isSymLink() && file.open(QIODevice::ReadOnly)
                ? QCryptographicHash::hash(file.readAll(), QCryptographicHash::Md5).toHex()
                : QByteArray(info.isSymLink() ? "link" : "folder");
        found.append(QDir(folder).relativeFilePath(path) + u' ' + QString::fromLatin1(bytes));
    }
    found.sort();
    return found;
}

// A frame folder with its video: the frames unpacked are the video's.
class VideoUnpackerTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(TestFrames::writeGradientSequence(frames(), kFrames, 16, 8));
        ASSERT_TRUE(TestVideos::packFolder(frames()));
    }
    QString frames() const { return folder.filePath("frames"); }
    QString video() const { return folder.filePath("frames/output/zev.mp4"); }

    TemporaryFolder folder;
};

// A folder that already holds numbered frames, here only a link named as
// one, is left exactly as it was.
TEST_F(VideoUnpackerTest, AFolderHoldingNumberedFramesIsRefusedUntouched) {
    const QString out = folder.makeFolder("out");
    ASSERT_TRUE(QFile::link(frames() + "/0.png", out + "/0.png"));
    const QStringList before = contents(folder.path());

    const Result<qint64> written = VideoUnpacker::unpack(stagedTools(), video(), out);

    ASSERT_FALSE(written.ok());
    EXPECT_TRUE(written.reason().contains(QStringLiteral("already holds numbered frames")))
        << written.reason().toStdString();
    EXPECT_EQ(contents(folder.path()), before);
}

// Asked to replace them, the video's frames take their names: a link
// standing there is replaced, never written through, and numbered frames
// after the video's last stay as they were.
TEST_F(VideoUnpackerTest, ReplacingFramesNeverWritesThroughALink) {
    const QString out = folder.makeFolder("out");
    ASSERT_TRUE(TestFrames::writeSequence(out, 10, 8, 6));
    const QString outside = folder.touch("outside.png", "keep");
    ASSERT_TRUE(QFile::remove(out + "/0.png"));
    ASSERT_TRUE(QFile::link(outside, out + "/0.png"));
    const QStringList later = contents(out).filter(QRegularExpression(QStringLiteral("^[6-9]\\.png ")));

    const Result<qint64> written =
        VideoUnpacker::unpack(stagedTools(), video(), out, {}, nullptr, VideoUnpacker::Existing::Replace);

    ASSERT_TRUE(written.ok()) << written.reason().toStdString();
    EXPECT_EQ(*written, kFrames);
    QFile kept(outside);
    ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
    EXPECT_EQ(kept.readAll(), "keep");
    EXPECT_FALSE(QFileInfo(out + "/0.png").isSymLink());
    EXPECT_TRUE(PngFrameFile::read(out + "/0.png").ok());
    EXPECT_EQ(contents(out).filter(QRegularExpression(QStringLiteral("^[6-9]\\.png "))), later);
    EXPECT_EQ(VideoUnpacker::numberedFrames(out).size(), 10);
}

// Stopped after two frames: no frame at all is left behind, nor anything
// half made.
TEST_F(VideoUnpackerTest, AStoppedUnpackLeavesNoFrames) {
    const QString out = folder.filePath("out");
    Cancellation cancellation;
    const Result<qint64> written = VideoUnpacker::unpack(
        stagedTools(), video(), out,
        [&cancellation](qint64 done, qint64) {
            if (done == 2)
                cancellation.request();
        },
        &cancellation);

    ASSERT_FALSE(written.ok());
    EXPECT_EQ(contents(out), QStringList());
}

} // namespace

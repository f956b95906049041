#include "PreviewController.h"

#include "TemporaryFolder.h"
#include "TestFrames.h"
#include "TestVideos.h"
#include "ZEVPreviewCanvas.h"

#include <QDir>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>
#include <unistd.h>

using namespace zev;

namespace {

// The ffmpeg processes this test program started that are still running.
int runningFfmpegChildren() {
    int count = 0;
    const QString parent = QString::number(getpid());
    for (const QString& entry : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
        QFile stat(QStringLiteral("/proc/%1/stat").arg(entry));
        if (!stat.open(QIODevice::ReadOnly))
            continue;
        // "pid (comm) state ppid …"
        const QString text = QString::fromUtf8(stat.readAll());
        const qsizetype close = text.lastIndexOf(u')');
        const QStringList rest = text.mid(close + 2).split(u' ');
        if (text.contains(QStringLiteral("(ffmpeg)")) && rest.size() > 1 && rest[1] == parent &&
            rest[0] != u'Z')
            ++count;
    }
    return count;
}

class PreviewControllerTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(TestFrames::writeSequence(folder_.path(), 30, 32, 16));
        ASSERT_TRUE(TestVideos::packFolder(folder_.path()));
    }

    QString video() const { return folder_.filePath(QStringLiteral("output/zev.mp4")); }

    TemporaryFolder folder_;
};

TEST_F(PreviewControllerTest, PlaysTheVideoAndComparesWithTheSourceFrames) {
    QPointer<PreviewController> preview = new PreviewController;
    QSignalSpy opened(preview.data(), &PreviewController::opened);
    preview->open(video());
    ASSERT_TRUE(opened.wait(20000)) << preview->failure().toStdString();
    EXPECT_TRUE(preview->canCompare());
    ASSERT_TRUE(QTest::qWaitFor([&]() { return preview->player()->position() >= 3; }, 10000));
    EXPECT_TRUE(preview->player()->isPlaying());
    for (const auto view : {PreviewController::View::Difference, PreviewController::View::Edges}) {
        preview->setView(view);
        EXPECT_EQ(preview->canvas()->image().size(), QSize(32, 16));
    }
    delete preview;
}

TEST_F(PreviewControllerTest, LoopsFromTheLastFrameBackToTheFirst) {
    QPointer<PreviewController> preview = new PreviewController;
    QSignalSpy opened(preview.data(), &PreviewController::opened);
    preview->open(video());
    ASSERT_TRUE(opened.wait(20000));
    PreviewPlayer* player = preview->player();
    QList<qint64> shown;
    QObject::connect(player, &PreviewPlayer::frameShown, player,
                     [&shown](qint64 index) { shown.append(index); });
    player->seek(26);
    ASSERT_TRUE(QTest::qWaitFor([&]() { return shown.contains(29) && shown.last() < 3; }, 10000));
    const qsizetype last = shown.indexOf(29);
    ASSERT_LT(last + 1, shown.size());
    EXPECT_EQ(shown.at(last + 1), 0);
    EXPECT_TRUE(player->isPlaying());
    EXPECT_TRUE(preview->failure().isEmpty());
    delete preview;
}

TEST_F(PreviewControllerTest, ClosingThePreviewEndsItsDecoder) {
    ASSERT_EQ(runningFfmpegChildren(), 0);
    QPointer<PreviewController> preview = new PreviewController;
    QSignalSpy opened(preview.data(), &PreviewController::opened);
    preview->open(video());
    ASSERT_TRUE(opened.wait(20000));
    // Paused with frames decoded ahead, ffmpeg waits on a full pipe.
    preview->player()->pause();
    ASSERT_TRUE(QTest::qWaitFor([]() { return runningFfmpegChildren() == 1; }, 5000));
    preview->close(); // deletes itself
    ASSERT_TRUE(QTest::qWaitFor([&]() { return preview.isNull(); }, 5000));
    EXPECT_EQ(runningFfmpegChildren(), 0);
}

TEST_F(PreviewControllerTest, ADamagedVideoGivesAMessageInTheWindow) {
    const QString damaged = folder_.touch(QStringLiteral("damaged.mp4"), QByteArray(2048, '\x07'));
    QPointer<PreviewController> preview = new PreviewController;
    QSignalSpy failed(preview.data(), &PreviewController::openFailed);
    preview->open(damaged);
    ASSERT_TRUE(failed.wait(20000));
    EXPECT_TRUE(preview->failure().contains(damaged)) << preview->failure().toStdString();
    // In the window's language, though no main window installed it.
    EXPECT_TRUE(preview->failure().startsWith(QStringLiteral("ffprobe 无法读取 ")))
        << preview->failure().toStdString();
    EXPECT_EQ(preview->player(), nullptr);
    delete preview;
}

TEST(PreviewControllerFolderTest, OnlyAFolderOutputVideoHasSourceFrames) {
    EXPECT_EQ(PreviewController::frameFolderOf(QStringLiteral("/a/frames/output/zev.mp4")),
              QStringLiteral("/a/frames"));
    EXPECT_TRUE(PreviewController::frameFolderOf(QStringLiteral("/a/frames/zev.mp4")).isEmpty());
    EXPECT_TRUE(PreviewController::frameFolderOf(QStringLiteral("/a/output/other.mp4")).isEmpty());
}

} // namespace

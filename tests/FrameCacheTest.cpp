#include "storage/FrameCache.h"

#include "ScratchEnvironment.h"
#include "TemporaryFolder.h"
#include "storage/ScratchFolders.h"
#include "storage/SourceFolderLock.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>
#include <utime.h>

using namespace zev;

namespace {

class FrameCacheTest : public ::testing::Test {
protected:
    ScratchEnvironment scratch;
    TemporaryFolder folder;

    // A folder of packed frames taking bytesPerFrame × count bytes.
    QString packedFrames(const QString& name, int count, int bytesPerFrame = 1000) {
        const QString packed = folder.makeFolder("packed-" + name);
        for (int i = 0; i < count; ++i)
            folder.touch(QStringLiteral("packed-%1/%2.png").arg(name).arg(i, 5, 10, QLatin1Char('0')),
                         QByteArray(bytesPerFrame, 'x'));
        return packed;
    }

    QString source(const QString& name) { return folder.makeFolder("frames-" + name); }

    // Pretends the folder's cache was last used secondsAgo ago.
    static void lastUsed(const QString& frameFolder, qint64 secondsAgo) {
        const QByteArray record =
            QFile::encodeName(FrameCache::entryFolder(frameFolder) + "/appendImages.source");
        const time_t then = time(nullptr) - secondsAgo;
        const utimbuf times{then, then};
        ASSERT_EQ(::utime(record.constData(), &times), 0);
    }
};

TEST_F(FrameCacheTest, EveryFolderKeepsItsOwnPackedFrames) {
    const QString a = source("a");
    const QString b = source("b");
    ASSERT_TRUE(FrameCache::store(a, packedFrames("a", 3), 3));
    ASSERT_TRUE(FrameCache::store(b, packedFrames("b", 5), 5));

    EXPECT_TRUE(FrameCache::matches(a, 3)) << "a's cache survives b's run";
    EXPECT_TRUE(FrameCache::matches(b + "/", 5));
    EXPECT_FALSE(FrameCache::matches(a, 5));
    EXPECT_EQ(QDir(FrameCache::packedFramesFolder(a)).entryList(QDir::Files).size(), 3);
    EXPECT_TRUE(FrameCache::entryFolder(a).startsWith(scratch.cacheHome() + "/zev/"));
    EXPECT_NE(FrameCache::entryFolder(a), FrameCache::entryFolder(b));
    EXPECT_FALSE(QFileInfo::exists(folder.filePath("packed-a"))) << "moved, not copied";

    // A later full run of a replaces its frames.
    ASSERT_TRUE(FrameCache::store(a, packedFrames("a2", 2), 2));
    EXPECT_TRUE(FrameCache::matches(a, 2));
    EXPECT_EQ(QDir(FrameCache::packedFramesFolder(a)).entryList(QDir::Files).size(), 2);
}

TEST_F(FrameCacheTest, PruneRemovesTheLeastRecentlyUsedButNeverOneInUse) {
    const QString oldest = source("oldest");
    const QString inUse = source("in-use");
    const QString recent = source("recent");
    const QString newest = source("newest");
    int age = 400;
    for (const QString& frames : {oldest, inUse, recent, newest}) {
        ASSERT_TRUE(FrameCache::store(frames, packedFrames(QFileInfo(frames).fileName(), 10), 10));
        lastUsed(frames, age -= 100);
    }
    FrameCache::markUsed(oldest); // now the most recently used
    ASSERT_TRUE(ScratchFolders::prepareUserFolder());
    SourceFolderLock running;
    ASSERT_TRUE(running.tryLock(inUse));

    // Four caches of 10 kB each, room for two.
    const QStringList removed = FrameCache::prune(20000 + 500);
    EXPECT_EQ(removed, (QStringList{FrameCache::entryFolder(recent), FrameCache::entryFolder(newest)}));
    EXPECT_TRUE(FrameCache::matches(oldest, 10));
    EXPECT_TRUE(FrameCache::matches(inUse, 10));

    running.unlock();
    EXPECT_EQ(FrameCache::prune(10000 + 500), QStringList{FrameCache::entryFolder(inUse)});
    EXPECT_EQ(FrameCache::prune(FrameCache::kDefaultCapBytes), QStringList());
}

TEST_F(FrameCacheTest, ACacheFolderThatIsALinkIsNotUsed) {
    const QString frames = source("a");
    const QString elsewhere = folder.makeFolder("elsewhere");
    ASSERT_TRUE(QDir().mkpath(scratch.cacheHome()));
    ASSERT_TRUE(QFile::link(elsewhere, FrameCache::rootFolder()));

    EXPECT_FALSE(FrameCache::checkEntry(frames));
    EXPECT_FALSE(FrameCache::store(frames, packedFrames("a", 2), 2));
    EXPECT_TRUE(QDir(elsewhere).isEmpty());
}

} // namespace

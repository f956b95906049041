#include "storage/FrameCache.h"

#include "ParamName.h"
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

// What a user, another program or an attacker may leave in a folder's
// entry instead of what ZEV made there.
struct ForeignEntryCase {
    const char* title;
    // Makes it, given the entry and a folder outside the cache.
    void (*tamper)(const QString& entry, const QString& outside);
};

class ForeignEntries : public FrameCacheTest, public ::testing::WithParamInterface<ForeignEntryCase> {
protected:
    // A folder outside the cache that must come through untouched.
    QString outside() { return folder.makeFolder("outside"); }
    QStringList outsideContents() const {
        return QDir(folder.filePath("outside"))
            .entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    }
};

// The next full run of the folder never empties, writes or renames anything
// the entry leads to, and still keeps its own packed frames.
TEST_P(ForeignEntries, AreNeverFollowed) {
    const QString frames = source("a");
    ASSERT_TRUE(FrameCache::store(frames, packedFrames("first", 3), 3));
    const QString target = outside();
    folder.touch("outside/precious.png", "keep");
    folder.touch("outside/appendImages.source", "keep too");
    GetParam().tamper(FrameCache::entryFolder(frames), target);
    const QStringList before = outsideContents();

    EXPECT_TRUE(FrameCache::store(frames, packedFrames("second", 2), 2));

    EXPECT_EQ(outsideContents(), before);
    QFile precious(folder.filePath("outside/precious.png"));
    ASSERT_TRUE(precious.open(QIODevice::ReadOnly));
    EXPECT_EQ(precious.readAll(), "keep");
    const QFileInfo packed(FrameCache::packedFramesFolder(frames));
    EXPECT_TRUE(packed.isDir() && !packed.isSymLink());
    EXPECT_TRUE(FrameCache::matches(frames, 2));
    EXPECT_EQ(QDir(packed.filePath()).entryList(QDir::Files).size(), 2);

    // Nor does pruning, which removes what was set aside.
    EXPECT_FALSE(FrameCache::prune(0).isEmpty());
    EXPECT_EQ(outsideContents(), before);
}

// A cache run finds the entry set aside (or the link gone), with the reason
// for its log, and nothing left that it would encode.
TEST_P(ForeignEntries, AreSetAsideForCacheRuns) {
    const QString frames = source("a");
    ASSERT_TRUE(FrameCache::store(frames, packedFrames("first", 3), 3));
    EXPECT_EQ(FrameCache::checkEntry(frames).value(), QString()) << "what ZEV made is sound";
    const QString target = outside();
    folder.touch("outside/precious.png", "keep");
    folder.touch("outside/appendImages.source", "keep too");
    const QString entry = FrameCache::entryFolder(frames);
    GetParam().tamper(entry, target);

    const Result<QString> checked = FrameCache::checkEntry(frames);

    ASSERT_TRUE(checked) << checked.reason().toStdString();
    EXPECT_TRUE(checked->contains(entry)) << checked->toStdString();
    EXPECT_FALSE(QFileInfo(entry).exists() || QFileInfo(entry).isSymLink());
    EXPECT_FALSE(FrameCache::matches(frames, 3));
    EXPECT_EQ(FrameCache::checkEntry(frames).value(), QString());
    EXPECT_TRUE(QFileInfo::exists(folder.filePath("outside/precious.png")));
}

void replaceWithLink(const QString& path, const QString& target) {
    QFileInfo(path).isDir() ? (void)QDir(path).removeRecursively() : (void)QFile::remove(path);
    ASSERT_TRUE(QFile::link(target, path)) << path.toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Cache, ForeignEntries,
    ::testing::Values(ForeignEntryCase{"packed frames a link",
                                       [](const QString& entry, const QString& outside) {
                                           replaceWithLink(entry + "/appendImages", outside);
                                       }},
                      ForeignEntryCase{"partial copy a link",
                                       [](const QString& entry, const QString& outside) {
                                           replaceWithLink(entry + "/appendImages.partial", outside);
                                       }},
                      ForeignEntryCase{"record a link",
                                       [](const QString& entry, const QString& outside) {
                                           replaceWithLink(entry + "/appendImages.source",
                                                           outside + "/appendImages.source");
                                       }},
                      ForeignEntryCase{"packed frame a link",
                                       [](const QString& entry, const QString& outside) {
                                           replaceWithLink(entry + "/appendImages/00000.png",
                                                           outside + "/precious.png");
                                       }},
                      ForeignEntryCase{"folder inside the packed frames a link",
                                       [](const QString& entry, const QString& outside) {
                                           ASSERT_TRUE(QFile::link(outside, entry + "/appendImages/more"));
                                       }},
                      ForeignEntryCase{"entry a link",
                                       [](const QString& entry, const QString& outside) {
                                           QDir(entry + "/appendImages").removeRecursively();
                                           QFile::remove(entry + "/appendImages.source");
                                           QFile::rename(outside + "/appendImages.source",
                                                         outside + "/record-kept");
                                           replaceWithLink(entry, outside);
                                       }},
                      ForeignEntryCase{"packed frames a file",
                                       [](const QString& entry, const QString&) {
                                           QDir(entry + "/appendImages").removeRecursively();
                                           QFile file(entry + "/appendImages");
                                           ASSERT_TRUE(file.open(QIODevice::WriteOnly));
                                       }}),
    ParamName());

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

#include "storage/RunFolder.h"

#include "ScratchEnvironment.h"
#include "storage/ScratchFolders.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <gtest/gtest.h>
#include <sys/stat.h>

using namespace zev;

namespace {

QStringList runFolders() {
    return QDir(ScratchFolders::userFolder())
        .entryList({RunFolder::kNamePrefix + u'*'}, QDir::Dirs | QDir::Hidden);
}

TEST(RunFolderTest, PrivateWhileTheRunLivesAndGoneAfterIt) {
    ScratchEnvironment scratch;
    QString path;
    {
        RunFolder first;
        RunFolder second;
        ASSERT_TRUE(first.create());
        ASSERT_TRUE(second.create());
        path = first.path();
        EXPECT_NE(first.path(), second.path()) << "runs side by side share nothing";
        EXPECT_EQ(QFileInfo(path).path(), ScratchFolders::userFolder());
        struct stat status {};
        ASSERT_EQ(::stat(QFile::encodeName(path).constData(), &status), 0);
        EXPECT_EQ(status.st_mode & 07777, 0700u);
        ASSERT_TRUE(ScratchFolders::rebuild(ScratchFolders::alphaImagesDirectoryPath(path)));
        QFile(path + "/alphaImages/0.png").open(QIODevice::WriteOnly);
        EXPECT_EQ(RunFolder::removeStale(), QStringList()) << "live runs are never swept";
        EXPECT_EQ(runFolders().size(), 2);
    }
    EXPECT_FALSE(QFileInfo::exists(path));
    EXPECT_EQ(runFolders(), QStringList());
}

// A run killed before it could remove its folder: its lock died with it.
TEST(RunFolderTest, SweepRemovesWhatDeadRunsLeftAndOnlyThat) {
    ScratchEnvironment scratch;
    ASSERT_TRUE(ScratchFolders::prepareUserFolder());
    const QString user = ScratchFolders::userFolder();
    const QString dead = user + "/run-dead01";
    ASSERT_TRUE(QDir().mkpath(dead + "/appendImages"));
    QFile(dead + "/appendImages/00000.png").open(QIODevice::WriteOnly);
    const QString otherFile = user + "/folder-0123.lock";
    QFile(otherFile).open(QIODevice::WriteOnly);
    // Held by another process, as a live run of another ZEV would hold it.
    const QString held = user + "/run-held01";
    ASSERT_TRUE(QDir().mkpath(held));
    QProcess holder;
    // --no-fork: flock becomes the sleep, so killing it frees the lock.
    holder.start("/usr/bin/flock", {"--no-fork", held, "/bin/sleep", "30"});
    ASSERT_TRUE(holder.waitForStarted());
    QProcess::execute("/bin/sleep", {"0.3"});

    RunFolder next;
    ASSERT_TRUE(next.create());
    EXPECT_FALSE(QFileInfo::exists(dead));
    EXPECT_TRUE(QFileInfo::exists(held)) << "its run is alive";
    EXPECT_TRUE(QFileInfo::exists(otherFile)) << "not a run folder";
    EXPECT_TRUE(QFileInfo::exists(next.path()));

    holder.kill();
    holder.waitForFinished();
    EXPECT_EQ(RunFolder::removeStale(), QStringList{held});
}

TEST(RunFolderTest, SweepRemovesTheSharedFoldersOfEarlierVersions) {
    ScratchEnvironment scratch;
    ASSERT_TRUE(ScratchFolders::prepareUserFolder());
    const QString user = ScratchFolders::userFolder();
    ASSERT_TRUE(ScratchFolders::rebuild(ScratchFolders::appendImagesDirectoryPath()));
    QFile(user + "/lock").open(QIODevice::WriteOnly);
    EXPECT_EQ(RunFolder::removeStale(), QStringList{ScratchFolders::appendImagesDirectoryPath()});
    EXPECT_EQ(QDir(user).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden), QStringList());
}

} // namespace

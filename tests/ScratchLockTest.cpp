#include "storage/ScratchLock.h"

#include "TemporaryFolder.h"

#include <QFile>
#include <QProcess>
#include <gtest/gtest.h>

namespace {

TEST(ScratchLockTest, ExcludesASecondHolderUntilReleased) {
    TemporaryFolder folder;
    ScratchLock first;
    ScratchLock second;
    ASSERT_TRUE(first.tryLock(folder.path()));
    const Result<> refused = second.tryLock(folder.path());
    EXPECT_FALSE(refused);
    EXPECT_TRUE(refused.reason().contains("another ZEV conversion is running"))
        << refused.reason().toStdString();
    first.unlock();
    EXPECT_TRUE(second.tryLock(folder.path()));
}

TEST(ScratchLockTest, ReleasedWhenTheHolderGoesAway) {
    TemporaryFolder folder;
    {
        ScratchLock scoped;
        ASSERT_TRUE(scoped.tryLock(folder.path()));
    }
    ScratchLock next;
    EXPECT_TRUE(next.tryLock(folder.path()));
}

TEST(ScratchLockTest, AnotherProcessSeesTheLock) {
    TemporaryFolder folder;
    ScratchLock held;
    ASSERT_TRUE(held.tryLock(folder.path()));
    // flock(1) from util-linux asks the kernel the same question another
    // conversion would.
    const int status =
        QProcess::execute(QStringLiteral("/usr/bin/flock"),
                          {"--nonblock", ScratchLock::lockFilePath(folder.path()), "/bin/true"});
    EXPECT_EQ(status, 1);
    held.unlock();
    EXPECT_EQ(QProcess::execute(QStringLiteral("/usr/bin/flock"),
                                {"--nonblock", ScratchLock::lockFilePath(folder.path()), "/bin/true"}),
              0);
}

TEST(ScratchLockTest, NeverFollowsALinkAtTheLockFile) {
    TemporaryFolder folder;
    const QString target = folder.touch("elsewhere");
    ASSERT_TRUE(QFile::link(target, ScratchLock::lockFilePath(folder.path())));
    ScratchLock lock;
    EXPECT_FALSE(lock.tryLock(folder.path()));
}

} // namespace

#include "storage/FileLock.h"

#include "TemporaryFolder.h"

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <gtest/gtest.h>

using namespace zev;

namespace {

const QString kBusy = QStringLiteral("another ZEV conversion is running");

QString lockFile(const TemporaryFolder& folder) {
    return folder.filePath("lock");
}

TEST(FileLockTest, ExcludesASecondHolderUntilReleased) {
    TemporaryFolder folder;
    FileLock first;
    FileLock second;
    ASSERT_TRUE(first.tryLockFile(lockFile(folder), kBusy));
    const Result<> refused = second.tryLockFile(lockFile(folder), kBusy);
    EXPECT_FALSE(refused);
    EXPECT_TRUE(refused.reason().contains("another ZEV conversion is running"))
        << refused.reason().toStdString();
    first.unlock();
    EXPECT_TRUE(second.tryLockFile(lockFile(folder), kBusy));
}

TEST(FileLockTest, ReleasedWhenTheHolderGoesAway) {
    TemporaryFolder folder;
    {
        FileLock scoped;
        ASSERT_TRUE(scoped.tryLockFile(lockFile(folder), kBusy));
    }
    FileLock next;
    EXPECT_TRUE(next.tryLockFile(lockFile(folder), kBusy));
}

TEST(FileLockTest, AnotherProcessSeesTheLock) {
    TemporaryFolder folder;
    FileLock held;
    ASSERT_TRUE(held.tryLockFile(lockFile(folder), kBusy));
    // flock(1) from util-linux asks the kernel the same question another
    // conversion would.
    const int status =
        QProcess::execute(QStringLiteral("/usr/bin/flock"), {"--nonblock", lockFile(folder), "/bin/true"});
    EXPECT_EQ(status, 1);
    held.unlock();
    EXPECT_EQ(
        QProcess::execute(QStringLiteral("/usr/bin/flock"), {"--nonblock", lockFile(folder), "/bin/true"}),
        0);
}

TEST(FileLockTest, NeverFollowsALinkAtTheLockFile) {
    TemporaryFolder folder;
    const QString target = folder.touch("elsewhere");
    ASSERT_TRUE(QFile::link(target, lockFile(folder)));
    FileLock lock;
    EXPECT_FALSE(lock.tryLockFile(lockFile(folder), kBusy));
}

// Lock files do not pile up, one per folder ever converted; a holder that
// opened the file just before it went still sees the lock of the next.
TEST(FileLockTest, LockFileGoesWithTheLastHolder) {
    TemporaryFolder folder;
    FileLock first;
    ASSERT_TRUE(first.tryLockFile(lockFile(folder), kBusy));
    first.unlock();
    EXPECT_FALSE(QFile::exists(lockFile(folder)));
    FileLock second;
    FileLock third;
    ASSERT_TRUE(second.tryLockFile(lockFile(folder), kBusy));
    EXPECT_FALSE(third.tryLockFile(lockFile(folder), kBusy));
}

TEST(FileLockTest, FolderLockSeenByAnotherProcessAndFolderKept) {
    TemporaryFolder folder;
    const QString locked = folder.makeFolder("run");
    FileLock held;
    ASSERT_TRUE(held.tryLockFolder(locked));
    EXPECT_EQ(QProcess::execute(QStringLiteral("/usr/bin/flock"), {"--nonblock", locked, "/bin/true"}), 1);
    held.unlock();
    EXPECT_EQ(QProcess::execute(QStringLiteral("/usr/bin/flock"), {"--nonblock", locked, "/bin/true"}), 0);
    EXPECT_TRUE(QFileInfo(locked).isDir());
}

} // namespace

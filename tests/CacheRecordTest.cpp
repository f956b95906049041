#include "storage/CacheRecord.h"

#include "TemporaryFolder.h"

#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>

using namespace zev;

namespace {

TEST(CacheRecordTest, MatchesOnlyTheSameFolderAndCount) {
    TemporaryFolder scratch;
    TemporaryFolder frames;
    const QString other = frames.makeFolder("other");
    EXPECT_FALSE(CacheRecord::matches(scratch.path(), frames.path(), 3)) << "no record yet";

    ASSERT_TRUE(CacheRecord::write(scratch.path(), frames.path(), 3));
    EXPECT_TRUE(CacheRecord::matches(scratch.path(), frames.path(), 3));
    EXPECT_TRUE(CacheRecord::matches(scratch.path(), frames.path() + "/", 3))
        << "same folder, trailing slash";
    EXPECT_FALSE(CacheRecord::matches(scratch.path(), frames.path(), 4));
    EXPECT_FALSE(CacheRecord::matches(scratch.path(), other, 3));
    EXPECT_EQ(
        CacheRecord::matches(scratch.path(), other, 3).reason(),
        QStringLiteral("they come from %1 with 3 frames").arg(QFileInfo(frames.path()).canonicalFilePath()));
    EXPECT_FALSE(CacheRecord::matches(scratch.path(), frames.filePath("missing"), 3));

    const QString link = scratch.filePath("link");
    ASSERT_TRUE(QFile::link(frames.path(), link));
    EXPECT_TRUE(CacheRecord::matches(scratch.path(), link, 3)) << "the folder reached through a link";

    ASSERT_TRUE(CacheRecord::clear(scratch.path()));
    EXPECT_FALSE(CacheRecord::matches(scratch.path(), frames.path(), 3));
    EXPECT_TRUE(CacheRecord::clear(scratch.path())) << "nothing left to clear";
}

TEST(CacheRecordTest, GarbageIsNoMatch) {
    TemporaryFolder scratch;
    TemporaryFolder frames;
    QFile file(CacheRecord::filePath(scratch.path()));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("not json");
    file.close();
    EXPECT_FALSE(CacheRecord::matches(scratch.path(), frames.path(), 0));
}

} // namespace

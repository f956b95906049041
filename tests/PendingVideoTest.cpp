#include "pipeline/PendingVideo.h"

#include "TemporaryFolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

using namespace zev;

namespace {

QStringList entries(const QString& folder) {
    QStringList names = QDir(folder).entryList(QDir::Files | QDir::Hidden);
    names.sort();
    return names;
}

QString contentOf(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QStringLiteral("(none)");
}

TEST(PendingVideoTest, CommitReplacesTheVideoAndALinkWithoutFollowingIt) {
    TemporaryFolder folder;
    const QString output = folder.makeFolder("output");
    const QString outside = folder.touch("outside", "outside");
    ASSERT_TRUE(QFile::link(outside, output + "/zev.mp4"));
    {
        PendingVideo video(output, "encoding");
        EXPECT_TRUE(video.path().startsWith(output + "/.zev-encoding-"));
        EXPECT_FALSE(video.commit()) << "nothing written yet";
        QFile written(video.path());
        ASSERT_TRUE(written.open(QIODevice::WriteOnly));
        written.write("new video");
        written.close();
        EXPECT_TRUE(video.commit());
    }
    EXPECT_EQ(contentOf(output + "/zev.mp4"), "new video");
    EXPECT_FALSE(QFileInfo(output + "/zev.mp4").isSymLink());
    EXPECT_EQ(contentOf(outside), "outside");
}

TEST(PendingVideoTest, UncommittedFileGoesWithTheObject) {
    TemporaryFolder folder;
    const QString output = folder.makeFolder("output");
    folder.touch("output/zev.mp4", "previous");
    {
        PendingVideo video(output, "rewrite");
        folder.touch("output/" + QFileInfo(video.path()).fileName(), "half");
    }
    EXPECT_EQ(entries(output), QStringList{"zev.mp4"});
    EXPECT_EQ(contentOf(output + "/zev.mp4"), "previous");
}

// Only temporary videos of processes that have gone are abandoned.
TEST(PendingVideoTest, RemovesWhatKilledRunsLeftAndNothingElse) {
    TemporaryFolder folder;
    const QString output = folder.makeFolder("output");
    const QString own = QString::number(QCoreApplication::applicationPid());
    for (const QString& name :
         {QStringLiteral(".zev-encoding-999999999-abc.mp4"), QStringLiteral(".zev-express-999999998-x.mp4"),
          ".zev-rewrite-" + own + "-def.mp4", QStringLiteral(".zev-notes.mp4"), QStringLiteral("zev.mp4"),
          QStringLiteral(".zev-encoding-1x-abc.mp4")})
        folder.touch("output/" + name, "kept?");
    PendingVideo::removeAbandoned(output);
    EXPECT_EQ(entries(output), (QStringList{".zev-encoding-1x-abc.mp4", ".zev-notes.mp4",
                                            ".zev-rewrite-" + own + "-def.mp4", "zev.mp4"}));
}

} // namespace

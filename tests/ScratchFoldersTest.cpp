#include "storage/ScratchFolders.h"

#include "ParamName.h"
#include "ScratchEnvironment.h"
#include "TemporaryFolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace zev;

namespace {

mode_t permissions(const QString& path) {
    struct stat status {};
    lstat(QFile::encodeName(path).constData(), &status);
    return status.st_mode & 07777;
}

// Every test points the temporary folder at a fresh folder of its own.
class ScratchFoldersTest : public ::testing::Test {
protected:
    TemporaryFolder elsewhere; // made before the switch: outside the temporary folder in use
    ScratchEnvironment scratch;

    QString user() const { return scratch.tempPath() + QStringLiteral("/zev-%1").arg(getuid()); }
};

TEST_F(ScratchFoldersTest, PathsFollowTheTemporaryFolder) {
    EXPECT_EQ(ScratchFolders::userFolder(), user());
    EXPECT_EQ(ScratchFolders::alphaImagesDirectoryPath(), user() + "/alphaImages");
    EXPECT_EQ(ScratchFolders::rgbImagesDirectoryPath(), user() + "/rgbImages");
    EXPECT_EQ(ScratchFolders::appendImagesDirectoryPath(), user() + "/appendImages");
    EXPECT_FALSE(QFileInfo::exists(user())) << "naming a folder creates nothing";

    ScratchEnvironment other;
    EXPECT_EQ(ScratchFolders::userFolder(), other.tempPath() + QStringLiteral("/zev-%1").arg(getuid()));
}

TEST_F(ScratchFoldersTest, UserFolderIsCreatedPrivate) {
    const Result<> prepared = ScratchFolders::prepareUserFolder();
    ASSERT_TRUE(prepared) << prepared.reason().toStdString();
    EXPECT_TRUE(QFileInfo(user()).isDir());
    EXPECT_EQ(permissions(user()), 0700u);
    EXPECT_TRUE(ScratchFolders::prepareUserFolder()) << "an existing folder of ours is accepted";
}

TEST_F(ScratchFoldersTest, OpenUserFolderIsMadePrivate) {
    QDir().mkdir(user());
    chmod(QFile::encodeName(user()).constData(), 0777);
    ASSERT_TRUE(ScratchFolders::prepareUserFolder());
    EXPECT_EQ(permissions(user()), 0700u);
}

TEST_F(ScratchFoldersTest, SymbolicLinkAtUserFolderIsRefused) {
    const QString target = elsewhere.makeFolder("target");
    ASSERT_TRUE(QFile::link(target, user()));
    const Result<> prepared = ScratchFolders::prepareUserFolder();
    EXPECT_FALSE(prepared);
    EXPECT_FALSE(prepared.reason().isEmpty());
    EXPECT_TRUE(QFileInfo(user()).isSymLink()) << "left alone";
    EXPECT_FALSE(ScratchFolders::rebuild(ScratchFolders::alphaImagesDirectoryPath()));
    EXPECT_TRUE(QDir(target).isEmpty()) << "nothing written through the link";
}

TEST_F(ScratchFoldersTest, PlainFileAtUserFolderIsRefused) {
    QFile file(user());
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    const Result<> prepared = ScratchFolders::prepareUserFolder();
    EXPECT_FALSE(prepared);
    EXPECT_FALSE(prepared.reason().isEmpty());
    EXPECT_FALSE(ScratchFolders::rebuild(ScratchFolders::rgbImagesDirectoryPath()));
    EXPECT_TRUE(QFileInfo(user()).isFile());
}

TEST_F(ScratchFoldersTest, FolderOfAnotherUserIsRefused) {
    if (geteuid() != 0)
        GTEST_SKIP() << "only root can give a folder to another user";
    ASSERT_TRUE(QDir().mkdir(user()));
    ASSERT_EQ(chown(QFile::encodeName(user()).constData(), 65534, 65534), 0);
    const Result<> prepared = ScratchFolders::prepareUserFolder();
    EXPECT_FALSE(prepared);
    EXPECT_TRUE(prepared.reason().contains("another user")) << prepared.reason().toStdString();
}

TEST_F(ScratchFoldersTest, RebuildEmptiesTheFolder) {
    const QString alpha = ScratchFolders::alphaImagesDirectoryPath();
    ASSERT_TRUE(ScratchFolders::rebuild(alpha)) << "also creates the user folder";
    for (const char* name : {"/0.png", "/.hidden", "/sub/1.png"}) {
        QDir().mkpath(QFileInfo(alpha + name).path());
        QFile file(alpha + name);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }
    ASSERT_TRUE(ScratchFolders::rebuild(alpha));
    EXPECT_TRUE(QDir(alpha).isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden));
}

TEST_F(ScratchFoldersTest, RebuildReplacesLinksWithoutTouchingTargets) {
    ASSERT_TRUE(ScratchFolders::prepareUserFolder());
    const QString target = elsewhere.makeFolder("target");
    const QString kept = elsewhere.touch("target/precious.png", "keep");
    const QString append = ScratchFolders::appendImagesDirectoryPath();
    ASSERT_TRUE(QFile::link(target, append));
    const QString rgb = ScratchFolders::rgbImagesDirectoryPath();
    ASSERT_TRUE(QDir().mkdir(rgb));
    ASSERT_TRUE(QFile::link(target, rgb + "/inner"));

    EXPECT_TRUE(ScratchFolders::rebuild(append));
    EXPECT_TRUE(ScratchFolders::rebuild(rgb));

    EXPECT_FALSE(QFileInfo(append).isSymLink());
    EXPECT_TRUE(QFileInfo(append).isDir());
    EXPECT_TRUE(QDir(append).isEmpty());
    EXPECT_TRUE(QDir(rgb).isEmpty());
    EXPECT_TRUE(QFileInfo::exists(kept));
}

TEST_F(ScratchFoldersTest, RebuildOnlyDirectlyInsideTheUserFolder) {
    const QString outside = elsewhere.makeFolder("frames");
    const QString kept = elsewhere.touch("frames/0.png");
    const QStringList refused{outside,
                              ScratchFolders::userFolder(),
                              ScratchFolders::userFolder() + "/a/b",
                              ScratchFolders::userFolder() + "/../zev-other",
                              QString(),
                              QString("relative")};
    for (const QString& folder : refused)
        EXPECT_FALSE(ScratchFolders::rebuild(folder)) << folder.toStdString();
    EXPECT_TRUE(QFileInfo::exists(kept));
    EXPECT_TRUE(QFileInfo(ScratchFolders::userFolder()).isDir());
}

struct TemporaryFolderCase {
    const char* title;
    // Where TMPDIR points, relative to a test folder ("" leaves it empty).
    const char* tmpdir;
};

class UnusableTmpdir : public ::testing::TestWithParam<TemporaryFolderCase> {};

// The C library passes over a TMPDIR that names no folder for /tmp; the
// scratch folder does the same, and never lands at the root.
TEST_P(UnusableTmpdir, FallsBackToTmp) {
    const TemporaryFolderCase c = GetParam();
    TemporaryFolder folder;
    folder.touch("a-file");
    ScratchEnvironment scratch;
    const QByteArray tmpdir = QByteArray(c.tmpdir).startsWith('/')
                                  ? QFile::encodeName(folder.path()) + QByteArray(c.tmpdir)
                                  : QByteArray(c.tmpdir);
    qputenv("TMPDIR", tmpdir);
    EXPECT_EQ(ScratchFolders::userFolder().toStdString(),
              (QDir(QStringLiteral("/tmp")).canonicalPath() + QStringLiteral("/zev-%1").arg(getuid()))
                  .toStdString())
        << "TMPDIR=" << tmpdir.toStdString();
}

INSTANTIATE_TEST_SUITE_P(Tmpdir, UnusableTmpdir,
                         ::testing::Values(TemporaryFolderCase{"missing folder", "/gone"},
                                           TemporaryFolderCase{"a file", "/a-file"},
                                           TemporaryFolderCase{"relative", "tmp"},
                                           TemporaryFolderCase{"empty", ""}),
                         ParamName());

} // namespace

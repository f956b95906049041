#include "frames/FrameFolderScanner.h"

#include "ParamName.h"
#include "TemporaryFolder.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>
#include <unistd.h>

using namespace zev;

namespace {

struct FolderCase {
    const char* title;
    QStringList entries;  // files to create; a trailing "/" makes a folder
    QStringList expected; // frame names in order, empty when the scan must fail
    QString message;      // the failure's message
};

class FolderCases : public ::testing::TestWithParam<FolderCase> {};

TEST_P(FolderCases, ScansFolder) {
    const FolderCase c = GetParam();
    TemporaryFolder folder;
    for (const QString& entry : c.entries) {
        if (entry.endsWith(u'/'))
            folder.makeFolder(entry);
        else
            folder.touch(entry);
    }
    ConvertError error;
    const auto names = FrameFolderScanner::allImagesFromFolder(folder.path(), &error);
    if (c.message.isEmpty()) {
        ASSERT_TRUE(names.has_value()) << c.title << ": " << error.message().toStdString();
        EXPECT_EQ(*names, c.expected) << c.title;
        EXPECT_TRUE(error.domain.isNull()) << "success must leave the error slot untouched";
    } else {
        EXPECT_FALSE(names.has_value()) << c.title;
        EXPECT_EQ(error.domain, QStringLiteral("传入文件错误"));
        EXPECT_EQ(error.code, 100);
        EXPECT_EQ(error.userInfo.size(), 1);
        EXPECT_EQ(error.message(), c.message) << c.title;
    }
}

const QString kNone = FrameFolderScanner::kNoFrames;
const QString kNotNumbered = FrameFolderScanner::kNotNumbered;

INSTANTIATE_TEST_SUITE_P(
    Folders, FolderCases,
    ::testing::Values(FolderCase{"numeric order",
                                 {"10.png", "2.png", "0.png", "1.png"},
                                 {"0.png", "1.png", "2.png", "10.png"},
                                 {}},
                      FolderCase{"other files skipped",
                                 {"1.PNG", "a.jpg", "notes.txt", ".DS_Store", "0.png", "1.png"},
                                 {"0.png", "1.png"},
                                 {}},
                      FolderCase{"only other files", {"1.PNG", "a.jpg", "notes.txt", ".DS_Store"}, {}, kNone},
                      FolderCase{"empty folder", {}, {}, kNone},
                      FolderCase{"cover.png", {"0.png", "cover.png", "1.png"}, {}, kNotNumbered},
                      FolderCase{"1.5.png", {"0.png", "1.5.png"}, {}, kNotNumbered},
                      FolderCase{"1.png.png", {"0.png", "1.png.png"}, {}, kNotNumbered},
                      FolderCase{"bare .png", {"0.png", ".png"}, {}, kNotNumbered},
                      FolderCase{"zero padded", {"007.png"}, {"007.png"}, {}},
                      FolderCase{"a folder named like a frame", {"3.png/", "0.png"}, {"0.png", "3.png"}, {}},
                      FolderCase{"30-digit name",
                                 {"000000000000000000000000000002.png", "1.png", "10.png"},
                                 {"1.png", "000000000000000000000000000002.png", "10.png"},
                                 {}}),
    ParamName());

TEST(FrameFolderScannerTest, SignedAndBlankNamesAreAllFrames) {
    TemporaryFolder folder;
    folder.touchAll({" 5.png", "5 .png", "+5.png", "-5.png"});
    const auto names = FrameFolderScanner::allImagesFromFolder(folder.path(), nullptr);
    ASSERT_TRUE(names.has_value());
    // Non-digits compare by character code: blank, plus, minus, then the digit.
    EXPECT_EQ(*names, (QStringList{" 5.png", "+5.png", "-5.png", "5 .png"}));
}

TEST(FrameFolderScannerTest, FullPathsKeepTheOrder) {
    TemporaryFolder folder;
    folder.touchAll({"10.png", "2.png", "0.png", "1.png"});
    const auto paths = FrameFolderScanner::allImagesFullPathFrom(folder.path(), nullptr);
    ASSERT_TRUE(paths.has_value());
    const QString base = folder.path() + u'/';
    EXPECT_EQ(*paths, (QStringList{base + "0.png", base + "1.png", base + "2.png", base + "10.png"}));
}

TEST(FrameFolderScannerTest, PathsThatAreNoFolder) {
    TemporaryFolder folder;
    const QString file = folder.touch(QStringLiteral("0.png"));
    for (const QString& path : {QString(), QString(""), folder.filePath("missing"), file}) {
        ConvertError error;
        EXPECT_FALSE(FrameFolderScanner::allImagesFullPathFrom(path, &error).has_value());
        EXPECT_EQ(error.message(), FrameFolderScanner::kNotAFolder) << path.toStdString();
    }
}

TEST(FrameFolderScannerTest, SymbolicLinkToFolderIsScannedLikeTheFolder) {
    TemporaryFolder folder;
    folder.touchAll({"frames/1.png", "frames/0.png"});
    const QString link = folder.filePath("link");
    ASSERT_TRUE(QFile::link(folder.filePath("frames"), link));
    const auto paths = FrameFolderScanner::allImagesFullPathFrom(link, nullptr);
    ASSERT_TRUE(paths.has_value());
    EXPECT_EQ(*paths, (QStringList{link + "/0.png", link + "/1.png"}));

    ASSERT_TRUE(QFile::link(folder.filePath("nowhere"), folder.filePath("dangling")));
    ConvertError error;
    EXPECT_FALSE(FrameFolderScanner::allImagesFromFolder(folder.filePath("dangling"), &error));
    EXPECT_EQ(error.message(), FrameFolderScanner::kNotAFolder);
}

TEST(FrameFolderScannerTest, UnreadableFolderHasNoFrames) {
    if (geteuid() == 0)
        GTEST_SKIP() << "root reads every folder, so running as root cannot make one unreadable";
    TemporaryFolder folder;
    const QString frames = folder.makeFolder("frames");
    folder.touch("frames/0.png");
    ASSERT_TRUE(QFile::setPermissions(frames, QFileDevice::WriteOwner | QFileDevice::ExeOwner));
    ConvertError error;
    EXPECT_FALSE(FrameFolderScanner::allImagesFromFolder(frames, &error));
    EXPECT_EQ(error.message(), FrameFolderScanner::kNoFrames);
    QFile::setPermissions(frames, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
}

TEST(FrameFolderScannerTest, FailuresWithoutErrorSlotStillReturnNothing) {
    TemporaryFolder folder;
    folder.touch("cover.png");
    EXPECT_FALSE(FrameFolderScanner::allImagesFromFolder(folder.path(), nullptr).has_value());
    EXPECT_FALSE(FrameFolderScanner::allImagesFullPathFrom(folder.filePath("missing"), nullptr).has_value());
}

TEST(FrameFolderScannerTest, ErrorRecord) {
    EXPECT_FALSE(FrameFolderScanner::errorWithMsg(QString()).has_value());
    const auto error = FrameFolderScanner::errorWithMsg(QStringLiteral("x"));
    ASSERT_TRUE(error.has_value());
    EXPECT_EQ(error->domain, QStringLiteral("传入文件错误"));
    EXPECT_EQ(error->code, 100);
    EXPECT_EQ(error->userInfo, (QVariantMap{{"msg", "x"}}));
}

TEST(FrameFolderScannerTest, ExtensionRemoval) {
    EXPECT_EQ(FrameFolderScanner::deletingPathExtension("7.png"), "7");
    EXPECT_EQ(FrameFolderScanner::deletingPathExtension("1.png.png"), "1.png");
    EXPECT_EQ(FrameFolderScanner::deletingPathExtension(".png"), ".png");
    EXPECT_EQ(FrameFolderScanner::deletingPathExtension("/a/b.c/7"), "/a/b.c/7");
    EXPECT_EQ(FrameFolderScanner::deletingPathExtension("/a/b/7.png"), "/a/b/7");
}

} // namespace

#include "frames/FrameLinkFolder.h"

#include "TemporaryFolder.h"

#include <QDir>
#include <QFileInfo>
#include <gtest/gtest.h>

using namespace zev;

namespace {

TEST(FrameLinkFolderTest, LinksFramesInOrderAndRemovesOnlyTheLinks) {
    TemporaryFolder folder;
    const QStringList frames{folder.touch("frames/007.png"), folder.touch("frames/-1 %d.png")};
    QString made;
    {
        FrameLinkFolder links;
        ASSERT_TRUE(links.create(folder.path(), frames));
        made = links.path();
        EXPECT_EQ(QFileInfo(made + "/0.png").symLinkTarget(), frames.at(0));
        EXPECT_EQ(QFileInfo(made + "/1.png").symLinkTarget(), frames.at(1));
    }
    EXPECT_FALSE(QFileInfo::exists(made));
    EXPECT_TRUE(QFileInfo::exists(frames.at(0)));
}

TEST(FrameLinkFolderTest, SaysWhyAndLeavesNothingWhenItCannot) {
    TemporaryFolder folder;
    const QString notAFolder = folder.touch("file");
    FrameLinkFolder links;
    const Result<> created = links.create(notAFolder, {folder.touch("0.png")});
    EXPECT_FALSE(created.ok());
    EXPECT_TRUE(created.reason().startsWith("cannot create a folder for the frames' links in " + notAFolder))
        << created.reason().toStdString();
    EXPECT_TRUE(links.path().isEmpty());
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot).size(), 2);
}

} // namespace

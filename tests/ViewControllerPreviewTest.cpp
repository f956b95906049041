#include "PreviewController.h"
#include "TemporaryFolder.h"
#include "TestFrames.h"
#include "TestVideos.h"
#include "ViewController.h"

#include <QFile>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

using namespace zev;

namespace {

TEST(ViewControllerPreviewTest, ThePreviewButtonFollowsTheFoldersVideo) {
    TemporaryFolder folder;
    ASSERT_TRUE(TestFrames::writeSequence(folder.path(), 3, 8, 6));
    ViewController window;
    auto* preview = window.findChild<QPushButton*>(QStringLiteral("previewButton"));
    ASSERT_TRUE(preview);
    EXPECT_EQ(preview->text(), QStringLiteral("预览"));
    EXPECT_FALSE(preview->isEnabled());

    window.updateDragFilePath(folder.path());
    EXPECT_FALSE(preview->isEnabled());
    ASSERT_TRUE(TestVideos::packFolder(folder.path()));
    // Written behind the window's back: the next look notices it.
    ASSERT_TRUE(QTest::qWaitFor([&]() { return preview->isEnabled(); }, 3000));

    preview->click();
    auto* previewWindow = window.findChild<PreviewController*>();
    ASSERT_TRUE(previewWindow);
    EXPECT_TRUE(previewWindow->isVisible());

    ASSERT_TRUE(QFile::remove(folder.filePath(QStringLiteral("output/zev.mp4"))));
    EXPECT_TRUE(QTest::qWaitFor([&]() { return !preview->isEnabled(); }, 3000));

    // A WebM run's video is the folder's video too.
    ASSERT_TRUE(TestVideos::packFolder(folder.path(), 25, VideoFormat::forCodec(VideoFormat::Codec::Vp9)));
    ASSERT_TRUE(QTest::qWaitFor([&]() { return preview->isEnabled(); }, 3000));
    preview->click();
    const QList<PreviewController*> previews = window.findChildren<PreviewController*>();
    ASSERT_EQ(previews.size(), 2);
    EXPECT_TRUE(previews.last()->windowTitle().endsWith(QStringLiteral("zev.webm")))
        << previews.last()->windowTitle().toStdString();
}

} // namespace

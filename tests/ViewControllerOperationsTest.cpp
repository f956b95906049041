#include "ScratchEnvironment.h"
#include "TemporaryFolder.h"
#include "TestFrames.h"
#include "ViewController.h"
#include "WindowFixture.h"
#include "output/VideoDescription.h"
#include "storage/FrameCache.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMessageBox>
#include <QTest>
#include <gtest/gtest.h>

using namespace zev;

namespace {

constexpr int kRunTimeoutMs = 60000;

// A window with three tiny frames dropped on it, in a scratch folder of its
// own.
class ViewControllerOperationsTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(TestFrames::writeSequence(frames, 3, 8, 6));
        window.updateDragFilePath(frames);
    }
    static QStringList pngs(const QString& in) {
        return QDir(in).entryList({"*.png"}, QDir::Files, QDir::Name);
    }

    ScratchEnvironment scratch;
    TemporaryFolder folder;
    QString frames = folder.makeFolder(QStringLiteral("帧 frames"));
    ViewController window;
};

TEST_F(ViewControllerOperationsTest, OneRunAtATimeThenACacheRunEncodesTheCachedPackedFrames) {
    window.convertBtnClicked();
    EXPECT_TRUE(window.inConverting());
    EXPECT_FALSE(window.beginConverting()) << "one run at a time";
    QMessageBox* alert = waitForAlert(window, kRunTimeoutMs);
    ASSERT_NE(alert, nullptr);
    EXPECT_EQ(alert->text(), "视频已经生成, 视频路径：" + frames + "/output");
    ASSERT_TRUE(QTest::qWaitFor([this]() { return !window.inConverting(); }, kRunTimeoutMs));
    EXPECT_TRUE(QFileInfo(frames + "/output/zev.mp4").isFile());
    window.findChild<QCheckBox*>("forceUseCache")->setChecked(true);
    EXPECT_EQ(window.appendImagesDirectoryPath(), FrameCache::packedFramesFolder(frames));
    EXPECT_EQ(pngs(window.appendImagesDirectoryPath()).size(), 3);
}

// The encode writes under a temporary name first: a failed one keeps the
// video, and a default-layout one drops an earlier description, which would
// lie about it.
TEST_F(ViewControllerOperationsTest, ConvertImagesToMp4FromFolderKeepsTheVideoWhenItFails) {
    const QString output = frames + "/output";
    const QString video = output + "/zev.mp4";
    const QString packed = folder.makeFolder("packed");
    for (const char* name : {"/00000.png", "/00001.png", "/00002.png"})
        ASSERT_TRUE(TestFrames::writeFrame(packed + name, 16, 6));
    const QString empty = folder.makeFolder("empty");
    EXPECT_FALSE(window.convertImagesToMp4FromFolder(packed, QString()));
    folder.touch("帧 frames/output/" + VideoDescription::kFileName, "{}");
    ASSERT_TRUE(window.convertImagesToMp4FromFolder(packed, output));
    EXPECT_FALSE(QFileInfo::exists(VideoDescription::pathBeside(video))) << "it would lie";
    QFile written(video);
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    const QByteArray before = written.readAll();
    EXPECT_FALSE(before.isEmpty());
    EXPECT_FALSE(window.convertImagesToMp4FromFolder(empty, output));
    written.seek(0);
    EXPECT_EQ(written.readAll(), before) << "a failed encode keeps the video";
    EXPECT_EQ(QDir(output).entryList(QDir::Files | QDir::Hidden), QStringList{"zev.mp4"});
}

} // namespace

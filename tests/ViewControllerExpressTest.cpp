#include "OutputOptionsDialog.h"
#include "ParamName.h"
#include "ScratchEnvironment.h"
#include "TemporaryFolder.h"
#include "TestFrames.h"
#include "TestVideos.h"
#include "ViewController.h"
#include "tools/VideoProbe.h"

#include <QCheckBox>
#include <QFileInfo>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>

using namespace zev;

namespace {

// Presses start and closes the alert the run ends with; returns its text.
QString convert(ViewController& window) {
    window.findChild<QPushButton*>(QStringLiteral("zevButton"))->click();
    QMessageBox* alert = nullptr;
    const bool ended = QTest::qWaitFor(
        [&]() { return (alert = window.findChild<QMessageBox*>()) && !window.inConverting(); }, 120000);
    const QString text = ended ? alert->text() : QString();
    delete alert;
    return text;
}

// The settings live in the test's own folder (GuiTestMain), so the first
// window starts as on a first start.
TEST(ViewControllerExpressTest, TurnsTheCacheBoxOffConvertsAndIsRemembered) {
    ScratchEnvironment scratch;
    TemporaryFolder folder;
    const QString frames = folder.filePath(QStringLiteral("序列 帧"));
    ASSERT_TRUE(TestFrames::writeSequence(frames, 3, 8, 6));
    const QString success = QStringLiteral("视频已经生成, 视频路径：") + frames + QStringLiteral("/output");
    {
        ViewController window;
        auto* cache = window.findChild<QCheckBox*>(QStringLiteral("forceUseCache"));
        auto* express = window.findChild<QCheckBox*>(QStringLiteral("expressConversion"));
        ASSERT_TRUE(cache && express);
        EXPECT_EQ(express->text(), QStringLiteral("快速合成：直接由 FFmpeg 完成，不生成中间图片"));
        EXPECT_FALSE(express->isChecked());
        window.updateDragFilePath(frames);
        ASSERT_EQ(convert(window), success);
        cache->click();

        express->click();
        EXPECT_FALSE(cache->isChecked());
        EXPECT_FALSE(cache->isEnabled());
        ASSERT_TRUE(QFile::remove(frames + QStringLiteral("/output/zev.mp4")));
        EXPECT_EQ(convert(window), success);
        EXPECT_TRUE(window.expressSelected());
        EXPECT_TRUE(QFileInfo::exists(frames + QStringLiteral("/output/zev.mp4")));
        EXPECT_FALSE(cache->isEnabled());
        express->click();
        EXPECT_TRUE(cache->isEnabled()) << "the full run's packed frames are still there";
        window.updateDragFilePath(folder.path());
        express->click();
        express->click();
        EXPECT_FALSE(cache->isEnabled()) << "a new folder has no packed frames";
        express->click();
    }
    ViewController again;
    EXPECT_TRUE(again.findChild<QCheckBox*>(QStringLiteral("expressConversion"))->isChecked());
    EXPECT_FALSE(again.findChild<QCheckBox*>(QStringLiteral("forceUseCache"))->isEnabled());
}

// The sheet's choice reaches the express run only, and outlives the window.
TEST(ViewControllerExpressTest, OutputSettingsSheetChoosesTheExpressOptions) {
    TemporaryFolder folder;
    OutputOptions chosen;
    chosen.layout = OutputOptions::Layout::MaskBottom;
    chosen.maskSize = OutputOptions::MaskSize::Half;
    chosen.premultiplied = false;
    chosen.crf = 18;
    {
        ViewController window;
        window.updateDragFilePath(folder.path());
        auto* express = window.findChild<QCheckBox*>(QStringLiteral("expressConversion"));
        auto* button = window.findChild<QToolButton*>(QStringLiteral("outputSettingsButton"));
        ASSERT_TRUE(express && button);
        EXPECT_EQ(button->text(), QStringLiteral("输出设置…"));
        express->setChecked(false);
        EXPECT_FALSE(button->isEnabled());
        express->setChecked(true);
        ASSERT_TRUE(button->isEnabled());
        button->click();
        auto* sheet = window.findChild<OutputOptionsDialog*>();
        ASSERT_TRUE(sheet);
        EXPECT_EQ(sheet->windowModality(), Qt::WindowModal);
        EXPECT_EQ(sheet->options(), OutputOptions());
        sheet->setOptions(chosen);
        sheet->accept();
        ASSERT_TRUE(window.getTextFieldContent());
        EXPECT_EQ(window.outputSelected(), chosen);
        express->setChecked(false);
        ASSERT_TRUE(window.getTextFieldContent());
        EXPECT_EQ(window.outputSelected(), OutputOptions());
        express->setChecked(true);
    }
    ViewController again;
    again.updateDragFilePath(folder.path());
    ASSERT_TRUE(again.getTextFieldContent());
    EXPECT_EQ(again.outputSelected(), chosen);
}

} // namespace

namespace {

struct DroppedFileCase {
    const char* title;
    // Typed into the frame-rate field before the start; empty: left alone.
    QString typedFps;
    qint64 videoFrames;
};

class DroppedFiles : public ::testing::TestWithParam<DroppedFileCase> {};

// A dropped movie converts without the express box, at its own rate unless
// a rate is typed, into a video named after it that the preview can show.
TEST_P(DroppedFiles, MovieConvertsAtItsOwnRateUnlessOneIsTyped) {
    ScratchEnvironment scratch;
    TemporaryFolder folder;
    const QString movie = folder.filePath(QStringLiteral("walk cycle.mov"));
    ASSERT_TRUE(TestVideos::transparentAnimation(movie, {"-c:v", "qtrle"}, 12, 10));
    ViewController window;
    window.updateDragFilePath(movie);
    if (!GetParam().typedFps.isEmpty()) {
        auto* fps = window.findChild<QLineEdit*>(QStringLiteral("FPSField"));
        ASSERT_TRUE(fps);
        fps->selectAll();
        QTest::keyClicks(fps, GetParam().typedFps);
    }
    EXPECT_EQ(convert(window), QStringLiteral("视频已经生成, 视频路径：") + folder.filePath("output"));
    const QString video = folder.filePath(QStringLiteral("output/walk cycle.mp4"));
    const Result<VideoFacts> facts =
        VideoProbe::probe(QStringLiteral(ZEV_STAGED_RESOURCES "/ffmpeg/ffprobe"), video);
    ASSERT_TRUE(facts) << facts.reason().toStdString();
    EXPECT_EQ(facts->frames(), GetParam().videoFrames);
    // The button looks for the path field's video once a second.
    auto* preview = window.findChild<QPushButton*>(QStringLiteral("previewButton"));
    EXPECT_TRUE(QTest::qWaitFor([&]() { return preview->isEnabled(); }, 3000));
}

INSTANTIATE_TEST_SUITE_P(ViewControllerExpressTest, DroppedFiles,
                         ::testing::Values(DroppedFileCase{"OwnRate", QString(), 30},
                                           DroppedFileCase{"Typed", QStringLiteral("20"), 15}),
                         ParamName());

} // namespace

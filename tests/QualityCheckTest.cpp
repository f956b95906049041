#include "QualityCheck.h"

#include "PngFrameFile.h"
#include "ScratchEnvironment.h"
#include "TemporaryFolder.h"
#include "TestFrames.h"
#include "TestFrontEnd.h"
#include "TestVideos.h"
#include "ToolProbe.h"
#include "output/VideoDescription.h"

#include <QFileInfo>
#include <cmath>
#include <gtest/gtest.h>

using namespace zev;

namespace {

constexpr int kFrames = 10;

VideoUnpacker::Tools stagedTools() {
    const QString folder = QStringLiteral(ZEV_STAGED_RESOURCES "/ffmpeg/");
    return {folder + QStringLiteral("ffprobe"), folder + QStringLiteral("ffmpeg")};
}

class QualityCheckTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(TestFrames::writeSequence(folder_.path(), kFrames, 32, 16));
        ASSERT_TRUE(TestVideos::packFolder(folder_.path()));
    }

    TemporaryFolder folder_;
};

// The test frames: opaque red on the left, blue at half transparency on the
// right; at 3100 kbit/s the codec keeps them well, but the chroma a player
// interpolates across the sharp red–blue boundary costs the two columns
// beside it a quarter of the other colour, the colour's figure about 27 dB.
TEST_F(QualityCheckTest, MeasuresTheVideoAgainstItsFrames) {
    const Result<QualityCheck::Outcome> outcome = QualityCheck::check(stagedTools(), folder_.path());
    ASSERT_TRUE(outcome.ok()) << outcome.reason().toStdString();
    EXPECT_EQ(outcome->videoFrames, kFrames);
    EXPECT_EQ(outcome->sourceFrames, kFrames);
    EXPECT_EQ(outcome->inputFps, 25);
    EXPECT_EQ(outcome->report.comparedFrames(), kFrames);
    EXPECT_GT(outcome->report.mask().averagePsnr, 40);
    EXPECT_GT(outcome->report.colour().averagePsnr, 25);
    EXPECT_GE(outcome->report.mask().worstFrame, 0);
    // Half of each frame is partly transparent: the edges' figures are the
    // codec's, not a division by zero.
    EXPECT_NEAR(outcome->report.edges().share, 0.5, 0.01);
    EXPECT_GT(outcome->report.edges().overWhitePsnr, 25);
    EXPECT_LT(std::abs(outcome->report.edges().overBlackMeanError), 2.0);
    const QJsonObject json = outcome->toJson();
    EXPECT_EQ(json.value(QStringLiteral("videoFrames")).toInteger(), kFrames);
    EXPECT_TRUE(json.value(QStringLiteral("mask")).toObject().contains(QStringLiteral("worstFrame")));
}

TEST_F(QualityCheckTest, UnpacksFramesAPlayerWouldShow) {
    const QString out = folder_.filePath(QStringLiteral("unpacked"));
    const Result<qint64> written =
        VideoUnpacker::unpack(stagedTools(), QualityCheck::videoPathIn(folder_.path()), out);
    ASSERT_TRUE(written.ok()) << written.reason().toStdString();
    EXPECT_EQ(*written, kFrames);
    const Result<RgbaFrame> first = PngFrameFile::read(out + QStringLiteral("/0.png"));
    const Result<RgbaFrame> source = PngFrameFile::read(folder_.filePath(QStringLiteral("0.png")));
    ASSERT_TRUE(first.ok() && source.ok());
    const auto comparison = FrameComparison::compare(*first, *source);
    ASSERT_TRUE(comparison);
    EXPECT_GT(comparison->maskPsnr(), 40);
    EXPECT_TRUE(QFile::exists(out + QStringLiteral("/%1.png").arg(kFrames - 1)));
    EXPECT_FALSE(QFile::exists(out + QStringLiteral("/%1.png").arg(kFrames)));
}

TEST_F(QualityCheckTest, ADescriptionThatDoesNotFitTheVideoIsRefused) {
    VideoDescription wrong = VideoDescription::defaultFor(QSize(64, 16));
    ASSERT_TRUE(wrong.writeBeside(QualityCheck::videoPathIn(folder_.path())).ok());
    const Result<QualityCheck::Outcome> outcome = QualityCheck::check(stagedTools(), folder_.path());
    ASSERT_FALSE(outcome.ok());
    EXPECT_TRUE(outcome.reason().contains(QStringLiteral("describes a 128×16 video")))
        << outcome.reason().toStdString();
}

TEST_F(QualityCheckTest, AFolderWithoutAVideoSaysSo) {
    QFile::remove(QualityCheck::videoPathIn(folder_.path()));
    const Result<QualityCheck::Outcome> outcome = QualityCheck::check(stagedTools(), folder_.path());
    ASSERT_FALSE(outcome.ok());
    EXPECT_TRUE(outcome.reason().contains(QStringLiteral("no video file"))) << outcome.reason().toStdString();
}

// A transparent VP9 video as a motion designer's tools write it, whose
// alpha only one decoder reads.
TEST(QualityCheckSourceTest, VideoOfASourceMatchesItsOwnFrames) {
    ScratchEnvironment scratch;
    TemporaryFolder folder;
    const QString source = folder.filePath("jump.webm");
    ASSERT_TRUE(TestVideos::transparentAnimation(
        source, {"-c:v", "libvpx-vp9", "-pix_fmt", "yuva420p", "-crf", "20", "-b:v", "0"}));
    TestFrontEnd front;
    front.useStagedTools();
    front.inputs.folderText = source;
    front.inputs.sliderValue = 0.25; // the window's first preset, 1100 kbit/s
    ASSERT_TRUE(front.convertAndWait());
    ASSERT_EQ(front.successes().size(), 1) << front.outcomes().value(0).reason.toStdString();
    const QString video = front.outcomes().first().video;
    EXPECT_EQ(video, folder.filePath("output/" + QFileInfo(source).completeBaseName() + ".mp4"));

    const Result<QualityCheck::Outcome> outcome = QualityCheck::check(stagedTools(), source);
    ASSERT_TRUE(outcome.ok()) << outcome.reason().toStdString();
    EXPECT_EQ(outcome->video, video);
    // 12 frames at 10 a second: 1.2 s of video at 25.
    EXPECT_EQ(outcome->videoFrames, 30);
    EXPECT_EQ(outcome->sourceFrames, 12);
    EXPECT_EQ(outcome->inputFps, 10);
    EXPECT_GE(outcome->report.mask().averagePsnr, 40);
    EXPECT_GE(outcome->report.colour().averagePsnr, 30);
    EXPECT_EQ(QualityCheck::sourceOf(video), source);
}

} // namespace

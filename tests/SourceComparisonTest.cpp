#include "preview/SourceComparison.h"

#include "QualityCheck.h"
#include "TemporaryFolder.h"
#include "TestFrames.h"
#include "ToolProbe.h"
#include "output/PackedLayout.h"
#include "tools/ExpressEncoder.h"

#include <QDir>
#include <gtest/gtest.h>

using namespace zev;

namespace {

constexpr int kFrames = 10;
const QSize kSize(48, 32);

struct CompareCase {
    const char* what;
    OutputOptions options;
    qint64 fps;
};

OutputOptions straightHalfMask() {
    OutputOptions options;
    options.maskSize = OutputOptions::MaskSize::Half;
    options.premultiplied = false;
    return options;
}

// A trial measured in the engine gives --check's figures of the same video:
// that is what a quality target promises.
TEST(SourceComparisonTest, MeasuresAVideoAsCheckDoes) {
    const CompareCase cases[] = {{"the default layout", OutputOptions(), 25},
                                 {"a slow animation, each frame shown 2.5 times", OutputOptions(), 10},
                                 {"straight colour beside a half-size mask", straightHalfMask(), 25}};
    const QString ffmpeg = ToolProbe::stagedFfmpeg();
    for (const CompareCase& test : cases) {
        SCOPED_TRACE(test.what);
        TemporaryFolder folder;
        ASSERT_TRUE(TestFrames::writeGradientSequence(folder.path(), kFrames, kSize.width(), kSize.height()));
        QDir(folder.path()).mkpath(QStringLiteral("output"));
        const QString video = QualityCheck::videoPathIn(folder.path());
        const PackedLayout layout = PackedLayout::plan(kSize, test.options);
        const qint64 outputFrames = kFrames * 25 / test.fps;
        ASSERT_TRUE(ToolProbe::output(
            ffmpeg, ExpressEncoder::arguments(folder.path(), video, test.fps, 600,
                                              ExpressEncoder::filterGraph(layout, test.options.premultiplied),
                                              std::nullopt, outputFrames)));
        VideoDescription description = layout.describe(test.options);
        description.inputFps = test.fps;
        description.frames = outputFrames;
        ASSERT_TRUE(description.writeBeside(video).ok());

        const Result<QualityCheck::Outcome> checked = QualityCheck::check(
            {QStringLiteral(ZEV_STAGED_RESOURCES "/ffmpeg/ffprobe"), ffmpeg}, folder.path());
        ASSERT_TRUE(checked.ok()) << checked.reason().toStdString();
        const Result<QualityReport> measured = SourceComparison::measure(
            {ffmpeg, video, description, ExpressEncoder::framePattern(folder.path()), kFrames, nullptr});
        ASSERT_TRUE(measured.ok()) << measured.reason().toStdString();
        EXPECT_EQ(measured->comparedFrames(), checked->report.comparedFrames());
        EXPECT_NEAR(measured->mask().averagePsnr, checked->report.mask().averagePsnr, 0.01);
        EXPECT_NEAR(measured->colour().averagePsnr, checked->report.colour().averagePsnr, 0.01);
        EXPECT_NEAR(measured->edges().overWhitePsnr, checked->report.edges().overWhitePsnr, 0.01);
        EXPECT_EQ(measured->colour().worstFrame, checked->report.colour().worstFrame);
    }
}

TEST(SourceComparisonTest, FewerFramesThanTheVideoShowsIsAFailure) {
    TemporaryFolder folder;
    ASSERT_TRUE(TestFrames::writeGradientSequence(folder.path(), kFrames, kSize.width(), kSize.height()));
    const QString video = folder.filePath(QStringLiteral("trial.mp4"));
    const PackedLayout layout = PackedLayout::plan(kSize, OutputOptions());
    ASSERT_TRUE(ToolProbe::output(ToolProbe::stagedFfmpeg(),
                                  ExpressEncoder::arguments(folder.path(), video, 25, 600)));
    VideoDescription description = layout.describe(OutputOptions());
    // Twice as fast as the video: its last frame shows frame 18 of 20
    // claimed, but the folder holds 10.
    description.inputFps = 50;
    const Result<QualityReport> measured =
        SourceComparison::measure({ToolProbe::stagedFfmpeg(), video, description,
                                   ExpressEncoder::framePattern(folder.path()), 20, nullptr});
    ASSERT_FALSE(measured.ok());
    EXPECT_TRUE(measured.reason().contains(QStringLiteral("ended after 10 frames")))
        << measured.reason().toStdString();
}

} // namespace

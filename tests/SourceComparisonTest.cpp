#include "preview/SourceComparison.h"

#include "TemporaryFolder.h"
#include "TestFrames.h"
#include "ToolProbe.h"
#include "output/PackedLayout.h"
#include "tools/ExpressEncoder.h"

#include <gtest/gtest.h>

using namespace zev;

namespace {

constexpr int kFrames = 10;
const QSize kSize(48, 32);

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

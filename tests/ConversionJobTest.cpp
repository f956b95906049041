#include "session/ConversionJob.h"

#include "HangingEncoder.h"
#include "StagedRunTest.h"
#include "storage/FrameCache.h"
#include "storage/ScratchFolders.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <gtest/gtest.h>

using namespace zev;

namespace {

bool encodingStarted(const TestFrontEnd& front) {
    for (const ConversionProgress& progress : front.progress()) {
        if (progress.stage == ConversionProgress::Stage::Encoding && progress.done > 0)
            return true;
    }
    return false;
}

using ConversionJobTest = StagedRunTest;

TEST_F(ConversionJobTest, ProgressReachesEveryStagesTotalOnTheMainThread) {
    front->inputs.fpsText = QStringLiteral("10");
    ASSERT_TRUE(front->convertAndWait());

    QMap<ConversionProgress::Stage, ConversionProgress> last;
    for (const ConversionProgress& progress : front->progress())
        last[progress.stage] = progress;
    using Stage = ConversionProgress::Stage;
    EXPECT_EQ(last[Stage::Extracting].done, 3);
    EXPECT_EQ(last[Stage::Packing].done, 3);
    // Three frames at 10 per second: ffmpeg writes 7 at 25 per second, the
    // last image lasting 2.5 frames rounded to even.
    EXPECT_EQ(last[Stage::Encoding].done, 7);
    EXPECT_EQ(last[Stage::Encoding].total, 7);
    EXPECT_DOUBLE_EQ(last[Stage::Encoding].fraction, 1.0);
    EXPECT_TRUE(front->allOnMainThread());
    EXPECT_EQ(front->successes().size(), 1);
}

// Stopped mid-encode: no alert, no video of this run (the previous one is
// kept), no tool left, no cache offered, and the next run can start at once.
TEST_F(ConversionJobTest, CancelDuringEncodingLeavesNothingBehind) {
    const QString realFfmpeg = front->validator.settings().ffmpegPath;
    const HangingEncoder encoder(folder.path());
    front->validator.setFfmpegPath(encoder.path());
    folder.touch("frames/output/zev.mp4", "the previous video");
    const QString output = frames() + "/output";
    const auto outputEntries = [&output]() {
        return QDir(output).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
    };

    front->convertBtnClicked();
    ASSERT_TRUE(waitFor([&]() { return encodingStarted(*front) && encoder.isRunning(); }));
    ASSERT_EQ(outputEntries().filter(QRegularExpression("^\\.zev-encoding-.*\\.mp4$")).size(), 1)
        << "the encoder writes its own name";
    front->session.cancel();
    ASSERT_TRUE(waitFor([&]() { return !front->inConverting(); }));

    EXPECT_EQ(front->events(), (QStringList{"busy:1", "busy:0"}));
    QFile previous(video());
    ASSERT_TRUE(previous.open(QIODevice::ReadOnly));
    EXPECT_EQ(previous.readAll(), "the previous video");
    EXPECT_EQ(outputEntries(), QStringList{"zev.mp4"});
    EXPECT_FALSE(encoder.isRunning());
    EXPECT_FALSE(FrameCache::matches(frames(), 3));

    front->validator.setFfmpegPath(realFfmpeg);
    ASSERT_TRUE(front->convertAndWait());
    EXPECT_EQ(front->successes(), QStringList{frames() + "/output"});
}

TEST_F(ConversionJobTest, FrontEndDestroyedMidRunStopsItsTools) {
    const HangingEncoder encoder(folder.path());
    front->validator.setFfmpegPath(encoder.path());
    front->convertBtnClicked();
    ASSERT_TRUE(waitFor([&]() { return encoder.isRunning(); }));

    front.reset();

    EXPECT_FALSE(encoder.isRunning());
    EXPECT_FALSE(QFileInfo::exists(video()));
}

} // namespace

#include "VideoRetargeter.h"

#include "ScratchEnvironment.h"
#include "TemporaryFolder.h"
#include "TestFrames.h"
#include "TestVideos.h"
#include "ToolProbe.h"
#include "output/PlayerTargets.h"

#include <QFile>
#include <gtest/gtest.h>

using namespace zev;

namespace {

const VideoUnpacker::Tools kTools{QStringLiteral(ZEV_STAGED_RESOURCES "/ffmpeg/ffprobe"),
                                  QStringLiteral(ZEV_STAGED_RESOURCES "/ffmpeg/ffmpeg")};

QByteArray videoChecksums(const QString& path) {
    return ToolProbe::output(ToolProbe::stagedFfmpeg(),
                             {"-v", "error", "-i", path, "-map", "0:v", "-c", "copy", "-f", "framemd5", "-"})
        .value_or(QByteArray());
}

class VideoRetargeterTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(TestFrames::writeGradientSequence(frames, 8, 60, 44));
        ASSERT_TRUE(TestVideos::packFolder(frames));
    }

    const PlayerTarget& target(const char* name) const {
        return *PlayerTargets::find(QString::fromLatin1(name));
    }

    ScratchEnvironment scratch;
    TemporaryFolder folder;
    QString frames = folder.filePath("frames");
    QString video = frames + "/output/zev.mp4";
};

// The same layout and colour: the frames' bytes are copied as they are, and
// the target's description is added.
TEST_F(VideoRetargeterTest, OnlyTheDescriptionDiffersCopiesTheFrames) {
    const QString out = folder.filePath("marked");
    const Result<VideoRetargeter::Outcome> made =
        VideoRetargeter::retarget(kTools, video, target("gift-marked"), out);
    ASSERT_TRUE(made.ok()) << made.reason().toStdString();
    EXPECT_FALSE(made->reencoded);
    EXPECT_EQ(made->video, out + "/zev.mp4");
    EXPECT_EQ(videoChecksums(made->video), videoChecksums(video));
    bool plays = false;
    for (const VideoExamination::TargetVerdict& verdict : made->inspection.targets)
        if (verdict.name == "gift-marked")
            plays = verdict.check.plays() && !verdict.check.notes.join(" ").contains("without");
    EXPECT_TRUE(plays);
}

TEST_F(VideoRetargeterTest, NeverReplacesTheVideoItself) {
    const Result<VideoRetargeter::Outcome> made =
        VideoRetargeter::retarget(kTools, video, target("engine-side"), frames + "/output");
    ASSERT_FALSE(made.ok());
    EXPECT_TRUE(made.reason().contains("itself")) << made.reason().toStdString();
    EXPECT_TRUE(QFile::exists(video));
}

} // namespace

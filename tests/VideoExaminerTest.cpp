#include "preview/VideoExaminer.h"

#include "ParamName.h"
#include "ScratchEnvironment.h"
#include "TemporaryFolder.h"
#include "TestFrames.h"
#include "TestVideos.h"
#include "ToolProbe.h"
#include "core/Cancellation.h"
#include "output/PlayerTargets.h"
#include "pipeline/ExpressDriver.h"

#include <QDir>
#include <QJsonArray>
#include <functional>
#include <gtest/gtest.h>

using namespace zev;

namespace {

const QString kFfprobe = QStringLiteral(ZEV_STAGED_RESOURCES "/ffmpeg/ffprobe");
const QString kFfmpeg = QStringLiteral(ZEV_STAGED_RESOURCES "/ffmpeg/ffmpeg");

bool ffmpeg(const QStringList& arguments) {
    return ToolProbe::output(kFfmpeg, QStringList{"-v", "error", "-y"} + arguments).has_value();
}

// A video of small gradient frames, in folder/frames/output.
QString made(const QString& folder, const OutputOptions& options) {
    const QString frames = folder + "/frames";
    if (!TestFrames::writeGradientSequence(frames, 6, 60, 44))
        return {};
    ConversionSettings settings;
    settings.sourceImageFolder = frames;
    settings.fps = 25;
    settings.express = true;
    settings.output = options;
    settings.output.crf = 18;
    settings.ffmpegPath = kFfmpeg;
    settings.ffprobePath = kFfprobe;
    Cancellation cancellation;
    return ExpressDriver(settings, cancellation).run().succeeded() ? frames + "/output/zev.mp4" : QString();
}

struct ReasonCase {
    const char* title;
    // Makes the video in a folder and answers its path.
    std::function<QString(const QString& folder)> make;
    const char* target;
    PlayerTarget::Verdict verdict;
    const char* reason;
};

class Reasons : public testing::TestWithParam<ReasonCase> {
protected:
    ScratchEnvironment scratch;
    TemporaryFolder folder;
};

TEST_P(Reasons, NameWhyTheVideoDoesNotPlayThere) {
    const ReasonCase& c = GetParam();
    const QString video = c.make(folder.path());
    ASSERT_FALSE(video.isEmpty());
    const Result<VideoExamination> inspection = VideoExaminer::inspect(kFfprobe, kFfmpeg, video);
    ASSERT_TRUE(inspection.ok()) << inspection.reason().toStdString();
    bool seen = false;
    for (const VideoExamination::TargetVerdict& verdict : inspection->targets) {
        if (verdict.name != QLatin1String(c.target))
            continue;
        seen = true;
        EXPECT_EQ(verdict.check.verdict, c.verdict) << verdict.check.reasons.join("; ").toStdString();
        if (*c.reason)
            EXPECT_TRUE(verdict.check.reasons.join("; ").contains(c.reason))
                << verdict.check.reasons.join("; ").toStdString();
        else
            EXPECT_TRUE(verdict.check.reasons.isEmpty()) << verdict.check.reasons.join("; ").toStdString();
    }
    EXPECT_TRUE(seen);
    // The text and the JSON say the same.
    EXPECT_TRUE(inspection->toText().contains(c.target));
    EXPECT_EQ(inspection->toJson().value("targets").toArray().size(), PlayerTargets::all().size());
}

// A target's own video.
QString madeFor(const QString& folder, const char* target) {
    return made(folder, PlayerTargets::find(QString::fromLatin1(target))->options);
}

QString reencodedGiftBox(const QString& folder) {
    const QString original = madeFor(folder, "gift-box");
    const QString copy = folder + "/elsewhere/again.mp4";
    QDir().mkpath(folder + "/elsewhere");
    return !original.isEmpty() && ffmpeg({"-i", original, "-c:v", "libx264", "-pix_fmt", "yuv420p", copy})
               ? copy
               : QString();
}

QString defaultVideo(const QString& folder) {
    return TestFrames::writeGradientSequence(folder, 6, 60, 44) && TestVideos::packFolder(folder)
               ? folder + "/output/zev.mp4"
               : QString();
}

// The default layout in straight colour, without zev.json: the pixels tell.
QString straightVideo(const QString& folder) {
    OutputOptions straight;
    straight.premultiplied = false;
    const QString video = made(folder, straight);
    return QFile::remove(folder + "/frames/output/zev.json") ? video : QString();
}

using Verdict = PlayerTarget::Verdict;

INSTANTIATE_TEST_SUITE_P(
    VideoExaminerTest, Reasons,
    testing::Values(ReasonCase{"box_stripped_by_a_reencode", reencodedGiftBox, "gift-box",
                               Verdict::DoesNotPlay, "no description box after ftyp"},
                    ReasonCase{"premultiplied_told_from_pixels", defaultVideo, "engine-side",
                               Verdict::DoesNotPlay, "premultiplied colour: this player expects straight"},
                    ReasonCase{"straight_told_from_pixels", straightVideo, "gift-marked",
                               Verdict::DoesNotPlay,
                               "straight colour: this player draws premultiplied colour only"}),
    ParamName());

// Descriptions that disagree with the video are named, and not counted as
// found.
TEST(VideoExaminerTest, NamesDescriptionsThatDoNotFitTheVideo) {
    ScratchEnvironment scratch;
    TemporaryFolder folder;
    const QString video = madeFor(folder.path(), "gift-box");
    ASSERT_FALSE(video.isEmpty());
    QFile beside(QFileInfo(video).dir().filePath("vapc.json"));
    ASSERT_TRUE(beside.open(QIODevice::WriteOnly | QIODevice::Truncate));
    beside.write(R"({"info":{"v":2,"f":6,"w":60,"h":44,"fps":25,"videoW":200,"videoH":80,)"
                 R"("aFrame":[96,16,30,22],"rgbFrame":[16,16,60,44]}})");
    beside.close();
    const Result<VideoExamination> inspection = VideoExaminer::inspect(kFfprobe, kFfmpeg, video);
    ASSERT_TRUE(inspection.ok());
    ASSERT_EQ(inspection->disagreements.size(), 1) << inspection->disagreements.join("; ").toStdString();
    EXPECT_TRUE(inspection->disagreements.first().contains("200×80"))
        << inspection->disagreements.first().toStdString();
    EXPECT_FALSE(VideoExaminer::traitsOf(*inspection).descriptions.vapcFile);
    EXPECT_TRUE(VideoExaminer::traitsOf(*inspection).descriptions.vapcBox);
}

} // namespace

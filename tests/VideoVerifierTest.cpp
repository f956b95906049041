#include "tools/VideoVerifier.h"

#include "StandInEncoders.h"
#include "TemporaryFolder.h"
#include "ToolProbe.h"
#include "tools/ColourDescription.h"
#include "tools/VideoEncoder.h"
#include "tools/VideoRewriter.h"

#include <QFile>
#include <gtest/gtest.h>

using namespace zev;

namespace {

const ExpectedVideo kExpected{128, 48, 25};
const QString kProbe = QStringLiteral(ZEV_STAGED_RESOURCES "/ffmpeg/ffprobe");
// As ffprobe 5.1 prints it for the probe arguments.
const QByteArray kRight =
    "[STREAM]\nindex=0\ncodec_name=h264\ncodec_type=video\nwidth=128\nheight=48\n"
    "pix_fmt=yuv420p\ncolor_range=tv\ncolor_space=smpte170m\ncolor_transfer=iec61966-2-1\n"
    "color_primaries=bt709\nnb_read_packets=25\n[/STREAM]\n";
const QByteArray kAudio =
    "[STREAM]\nindex=1\ncodec_name=aac\ncodec_type=audio\nnb_read_packets=45\n[/STREAM]\n";

QByteArray rightWith(const char* from, const char* to) {
    return QByteArray(kRight).replace(from, to);
}

TEST(VideoVerifierCheck, JudgesFfprobeOutput) {
    const QList<std::pair<QByteArray, std::string>> cases{
        {kRight, ""},
        {rightWith("=25", "=24"), ""},
        {rightWith("=25", "=2"), "the video has 2 frames, expected 25"},
        {rightWith("=25", "=27"), "the video has 27 frames, expected 25"},
        {rightWith("=128", "=64"), "the video is 64×48, expected 128×48"},
        {rightWith("yuv420p", "yuv444p"), "the video's pixel format is yuv444p, expected yuv420p"},
        {rightWith("h264", "hevc"), "the video's codec is hevc, expected h264"},
        {kRight + kAudio, "the video has 2 streams (video, audio), expected one video stream"},
        {kAudio, "the video's only stream is audio, expected a video stream"},
        {rightWith("smpte170m", "bt709"),
         "the video's colour description (range/matrix/primaries/transfer) is "
         "tv/bt709/bt709/iec61966-2-1, expected tv/smpte170m/bt709/iec61966-2-1"},
        {rightWith("color_range=tv", "color_range=unknown"),
         "the video's colour description (range/matrix/primaries/transfer) is "
         "unknown/smpte170m/bt709/iec61966-2-1, expected tv/smpte170m/bt709/iec61966-2-1"},
        {"", "the video has no streams, expected one video stream"},
    };
    for (const auto& [output, reason] : cases) {
        const Result<> result = VideoVerifier::check(output, kExpected);
        EXPECT_EQ(result.reason().toStdString(), reason) << output.toStdString();
        EXPECT_EQ(result.details().toStdString(), reason.empty() ? "" : output.toStdString());
    }
}

// Real videos, written by the staged ffmpeg or by one told to stop after two frames (which still exits
// with status 0), rewritten with their colour description, and read by the staged ffprobe. A colon in
// the path must not make ffprobe look for a URL.
TEST(VideoVerifierReal, ReadsTheWrittenVideo) {
    TemporaryFolder folder;
    const QString stoppingEarly = StandInEncoders::stoppingEarly(folder.path());
    const QList<std::tuple<QString, int, qint64, std::string>> runs{
        {ToolProbe::stagedFfmpeg(), 7, 59, ""},
        {stoppingEarly, 20, 20, "the video has 2 frames, expected 25"}};
    const QString model = folder.filePath("model.png");
    ASSERT_TRUE(ToolProbe::output(ToolProbe::stagedConvert(), {"-size", "32x16", "xc:red", model}));
    for (const auto& [ffmpeg, images, fps, reason] : runs) {
        const QString frames = folder.makeFolder(QStringLiteral("%1/frames").arg(fps));
        for (int i = 0; i < images; ++i)
            QFile::copy(model, frames + QStringLiteral("/%1.png").arg(i, 5, 10, QLatin1Char('0')));
        const QString output = folder.filePath(QStringLiteral("%1/out:put").arg(fps));
        const QString encoded = output + "/.encoded.mp4";
        ASSERT_TRUE(VideoEncoder::convertImagesToMp4FromFolder(ffmpeg, frames, encoded, fps, 1000));
        ASSERT_TRUE(VideoRewriter::rewrite(ToolProbe::stagedFfmpeg(), encoded,
                                           VideoEncoder::videoPath(output), ToolRunOptions()));
        const ExpectedVideo expected{32, 16, VideoEncoder::outputFrameCount(images, fps)};
        EXPECT_EQ(
            VideoVerifier::verify(kProbe, VideoEncoder::videoPath(output), expected).reason().toStdString(),
            reason);
    }
}

// A video with the right streams and colour whose index follows its frames is refused.
TEST(VideoVerifierReal, IndexAfterTheFramesIsAFailure) {
    TemporaryFolder folder;
    const QString video = folder.filePath("zev.mp4");
    QStringList arguments{"-v",        "error", "-f",   "lavfi",   "-i",       "color=red:s=32x16:r=25",
                          "-frames:v", "5",     "-c:v", "libx264", "-pix_fmt", "yuv420p"};
    arguments << ColourDescription::encoderOptions() << video;
    ASSERT_TRUE(ToolProbe::output(ToolProbe::stagedFfmpeg(), arguments));
    EXPECT_EQ(VideoVerifier::verify(kProbe, video, {32, 16, 5}).reason().toStdString(),
              ("the index of " + video + " comes after its frames").toStdString());
}

TEST(VideoVerifierReal, MissingVideoIsAFailure) {
    const QString video = TemporaryFolder().filePath("zev.mp4");
    EXPECT_EQ(
        VideoVerifier::verify(kProbe, video, kExpected).reason().toStdString(),
        ("ffprobe cannot read " + video + ": file:" + video + ": No such file or directory").toStdString());
}

} // namespace

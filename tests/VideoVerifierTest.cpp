#include "tools/VideoVerifier.h"

#include "StandInEncoders.h"
#include "TemporaryFolder.h"
#include "ToolProbe.h"
#include "tools/VideoEncoder.h"

#include <QFile>
#include <gtest/gtest.h>

namespace {

const ExpectedVideo kExpected{128, 48, 25};
const QString kProbe = QStringLiteral(ZEV_STAGED_RESOURCES "/ffmpeg/ffprobe");
// As ffprobe 5.1 prints it for the probe arguments.
const QByteArray kRight = "[STREAM]\nindex=0\ncodec_name=h264\ncodec_type=video\nwidth=128\nheight=48\n"
                          "pix_fmt=yuv420p\nnb_read_packets=25\n[/STREAM]\n";
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
        {"", "the video has no streams, expected one video stream"},
    };
    for (const auto& [output, reason] : cases) {
        const Result<> result = VideoVerifier::check(output, kExpected);
        EXPECT_EQ(result.reason().toStdString(), reason) << output.toStdString();
        EXPECT_EQ(result.details().toStdString(), reason.empty() ? "" : output.toStdString());
    }
}

// Real videos, written by the staged ffmpeg or by one told to stop after two frames (which still exits
// with status 0), and read by the staged ffprobe. A colon in the path must not make ffprobe look for a URL.
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
        ASSERT_TRUE(VideoEncoder::convertImagesToMp4FromFolder(ffmpeg, frames, output, fps, 1000));
        const ExpectedVideo expected{32, 16, VideoEncoder::outputFrameCount(images, fps)};
        EXPECT_EQ(
            VideoVerifier::verify(kProbe, VideoEncoder::videoPath(output), expected).reason().toStdString(),
            reason);
    }
}

TEST(VideoVerifierReal, MissingVideoIsAFailure) {
    const QString video = TemporaryFolder().filePath("zev.mp4");
    EXPECT_EQ(
        VideoVerifier::verify(kProbe, video, kExpected).reason().toStdString(),
        ("ffprobe cannot read " + video + ": file:" + video + ": No such file or directory").toStdString());
}

} // namespace

#include "tools/VideoVerifier.h"

#include "StandInEncoders.h"
#include "TemporaryFolder.h"
#include "ToolProbe.h"
#include "tools/ColourDescription.h"
#include "tools/VideoEncoder.h"
#include "tools/VideoRewriter.h"

#include <QFile>
#include <functional>
#include <gtest/gtest.h>

using namespace zev;

namespace {

const ExpectedVideo kExpected{128, 48, 25};
const QString kProbe = QStringLiteral(ZEV_STAGED_RESOURCES "/ffmpeg/ffprobe");

VideoFacts::Stream rightVideo() {
    VideoFacts::Stream video;
    video.type = "video";
    video.codec = "h264";
    video.size = QSize(128, 48);
    video.pixelFormat = "yuv420p";
    video.colour = ColourDescription::ofConversion();
    video.packets = 25;
    return video;
}

VideoFacts::Stream sound() {
    VideoFacts::Stream audio;
    audio.index = 1;
    audio.type = "audio";
    audio.codec = "aac";
    audio.packets = 45;
    return audio;
}

struct CheckCase {
    const char* name;
    std::function<void(VideoFacts&)> change;
    int audioStreams;
    std::string reason;
    std::function<void(ExpectedVideo&)> expect = [](ExpectedVideo&) {};
};

void asHevc(VideoFacts& facts) {
    facts.streams[0].codec = "hevc";
    facts.streams[0].codecTag = "hvc1";
}

void asWebm(VideoFacts& facts) {
    facts.formatName = "matroska,webm";
    facts.streams[0].codec = "vp9";
}

void expectHevc(ExpectedVideo& expected) {
    expected = ExpectedVideo::of(VideoFormat::forCodec(VideoFormat::Codec::H265), 128, 48, 25);
}

void expectVp9(ExpectedVideo& expected) {
    expected = ExpectedVideo::of(VideoFormat::forCodec(VideoFormat::Codec::Vp9), 128, 48, 25);
}

// Two seconds of AAC beside the video.
void expectSound(ExpectedVideo& expected) {
    expected = expected.withSound("aac", 2.0);
}

void withSound(VideoFacts& facts, double seconds, const char* codec = "aac") {
    facts.streams.append(sound());
    facts.streams[1].durationSeconds = seconds;
    facts.streams[1].codec = codec;
}

TEST(VideoVerifierCheck, JudgesWhatTheProbeFound) {
    const QList<CheckCase> cases{
        {"right", [](VideoFacts&) {}, 0, ""},
        {"one frame short", [](VideoFacts& f) { f.streams[0].packets = 24; }, 0, ""},
        {"stopped early", [](VideoFacts& f) { f.streams[0].packets = 2; }, 0,
         "the video has 2 frames, expected 25"},
        {"too long", [](VideoFacts& f) { f.streams[0].packets = 27; }, 0,
         "the video has 27 frames, expected 25"},
        {"other size", [](VideoFacts& f) { f.streams[0].size = QSize(64, 48); }, 0,
         "the video is 64×48, expected 128×48"},
        {"other pixels", [](VideoFacts& f) { f.streams[0].pixelFormat = "yuv444p"; }, 0,
         "the video's pixel format is yuv444p, expected yuv420p"},
        {"other codec", [](VideoFacts& f) { f.streams[0].codec = "hevc"; }, 0,
         "the video's codec is hevc, expected h264"},
        {"sound too many", [](VideoFacts& f) { f.streams.append(sound()); }, 0,
         "the video has 2 streams (video, audio), expected one video stream"},
        {"sound asked for", [](VideoFacts& f) { f.streams.append(sound()); }, 1, ""},
        {"sound missing", [](VideoFacts&) {}, 1,
         "the video's only stream is video, expected one video stream and one sound stream"},
        {"a data track besides the sound",
         [](VideoFacts& f) {
             f.streams.append(sound());
             f.streams.append(sound());
             f.streams[2].type = "data";
         },
         1, "the video has 3 streams (video, audio, data), expected one video stream and one sound stream"},
        {"sound only", [](VideoFacts& f) { f.streams[0] = sound(); }, 0,
         "the video's only stream is audio, expected one video stream"},
        {"other matrix", [](VideoFacts& f) { f.streams[0].colour.matrix = "bt709"; }, 0,
         "the video's colour description (range/matrix/primaries/transfer) is "
         "tv/bt709/bt709/iec61966-2-1, expected tv/smpte170m/bt709/iec61966-2-1"},
        {"untagged range", [](VideoFacts& f) { f.streams[0].colour.range = "unknown"; }, 0,
         "the video's colour description (range/matrix/primaries/transfer) is "
         "unknown/smpte170m/bt709/iec61966-2-1, expected tv/smpte170m/bt709/iec61966-2-1"},
        {"nothing", [](VideoFacts& f) { f.streams.clear(); }, 0,
         "the video has no streams, expected one video stream"},
        {"hevc tagged hev1",
         [](VideoFacts& f) {
             asHevc(f);
             f.streams[0].codecTag = "hev1";
         },
         0, "the video's sample entry is hev1, expected hvc1", expectHevc},
        {"vp9 in mp4",
         [](VideoFacts& f) {
             asWebm(f);
             f.formatName = "mov,mp4,m4a,3gp,3g2,mj2";
         },
         0, "the video's container is mov,mp4,m4a,3gp,3g2,mj2, expected webm", expectVp9},
        {"sound left long", [](VideoFacts& f) { withSound(f, 10.0); }, 0,
         "the sound lasts 10.000 s, expected 2.000 s, the animation's length", expectSound},
        {"sound of another codec", [](VideoFacts& f) { withSound(f, 2.0, "mp3"); }, 0,
         "the sound's codec is mp3, expected aac", expectSound},
    };
    for (const CheckCase& test : cases) {
        VideoFacts facts;
        facts.formatName = "mov,mp4,m4a,3gp,3g2,mj2";
        facts.streams = {rightVideo()};
        test.change(facts);
        ExpectedVideo expected = kExpected;
        expected.audioStreams = test.audioStreams;
        test.expect(expected);
        const Result<> result = VideoVerifier::check(facts, expected);
        EXPECT_EQ(result.reason().toStdString(), test.reason) << test.name;
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
                                           VideoEncoder::videoPath(output), fps, ToolRunOptions()));
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
    EXPECT_EQ(VideoVerifier::verify(kProbe, video, kExpected).reason().toStdString(),
              ("there is no video file at " + video).toStdString());
}

} // namespace

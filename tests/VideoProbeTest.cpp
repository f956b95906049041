#include "tools/VideoProbe.h"

#include "TemporaryFolder.h"
#include "ToolProbe.h"

#include <gtest/gtest.h>

using namespace zev;

namespace {

const QString kProbe = QStringLiteral(ZEV_STAGED_RESOURCES "/ffmpeg/ffprobe");

TEST(VideoProbeLevels, AreNamedAsEachCodecCountsThem) {
    const QList<std::tuple<const char*, int, const char*>> cases{
        {"h264", 41, "4.1"},  {"h264", 9, "1b"},   {"h264", 0, ""},   {"hevc", 123, "4.1"},
        {"hevc", 150, "5.0"}, {"hevc", 93, "3.1"}, {"av1", 0, "2.0"}, {"av1", 8, "4.0"},
        {"av1", 13, "5.1"},   {"av1", 31, ""},     {"vp9", -99, ""},  {"aac", 41, ""},
    };
    for (const auto& [codec, level, name] : cases)
        EXPECT_EQ(VideoProbe::levelName(codec, level).toStdString(), name) << codec << " " << level;
}

// As ffprobe 5.1 prints it for the probe's arguments: numbers as strings or numbers, tags, a
// sample entry that is no name.
TEST(VideoProbeParse, ReadsEveryStreamAndTheContainer) {
    const QByteArray json = R"({"streams": [
        {"index": 0, "codec_name": "vp9", "codec_type": "video", "codec_tag_string": "[0][0][0][0]",
         "profile": "Profile 0", "level": -99, "width": 64, "height": 32, "pix_fmt": "yuv420p",
         "color_range": "tv", "color_space": "smpte170m", "r_frame_rate": "25/1", "avg_frame_rate": "0/0",
         "nb_read_packets": "50", "tags": {"alpha_mode": "1", "DURATION": "00:00:02.000000000"}},
        {"index": 1, "codec_name": "opus", "codec_type": "audio", "sample_rate": "48000", "channels": 2,
         "nb_read_packets": "101"}],
        "format": {"format_name": "matroska,webm", "duration": "2.007000", "bit_rate": "81000",
                   "tags": {"ENCODER": "Lavf59.27.100"}}})";
    const Result<VideoFacts> facts = VideoProbe::parse(json, "/a/zev.webm");
    ASSERT_TRUE(facts.ok()) << facts.reason().toStdString();
    ASSERT_EQ(facts->streams.size(), 2);
    const VideoFacts::Stream& video = facts->video();
    EXPECT_EQ(video.codec, "vp9");
    EXPECT_EQ(video.codecTag, "");
    EXPECT_EQ(video.level, "");
    EXPECT_EQ(video.size, QSize(64, 32));
    EXPECT_EQ(video.colour.text(), "tv/smpte170m/unknown/unknown");
    EXPECT_EQ(facts->framesPerSecond(), 25.0);
    EXPECT_EQ(facts->frames(), 50);
    EXPECT_EQ(video.tags.value("alpha_mode"), "1");
    EXPECT_EQ(facts->streams[1].sampleRate, 48000);
    EXPECT_EQ(facts->streams[1].channels, 2);
    EXPECT_EQ(facts->count("audio"), 1);
    EXPECT_TRUE(facts->isWebm());
    EXPECT_FALSE(facts->isMp4());
    EXPECT_EQ(facts->bitrateKbits(), 81);
    EXPECT_EQ(facts->formatTags.value("ENCODER"), "Lavf59.27.100");
}

TEST(VideoProbeParse, NothingToReadIsAFailure) {
    for (const QByteArray& json : {QByteArray(""), QByteArray("{\"streams\": []}"), QByteArray("[1]")})
        EXPECT_EQ(VideoProbe::parse(json, "/a/b.mp4").reason().toStdString(), "/a/b.mp4 holds no stream")
            << json.toStdString();
}

// A real file with a sound track, under a name ffprobe must not take for a URL or an option.
TEST(VideoProbeReal, CountsTheFramesOfEveryStream) {
    TemporaryFolder folder;
    const QString video = folder.filePath("-a:b.mp4");
    ASSERT_TRUE(ToolProbe::output(ToolProbe::stagedFfmpeg(), {"-v",           "error",
                                                              "-f",           "lavfi",
                                                              "-i",           "color=red:s=32x16:r=25",
                                                              "-f",           "lavfi",
                                                              "-i",           "anullsrc=r=48000",
                                                              "-t",           "1",
                                                              "-c:v",         "libx264",
                                                              "-pix_fmt",     "yuv420p",
                                                              "-c:a",         "aac",
                                                              "-movflags",    "+faststart",
                                                              "file:" + video}));
    const Result<VideoFacts> facts = VideoProbe::probe(kProbe, video);
    ASSERT_TRUE(facts.ok()) << facts.reason().toStdString();
    EXPECT_EQ(facts->frames(), 25);
    EXPECT_EQ(facts->size(), QSize(32, 16));
    EXPECT_EQ(facts->video().codecTag, "avc1");
    EXPECT_EQ(facts->count("audio"), 1);
    EXPECT_TRUE(facts->isMp4());
    EXPECT_EQ(VideoProbe::probe(kProbe, folder.touch("empty.mp4")).reason().left(18).toStdString(),
              "ffprobe cannot rea");
    EXPECT_EQ(VideoProbe::probe(kProbe, folder.path()).reason().toStdString(),
              ("there is no video file at " + folder.path()).toStdString());
}

} // namespace

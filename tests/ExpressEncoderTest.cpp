#include "tools/ExpressEncoder.h"

#include "ParamName.h"

#include <QDir>
#include <gtest/gtest.h>

using namespace zev;

namespace {

using Codec = VideoFormat::Codec;
using Container = VideoFormat::Container;

// The colour description, then the animation's rate (20) recorded in the file.
const QString kColour =
    QStringLiteral("-color_range tv -colorspace smpte170m -color_primaries bt709 -color_trc iec61966-2-1 "
                   "-metadata zev_input_fps=20");

QString url(const QString& relative) {
    return "file:" + QDir::currentPath() + "/" + relative;
}

TEST(ExpressEncoderTest, NoUserTextReachesFfmpegAsAPatternOrProtocol) {
    const QStringList arguments =
        ExpressEncoder::arguments("/t/50% %d/express-1", "x:y/.zev-express-1.mp4", 20, 1100,
                                  ExpressEncoder::kFilterGraph, std::nullopt, 75);
    EXPECT_EQ(arguments.size(), 41);
    EXPECT_EQ(arguments.join(' '), "-xerror -f image2 -framerate 20 -start_number 0 -i "
                                   "file:/t/50%% %%d/express-1/%d.png -vf " +
                                       ExpressEncoder::kFilterGraph + ExpressEncoder::kHoldLastImage +
                                       " -vcodec libx264 -r 25 -b 1100k -y -pix_fmt yuv420p -frames:v 75 " +
                                       kColour + " -preset veryslow -tune animation" +
                                       " -movflags +faststart+write_colr+use_metadata_tags -f mp4 " +
                                       url("x:y/.zev-express-1.mp4"));
}

struct CodecCase {
    const char* title;
    VideoFormat format;
    std::optional<int> crf;
    // Everything from the encoder on.
    QString encoderAndContainer;
};

class Codecs : public testing::TestWithParam<CodecCase> {};

// The input and the graph stay those of H.264; the encoder's settings and
// the container follow the codec: H.265 tagged hvc1, a CRF of libaom and
// libvpx leaves the bitrate open, WebM has its cues in front.
TEST_P(Codecs, GetTheirEncoderAndContainer) {
    const CodecCase& c = GetParam();
    ExpressEncoder::Encoding encoding;
    encoding.linkFolder = QStringLiteral("/links");
    encoding.videoFile = QStringLiteral("out/.zev-express-1.") + c.format.extension();
    encoding.fps = 20;
    encoding.rate = 1100;
    encoding.crf = c.crf;
    encoding.outputFrames = 75;
    encoding.format = c.format;
    const QString command = ExpressEncoder::arguments(encoding).join(u' ');
    const QString input =
        QStringLiteral("-xerror -f image2 -framerate 20 -start_number 0 -i file:/links/%d.png "
                       "-vf ") +
        ExpressEncoder::kFilterGraph + ExpressEncoder::kHoldLastImage + u' ';
    EXPECT_EQ(command, input + c.encoderAndContainer.arg(kColour, url(encoding.videoFile)));
}

INSTANTIATE_TEST_SUITE_P(
    ExpressEncoderTest, Codecs,
    testing::Values(
        CodecCase{
            "h264_crf", VideoFormat(), 18,
            "-vcodec libx264 -r 25 -crf 18 -y -pix_fmt yuv420p -frames:v 75 %1 "
            "-preset veryslow -tune animation -movflags +faststart+write_colr+use_metadata_tags -f mp4 %2"},
        CodecCase{"h265", VideoFormat::forCodec(Codec::H265), 23,
                  "-vcodec libx265 -r 25 -crf 23 -y -pix_fmt yuv420p -frames:v 75 %1 -preset medium "
                  "-tag:v hvc1 -x265-params log-level=error -movflags "
                  "+faststart+write_colr+use_metadata_tags -f mp4 %2"},
        CodecCase{"av1_mp4_bitrate", VideoFormat::forCodec(Codec::Av1), std::nullopt,
                  "-vcodec libaom-av1 -r 25 -b 1100k -y -pix_fmt yuv420p -frames:v 75 %1 -cpu-used 6 "
                  "-row-mt 1 -movflags +faststart+write_colr+use_metadata_tags -f mp4 %2"},
        CodecCase{
            "av1_webm_crf", VideoFormat{Codec::Av1, Container::Webm}, 32,
            "-vcodec libaom-av1 -r 25 -crf 32 -y -pix_fmt yuv420p -frames:v 75 -fps_mode cfr %1 -cpu-used 6 "
            "-row-mt 1 -b:v 0 -cues_to_front 1 -f webm %2"},
        CodecCase{"vp9_crf", VideoFormat::forCodec(Codec::Vp9), 32,
                  "-vcodec libvpx-vp9 -r 25 -crf 32 -y -pix_fmt yuv420p -frames:v 75 -fps_mode cfr %1 "
                  "-deadline good "
                  "-cpu-used 1 -row-mt 1 -b:v 0 -cues_to_front 1 -f webm %2"},
        CodecCase{"vp9_bitrate", VideoFormat::forCodec(Codec::Vp9), std::nullopt,
                  "-vcodec libvpx-vp9 -r 25 -b 1100k -y -pix_fmt yuv420p -frames:v 75 -fps_mode cfr %1 "
                  "-deadline good "
                  "-cpu-used 1 -row-mt 1 -cues_to_front 1 -f webm %2"}),
    ParamName());

// What a level 4.1 decoder holds of the packed picture, within x264's 16;
// the size is given, so the option is.
TEST(ExpressEncoderTest, ReferenceFramesFitTheLevelPhonesDecode) {
    struct Case {
        QSize packed;
        int references;
    };
    const Case cases[] = {
        {{1280, 368}, 16}, {{1920, 1080}, 4}, {{3840, 1080}, 2}, {{8192, 8192}, 1}, {{2, 2}, 16}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.packed.width());
        EXPECT_EQ(ExpressEncoder::h264ReferenceFrames(c.packed), c.references);
        ExpressEncoder::Encoding encoding;
        encoding.packed = c.packed;
        EXPECT_TRUE(ExpressEncoder::arguments(encoding).join(u' ').contains(
            QStringLiteral("-tune animation -refs %1 ").arg(c.references)));
    }
}

struct SoundCase {
    const char* title;
    VideoFormat format;
    QString soundAndContainer;
};

class Sounds : public testing::TestWithParam<SoundCase> {};

// The video is copied, the sound encoded for its container and made as
// long as the animation; nothing else of the sound file comes along.
TEST_P(Sounds, AreMuxedForTheirContainer) {
    const SoundCase& c = GetParam();
    const QString video = QStringLiteral("out/zev.") + c.format.extension();
    const QString command =
        ExpressEncoder::soundArguments("/e/encoded", "-sound:1.wav", 2.4, c.format, video).join(u' ');
    EXPECT_EQ(command, "-xerror -i file:/e/encoded -i " + url("-sound:1.wav") +
                           " -map 0:v:0 -map 1:a:0 -map_chapters -1 -c:v copy "
                           "-af apad=whole_dur=2.400000,atrim=end=2.400000 " +
                           c.soundAndContainer.arg(url(video)));
}

INSTANTIATE_TEST_SUITE_P(
    ExpressEncoderTest, Sounds,
    testing::Values(
        SoundCase{"aac_in_mp4", VideoFormat(),
                  "-c:a aac -b:a 128k -y -movflags +faststart+write_colr+use_metadata_tags -f mp4 %1"},
        SoundCase{
            "hevc_keeps_hvc1", VideoFormat::forCodec(Codec::H265),
            "-c:a aac -b:a 128k -y -tag:v hvc1 -movflags +faststart+write_colr+use_metadata_tags -f mp4 %1"},
        SoundCase{"opus_in_webm", VideoFormat::forCodec(Codec::Vp9),
                  "-c:a libopus -b:a 96k -y -cues_to_front 1 -f webm %1"}),
    ParamName());

} // namespace

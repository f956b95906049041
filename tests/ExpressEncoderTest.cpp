#include "tools/ExpressEncoder.h"

#include <QDir>
#include <gtest/gtest.h>

using namespace zev;

namespace {

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
    EXPECT_EQ(arguments.size(), 45);
    EXPECT_EQ(arguments.join(' '), "-xerror -f image2 -framerate 20 -start_number 0 -i "
                                   "file:/t/50%% %%d/express-1/%d.png -vf " +
                                       ExpressEncoder::kFilterGraph + ExpressEncoder::kHoldLastImage +
                                       " -vcodec libx264 -r 25 -b 1100k -y -pix_fmt yuv420p -frames:v 75 " +
                                       kColour + " -preset veryslow -tune animation" +
                                       " -x264-params psy=0:merange=32 -bsf:v filter_units=remove_types=6" +
                                       " -movflags +faststart+write_colr+use_metadata_tags -f mp4 " +
                                       url("x:y/.zev-express-1.mp4"));
}

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

// The sound file's name reaches ffmpeg as one file URL, whatever it starts
// with; the video is copied, the sound made as long as the animation and
// nothing else of its file comes along.
TEST(ExpressEncoderTest, SoundIsMuxedFromItsFileOnly) {
    const QString command =
        ExpressEncoder::soundArguments("/e/encoded", "-sound:1.wav", 2.4,
                                       VideoFormat::forCodec(VideoFormat::Codec::H265), "out/zev.mp4")
            .join(u' ');
    EXPECT_EQ(command, "-xerror -i file:/e/encoded -i " + url("-sound:1.wav") +
                           " -map 0:v:0 -map 1:a:0 -map_chapters -1 -c:v copy "
                           "-af apad=whole_dur=2.400000,atrim=end=2.400000 -c:a aac -b:a 128k -y -tag:v hvc1 "
                           "-movflags +faststart+write_colr+use_metadata_tags -f mp4 " +
                           url("out/zev.mp4"));
}

} // namespace

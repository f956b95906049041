#include "ParamName.h"
#include "QualityCheck.h"
#include "ScratchEnvironment.h"
#include "StagedConversion.h"
#include "TemporaryFolder.h"
#include "TestFrames.h"
#include "ToolProbe.h"
#include "core/Cancellation.h"
#include "output/OutputFolder.h"
#include "output/VideoDescription.h"
#include "pipeline/ExpressDriver.h"
#include "tools/VideoProbe.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

using namespace zev;

namespace {

using Codec = VideoFormat::Codec;
using Container = VideoFormat::Container;

const QString kTools = QStringLiteral(ZEV_STAGED_RESOURCES "/ffmpeg/");

QStringList entries(const QString& folder) {
    return QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System);
}

// The express conversion of one frame folder into each codec and container,
// read back as --check reads it.
class ExpressCodecsTest : public testing::Test {
protected:
    ScratchEnvironment scratch;
    TemporaryFolder folder;
    QString frames = folder.filePath("frames");
    QString output = frames + "/output";

    ConversionOutcome express(const OutputOptions& options, qint64 fps = 25) const {
        ConversionSettings settings = StagedConversion::settings(frames, options);
        settings.fps = fps;
        Cancellation cancellation;
        return ExpressDriver(settings, cancellation).run();
    }

    static OutputOptions encodedAs(VideoFormat format, std::optional<int> crf = std::nullopt,
                                   const QString& audio = {}) {
        OutputOptions options;
        options.format = format;
        options.crf = crf;
        options.audioFile = audio;
        return options;
    }

    // A sound of seconds made by the staged ffmpeg, in the file name's format.
    QString sound(const QString& name, int seconds) const {
        const QString path = folder.filePath(name);
        const bool made =
            ToolProbe::output(kTools + "ffmpeg",
                              {"-v", "error", "-f", "lavfi", "-i",
                               QStringLiteral("sine=frequency=440:duration=%1").arg(seconds), "-y", path})
                .has_value();
        return made ? path : QString();
    }
};

struct FormatCase {
    const char* title;
    VideoFormat format;
    int crf; // a good quality on the codec's own scale
    const char* file;
    const char* codec;
    // The animation's rate; below 25, frames are shown more than once.
    qint64 fps = 25;
    qint64 videoFrames = 12;
};

class Formats : public ExpressCodecsTest, public testing::WithParamInterface<FormatCase> {};

// Each codec's video is verified before it is announced, named after its
// container, described, and decodes back to the frames.
TEST_P(Formats, DecodeBackToTheFrames) {
    const FormatCase& c = GetParam();
    ASSERT_TRUE(TestFrames::writeGradientSequence(frames, 12, 64, 48));
    OutputOptions options = encodedAs(c.format, c.crf);
    // The other formats always name their video in zev.json.
    options.describe = true;
    const ConversionOutcome outcome = express(options, c.fps);
    ASSERT_TRUE(outcome.succeeded()) << outcome.reason.toStdString();
    const QString video = output + "/" + c.file;
    EXPECT_EQ(outcome.video, video);
    EXPECT_EQ(OutputFolder::videoOfFrameFolder(frames), video);
    EXPECT_EQ(entries(output), (QStringList{"zev.json", c.file}));
    const Result<VideoDescription> described = VideoDescription::readBeside(video, QSize());
    ASSERT_TRUE(described.ok()) << described.reason().toStdString();
    EXPECT_EQ(described->video, c.file);
    EXPECT_EQ(described->codec, c.codec);
    EXPECT_TRUE(described->audio.isEmpty());

    const Result<QualityCheck::Outcome> checked =
        QualityCheck::check({kTools + "ffprobe", kTools + "ffmpeg"}, frames);
    ASSERT_TRUE(checked.ok()) << checked.reason().toStdString();
    EXPECT_EQ(checked->videoFrames, c.videoFrames);
    EXPECT_GE(checked->report.mask().averagePsnr, 40.0);
    EXPECT_GE(checked->report.colour().averagePsnr, 30.0);
}

INSTANTIATE_TEST_SUITE_P(
    ExpressCodecsTest, Formats,
    testing::Values(
        FormatCase{"h265", VideoFormat::forCodec(Codec::H265), 18, "zev.mp4", "hevc"},
        FormatCase{"av1_mp4", VideoFormat::forCodec(Codec::Av1), 24, "zev.mp4", "av1"},
        FormatCase{"av1_webm_at_20_fps", {Codec::Av1, Container::Webm}, 24, "zev.webm", "av1", 20, 15},
        FormatCase{"vp9_at_20_fps", VideoFormat::forCodec(Codec::Vp9), 24, "zev.webm", "vp9", 20, 15}),
    ParamName());

struct SoundCase {
    const char* title;
    VideoFormat format;
    const char* soundFile;
    int soundSeconds;
    const char* codec;
};

class Sounds : public ExpressCodecsTest, public testing::WithParamInterface<SoundCase> {};

// A shorter sound is padded with silence and a longer one cut: one sound
// stream as long as the 2 s animation (50 frames at 25 a second), nothing
// else in the file.
TEST_P(Sounds, LastAsLongAsTheAnimation) {
    const SoundCase& c = GetParam();
    ASSERT_TRUE(TestFrames::writeSequence(frames, 50, 32, 16));
    const QString audio = sound(c.soundFile, c.soundSeconds);
    ASSERT_FALSE(audio.isEmpty());
    const ConversionOutcome outcome = express(encodedAs(c.format, 30, audio));
    ASSERT_TRUE(outcome.succeeded()) << outcome.reason.toStdString();
    const Result<VideoFacts> facts = VideoProbe::probe(kTools + "ffprobe", outcome.video);
    ASSERT_TRUE(facts.ok()) << facts.reason().toStdString();
    ASSERT_EQ(facts->streams.size(), 2);
    ASSERT_EQ(facts->count("audio"), 1);
    const VideoFacts::Stream& sound = facts->streams[facts->streams[0].isAudio() ? 0 : 1];
    EXPECT_EQ(sound.codec, c.codec);
    EXPECT_NEAR(sound.durationSeconds, 2.0, 0.05);
    EXPECT_EQ(facts->frames(), 50);
    const Result<VideoDescription> described = VideoDescription::readBeside(outcome.video, QSize());
    ASSERT_TRUE(described.ok());
    EXPECT_EQ(described->audio, c.codec);
}

INSTANTIATE_TEST_SUITE_P(
    ExpressCodecsTest, Sounds,
    testing::Values(SoundCase{"long_into_mp4", VideoFormat::forCodec(Codec::H265), "long.m4a", 10, "aac"},
                    SoundCase{"short_into_webm", VideoFormat::forCodec(Codec::Vp9), "short.wav", 1, "opus"}),
    ParamName());

struct RefusedCase {
    const char* title;
    VideoFormat format;
    // The sound file: none, one that is not there, or a video without sound.
    enum class Sound { None, Missing, Silent } sound;
    int frameSide;
    const char* reason;
};

class Refused : public ExpressCodecsTest, public testing::WithParamInterface<RefusedCase> {
protected:
    QString soundFile(RefusedCase::Sound kind) const {
        const QString path = folder.filePath("sound.mp4");
        if (kind == RefusedCase::Sound::Silent)
            ToolProbe::output(kTools + "ffmpeg", {"-v", "error", "-f", "lavfi", "-i",
                                                  "testsrc=size=32x32:rate=25", "-t", "1", "-y", path});
        return kind == RefusedCase::Sound::None ? QString() : path;
    }
};

// Before anything is encoded; the previous video stays as it was.
TEST_P(Refused, BeforeEncodingWithTheReason) {
    const RefusedCase& c = GetParam();
    ASSERT_TRUE(TestFrames::writeSequence(frames, 4, c.frameSide, c.frameSide));
    folder.touch("frames/output/zev.mp4", "the previous video");
    const ConversionOutcome outcome = express(encodedAs(c.format, std::nullopt, soundFile(c.sound)));
    ASSERT_FALSE(outcome.succeeded());
    EXPECT_TRUE(outcome.reason.contains(QString::fromUtf8(c.reason))) << outcome.reason.toStdString();
    EXPECT_EQ(entries(output), QStringList{"zev.mp4"});
    QFile previous(output + "/zev.mp4");
    ASSERT_TRUE(previous.open(QIODevice::ReadOnly));
    EXPECT_EQ(previous.readAll(), "the previous video");
}

using Sound = RefusedCase::Sound;

INSTANTIATE_TEST_SUITE_P(
    ExpressCodecsTest, Refused,
    testing::Values(RefusedCase{"sound_file_missing", VideoFormat(), Sound::Missing, 16,
                                "the sound file cannot be read"},
                    RefusedCase{"no_sound_in_the_file", VideoFormat::forCodec(Codec::Vp9), Sound::Silent, 16,
                                "holds no sound stream"},
                    RefusedCase{"h265_frames_too_small", VideoFormat::forCodec(Codec::H265), Sound::None, 8,
                                "takes no side under 16 pixels"}),
    ParamName());

// One video in the folder, and a description only of it: a WebM run takes
// away the MP4 and the zev.json an earlier run left, and a default run
// the WebM.
TEST_F(ExpressCodecsTest, LeavesOneVideoAndNoStaleDescription) {
    ASSERT_TRUE(TestFrames::writeSequence(frames, 4, 32, 16));
    OutputOptions described;
    described.layout = OutputOptions::Layout::MaskRight;
    ASSERT_TRUE(express(described).succeeded());
    ASSERT_EQ(entries(output), (QStringList{"zev.json", "zev.mp4"}));

    ASSERT_TRUE(express(encodedAs(VideoFormat::forCodec(Codec::Vp9))).succeeded());
    EXPECT_EQ(entries(output), (QStringList{"zev.json", "zev.webm"}));
    const Result<VideoDescription> webm = VideoDescription::readBeside(output + "/zev.webm", QSize());
    ASSERT_TRUE(webm.ok());
    EXPECT_EQ(webm->video, "zev.webm");
    EXPECT_EQ(webm->layout, OutputOptions::Layout::MaskLeft);

    ASSERT_TRUE(express(OutputOptions()).succeeded());
    EXPECT_EQ(entries(output), QStringList{"zev.mp4"});
    EXPECT_EQ(OutputFolder::videoOfFrameFolder(frames), output + "/zev.mp4");
}

} // namespace

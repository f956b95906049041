#include "tools/MediaSource.h"

#include "ParamName.h"
#include "TemporaryFolder.h"

#include <QtEndian>
#include <gtest/gtest.h>

using namespace zev;

namespace {

VideoFacts factsOf(const QString& codec, const QString& pixelFormat, const QString& alphaMode = QString()) {
    VideoFacts facts;
    facts.path = QStringLiteral("/m/walk.x");
    VideoFacts::Stream video;
    video.type = QStringLiteral("video");
    video.codec = codec;
    video.pixelFormat = pixelFormat;
    video.size = QSize(48, 32);
    video.rateNumerator = 10;
    video.packets = 12;
    if (!alphaMode.isEmpty())
        video.tags.insert(QStringLiteral("alpha_mode"), alphaMode);
    facts.streams.append(video);
    return facts;
}

struct JudgeCase {
    const char* title;
    VideoFacts facts;
    // Empty: taken, read through this decoder as this pixel format.
    QString refusal;
    QString decoder;
    QString pixelFormat;
};

class Judging : public ::testing::TestWithParam<JudgeCase> {};

TEST_P(Judging, TakesWhatCarriesAlphaAndSaysWhyNot) {
    const JudgeCase& c = GetParam();
    const Result<MediaSource> source = MediaSource::judge(c.facts);
    if (!c.refusal.isEmpty()) {
        ASSERT_FALSE(source);
        EXPECT_TRUE(source.reason().contains(c.refusal)) << source.reason().toStdString();
        return;
    }
    ASSERT_TRUE(source) << source.reason().toStdString();
    EXPECT_EQ(source->decoder, c.decoder);
    EXPECT_EQ(source->pixelFormat, c.pixelFormat);
    EXPECT_EQ(source->frames, 12);
    EXPECT_EQ(source->alpha, MediaSource::Alpha::Straight);
}

INSTANTIATE_TEST_SUITE_P(
    MediaSourceTest, Judging,
    ::testing::Values(
        JudgeCase{"ProRes4444", factsOf("prores", "yuva444p12le"), {}, {}, "yuva444p12le"},
        JudgeCase{"Animation", factsOf("qtrle", "argb"), {}, {}, "argb"},
        JudgeCase{"Vp9Alpha", factsOf("vp9", "yuv420p", "1"), {}, "libvpx-vp9", "yuva420p"},
        JudgeCase{"Vp8Alpha", factsOf("vp8", "yuv420p", "1"), {}, "libvpx", "yuva420p"},
        JudgeCase{"Apng", factsOf("apng", "rgba"), {}, {}, "rgba"},
        JudgeCase{"Gif", factsOf("gif", "bgra"), {}, {}, "bgra"},
        JudgeCase{"Vp9Opaque", factsOf("vp9", "yuv420p"), "the video has no transparency: yuv420p", {}, {}},
        JudgeCase{"H264", factsOf("h264", "yuv420p"), "the video has no transparency: yuv420p", {}, {}},
        JudgeCase{
            "OpaqueAnimation", factsOf("qtrle", "rgb24"), "the video has no transparency: rgb24", {}, {}},
        JudgeCase{"AnimatedWebp", factsOf("webp", ""), "animated WebP", {}, {}},
        JudgeCase{"NoVideo", VideoFacts{"/m/a.mov", {}, 0, 0, {}, {}}, "holds no video", {}, {}}),
    ParamName());

struct LengthCase {
    const char* title;
    qint64 frames;
    int rateNumerator;
    int rateDenominator;
    std::optional<qint64> typedFps;
    qint64 outputFrames;
};

class Lengths : public ::testing::TestWithParam<LengthCase> {};

// Measured with FFmpeg 5.1: the video of n frames at a rate holds at least
// this many frames, so cutting it there never comes out short.
TEST_P(Lengths, VideoLastsAsLongAsTheSourceExactHalvesDown) {
    const LengthCase& c = GetParam();
    MediaSource source;
    source.frames = c.frames;
    source.rateNumerator = c.rateNumerator;
    source.rateDenominator = c.rateDenominator;
    EXPECT_EQ(source.outputFrames(c.typedFps, 25), c.outputFrames);
}

INSTANTIATE_TEST_SUITE_P(
    MediaSourceTest, Lengths,
    ::testing::Values(LengthCase{"TenFps", 12, 10, 1, {}, 30}, LengthCase{"HalfFrameLeft", 7, 10, 1, {}, 17},
                      LengthCase{"Film", 7, 24, 1, {}, 7}, LengthCase{"Ntsc", 31, 30000, 1001, {}, 26},
                      LengthCase{"Sixty", 12, 60, 1, {}, 5}, LengthCase{"Typed", 12, 10, 1, 20, 15},
                      LengthCase{"OneFrameAtLeast", 1, 120, 1, {}, 1}),
    ParamName());

QByteArray chunk(const char* type, const QByteArray& data) {
    QByteArray bytes(4, '\0');
    qToBigEndian<quint32>(quint32(data.size()), bytes.data());
    return bytes + QByteArray(type, 4) + data + QByteArray(4, '\0');
}

QByteArray png(bool animated) {
    QByteArray bytes("\x89PNG\r\n\x1a\n", 8);
    bytes += chunk("IHDR", QByteArray(13, '\1'));
    bytes += chunk("tEXt", "made by a test");
    if (animated)
        bytes += chunk("acTL", QByteArray(8, '\0'));
    return bytes + chunk("IDAT", QByteArray(10, '\0')) + chunk("IEND", {});
}

struct CandidateCase {
    const char* title;
    QString name;
    QByteArray content;
    bool candidate;
};

class Candidates : public ::testing::TestWithParam<CandidateCase> {};

TEST_P(Candidates, VideosAndAnimatedPngsButNoStillPng) {
    TemporaryFolder folder;
    const QString path = folder.touch(GetParam().name, GetParam().content);
    EXPECT_EQ(MediaSource::isCandidate(path), GetParam().candidate);
}

INSTANTIATE_TEST_SUITE_P(MediaSourceTest, Candidates,
                         ::testing::Values(CandidateCase{"Movie", "walk.MOV", "x", true},
                                           CandidateCase{"Webm", "walk.webm", "x", true},
                                           CandidateCase{"Gif", "walk.gif", "x", true},
                                           CandidateCase{"AnimatedPng", "walk.png", png(true), true},
                                           CandidateCase{"StillPng", "0.png", png(false), false},
                                           CandidateCase{"NotAPng", "fake.png", "GIF89a", false},
                                           CandidateCase{"Text", "notes.txt", "x", false}),
                         ParamName());

TEST(MediaSourceTest, ReadsWebmThroughTheDecoderThatKeepsAlphaAndOnlyItsVideo) {
    MediaSource source = *MediaSource::judge(factsOf("vp9", "yuv420p", "1"));
    source.path = QStringLiteral("/m/-x:y.webm");
    EXPECT_EQ(source.inputArguments(std::nullopt).join(u' '),
              "-c:v libvpx-vp9 -an -sn -dn -i file:/m/-x:y.webm");
    EXPECT_EQ(source.inputArguments(24).join(u' '), "-c:v libvpx-vp9 -r 24 -an -sn -dn -i file:/m/-x:y.webm");
    EXPECT_TRUE(source.straighteningFilter().isEmpty());
    source.alpha = MediaSource::Alpha::Premultiplied;
    EXPECT_TRUE(source.straighteningFilter().contains("unpremultiply"));
}

} // namespace

#include "tools/MediaSource.h"

#include "ParamName.h"

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
    ::testing::Values(JudgeCase{"ProRes4444", factsOf("prores", "yuva444p12le"), {}, {}, "yuva444p12le"},
                      JudgeCase{"Vp9Alpha", factsOf("vp9", "yuv420p", "1"), {}, "libvpx-vp9", "yuva420p"},
                      JudgeCase{"Vp8Alpha", factsOf("vp8", "yuv420p", "1"), {}, "libvpx", "yuva420p"},
                      JudgeCase{
                          "NoVideo", VideoFacts{"/m/a.mov", {}, 0, 0, {}, {}}, "holds no video", {}, {}}),
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

INSTANTIATE_TEST_SUITE_P(MediaSourceTest, Lengths,
                         ::testing::Values(LengthCase{"HalfFrameLeft", 7, 10, 1, {}, 17},
                                           LengthCase{"Ntsc", 31, 30000, 1001, {}, 26},
                                           LengthCase{"Typed", 12, 10, 1, 20, 15},
                                           LengthCase{"OneFrameAtLeast", 1, 120, 1, {}, 1}),
                         ParamName());

} // namespace

#include "tools/CodecLimits.h"

#include "ParamName.h"

#include <gtest/gtest.h>

using namespace zev;

namespace {

using Codec = VideoFormat::Codec;

// Coded sizes at 25 frames a second and 1100 kbit/s. The H.265 and AV1
// levels are those x265 and libaom wrote for each size (read back with
// ffprobe); VP9 streams name none, so its are the published table's.
struct LevelCase {
    const char* title;
    QSize video;
    const char* h265;
    const char* av1;
    const char* vp9;
    bool fitsPhones;
};

class Levels : public testing::TestWithParam<LevelCase> {};

TEST_P(Levels, AreTheEncodersOwnAndWarnOnlyBeyondPhones) {
    const LevelCase& c = GetParam();
    const QSize frame(c.video.width() / 2, c.video.height());
    for (const auto& [codec, name] :
         {std::pair{Codec::H265, c.h265}, std::pair{Codec::Av1, c.av1}, std::pair{Codec::Vp9, c.vp9}}) {
        const QString expected = QString::fromLatin1(name);
        EXPECT_EQ(CodecLimits::level(codec, c.video, 25, 1100).value_or("none"), expected)
            << VideoFormat::codecName(codec).toStdString();
        EXPECT_EQ(CodecLimits::fitsPhones(codec, c.video, 25, 1100), c.fitsPhones)
            << VideoFormat::codecName(codec).toStdString();
        const std::optional<QString> warning = CodecLimits::phoneWarning(codec, c.video, frame, 25, 1100);
        ASSERT_EQ(warning.has_value(), !c.fitsPhones) << VideoFormat::codecName(codec).toStdString();
        if (warning) {
            EXPECT_TRUE(warning->contains(QStringLiteral(" level ") + expected + u':'))
                << warning->toStdString();
            EXPECT_TRUE(warning->contains(QStringLiteral("--mask-size half --fit 1920")));
        }
    }
}

INSTANTIATE_TEST_SUITE_P(CodecLimitsTest, Levels,
                         testing::Values(LevelCase{"tiny", {128, 48}, "2.0", "2.0", "2.0", true},
                                         LevelCase{"hd_packed", {2560, 720}, "4.0", "4.0", "4.0", false},
                                         LevelCase{"full_hd", {1920, 1080}, "4.0", "4.0", "4.0", true},
                                         LevelCase{
                                             "portrait_packed", {2160, 1920}, "5.0", "5.0", "5.0", false},
                                         LevelCase{"4k_packed", {7680, 2160}, "6.0", "6.0", "6.0", false}),
                         ParamName());

TEST(CodecLimitsTest, RateSidesAndBitrateRaiseTheLevel) {
    EXPECT_EQ(CodecLimits::level(Codec::H265, {128, 48}, 25), "1.0") << "without 1100 kbit/s";
    EXPECT_EQ(CodecLimits::level(Codec::H265, {1920, 1080}, 60), "4.1") << "124 million samples a second";
    EXPECT_EQ(CodecLimits::level(Codec::Av1, {2560, 64}, 25), "2.1") << "wider than 2.0's 2048";
    EXPECT_EQ(CodecLimits::level(Codec::Av1, {64, 1600}, 25), "3.0") << "taller than 2.1's 1584";
    EXPECT_EQ(CodecLimits::level(Codec::Vp9, {1280, 720}, 25, 20000), "4.1") << "above 4.0's 18 Mbit/s";
    EXPECT_EQ(CodecLimits::level(Codec::H264, {1920, 1080}, 25), "4.0") << "H.264's own table";
    EXPECT_FALSE(CodecLimits::level(Codec::Vp9, {20000, 64}, 25).has_value());
    EXPECT_FALSE(CodecLimits::fitsPhones(Codec::H265, {1984, 480}, 25)) << "over 1920 on a side";
}

TEST(CodecLimitsTest, PortraitFramesAreToldTheLargestFrameThatFits) {
    const QSize video(2160, 1920);
    const QSize frame(1080, 1920);
    for (const Codec codec : {Codec::H265, Codec::Av1, Codec::Vp9}) {
        const QSize largest = CodecLimits::largestFittingFrame(codec, video, frame, 25, 1100);
        ASSERT_TRUE(largest.isValid());
        EXPECT_NEAR(double(largest.width()) / largest.height(), 1080.0 / 1920.0, 0.01);
        EXPECT_TRUE(CodecLimits::fitsPhones(codec, {2 * largest.width(), largest.height()}, 25, 1100));
        EXPECT_FALSE(CodecLimits::fitsPhones(
            codec, {2 * (largest.width() + 2), (largest.width() + 2) * 1920 / 1080}, 25, 1100))
            << "two pixels wider no longer fits";
    }
}

struct RefusalCase {
    const char* title;
    Codec codec;
    QSize packed;
    const char* reason; // empty: taken
};

TEST(CodecLimitsTest, RefuseOnlyWhatTheEncoderRefuses) {
    const QList<RefusalCase> cases{
        {"h264 odd", Codec::H264, {65, 48}, "H.264 in yuv420p needs an even width and height"},
        {"h264 tiny", Codec::H264, {4, 2}, ""},
        {"h265 odd", Codec::H265, {64, 33}, "H.265 in yuv420p needs an even width and height"},
        {"h265 too narrow", Codec::H265, {14, 64}, "takes no side under 16 pixels"},
        {"h265 smallest", Codec::H265, {16, 16}, ""},
        {"vp9 odd and tiny", Codec::Vp9, {9, 3}, ""},
    };
    for (const RefusalCase& c : cases) {
        const std::optional<QString> refusal = CodecLimits::sizeRefusal(c.codec, c.packed, {4, 4});
        if (*c.reason == '\0')
            EXPECT_FALSE(refusal.has_value()) << c.title;
        else
            EXPECT_TRUE(refusal && refusal->contains(QString::fromUtf8(c.reason)))
                << c.title << ": " << refusal.value_or("none").toStdString();
    }
}

} // namespace

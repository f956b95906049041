#include "tools/H264Level.h"

#include "ParamName.h"

#include <gtest/gtest.h>

using namespace zev;

namespace {

// Coded sizes at 25 frames a second and 1100 kbit/s, with the level x264
// wrote for each (read back with ffprobe), and whether phones take them.
struct SizeCase {
    const char* title;
    QSize video;
    const char* level;
    bool fitsPhones;
};

class Sizes : public ::testing::TestWithParam<SizeCase> {};

TEST_P(Sizes, NeedTheLevelX264WritesAndWarnOnlyBeyondPhones) {
    const SizeCase c = GetParam();
    const std::optional<H264Level::Level> level = H264Level::needed(c.video, 25, 1100);
    ASSERT_TRUE(level);
    EXPECT_EQ(level->name, QString::fromLatin1(c.level));
    EXPECT_EQ(H264Level::fitsPhones(c.video, 25, 1100), c.fitsPhones);
    // The frame inside is half the width: the mask beside the colour.
    const QSize frame(c.video.width() / 2, c.video.height());
    const std::optional<QString> warning = H264Level::phoneWarning(c.video, frame, 25, 1100);
    ASSERT_EQ(warning.has_value(), !c.fitsPhones);
    if (warning) {
        const QString size = QStringLiteral("%1×%2").arg(c.video.width()).arg(c.video.height());
        EXPECT_TRUE(warning->contains(QStringLiteral("The video is ") + size)) << warning->toStdString();
        EXPECT_TRUE(warning->contains(QStringLiteral("level ") + QString::fromLatin1(c.level)));
        EXPECT_TRUE(warning->contains(QStringLiteral("--mask-size half --fit 1920")));
        EXPECT_TRUE(warning->contains(QStringLiteral("many phones' decoders refuse")));
    }
}

INSTANTIATE_TEST_SUITE_P(Measured, Sizes,
                         ::testing::Values(SizeCase{"tiny", {128, 48}, "2.0", true},
                                           SizeCase{"sample", {480, 136}, "2.0", true},
                                           SizeCase{"sd", {720, 480}, "3.0", true},
                                           SizeCase{"hd", {1280, 720}, "3.1", true},
                                           SizeCase{"wide", {1920, 540}, "3.2", true},
                                           SizeCase{"hd packed", {2560, 720}, "4.0", false},
                                           SizeCase{"full hd", {1920, 1080}, "4.0", true},
                                           SizeCase{"portrait packed", {2160, 1920}, "5.0", false},
                                           SizeCase{"portrait half mask", {1088, 1920}, "4.0", true},
                                           SizeCase{"4k packed", {7680, 2160}, "6.0", false}),
                         ParamName());

TEST(H264LevelTest, RateAndBitrateRaiseTheLevel) {
    EXPECT_EQ(H264Level::needed({128, 48}, 25)->name, "1.0");
    EXPECT_EQ(H264Level::needed({128, 48}, 25, 4100)->name, "2.1") << "4100 kbit/s: more than 2.0's 2500";
    EXPECT_EQ(H264Level::needed({720, 480}, 60)->name, "3.1") << "81,000 macroblocks a second";
    EXPECT_EQ(H264Level::needed({4096, 2304}, 25)->name, "5.1");
    EXPECT_EQ(H264Level::needed({8192, 4320}, 25)->name, "6.0");
    EXPECT_EQ(H264Level::needed({2048, 64}, 25)->name, "3.1") << "128 macroblocks wide needs 3.1's side";
    EXPECT_FALSE(H264Level::needed({16384, 8704}, 25).has_value());
}

TEST(H264LevelTest, PortraitFramesAreToldTheLargestFrameThatFits) {
    const QSize video(2160, 1920);
    const QSize frame(1080, 1920);
    const QSize largest = H264Level::largestFittingFrame(video, frame, 25, 1100);
    ASSERT_TRUE(largest.isValid());
    EXPECT_EQ(largest.width() % 2, 0);
    EXPECT_EQ(largest.height() % 2, 0);
    EXPECT_NEAR(double(largest.width()) / largest.height(), 1080.0 / 1920.0, 0.01);
    const QSize packed(2 * largest.width(), largest.height());
    EXPECT_TRUE(H264Level::fitsPhones(packed, 25, 1100));
    const QSize wider(2 * (largest.width() + 2), (largest.width() + 2) * 1920 / 1080);
    EXPECT_FALSE(H264Level::fitsPhones(wider, 25, 1100)) << "two pixels wider no longer fits";
    EXPECT_TRUE(H264Level::phoneWarning(video, frame, 25, 1100)
                    ->contains(QStringLiteral("frames of at most %1×%2 (a %3×%2 video, level 4.")
                                   .arg(largest.width())
                                   .arg(largest.height())
                                   .arg(packed.width())));
}

} // namespace

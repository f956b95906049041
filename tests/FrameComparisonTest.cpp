#include "preview/FrameComparison.h"

#include <cmath>
#include <gtest/gtest.h>

using namespace zev;

namespace {

RgbaFrame filled(int r, int g, int b, int a) {
    RgbaFrame frame = RgbaFrame::blank(4, 2);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 4; ++x) {
            uchar* pixel = frame.pixel(x, y);
            pixel[0] = uchar(r);
            pixel[1] = uchar(g);
            pixel[2] = uchar(b);
            pixel[3] = uchar(a);
        }
    return frame;
}

TEST(FrameComparisonTest, IdenticalFramesAreInfinitelyClose) {
    const auto comparison = FrameComparison::compare(filled(10, 20, 30, 200), filled(10, 20, 30, 200));
    ASSERT_TRUE(comparison);
    EXPECT_TRUE(std::isinf(comparison->maskPsnr()));
    EXPECT_TRUE(std::isinf(comparison->colourPsnr()));
}

TEST(FrameComparisonTest, MaskAndColourAreMeasuredApart) {
    // Alpha off by 10 everywhere; the colour, multiplied by alpha, off by
    // 255 − 245 = 10 in red only.
    const auto comparison = FrameComparison::compare(filled(255, 0, 0, 255), filled(255, 0, 0, 245));
    ASSERT_TRUE(comparison);
    EXPECT_DOUBLE_EQ(comparison->maskMse, 100.0);
    EXPECT_DOUBLE_EQ(comparison->colourMse, 100.0 / 3.0);
    EXPECT_NEAR(comparison->maskPsnr(), 28.13, 0.01);
}

TEST(FrameComparisonTest, ColourUnderFullTransparencyDoesNotCount) {
    const auto comparison = FrameComparison::compare(filled(255, 255, 255, 0), filled(0, 0, 0, 0));
    ASSERT_TRUE(comparison);
    EXPECT_EQ(comparison->colourMse, 0.0);
}

// One pixel of each kind, decoded against its source, and what it does to
// the edge figures: only partly transparent source pixels count, and the
// sign says whether the page shows through darker or lighter.
struct EdgeCase {
    const char* what;
    int decoded[4];
    int source[4];
    qint64 edgePixels;
    double overWhiteMean;
    double overBlackMean;
    // The pixel's own error over white, which counts among all pixels.
    double pixelOverWhite;
};

const EdgeCase kEdgeCases[] = {
    // Colour laid on black read as straight: the edge goes dark over white.
    {"dark rim", {0, 0, 0, 128}, {255, 255, 255, 128}, 1, -128.0, -128.0, -128.0},
    // Alpha too high with the right (black) colour: over white it hides
    // more of the page; over black nothing changes.
    {"mask too high", {0, 0, 0, 138}, {0, 0, 0, 128}, 1, -10.0, 0.0, -10.0},
    {"light rim", {255, 255, 255, 128}, {0, 0, 0, 128}, 1, 128.0, 128.0, 128.0},
    {"opaque pixel is no edge", {0, 0, 0, 255}, {255, 255, 255, 255}, 0, 0.0, 0.0, -255.0},
    {"transparent pixel is no edge", {0, 0, 0, 40}, {0, 0, 0, 0}, 0, 0.0, 0.0, -40.0},
};

TEST(FrameComparisonTest, EdgesAreMeasuredOverWhiteAndOverBlackWithTheirSign) {
    for (const EdgeCase& test : kEdgeCases) {
        SCOPED_TRACE(test.what);
        RgbaFrame decoded = filled(0, 0, 0, 255);
        RgbaFrame source = filled(0, 0, 0, 255);
        for (int channel = 0; channel < 4; ++channel) {
            decoded.pixel(2, 1)[channel] = uchar(test.decoded[channel]);
            source.pixel(2, 1)[channel] = uchar(test.source[channel]);
        }
        const auto comparison = FrameComparison::compare(decoded, source);
        ASSERT_TRUE(comparison);
        EXPECT_EQ(comparison->pixels, 8);
        EXPECT_EQ(comparison->edgePixels, test.edgePixels);
        EXPECT_NEAR(comparison->edgeOverWhite.meanError, test.overWhiteMean, 0.01);
        EXPECT_NEAR(comparison->edgeOverBlack.meanError, test.overBlackMean, 0.01);
        // Over white, every pixel counts: the one that differs among eight.
        EXPECT_NEAR(comparison->overWhiteMse * 8, test.pixelOverWhite * test.pixelOverWhite, 0.1);
        if (test.edgePixels == 0) {
            EXPECT_TRUE(std::isnan(comparison->edgeOverWhitePsnr()));
            continue;
        }
        EXPECT_NEAR(comparison->edgeOverWhite.mse, test.overWhiteMean * test.overWhiteMean, 0.1);
        EXPECT_NEAR(comparison->edgeOverBlack.mse, test.overBlackMean * test.overBlackMean, 0.1);
    }
}

TEST(FrameComparisonTest, FramesOfDifferentSizesAreNotCompared) {
    EXPECT_FALSE(FrameComparison::compare(filled(0, 0, 0, 0), RgbaFrame::blank(2, 2)));
    EXPECT_TRUE(FrameComparison::differenceMap(filled(0, 0, 0, 0), RgbaFrame::blank(2, 2)).isNull());
}

TEST(FrameComparisonTest, TheDifferenceMapIsBlackWhereTheFramesAgreeAndHotWhereNot) {
    RgbaFrame decoded = filled(100, 100, 100, 255);
    decoded.pixel(1, 1)[3] = 155; // off by 100: white hot
    const RgbaFrame map = FrameComparison::differenceMap(decoded, filled(100, 100, 100, 255));
    ASSERT_EQ(map.size(), QSize(4, 2));
    EXPECT_EQ(map.pixel(0, 0)[0], 0);
    EXPECT_EQ(map.pixel(0, 0)[3], 255);
    EXPECT_EQ(map.pixel(1, 1)[0], 255);
    EXPECT_EQ(map.pixel(1, 1)[2], 255);
}

} // namespace

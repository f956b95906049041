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

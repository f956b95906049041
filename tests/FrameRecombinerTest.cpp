#include "preview/FrameRecombiner.h"

#include "ParamName.h"

#include <cstring>
#include <gtest/gtest.h>

using namespace zev;

namespace {

constexpr int kWidth = 8;
constexpr int kHeight = 6;

// Opaque on the left, half transparent, then fully transparent on the right;
// a colour that changes along both axes.
RgbaFrame sourceFrame() {
    RgbaFrame frame = RgbaFrame::blank(kWidth, kHeight);
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            uchar* pixel = frame.pixel(x, y);
            pixel[0] = uchar(30 * x);
            pixel[1] = uchar(40 * y);
            pixel[2] = 200;
            pixel[3] = x < 4 ? 255 : x < 7 ? 128 : 0;
        }
    }
    return frame;
}

struct LayoutCase {
    const char* title;
    VideoDescription::Layout layout;
    QSize packed;
    QRect colour;
    QRect mask;
    bool premultiplied;
};

// Lays the source frame out as the encoder would: the mask as grey in its
// region (a half-size mask takes every second pixel), the colour in its
// region, multiplied by alpha when premultiplied.
PackedFrame pack(const RgbaFrame& source, const LayoutCase& layout) {
    PackedFrame packed;
    packed.width = layout.packed.width();
    packed.height = layout.packed.height();
    packed.rgb = QByteArray(PackedFrame::byteCount(packed.width, packed.height), '\0');
    auto* bytes = reinterpret_cast<uchar*>(packed.rgb.data());
    const auto put = [&](int x, int y, int r, int g, int b) {
        uchar* pixel = bytes + (y * packed.width + x) * 3;
        pixel[0] = uchar(r);
        pixel[1] = uchar(g);
        pixel[2] = uchar(b);
    };
    const int step = layout.mask.width() == kWidth ? 1 : 2;
    for (int y = 0; y < layout.mask.height(); ++y)
        for (int x = 0; x < layout.mask.width(); ++x) {
            const int alpha = source.pixel(x * step, y * step)[3];
            put(layout.mask.x() + x, layout.mask.y() + y, alpha, alpha, alpha);
        }
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x) {
            const uchar* pixel = source.pixel(x, y);
            int rgb[3] = {pixel[0], pixel[1], pixel[2]};
            for (int& channel : rgb)
                channel = layout.premultiplied ? channel * pixel[3] / 255 : pixel[3] == 0 ? 0 : channel;
            put(layout.colour.x() + x, layout.colour.y() + y, rgb[0], rgb[1], rgb[2]);
        }
    return packed;
}

VideoDescription describe(const LayoutCase& layout) {
    VideoDescription description;
    description.packedSize = layout.packed;
    description.frameSize = QSize(kWidth, kHeight);
    description.layout = layout.layout;
    description.maskSize =
        layout.mask.width() == kWidth ? VideoDescription::MaskSize::Full : VideoDescription::MaskSize::Half;
    description.colourRect = layout.colour;
    description.maskRect = layout.mask;
    description.premultiplied = layout.premultiplied;
    return description;
}

class Layouts : public testing::TestWithParam<LayoutCase> {};

TEST_P(Layouts, GiveBackTheSourceFrame) {
    const LayoutCase& layout = GetParam();
    const RgbaFrame source = sourceFrame();
    FrameRecombiner recombiner(describe(layout));
    const RgbaFrame frame = recombiner.recombine(pack(source, layout));
    ASSERT_EQ(frame.size(), source.size());
    const bool halfMask = layout.mask.width() != kWidth;
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            const uchar* got = frame.pixel(x, y);
            const uchar* want = source.pixel(x, y);
            SCOPED_TRACE(testing::Message() << "pixel " << x << "," << y);
            // A half-size mask keeps every second column: it is exact
            // where neighbouring columns agree, blended at the steps (3, 4)
            // and without the last transparent column (7).
            if (!halfMask || (x != 3 && x != 4 && x != 7)) {
                EXPECT_EQ(got[3], want[3]);
            }
            if (want[3] == 0) {
                EXPECT_EQ(got[0], 0);
                EXPECT_EQ(got[1], 0);
                EXPECT_EQ(got[2], 0);
                continue;
            }
            if (got[3] != want[3])
                continue;
            // Premultiplied colour lost its lowest bits where alpha is 128.
            const int tolerance = layout.premultiplied && want[3] < 255 ? 2 : 0;
            for (int channel = 0; channel < 3; ++channel)
                EXPECT_NEAR(got[channel], want[channel], tolerance) << "channel " << channel;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    FrameRecombinerTest, Layouts,
    testing::Values(
        LayoutCase{
            "mask_left", VideoDescription::Layout::MaskLeft, {16, 6}, {8, 0, 8, 6}, {0, 0, 8, 6}, true},
        LayoutCase{
            "mask_right", VideoDescription::Layout::MaskRight, {16, 6}, {0, 0, 8, 6}, {8, 0, 8, 6}, true},
        LayoutCase{"mask_top", VideoDescription::Layout::MaskTop, {8, 12}, {0, 6, 8, 6}, {0, 0, 8, 6}, true},
        LayoutCase{
            "mask_bottom", VideoDescription::Layout::MaskBottom, {8, 12}, {0, 0, 8, 6}, {0, 6, 8, 6}, true},
        LayoutCase{"half_mask_right_with_gap",
                   VideoDescription::Layout::MaskRight,
                   {16, 6},
                   {0, 0, 8, 6},
                   {12, 0, 4, 3},
                   true},
        LayoutCase{"straight_colour",
                   VideoDescription::Layout::MaskLeft,
                   {16, 6},
                   {8, 0, 8, 6},
                   {0, 0, 8, 6},
                   false}),
    ParamName());

TEST(FrameRecombinerTest, PremultipliedOutputNeverExceedsAlpha) {
    const LayoutCase layout{"", VideoDescription::Layout::MaskLeft, {2, 1}, {1, 0, 1, 1}, {0, 0, 1, 1}, true};
    VideoDescription description = describe(layout);
    description.frameSize = QSize(1, 1);
    FrameRecombiner recombiner(description, FrameRecombiner::Output::Premultiplied);
    // Codec noise: colour 90 under a mask of 80.
    const PackedFrame packed{2, 1, 0, QByteArray("\x50\x50\x50\x5a\x20\x00", 6)};
    const RgbaFrame frame = recombiner.recombine(packed);
    ASSERT_FALSE(frame.isNull());
    EXPECT_EQ(frame.pixel(0, 0)[3], 80);
    EXPECT_EQ(frame.pixel(0, 0)[0], 80);
    EXPECT_EQ(frame.pixel(0, 0)[1], 32);
}

TEST(FrameRecombinerTest, DrawingOutputIsOneArgbWordPerPixel) {
    const LayoutCase layout{"", VideoDescription::Layout::MaskLeft, {2, 1}, {1, 0, 1, 1}, {0, 0, 1, 1}, true};
    VideoDescription description = describe(layout);
    description.frameSize = QSize(1, 1);
    FrameRecombiner recombiner(description, FrameRecombiner::Output::PremultipliedArgb32);
    const RgbaFrame frame =
        recombiner.recombine(PackedFrame{2, 1, 0, QByteArray("\x80\x80\x80\x40\x20\x10", 6)});
    ASSERT_FALSE(frame.isNull());
    quint32 word = 0;
    std::memcpy(&word, frame.pixel(0, 0), sizeof word);
    EXPECT_EQ(word, 0x80402010u);
}

TEST(FrameRecombinerTest, APackedFrameSmallerThanTheRegionsGivesNothing) {
    const LayoutCase layout{"",  VideoDescription::Layout::MaskLeft, {16, 6}, {8, 0, 8, 6}, {0, 0, 8, 6},
                            true};
    FrameRecombiner recombiner(describe(layout));
    EXPECT_TRUE(recombiner.recombine(PackedFrame{8, 6, 0, QByteArray(8 * 6 * 3, '\0')}).isNull());
}

} // namespace

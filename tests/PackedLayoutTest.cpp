#include "output/PackedLayout.h"

#include "ParamName.h"

#include <gtest/gtest.h>

using namespace zev;

namespace {

using Layout = OutputOptions::Layout;
using MaskSize = OutputOptions::MaskSize;

OutputOptions options(Layout layout, MaskSize size, std::optional<int> gap = std::nullopt, int fit = 0) {
    OutputOptions chosen;
    chosen.layout = layout;
    chosen.maskSize = size;
    chosen.gap = gap;
    chosen.fit = fit;
    return chosen;
}

OutputOptions bordered(Layout layout, MaskSize size, int border) {
    OutputOptions chosen = options(layout, size);
    chosen.border = border;
    return chosen;
}

OutputOptions wholeBlocks(Layout layout) {
    OutputOptions chosen = options(layout, MaskSize::Full);
    chosen.wholeBlocks = true;
    return chosen;
}

struct PlaceCase {
    const char* title;
    OutputOptions options;
    QSize packed;
    QRect colour;
    QRect mask;
    bool exactHalves;
};

class Placements : public testing::TestWithParam<PlaceCase> {};

TEST_P(Placements, PutTheRegionsWhereTheLayoutSays) {
    const PlaceCase& c = GetParam();
    const PackedLayout layout = PackedLayout::plan(QSize(64, 48), c.options);
    EXPECT_EQ(layout.frame, QSize(64, 48));
    EXPECT_EQ(layout.packed, c.packed);
    EXPECT_EQ(layout.colourRect, c.colour);
    EXPECT_EQ(layout.maskRect, c.mask);
    EXPECT_EQ(layout.exactHalves(), c.exactHalves);
    EXPECT_FALSE(layout.colourRect.intersects(layout.maskRect));
    EXPECT_TRUE(QRect(QPoint(0, 0), layout.packed).contains(layout.colourRect.united(layout.maskRect)));
}

// One row a case.
// clang-format off
INSTANTIATE_TEST_SUITE_P(
    PackedLayoutTest, Placements,
    testing::Values(
        //        title                  options                                          packed     colour            mask              halves
        PlaceCase{"mask_left",           options(Layout::MaskLeft, MaskSize::Full),       {128, 48}, {64, 0, 64, 48},  {0, 0, 64, 48},   true},
        PlaceCase{"mask_right",          options(Layout::MaskRight, MaskSize::Full),      {128, 48}, {0, 0, 64, 48},   {64, 0, 64, 48},  true},
        PlaceCase{"mask_top",            options(Layout::MaskTop, MaskSize::Full),        {64, 96},  {0, 48, 64, 48},  {0, 0, 64, 48},   true},
        PlaceCase{"mask_bottom",         options(Layout::MaskBottom, MaskSize::Full),     {64, 96},  {0, 0, 64, 48},   {0, 48, 64, 48},  true},
        PlaceCase{"half_left",           options(Layout::MaskLeft, MaskSize::Half),       {112, 48}, {48, 0, 64, 48},  {0, 0, 32, 24},   false},
        PlaceCase{"half_right",          options(Layout::MaskRight, MaskSize::Half),      {112, 48}, {0, 0, 64, 48},   {80, 0, 32, 24},  false},
        PlaceCase{"half_top",            options(Layout::MaskTop, MaskSize::Half),        {64, 96},  {0, 48, 64, 48},  {0, 0, 32, 24},   false},
        PlaceCase{"half_bottom",         options(Layout::MaskBottom, MaskSize::Half),     {64, 96},  {0, 0, 64, 48},   {0, 64, 32, 24},  false},
        PlaceCase{"half_no_gap",         options(Layout::MaskRight, MaskSize::Half, 0),   {96, 48},  {0, 0, 64, 48},   {64, 0, 32, 24},  false},
        PlaceCase{"full_gap_on_request", options(Layout::MaskBottom, MaskSize::Full, 8),  {64, 112}, {0, 0, 64, 48},   {0, 64, 64, 48},  false},
        PlaceCase{"half_with_border",    bordered(Layout::MaskRight, MaskSize::Half, 16), {144, 80}, {16, 16, 64, 48}, {96, 16, 32, 24}, false},
        PlaceCase{"small_border_rounds", bordered(Layout::MaskRight, MaskSize::Half, 4),  {144, 80}, {16, 16, 64, 48}, {96, 16, 32, 24}, false},
        PlaceCase{"full_with_border",    bordered(Layout::MaskBottom, MaskSize::Full, 16),{96, 128}, {16, 16, 64, 48}, {16, 64, 64, 48}, false},
        PlaceCase{"whole_blocks_even",   wholeBlocks(Layout::MaskRight),                  {128, 48}, {0, 0, 64, 48},   {64, 0, 64, 48},  true}),
    ParamName());
// clang-format on

// Frames of other sizes: each region at the top left of a half of whole
// blocks, so a player that splits the frame finds the same place in both.
TEST(PackedLayoutTest, WholeBlocksPadEachHalf) {
    for (const Layout layout : {Layout::MaskLeft, Layout::MaskRight, Layout::MaskTop, Layout::MaskBottom}) {
        const PackedLayout packed = PackedLayout::plan(QSize(60, 44), wholeBlocks(layout));
        const bool sideBySide = layout == Layout::MaskLeft || layout == Layout::MaskRight;
        EXPECT_EQ(packed.packed, sideBySide ? QSize(128, 48) : QSize(64, 96));
        EXPECT_EQ(packed.colourRect.size(), QSize(60, 44));
        EXPECT_EQ(packed.maskRect.size(), QSize(60, 44));
        const QPoint half = sideBySide ? QPoint(64, 0) : QPoint(0, 48);
        const bool maskFirst = layout == Layout::MaskLeft || layout == Layout::MaskTop;
        EXPECT_EQ(maskFirst ? packed.colourRect.topLeft() - packed.maskRect.topLeft()
                            : packed.maskRect.topLeft() - packed.colourRect.topLeft(),
                  half);
    }
}

TEST(PackedLayoutTest, HalfMaskOfAnOddSideIsRoundedUpToEven) {
    const PackedLayout layout = PackedLayout::plan(QSize(70, 46), options(Layout::MaskRight, MaskSize::Half));
    EXPECT_EQ(layout.maskRect, QRect(96, 0, 36, 24));
    EXPECT_EQ(layout.packed, QSize(144, 48));
}

struct FitCase {
    const char* title;
    QSize source;
    OutputOptions options;
    QSize frame;
    QSize packed;
};

class Fits : public testing::TestWithParam<FitCase> {};

// Level 4.1: at most 8,192 macroblocks a frame; phones: at most 1920 a side.
TEST_P(Fits, ScaleDownKeepingTheAspectUntilLevel41Holds) {
    const FitCase& c = GetParam();
    const PackedLayout layout = PackedLayout::plan(c.source, c.options);
    EXPECT_EQ(layout.source, c.source);
    EXPECT_EQ(layout.frame, c.frame);
    EXPECT_EQ(layout.packed, c.packed);
    EXPECT_LE(PackedLayout::macroblocks(layout.packed), 8192);
    EXPECT_LE(std::max(layout.packed.width(), layout.packed.height()), c.options.fit);
    EXPECT_EQ(layout.frame.width() % 2 + layout.frame.height() % 2, 0);
    EXPECT_NEAR(double(layout.frame.width()) / layout.frame.height(),
                double(c.source.width()) / c.source.height(), 0.01);
}

// One row a case.
// clang-format off
INSTANTIATE_TEST_SUITE_P(
    PackedLayoutTest, Fits,
    testing::Values(
        //      title                 source        options                                                          frame        packed
        FitCase{"portrait_half_mask", {1080, 1920}, options(Layout::MaskLeft, MaskSize::Half, std::nullopt, 1920),   {874, 1552}, {1344, 1552}},
        FitCase{"portrait_full_mask", {1080, 1920}, options(Layout::MaskLeft, MaskSize::Full, std::nullopt, 1920),   {766, 1360}, {1532, 1360}},
        FitCase{"hd_stacked",         {1920, 1080}, options(Layout::MaskBottom, MaskSize::Full, std::nullopt, 1920), {1358, 764}, {1358, 1528}},
        FitCase{"fitting_already",    {640, 360},   options(Layout::MaskLeft, MaskSize::Full, std::nullopt, 1920),   {640, 360},  {1280, 360}}),
    ParamName());
// clang-format on

} // namespace

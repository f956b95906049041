#pragma once

#include "output/OutputOptions.h"

#include <QRect>
#include <QSize>

namespace zev {

// Where the colour and the mask lie in the packed video, and the size the
// frames are scaled to for it. The full-size layouts without a gap are
// exact halves, which players that simply split the frame in two rely on.
// With a half-size mask or a gap, each region starts on a 16-pixel boundary
// and the packed size is whole macroblocks, so no block of the codec holds
// both regions and no decoder pads the frame.
struct PackedLayout {
    static constexpr int kBlock = 16;

    QSize source;
    QSize frame; // the source size, or smaller to fit
    QSize packed;
    QRect colourRect;
    QRect maskRect;
    int gap = 0;

    static PackedLayout plan(QSize source, const OutputOptions& options);

    // Without scaling.
    static PackedLayout place(QSize frame, const OutputOptions& options);
    // Whether a packed size fits the options' largest size: no side above
    // it, and no more macroblocks than a fit × fit·9/16 frame (for 1920, the
    // 1920×1080 of H.264 level 4.1, which phones decode).
    static bool fits(QSize packed, int fit);
    static int macroblocks(QSize size);

    bool exactHalves() const;
    // The description's sizes, regions, layout and colour mode; the rest is
    // the written video's.
    VideoDescription describe(const OutputOptions& options) const;
    bool operator==(const PackedLayout&) const = default;
};

} // namespace zev

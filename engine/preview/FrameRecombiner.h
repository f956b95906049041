#pragma once

#include "output/VideoDescription.h"
#include "preview/PackedFrame.h"
#include "preview/RgbaFrame.h"

#include <array>
#include <vector>

namespace zev {

// Puts a decoded ZEV frame back together as a player does: the alpha from
// the mask region, the colour from the colour region, both sampled over the
// animation's frame size (a half-size mask is scaled up bilinearly, half a
// texel inside its edges so no sample reaches across the seam), and the
// colour brought to the form asked for.
//
// Keeps the sampling tables of the last frame size, so recombining frame
// after frame of one video costs only the per-pixel work.
class FrameRecombiner {
public:
    // Straight colour for files and comparisons. Premultiplied for drawing:
    // in R, G, B, A byte order, or as native 32-bit 0xAARRGGBB words, the
    // layout the painter blends fastest and takes without a conversion.
    enum class Output { Straight, Premultiplied, PremultipliedArgb32 };

    explicit FrameRecombiner(VideoDescription description, Output output = Output::Straight);

    // A frame of the description's frame size. A packed frame smaller than
    // the regions gives a null frame.
    RgbaFrame recombine(const PackedFrame& packed);

    const VideoDescription& description() const { return description_; }

private:
    // One axis of a region sampled at the frame's size: for each output
    // position, the two source positions and the weight of the second
    // (0 to 256).
    struct Axis {
        std::vector<int> first;
        std::vector<int> second;
        std::vector<int> weight;
        bool identity = true;
    };
    static Axis axisFor(int regionStart, int regionLength, int frameLength);

    void recombineRow(const PackedFrame& packed, int y, uchar* out) const;
    int maskAt(const PackedFrame& packed, int x, int y) const;
    void colourAt(const PackedFrame& packed, int x, int y, int rgb[3]) const;

    VideoDescription description_;
    Output output_;
    Axis maskX_, maskY_, colourX_, colourY_;
    // 255 × 65536 / alpha, to undo the premultiplication without a division.
    std::array<quint32, 256> unpremultiply_{};
};

} // namespace zev

#pragma once

#include "preview/RgbaFrame.h"

#include <optional>

namespace zev {

// How far a recombined frame is from its source frame, in the two figures
// that matter to a player: the mask (alpha) and the colour. The colour is
// compared multiplied by alpha, as it is encoded and as it is seen: where a
// pixel is fully transparent its colour is no one's concern.
struct FrameComparison {
    double maskMse = 0;
    double colourMse = 0;

    double maskPsnr() const { return psnr(maskMse); }
    double colourPsnr() const { return psnr(colourMse); }

    // Peak signal-to-noise ratio for 8-bit values, in dB; infinity for
    // identical frames.
    static double psnr(double meanSquaredError);

    // Both frames straight RGBA of one size; nothing when the sizes differ.
    static std::optional<FrameComparison> compare(const RgbaFrame& decoded, const RgbaFrame& source);

    // An opaque picture of where the frames differ: black where they agree,
    // through red and yellow to white where the mask or the colour is off by
    // a quarter of the range or more. Empty when the sizes differ.
    static RgbaFrame differenceMap(const RgbaFrame& decoded, const RgbaFrame& source);
};

} // namespace zev

#pragma once

#include "preview/RgbaFrame.h"

#include <QtGlobal>
#include <optional>

namespace zev {

// How far a recombined frame is from its source frame, in the figures that
// matter to a player: the mask (alpha) and the colour, and what a viewer
// sees once the frame is laid over a page. The colour is compared
// multiplied by alpha, as it is encoded and as it is seen: where a pixel is
// fully transparent its colour is no one's concern.
//
// Rims show at the edges, the pixels the source draws partly transparent
// (0 < alpha < 255): there a wrong colour, or a mask and colour that do not
// agree, darken or lighten the page behind. So those pixels are measured on
// their own, laid over white and over black, with the mean signed error
// beside each PSNR: a negative mean is a dark rim, a positive one a light
// rim.
struct FrameComparison {
    // The error of the pixels laid over one backdrop, in levels of 8 bits.
    struct Composite {
        double mse = 0;
        double meanError = 0;
        bool operator==(const Composite&) const = default;
    };

    double maskMse = 0;
    double colourMse = 0;
    // Every pixel laid over white.
    double overWhiteMse = 0;
    qint64 pixels = 0;
    // The source's partly transparent pixels only; zero of them leaves the
    // composites at zero.
    qint64 edgePixels = 0;
    Composite edgeOverWhite;
    Composite edgeOverBlack;

    double maskPsnr() const { return psnr(maskMse); }
    double colourPsnr() const { return psnr(colourMse); }
    double overWhitePsnr() const { return psnr(overWhiteMse); }
    // Not a number when the source has no edge pixels.
    double edgeOverWhitePsnr() const { return edgePsnr(edgeOverWhite); }
    double edgeOverBlackPsnr() const { return edgePsnr(edgeOverBlack); }

    // Peak signal-to-noise ratio for 8-bit values, in dB; infinity for
    // identical frames.
    static double psnr(double meanSquaredError);

    // Both frames straight RGBA of one size; nothing when the sizes differ.
    static std::optional<FrameComparison> compare(const RgbaFrame& decoded, const RgbaFrame& source);

    // An opaque picture of where the frames differ: black where they agree,
    // through red and yellow to white where the mask or the colour is off by
    // a quarter of the range or more. Empty when the sizes differ.
    static RgbaFrame differenceMap(const RgbaFrame& decoded, const RgbaFrame& source);
    // An opaque picture of the rims: the source laid over white, faded, and
    // on it each edge pixel's error laid over white, blue where the video
    // shows it darker and red where lighter, full at 16 levels. Empty when
    // the sizes differ.
    static RgbaFrame edgeMap(const RgbaFrame& decoded, const RgbaFrame& source);

private:
    double edgePsnr(const Composite& composite) const;
};

} // namespace zev

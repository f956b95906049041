#pragma once

#include <QString>
#include <QStringList>

namespace zev {

// The colour treatment of straight (not premultiplied) colour, as steps of
// an ffmpeg filter graph. Straight colour stops dead where alpha reaches
// zero; beyond, the frames hold black or whatever their maker left there.
// The codec's 4:2:0 chroma, its blocks and a player's bilinear sampling all
// reach a pixel or two across that line and pull the unseen colour into the
// visible edge: a dark or coloured rim. So:
//  - every fully transparent pixel takes the colour of the visible pixels
//    around it (their average weighted by alpha, up to alpha 16 out of 255,
//    so that faint glows count as much as the solid shape next to them),
//    fading to black within a few pixels as they get further away; the
//    colour fully transparent pixels held never enters;
//  - a partly transparent pixel moves toward that colour only as far as
//    the colour a viewer sees (colour × alpha) stays within half a level,
//    which makes faint areas smoother and cheaper without a visible change;
//  - an opaque pixel keeps its colour exactly.
// Measured on made contents with libx264 at equal quality, against
// straight colour left black: 20 to 40 % fewer bytes for a sticker's edge
// meeting full transparency, at no cost elsewhere (bench/quality.sh).
class ColourBleed {
public:
    // Two box blurs of this radius make the neighbourhood: about a Gaussian
    // of sigma 2, and exact at any frame size (ffmpeg 5.1's gblur is wrong
    // on frames under 17 pixels wide or 4 high).
    static constexpr int kBlurRadius = 2;
    // Alpha at and above this counts fully in the neighbourhood's colour.
    static constexpr int kFullWeightAlpha = 16;
    // Where the neighbourhood's weight falls under this share of full
    // alpha, its colour fades toward black.
    static constexpr double kFadeBelow = 0.125;

    // Steps that read straight colour [colourIn] and its alpha [alphaIn],
    // both gbrp of one size, and give the treated colour, gbrp, as [out].
    // The labels the steps use inside all begin with "bleed".
    static QStringList steps(const QString& colourIn, const QString& alphaIn, const QString& out);

    // The half-level bounds of a partly transparent pixel's colour, in
    // lut2's terms (x the colour, y the alpha): nothing changes at alpha
    // 255, anything goes at alpha 0.
    static QString lowestExpression();
    static QString highestExpression();
};

} // namespace zev

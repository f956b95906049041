#pragma once

#include <QSize>
#include <QString>
#include <QStringList>
#include <Qt>

namespace zev {

// The colour treatment of straight (not premultiplied) colour, as steps of
// an ffmpeg filter graph. Straight colour stops dead where alpha reaches
// zero; beyond, the frames hold black or whatever their maker left there.
// The codec's 4:2:0 chroma, its blocks and a player's bilinear sampling all
// reach a pixel or two across that line and pull the unseen colour into the
// visible edge: a dark or coloured rim. So:
//  - every fully transparent pixel takes the colour of the visible pixels
//    around it, carried smoothly across the region: a pyramid of halvings
//    averages the visible colour (any alpha above zero counts), and each
//    pixel with nothing visible in it takes the next coarser level's
//    colour, interpolated (pull-push filling). The colour fully transparent
//    pixels held never enters;
//  - along a side of the region that faces the mask, the filled colour
//    fades to black over the last few pixels, so no colour leaks across
//    the seam into the mask;
//  - a partly transparent pixel moves toward the filled colour only as far
//    as the colour a viewer sees (colour × alpha) stays within half a
//    level, which makes faint areas smoother and cheaper without a visible
//    change;
//  - an opaque pixel keeps its colour exactly.
// A smooth fill costs the encoder less than colour that fades to black a
// few pixels out: that fade is a moving ring around every glow. On the
// bench's made contents (bench/quality.sh, 30 frames of 320×180), against
// a fill fading to black within four pixels, the glowing gift took 16 to
// 18 % fewer bytes at the same mask, colour and edge PSNR, the others
// stayed within 4 %, and the run took a third less CPU time. Fading on
// every side of the region, not only next to the mask, cost the gift 6 %.
class ColourBleed {
public:
    // A coarser pixel whose area is at least this share visible gives its
    // average colour, unmixed with the coarser levels'.
    static constexpr int kLevelGain = 8;
    // How many pixels next to the mask fade to black; the first two (one
    // chroma sample) are black.
    static constexpr int kSeamFade = 8;

    // Steps that read straight colour [colourIn] and its alpha [alphaIn],
    // both gbrp of one size, and give the treated colour, gbrp, as [out].
    // seams are the region's sides that face the mask; a side shorter than
    // twice the fade is left as it is. The labels the steps use inside all
    // begin with "bleed".
    static QStringList steps(const QString& colourIn, const QString& alphaIn, const QString& out, QSize size,
                             Qt::Edges seams = {});

    // The half-level bounds of a partly transparent pixel's colour, in
    // lut2's terms (x the colour, y the alpha): nothing changes at alpha
    // 255, anything goes at alpha 0.
    static QString lowestExpression();
    static QString highestExpression();
};

} // namespace zev

#pragma once

#include <QSize>
#include <QString>

namespace zev {

// How the packed picture's colour is halved into the 4:2:0 chroma every
// encoder here takes. A player brings the chroma back to full size by
// bilinear interpolation (a GPU's texture sampler, and the check that
// measures videos as players show them), so chroma halved by plain
// averaging comes back softer than it was at every sharp colour edge.
// Instead, the halved chroma is corrected by what the interpolation misses
// (the full chroma minus the interpolated halves, averaged and added back),
// twice. On the bench's four contents (bench/quality.sh, 30 frames of
// 320×180) that raised the colour's PSNR with lossless encoding by 1.4 to
// 2.1 dB (to 37.7 dB for detailed full-frame colour, which plain averaging
// held at 35.6), and made x264's files 7 to 18 % smaller at the same colour
// PSNR (6 to 17 % over white); the sharper chroma costs 3 to 12 % at the
// same mask PSNR, which the encoder's settings win back.
//
// The conversion to YUV is FFmpeg's default one (BT.601, limited range, as
// ColourDescription tags it), made explicit; the luma is its own.
class ChromaSubsampling {
public:
    static constexpr int kCorrections = 2;

    // Steps to append to a graph whose last (unlabelled) output is the packed
    // picture in RGB, ending in yuv420p. The labels they use inside all begin
    // with "chroma". Empty for an odd width or height, whose chroma does not
    // halve evenly, and for a side under 4 pixels: the encoder's own
    // conversion then halves it.
    static QString steps(QSize packed);
};

} // namespace zev

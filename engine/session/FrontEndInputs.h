#pragma once

#include "output/OutputOptions.h"

#include <QString>
#include <QtGlobal>
#include <optional>

namespace zev {

// What a front end hands the settings check, as the user left it: the texts
// unchecked, the slider where it stands, the choices as ticked. A new option
// is one more field here (and in ConversionSettings), read by every front end
// that offers it; the others leave it at its default.
struct FrontEndInputs {
    QString fpsText = QStringLiteral("20");
    // Whether the user gave the frame rate (typed it in the field, or
    // passed --fps); without it a video or animated image keeps its own.
    bool fpsTyped = false;
    // The rate slider, 0.0 to 1.0.
    double sliderValue = 0.0;
    // Taken exactly as given: not trimmed, expanded or made absolute. A
    // frame folder, or a video or animated image (MediaSource::isCandidate).
    QString folderText;
    // Whether a media source's alpha is premultiplied, where its file says
    // nothing; unset: straight.
    std::optional<bool> sourcePremultiplied;
    bool cacheTicked = false;
    // One ffmpeg run straight from the frames; the cache has no meaning then.
    bool expressTicked = false;
    // Layout, size and quality; the default pipeline takes the defaults only.
    OutputOptions output;
    // How much the kept packed frames of all folders may take together.
    qint64 cacheCapBytes = qint64(2) << 30;
};

} // namespace zev

#pragma once

#include "preview/PackedFrame.h"

#include <QRect>

namespace zev {

// Tells from decoded frames whether the colour region holds premultiplied
// or straight colour, where no description says. Premultiplied colour never
// rises above its alpha, and is black where the frame is clear; straight
// colour does both wherever the frame is translucent and bright. Where the
// alpha is only ever fully opaque or fully clear, the two look alike.
class ColourModeGuess {
public:
    enum class Mode { Premultiplied, Straight, NotShown, Unknown };

    // A packed frame and where its regions lie (a smaller mask is sampled
    // at the colour's scale).
    void add(const PackedFrame& frame, const QRect& colour, const QRect& mask);
    Mode mode() const;

private:
    qint64 pixels_ = 0;
    qint64 translucent_ = 0;
    // Colour above its alpha, or bright where the frame is clear.
    qint64 aboveAlpha_ = 0;
    // Translucent pixels whose colour reaches half their alpha: what bright
    // premultiplied colour gives.
    qint64 nearAlpha_ = 0;
};

} // namespace zev

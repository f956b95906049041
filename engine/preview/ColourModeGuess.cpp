#include "preview/ColourModeGuess.h"

#include <algorithm>

namespace zev {

namespace {

// Codec noise stays well below these.
constexpr int kClear = 8;
constexpr int kMargin = 24;
constexpr int kLowest = 24;
constexpr int kHighest = 200;

} // namespace

void ColourModeGuess::add(const PackedFrame& frame, const QRect& colour, const QRect& mask) {
    if (colour.isEmpty() || mask.isEmpty() || colour.right() >= frame.width || mask.right() >= frame.width ||
        colour.bottom() >= frame.height || mask.bottom() >= frame.height)
        return;
    for (int y = 0; y < colour.height(); ++y) {
        const int maskY = mask.y() + y * mask.height() / colour.height();
        for (int x = 0; x < colour.width(); ++x) {
            const int maskX = mask.x() + x * mask.width() / colour.width();
            const int alpha = frame.pixel(maskX, maskY)[1];
            const uchar* rgb = frame.pixel(colour.x() + x, colour.y() + y);
            const int value = std::max({rgb[0], rgb[1], rgb[2]});
            ++pixels_;
            if (alpha <= kClear) {
                if (value > alpha + 2 * kMargin)
                    ++aboveAlpha_;
                continue;
            }
            if (alpha < kLowest || alpha > kHighest)
                continue;
            ++translucent_;
            if (value > alpha + kMargin)
                ++aboveAlpha_;
            else if (2 * value >= alpha)
                ++nearAlpha_;
        }
    }
}

ColourModeGuess::Mode ColourModeGuess::mode() const {
    if (pixels_ == 0)
        return Mode::Unknown;
    // One pixel in a hundred breaking the premultiplied rule is no noise.
    if (aboveAlpha_ * 100 > pixels_)
        return Mode::Straight;
    if (translucent_ * 100 < pixels_)
        return Mode::NotShown;
    // Dark straight colour stays below its alpha too: only bright
    // translucent colour tells.
    if (nearAlpha_ * 3 >= translucent_)
        return Mode::Premultiplied;
    return Mode::Unknown;
}

} // namespace zev

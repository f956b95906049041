#pragma once

#include <QString>

namespace zev {

// Tiny transparent PNG frames made with the real ImageMagick: the left half
// opaque red, the right half blue at half transparency, so every stage's
// result can be checked pixel by pixel.
class TestFrames {
public:
    static QString imageMagick();

    static bool writeFrame(const QString& path, int width, int height);
    // Frames first … first + count - 1 named "<n>.png" in folder.
    static bool writeSequence(const QString& folder, int count, int width, int height, int first = 0);
    // Frames 0 … count - 1 whose colour (red to blue) and alpha (opaque to
    // clear) change smoothly across the frame, rolled a few pixels further
    // each frame: what a round trip through the codec can be judged on.
    static bool writeGradientSequence(const QString& folder, int count, int width, int height);
};

} // namespace zev

#pragma once

#include <QByteArray>

namespace zev {

// One decoded frame of a ZEV video as the decoder hands it over: the whole
// packed picture (mask and colour side by side, or however the description
// lays them out), 8-bit RGB, row by row without padding.
struct PackedFrame {
    static constexpr int kBytesPerPixel = 3;

    int width = 0;
    int height = 0;
    // The frame's position in the video, counted from 0.
    qint64 index = 0;
    QByteArray rgb;

    static qsizetype byteCount(int width, int height) { return qsizetype(width) * height * kBytesPerPixel; }
    const uchar* pixel(int x, int y) const {
        return reinterpret_cast<const uchar*>(rgb.constData()) + (qsizetype(y) * width + x) * kBytesPerPixel;
    }
};

} // namespace zev

#pragma once

#include <QByteArray>
#include <QSize>

namespace zev {

// A transparent picture in the engine's hands: 8-bit R, G, B, A per pixel,
// row by row without padding, colour straight (not multiplied by alpha).
// The same bytes make a QImage of Format_RGBA8888 in the window, without a
// copy, while the engine itself stays free of Qt Gui.
struct RgbaFrame {
    static constexpr int kBytesPerPixel = 4;

    int width = 0;
    int height = 0;
    QByteArray rgba;

    static RgbaFrame blank(int width, int height) {
        return {width, height, QByteArray(qsizetype(width) * height * kBytesPerPixel, '\0')};
    }
    QSize size() const { return {width, height}; }
    bool isNull() const { return width <= 0 || height <= 0; }
    uchar* pixel(int x, int y) {
        return reinterpret_cast<uchar*>(rgba.data()) + (qsizetype(y) * width + x) * kBytesPerPixel;
    }
    const uchar* pixel(int x, int y) const {
        return reinterpret_cast<const uchar*>(rgba.constData()) + (qsizetype(y) * width + x) * kBytesPerPixel;
    }
};

} // namespace zev

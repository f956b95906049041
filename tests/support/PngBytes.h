#pragma once

#include <QByteArray>
#include <QtGlobal>

namespace zev {

// The first 33 bytes of a PNG file made by hand: the signature and an IHDR
// chunk with a correct CRC. Enough for code that reads headers only, at any
// size, without making an image; add bytes after it for a larger file.
class PngBytes {
public:
    static QByteArray header(quint32 width, quint32 height, quint8 bitDepth = 8, quint8 colourType = 6);
};

} // namespace zev

#include "PngBytes.h"

#include "frames/PngHeader.h"

#include <QtEndian>

namespace zev {

QByteArray PngBytes::header(quint32 width, quint32 height, quint8 bitDepth, quint8 colourType) {
    QByteArray chunk(17, '\0');
    chunk.replace(0, 4, "IHDR");
    qToBigEndian(width, chunk.data() + 4);
    qToBigEndian(height, chunk.data() + 8);
    chunk[12] = char(bitDepth);
    chunk[13] = char(colourType);
    QByteArray bytes("\x89PNG\r\n\x1a\n\0\0\0\x0d", 12);
    QByteArray crc(4, '\0');
    qToBigEndian(PngHeader::crc32(chunk), crc.data());
    return bytes + chunk + crc;
}

} // namespace zev

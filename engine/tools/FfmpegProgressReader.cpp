#include "tools/FfmpegProgressReader.h"

namespace zev {

namespace {

// The count after the last "frame=" of a complete report, or -1.
qint64 lastFrameCount(const QByteArray& text) {
    static const QByteArray kKey = QByteArrayLiteral("frame=");
    qsizetype at = text.lastIndexOf(kKey);
    while (at >= 0) {
        qsizetype digit = at + kKey.size();
        while (digit < text.size() && text.at(digit) == ' ')
            ++digit;
        qsizetype end = digit;
        while (end < text.size() && text.at(end) >= '0' && text.at(end) <= '9')
            ++end;
        if (end > digit && end - digit < 18)
            return text.mid(digit, end - digit).toLongLong();
        at = at > 0 ? text.lastIndexOf(kKey, at - 1) : -1;
    }
    return -1;
}

} // namespace

qint64 FfmpegProgressReader::feed(const QByteArray& piece) {
    pending_ += piece;
    // Only whole reports count: a count cut off by the piece's end could
    // read "12" for what becomes "120".
    const qsizetype lineEnd = std::max(pending_.lastIndexOf('\r'), pending_.lastIndexOf('\n'));
    if (lineEnd < 0)
        return frames_;
    const qint64 count = lastFrameCount(pending_.left(lineEnd));
    if (count >= 0)
        frames_ = count;
    pending_.remove(0, lineEnd + 1);
    return frames_;
}

} // namespace zev

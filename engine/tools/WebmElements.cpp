#include "tools/WebmElements.h"

#include <QFile>
#include <algorithm>
#include <optional>

namespace zev {

namespace {

struct Number {
    quint64 value = 0;
    int length = 0;
    bool unknown = false;
};

// An EBML variable-length number at the file's position: as an ID the
// length marker stays in the value, as a size it is taken out.
std::optional<Number> readNumber(QFile& file, bool isSize) {
    char first = 0;
    if (!file.getChar(&first))
        return std::nullopt;
    const auto lead = quint8(first);
    int length = 1;
    while (length <= 8 && (lead & (0x80 >> (length - 1))) == 0)
        ++length;
    if (length > 8 || (!isSize && length > 4))
        return std::nullopt;
    const quint8 marker = quint8(0x80 >> (length - 1));
    Number number{isSize ? quint64(lead & (marker - 1)) : quint64(lead), length, false};
    bool allOnes = isSize && (lead & (marker - 1)) == marker - 1;
    for (int i = 1; i < length; ++i) {
        char next = 0;
        if (!file.getChar(&next))
            return std::nullopt;
        number.value = (number.value << 8) | quint8(next);
        allOnes = allOnes && quint8(next) == 0xFF;
    }
    number.unknown = allOnes;
    return number;
}

struct Header {
    quint32 id = 0;
    qint64 headerSize = 0;
    std::optional<qint64> payload; // nothing: unknown size
};

std::optional<Header> readHeader(QFile& file, qint64 at) {
    if (!file.seek(at))
        return std::nullopt;
    const std::optional<Number> id = readNumber(file, false);
    const std::optional<Number> size = id ? readNumber(file, true) : std::nullopt;
    if (!size)
        return std::nullopt;
    Header header{quint32(id->value), id->length + size->length, std::nullopt};
    if (!size->unknown)
        header.payload = qint64(size->value);
    return header;
}

} // namespace

QList<WebmElements::Element> WebmElements::read(const QString& path) {
    QList<Element> elements;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return elements;
    const qint64 end = file.size();
    const std::optional<Header> ebml = readHeader(file, 0);
    if (!ebml || ebml->id != kEbmlHeader || !ebml->payload)
        return elements;
    const qint64 segmentAt = ebml->headerSize + *ebml->payload;
    const std::optional<Header> segment = readHeader(file, segmentAt);
    if (!segment || segment->id != kSegment)
        return elements;
    const qint64 segmentEnd =
        segment->payload ? std::min(end, segmentAt + segment->headerSize + *segment->payload) : end;
    qint64 at = segmentAt + segment->headerSize;
    while (at < segmentEnd) {
        const std::optional<Header> child = readHeader(file, at);
        if (!child || !child->payload || at + child->headerSize + *child->payload > segmentEnd)
            break;
        const qint64 size = child->headerSize + *child->payload;
        elements.append({child->id, at, size});
        at += size;
    }
    return elements;
}

bool WebmElements::cuesLead(const QString& path) {
    return cuesLead(read(path));
}

bool WebmElements::cuesLead(const QList<Element>& elements) {
    for (const Element& element : elements) {
        if (element.id == kCues)
            return true;
        if (element.id == kCluster)
            return false;
    }
    return false;
}

} // namespace zev

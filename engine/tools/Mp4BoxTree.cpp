#include "tools/Mp4BoxTree.h"

#include <QtEndian>
#include <algorithm>
#include <limits>

namespace zev {

namespace {

// The boxes on the way from the index to its chunk offsets and its
// metadata, whose insides are read.
bool isContainer(const QByteArray& type) {
    static const QByteArray containers[] = {"moov", "trak", "mdia", "minf", "stbl",
                                            "udta", "meta", "ilst", "edts"};
    for (const QByteArray& container : containers)
        if (type == container)
            return true;
    return false;
}

quint32 be32(const char* at) {
    return qFromBigEndian<quint32>(at);
}

void appendBe32(QByteArray& bytes, quint32 value) {
    char buffer[4];
    qToBigEndian(value, buffer);
    bytes.append(buffer, 4);
}

void appendBe64(QByteArray& bytes, quint64 value) {
    char buffer[8];
    qToBigEndian(value, buffer);
    bytes.append(buffer, 8);
}

// A box's header and body within bytes from at; nothing when it runs past
// their end.
struct Span {
    QByteArray type;
    qsizetype bodyAt = 0;
    qsizetype end = 0;
};

std::optional<Span> spanAt(const QByteArray& bytes, qsizetype at) {
    if (bytes.size() - at < 8)
        return std::nullopt;
    quint64 size = be32(bytes.constData() + at);
    qsizetype headerSize = 8;
    if (size == 1) {
        if (bytes.size() - at < 16)
            return std::nullopt;
        size = qFromBigEndian<quint64>(bytes.constData() + at + 8);
        headerSize = 16;
    } else if (size == 0) {
        size = quint64(bytes.size() - at);
    }
    if (size < quint64(headerSize) || size > quint64(bytes.size() - at))
        return std::nullopt;
    return Span{bytes.mid(at + 4, 4), at + headerSize, at + qsizetype(size)};
}

std::optional<Mp4BoxTree> parseBody(const QByteArray& type, const QByteArray& bytes, qsizetype from,
                                    qsizetype end) {
    Mp4BoxTree box;
    box.type = type;
    if (!isContainer(type)) {
        box.payload = bytes.mid(from, end - from);
        return box;
    }
    box.container = true;
    // A "meta" box is a full box (version and flags before its children) in
    // MP4 files, a plain one in QuickTime's.
    if (type == "meta" && end - from >= 8 && bytes.mid(from + 4, 4) != "hdlr") {
        box.payload = bytes.mid(from, 4);
        from += 4;
    }
    // The children, each parsed on its own bytes.
    qsizetype at = from;
    while (at < end) {
        const QByteArray inside = bytes.mid(at, end - at);
        const std::optional<Span> span = spanAt(inside, 0);
        if (!span)
            return std::nullopt;
        std::optional<Mp4BoxTree> child = parseBody(span->type, inside, span->bodyAt, span->end);
        if (!child)
            return std::nullopt;
        box.children.append(std::move(*child));
        at += span->end;
    }
    return box;
}

} // namespace

std::optional<Mp4BoxTree> Mp4BoxTree::parse(const QByteArray& bytes) {
    const std::optional<Span> span = spanAt(bytes, 0);
    if (!span || span->end != bytes.size())
        return std::nullopt;
    return parseBody(span->type, bytes, span->bodyAt, span->end);
}

qint64 Mp4BoxTree::serialisedSize() const {
    qint64 size = 8 + payload.size();
    for (const Mp4BoxTree& child : children)
        size += child.serialisedSize();
    return size;
}

QByteArray Mp4BoxTree::serialise() const {
    const qint64 size = serialisedSize();
    QByteArray bytes;
    bytes.reserve(qsizetype(size + 8));
    if (size <= qint64(std::numeric_limits<quint32>::max())) {
        appendBe32(bytes, quint32(size));
        bytes.append(type);
    } else {
        appendBe32(bytes, 1);
        bytes.append(type);
        appendBe64(bytes, quint64(size + 8));
    }
    bytes.append(payload);
    for (const Mp4BoxTree& child : children)
        bytes.append(child.serialise());
    return bytes;
}

Mp4BoxTree* Mp4BoxTree::child(const QByteArray& childType) {
    for (Mp4BoxTree& box : children)
        if (box.type == childType)
            return &box;
    return nullptr;
}

const Mp4BoxTree* Mp4BoxTree::child(const QByteArray& childType) const {
    for (const Mp4BoxTree& box : children)
        if (box.type == childType)
            return &box;
    return nullptr;
}

Mp4BoxTree& Mp4BoxTree::childOrNew(const QByteArray& childType, bool asContainer,
                                   const QByteArray& childPayload) {
    if (Mp4BoxTree* found = child(childType))
        return *found;
    Mp4BoxTree box = leaf(childType, childPayload);
    box.container = asContainer;
    children.append(std::move(box));
    return children.last();
}

void Mp4BoxTree::removeChildren(const QByteArray& childType) {
    children.removeIf([&childType](const Mp4BoxTree& box) { return box.type == childType; });
}

QList<Mp4BoxTree*> Mp4BoxTree::all(const QByteArray& boxType) {
    QList<Mp4BoxTree*> found;
    if (type == boxType)
        found.append(this);
    for (Mp4BoxTree& box : children)
        found.append(box.all(boxType));
    return found;
}

Mp4BoxTree Mp4BoxTree::leaf(const QByteArray& type, const QByteArray& payload) {
    Mp4BoxTree box;
    box.type = type;
    box.payload = payload;
    return box;
}

std::optional<QList<quint64>> Mp4BoxTree::chunkOffsets() const {
    const int width = type == "co64" ? 8 : 4;
    if (payload.size() < 8)
        return std::nullopt;
    const quint32 count = be32(payload.constData() + 4);
    if (quint64(payload.size() - 8) < quint64(count) * width)
        return std::nullopt;
    QList<quint64> offsets;
    offsets.reserve(count);
    for (quint32 i = 0; i < count; ++i) {
        const char* at = payload.constData() + 8 + qsizetype(i) * width;
        offsets.append(width == 8 ? qFromBigEndian<quint64>(at) : be32(at));
    }
    return offsets;
}

void Mp4BoxTree::setChunkOffsets(const QList<quint64>& offsets) {
    const bool wide = type == "co64" || std::any_of(offsets.cbegin(), offsets.cend(), [](quint64 offset) {
                          return offset > std::numeric_limits<quint32>::max();
                      });
    QByteArray entries = payload.left(4); // version and flags
    appendBe32(entries, quint32(offsets.size()));
    for (const quint64 offset : offsets)
        wide ? appendBe64(entries, offset) : appendBe32(entries, quint32(offset));
    type = wide ? QByteArrayLiteral("co64") : QByteArrayLiteral("stco");
    payload = entries;
}

} // namespace zev

#pragma once

#include <QByteArray>
#include <QList>
#include <functional>
#include <optional>

namespace zev {

// One MP4 box held in memory with the boxes inside it: the index ("moov")
// down to its chunk offsets and its metadata, so they can be changed and the
// box written again with every size made right. Boxes ZEV does not look
// into are kept as their bytes.
struct Mp4BoxTree {
    QByteArray type;
    // A leaf's bytes after its header; for a container, the bytes before its
    // children (a "meta" box's version and flags).
    QByteArray payload;
    QList<Mp4BoxTree> children;
    bool container = false;

    // The whole of one box (its header first), or nothing when the bytes are
    // not one box exactly.
    static std::optional<Mp4BoxTree> parse(const QByteArray& bytes);
    QByteArray serialise() const;
    qint64 serialisedSize() const;

    // The first child of that type, or nullptr.
    Mp4BoxTree* child(const QByteArray& childType);
    const Mp4BoxTree* child(const QByteArray& childType) const;
    // The child of that type, appended (a leaf, or a container) when there is none.
    Mp4BoxTree& childOrNew(const QByteArray& childType, bool asContainer, const QByteArray& payload = {});
    void removeChildren(const QByteArray& childType);
    // Every box of that type in the tree, depth first.
    QList<Mp4BoxTree*> all(const QByteArray& boxType);

    static Mp4BoxTree leaf(const QByteArray& type, const QByteArray& payload);

    // The chunk offsets of an "stco" or "co64" box, or nothing when it is
    // cut short.
    std::optional<QList<quint64>> chunkOffsets() const;
    // Writes offsets as this box's entries: an "stco" box becomes "co64"
    // when one no longer fits in 32 bits.
    void setChunkOffsets(const QList<quint64>& offsets);
};

} // namespace zev

#pragma once

#include <QList>
#include <QString>

namespace zev {

// The top-level elements inside a WebM file's segment, read from their
// headers only. Every EBML element starts with its ID and its size, each a
// variable-length number whose first byte's leading zeros say how many
// bytes follow; a size of all ones is "unknown" (up to the end of the file
// for the segment).
struct WebmElements {
    static constexpr quint32 kEbmlHeader = 0x1A45DFA3;
    static constexpr quint32 kSegment = 0x18538067;
    static constexpr quint32 kCues = 0x1C53BB6B;
    static constexpr quint32 kCluster = 0x1F43B675;

    struct Element {
        quint32 id = 0;
        qint64 offset = 0;
        qint64 size = 0; // the whole element, header included
        bool operator==(const Element&) const = default;
    };

    // The segment's children in file order; empty when the file cannot be
    // read or does not start with an EBML header and a segment (an element
    // that runs past the end, or one of unknown size, ends the list).
    static QList<Element> read(const QString& path);
    // Whether the index (Cues) comes before the first frames (Cluster).
    static bool cuesLead(const QString& path);
    static bool cuesLead(const QList<Element>& elements);
};

} // namespace zev

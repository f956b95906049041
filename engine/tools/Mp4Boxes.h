#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

namespace zev {

// The top-level boxes of an MP4 file, read from their headers only: each
// box starts with its size (4 bytes, big-endian; 1: a 64-bit size follows
// the type; 0: to the end of the file) and its type (4 bytes).
struct Mp4Boxes {
    struct Box {
        QByteArray type;
        qint64 offset = 0;
        qint64 size = 0;
        bool operator==(const Box&) const = default;
    };

    // Every top-level box in file order; empty when the file cannot be read
    // or does not start like an MP4 file (a box that runs past the end
    // ends the list).
    static QList<Box> read(const QString& path);
    // Whether the index ("moov") comes before the frames ("mdat").
    static bool indexLeads(const QString& path);
    static bool indexLeads(const QList<Box>& boxes);
};

} // namespace zev

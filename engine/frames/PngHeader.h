#pragma once

#include <QByteArrayView>
#include <QCoreApplication>
#include <QString>
#include <QtGlobal>

namespace zev {

// What the first 33 bytes of a PNG file say: the signature, then the IHDR
// chunk with the image's size and sample format. Nothing else is read and
// nothing is decoded, so checking thousands of frames before a run costs a
// few system calls each.
class PngHeader {
    Q_DECLARE_TR_FUNCTIONS(PngHeader)

public:
    // Signature (8) + IHDR length and type (8) + IHDR data (13) + CRC (4).
    static constexpr qsizetype kSize = 33;

    enum class Problem {
        None,
        Unreadable,      // the file could not be opened or read (readError() says why)
        Empty,           // zero bytes
        NotPng,          // the first bytes are not the PNG signature
        Truncated,       // the signature, but fewer than kSize bytes
        MissingIhdr,     // the first chunk is not a 13-byte IHDR
        BadChecksum,     // the IHDR chunk's CRC does not match its bytes
        BadDimensions,   // a width or height of 0 or beyond 2^31 - 1
        BadSampleFormat, // bit depth, colour type or a method byte PNG does not define
    };

    // Opens the file, reads at most kSize bytes and closes it.
    static PngHeader read(const QString& path);
    // Judges bytes already in memory: the start of a file of fileSize bytes.
    static PngHeader parse(QByteArrayView bytes, qint64 fileSize);

    // The CRC-32 PNG chunks carry (ISO 3309, reflected, polynomial 0xEDB88320).
    static quint32 crc32(QByteArrayView bytes);

    bool isSound() const { return problem_ == Problem::None; }
    Problem problem() const { return problem_; }
    // What is wrong, to follow the file's name in a sentence: "is not a PNG
    // file", "has a damaged PNG header", "is an empty file" or "cannot be
    // read: <reason>". Empty for a sound header.
    QString problemText() const;

    // Meaningful only for a sound header.
    quint32 width() const { return width_; }
    quint32 height() const { return height_; }
    quint8 bitDepth() const { return bitDepth_; }
    quint8 colourType() const { return colourType_; }
    // The whole file's size in bytes, known even when the header is not sound.
    qint64 fileSize() const { return fileSize_; }

private:
    static PngHeader failed(Problem problem, qint64 fileSize, const QString& readError = {});
    static Problem chunkProblem(QByteArrayView bytes);
    static bool isValidSampleFormat(quint8 bitDepth, quint8 colourType);

    Problem problem_ = Problem::None;
    QString readError_;
    quint32 width_ = 0;
    quint32 height_ = 0;
    quint8 bitDepth_ = 0;
    quint8 colourType_ = 0;
    qint64 fileSize_ = 0;
};

} // namespace zev

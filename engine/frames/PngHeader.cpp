#include "frames/PngHeader.h"

#include "core/SystemError.h"

#include <QFile>
#include <array>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace zev {

namespace {

constexpr std::array<char, 8> kSignature{'\x89', 'P', 'N', 'G', '\r', '\n', '\x1a', '\n'};
constexpr quint32 kIhdrDataLength = 13;
constexpr quint32 kLargestDimension = 0x7fffffff;
// Offsets into the first kSize bytes.
constexpr qsizetype kChunkLength = 8;
constexpr qsizetype kChunkType = 12;
constexpr qsizetype kWidth = 16;
constexpr qsizetype kHeight = 20;
constexpr qsizetype kBitDepth = 24;
constexpr qsizetype kColourType = 25;
constexpr qsizetype kCompression = 26;
constexpr qsizetype kFilter = 27;
constexpr qsizetype kInterlace = 28;
constexpr qsizetype kCrc = 29;

constexpr std::array<quint32, 256> makeCrcTable() {
    std::array<quint32, 256> table{};
    for (quint32 n = 0; n < 256; ++n) {
        quint32 c = n;
        for (int bit = 0; bit < 8; ++bit)
            c = (c & 1) ? 0xedb88320u ^ (c >> 1) : c >> 1;
        table[n] = c;
    }
    return table;
}

constexpr std::array<quint32, 256> kCrcTable = makeCrcTable();

quint32 bigEndian32(QByteArrayView bytes, qsizetype offset) {
    const auto byte = [&](qsizetype i) { return quint32(quint8(bytes[offset + i])); };
    return byte(0) << 24 | byte(1) << 16 | byte(2) << 8 | byte(3);
}

quint8 byteAt(QByteArrayView bytes, qsizetype offset) {
    return quint8(bytes[offset]);
}

bool startsLikeSignature(QByteArrayView bytes) {
    const qsizetype compared = qMin(bytes.size(), qsizetype(kSignature.size()));
    return std::memcmp(bytes.data(), kSignature.data(), size_t(compared)) == 0;
}

QString systemError(int error) {
    return SystemError::text(error);
}

// read() until kSize bytes or the end of the file; false with errno set on
// an error.
bool readStart(int descriptor, QByteArray* bytes) {
    bytes->resize(PngHeader::kSize);
    qsizetype done = 0;
    while (done < PngHeader::kSize) {
        const ssize_t got = ::read(descriptor, bytes->data() + done, size_t(PngHeader::kSize - done));
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return false;
        if (got == 0)
            break;
        done += got;
    }
    bytes->truncate(done);
    return true;
}

// The file's size and first bytes, or why they cannot be had.
QString readRegularFile(int descriptor, qint64* fileSize, QByteArray* bytes) {
    struct stat status {};
    if (::fstat(descriptor, &status) != 0)
        return systemError(errno);
    if (S_ISDIR(status.st_mode))
        return systemError(EISDIR);
    if (!S_ISREG(status.st_mode))
        return PngHeader::tr("not a regular file");
    if (!readStart(descriptor, bytes))
        return systemError(errno);
    *fileSize = status.st_size;
    return {};
}

} // namespace

PngHeader PngHeader::read(const QString& path) {
    // Non-blocking, so a named pipe standing where a frame should be cannot
    // hang the check; it is refused as not a regular file.
    const int descriptor = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (descriptor < 0)
        return failed(Problem::Unreadable, 0, systemError(errno));
    qint64 fileSize = 0;
    QByteArray bytes;
    const QString error = readRegularFile(descriptor, &fileSize, &bytes);
    ::close(descriptor);
    if (!error.isEmpty())
        return failed(Problem::Unreadable, 0, error);
    return parse(bytes, fileSize);
}

PngHeader PngHeader::parse(QByteArrayView bytes, qint64 fileSize) {
    if (bytes.isEmpty())
        return failed(Problem::Empty, fileSize);
    if (!startsLikeSignature(bytes))
        return failed(Problem::NotPng, fileSize);
    if (bytes.size() < kSize)
        return failed(Problem::Truncated, fileSize);
    if (const Problem problem = chunkProblem(bytes); problem != Problem::None)
        return failed(problem, fileSize);
    PngHeader header;
    header.width_ = bigEndian32(bytes, kWidth);
    header.height_ = bigEndian32(bytes, kHeight);
    header.bitDepth_ = byteAt(bytes, kBitDepth);
    header.colourType_ = byteAt(bytes, kColourType);
    header.fileSize_ = fileSize;
    return header;
}

quint32 PngHeader::crc32(QByteArrayView bytes) {
    quint32 crc = 0xffffffffu;
    for (const char byte : bytes)
        crc = kCrcTable[(crc ^ quint8(byte)) & 0xff] ^ (crc >> 8);
    return crc ^ 0xffffffffu;
}

QString PngHeader::problemText() const {
    switch (problem_) {
    case Problem::None:
        return {};
    case Problem::Unreadable:
        return tr("cannot be read: %1").arg(readError_);
    case Problem::Empty:
        return tr("is an empty file");
    case Problem::NotPng:
        return tr("is not a PNG file");
    case Problem::Truncated:
    case Problem::MissingIhdr:
    case Problem::BadChecksum:
    case Problem::BadDimensions:
    case Problem::BadSampleFormat:
        break;
    }
    return tr("has a damaged PNG header");
}

PngHeader PngHeader::failed(Problem problem, qint64 fileSize, const QString& readError) {
    PngHeader header;
    header.problem_ = problem;
    header.fileSize_ = fileSize;
    header.readError_ = readError;
    return header;
}

// The checksum is judged before the fields it covers: a flipped bit in a
// field is damage, not an unusual image.
PngHeader::Problem PngHeader::chunkProblem(QByteArrayView bytes) {
    if (bigEndian32(bytes, kChunkLength) != kIhdrDataLength || bytes.sliced(kChunkType, 4) != "IHDR")
        return Problem::MissingIhdr;
    if (crc32(bytes.sliced(kChunkType, kCrc - kChunkType)) != bigEndian32(bytes, kCrc))
        return Problem::BadChecksum;
    const quint32 width = bigEndian32(bytes, kWidth);
    const quint32 height = bigEndian32(bytes, kHeight);
    if (width == 0 || height == 0 || width > kLargestDimension || height > kLargestDimension)
        return Problem::BadDimensions;
    if (!isValidSampleFormat(byteAt(bytes, kBitDepth), byteAt(bytes, kColourType)) ||
        byteAt(bytes, kCompression) != 0 || byteAt(bytes, kFilter) != 0 || byteAt(bytes, kInterlace) > 1)
        return Problem::BadSampleFormat;
    return Problem::None;
}

// The bit depths PNG allows for each colour type: grey (0), RGB (2),
// palette (3), grey + alpha (4), RGBA (6).
bool PngHeader::isValidSampleFormat(quint8 bitDepth, quint8 colourType) {
    switch (colourType) {
    case 0:
        return bitDepth == 1 || bitDepth == 2 || bitDepth == 4 || bitDepth == 8 || bitDepth == 16;
    case 3:
        return bitDepth == 1 || bitDepth == 2 || bitDepth == 4 || bitDepth == 8;
    case 2:
    case 4:
    case 6:
        return bitDepth == 8 || bitDepth == 16;
    default:
        return false;
    }
}

} // namespace zev

#include "PngFrameFile.h"

#include "core/SystemError.h"

#include <QFile>
#include <QImageReader>
#include <QImageWriter>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace zev {

namespace {

// Keeps the frame's bytes alive as long as an image uses them.
void releaseBytes(void* bytes) {
    delete static_cast<QByteArray*>(bytes);
}

QImage::Format imageFormat(PngFrameFile::Pixels pixels) {
    switch (pixels) {
    case PngFrameFile::Pixels::Straight:
        break;
    case PngFrameFile::Pixels::Premultiplied:
        return QImage::Format_RGBA8888_Premultiplied;
    case PngFrameFile::Pixels::Argb32Premultiplied:
        return QImage::Format_ARGB32_Premultiplied;
    }
    return QImage::Format_RGBA8888;
}

} // namespace

Result<RgbaFrame> PngFrameFile::read(const QString& path) {
    // Opened without waiting for a writer, so a named pipe standing where a
    // frame should be cannot hang the reader; only a regular file is read.
    const int descriptor = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (descriptor < 0)
        return Result<RgbaFrame>::failure(
            tr("cannot read the frame %1: %2").arg(path, SystemError::text(errno)));
    struct stat status {};
    const bool examined = ::fstat(descriptor, &status) == 0;
    if (!examined || !S_ISREG(status.st_mode)) {
        const QString why = examined ? tr("it is not a regular file") : SystemError::text(errno);
        ::close(descriptor);
        return Result<RgbaFrame>::failure(tr("cannot read the frame %1: %2").arg(path, why));
    }
    QFile file;
    if (!file.open(descriptor, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(descriptor);
        return Result<RgbaFrame>::failure(tr("cannot read the frame %1: %2").arg(path, file.errorString()));
    }
    QImageReader reader(&file);
    QImage image;
    if (!reader.read(&image))
        return Result<RgbaFrame>::failure(tr("cannot read the frame %1: %2").arg(path, reader.errorString()));
    return fromImage(image);
}

RgbaFrame PngFrameFile::fromImage(const QImage& image) {
    const QImage straight = image.convertToFormat(QImage::Format_RGBA8888);
    RgbaFrame frame = RgbaFrame::blank(straight.width(), straight.height());
    const qsizetype rowBytes = qsizetype(frame.width) * RgbaFrame::kBytesPerPixel;
    for (int y = 0; y < frame.height; ++y)
        std::memcpy(frame.pixel(0, y), straight.constScanLine(y), size_t(rowBytes));
    return frame;
}

Result<> PngFrameFile::write(const RgbaFrame& frame, const QString& path) {
    QImageWriter writer(path, "png");
    if (!writer.write(toImage(frame)))
        return Result<>::failure(tr("cannot write %1: %2").arg(path, writer.errorString()));
    return Result<>::success();
}

QImage PngFrameFile::toImage(const RgbaFrame& frame, Pixels pixels) {
    if (frame.isNull())
        return {};
    auto* bytes = new QByteArray(frame.rgba);
    // The image only reads the bytes; the shared copy keeps them alive.
    return QImage(reinterpret_cast<const uchar*>(bytes->constData()), frame.width, frame.height,
                  qsizetype(frame.width) * RgbaFrame::kBytesPerPixel, imageFormat(pixels), releaseBytes,
                  bytes);
}

} // namespace zev

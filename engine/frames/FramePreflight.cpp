#include "frames/FramePreflight.h"

#include "core/SystemError.h"
#include "frames/PngHeader.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QStorageInfo>
#include <cerrno>
#include <cmath>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Scratch model of a full run: per frame a grey mask, the colour on black
// and the packed frame, as PNG files. Measured against source frames made by
// ImageMagick (their file size taken as 1), the three together came to
// 0.9 for smooth animation frames and at most 2.8 for 8- and 16-bit RGBA
// noise, which no compressor can shrink: the mask keeps a quarter of the
// samples, the colour three quarters, and the packed frame both. The model
// takes 0.5 + 1 + 1.5 = 3 times the source, one file system block per file
// written, and 10 % on top.
constexpr qint64 kScratchFilesPerFrame = 3;
constexpr qint64 kFileSystemBlock = 4096;
constexpr double kScratchPerSourceByte = 0.5 + 1.0 + 1.5;
constexpr double kScratchMargin = 1.1;

// The encoder aims at the rate over the whole video but overshoots on short
// ones (the first key frame), so 20 % more plus room for the container.
constexpr double kVideoMargin = 1.2;
constexpr qint64 kContainerReserve = qint64{1024} * 1024;

QString frameName(const QString& path) {
    return QFileInfo(path).fileName();
}

QString sizeText(QSize size) {
    return QStringLiteral("%1×%2").arg(size.width()).arg(size.height());
}

QString sizeText(qint64 width, qint64 height) {
    return QStringLiteral("%1×%2").arg(width).arg(height);
}

QString bytesText(qint64 bytes) {
    return QLocale::c().formattedDataSize(bytes, 1, QLocale::DataSizeIecFormat);
}

// The path itself when it exists, else its nearest ancestor that does:
// folders not made yet will be made on that one's file system.
QString nearestExistingPath(const QString& path) {
    QString existing = QDir::cleanPath(QDir::current().absoluteFilePath(path));
    while (!QFileInfo::exists(existing) && existing != QDir::rootPath())
        existing = QFileInfo(existing).path();
    return existing;
}

bool sameFileSystem(const QString& first, const QString& second) {
    struct stat a {};
    struct stat b {};
    return ::stat(QFile::encodeName(first).constData(), &a) == 0 &&
           ::stat(QFile::encodeName(second).constData(), &b) == 0 && a.st_dev == b.st_dev;
}

// Empty when this user may create entries in the folder, else why not.
QString writeProblem(const QString& folder) {
    if (::access(QFile::encodeName(folder).constData(), W_OK | X_OK) == 0)
        return {};
    return SystemError::text(errno);
}

std::optional<QString> shortOfSpace(const QString& what, qint64 needed, qint64 free) {
    if (free < 0 || free >= needed)
        return std::nullopt;
    return QStringLiteral("Not enough space for %1: about %2 is needed, but only %3 is free.")
        .arg(what, bytesText(needed), bytesText(free));
}

PreflightReport refuse(const QString& reason, QSize frameSize = {}) {
    return PreflightReport{false, reason, frameSize, std::nullopt};
}

} // namespace

PreflightReport FramePreflight::check(const PreflightInput& input, const FreeSpace& freeSpace) {
    if (input.frames.isEmpty())
        return refuse(QStringLiteral("There are no frames to convert."));
    FrameSummary summary;
    if (const auto problem = readFrames(input.frames, &summary))
        return refuse(*problem);
    if (const auto problem = oddHeightProblem(summary.size))
        return refuse(*problem, summary.size);
    if (const auto problem = outputFolderProblem(input.outputFolder))
        return refuse(*problem, summary.size);
    if (const auto problem = spaceProblem(input, summary, freeSpace))
        return refuse(*problem, summary.size);
    return PreflightReport{true, {}, summary.size, playbackWarning(summary.size)};
}

qint64 FramePreflight::systemFreeSpace(const QString& existingPath) {
    return QStorageInfo(existingPath).bytesAvailable();
}

qint64 FramePreflight::scratchBytesNeeded(qint64 frameBytes, qint64 frameCount) {
    const double files = double(frameCount) * kScratchFilesPerFrame * kFileSystemBlock;
    return qint64(std::ceil((double(frameBytes) * kScratchPerSourceByte + files) * kScratchMargin));
}

// The video lasts frameCount / fps seconds at rateKbits kilobits per second.
qint64 FramePreflight::videoBytesNeeded(qint64 frameCount, qint64 fps, qint64 rateKbits) {
    const double seconds = double(frameCount) / double(qMax<qint64>(fps, 1));
    const double bytes = double(qMax<qint64>(rateKbits, 0)) * 1000.0 / 8.0 * seconds * kVideoMargin;
    return qint64(std::ceil(bytes)) + kContainerReserve;
}

// Frame by frame in order, so the first bad frame is the one named.
std::optional<QString> FramePreflight::readFrames(const QStringList& frames, FrameSummary* summary) {
    for (const QString& frame : frames) {
        const PngHeader header = PngHeader::read(frame);
        if (!header.isSound())
            return QStringLiteral("Frame %1 %2.").arg(frameName(frame), header.problemText());
        const QSize size(int(header.width()), int(header.height()));
        if (summary->size.isEmpty())
            summary->size = size;
        else if (size != summary->size)
            return QStringLiteral("Frame %1 is %2 but %3 is %4.")
                .arg(frameName(frame), sizeText(size), frameName(frames.first()), sizeText(summary->size));
        summary->totalBytes += header.fileSize();
    }
    return std::nullopt;
}

// libx264 keeps colour at half the height and width (yuv420p), so it cannot
// encode an odd height. The packed width is twice the frame's: always even.
std::optional<QString> FramePreflight::oddHeightProblem(QSize frameSize) {
    if (frameSize.height() % 2 == 0)
        return std::nullopt;
    return QStringLiteral("The frames are %1 pixels high; the H.264 video needs an even height.")
        .arg(frameSize.height());
}

std::optional<QString> FramePreflight::outputFolderProblem(const QString& outputFolder) {
    const QFileInfo output(outputFolder);
    if (output.exists() || output.isSymLink()) {
        if (!output.isDir())
            return QStringLiteral("%1 is not a folder, so the video cannot be written there.")
                .arg(outputFolder);
        if (const QString why = writeProblem(outputFolder); !why.isEmpty())
            return QStringLiteral("The video cannot be written into %1: %2.").arg(outputFolder, why);
        return std::nullopt;
    }
    const QString parent = nearestExistingPath(outputFolder);
    if (!QFileInfo(parent).isDir())
        return QStringLiteral("%1 cannot be created: %2 is not a folder.").arg(outputFolder, parent);
    if (const QString why = writeProblem(parent); !why.isEmpty())
        return QStringLiteral("%1 cannot be created in %2: %3.").arg(outputFolder, parent, why);
    return std::nullopt;
}

// The work files stay after the run (a cache run encodes them again), so
// when they share a file system with the video, both must fit at once.
std::optional<QString> FramePreflight::spaceProblem(const PreflightInput& input, const FrameSummary& summary,
                                                    const FreeSpace& freeSpace) {
    const qint64 frameCount = input.frames.size();
    const qint64 videoNeeded = videoBytesNeeded(frameCount, input.fps, input.rateKbits);
    const QString videoAt = nearestExistingPath(input.outputFolder);
    const QString video = QStringLiteral("the video in %1").arg(input.outputFolder);
    if (input.run != PreflightInput::Run::Full)
        return shortOfSpace(video, videoNeeded, freeSpace(videoAt));

    const qint64 scratchNeeded = scratchBytesNeeded(summary.totalBytes, frameCount);
    const QString scratchAt = nearestExistingPath(input.scratchFolder);
    if (sameFileSystem(scratchAt, videoAt))
        return shortOfSpace(
            QStringLiteral("the work files in %1 and the video in %2, which share a file system")
                .arg(input.scratchFolder, input.outputFolder),
            scratchNeeded + videoNeeded, freeSpace(videoAt));
    const QString work = QStringLiteral("the work files in %1").arg(input.scratchFolder);
    if (auto problem = shortOfSpace(work, scratchNeeded, freeSpace(scratchAt)))
        return problem;
    return shortOfSpace(video, videoNeeded, freeSpace(videoAt));
}

std::optional<QString> FramePreflight::playbackWarning(QSize frameSize) {
    const qint64 packedWidth = qint64(frameSize.width()) * 2;
    const qint64 height = frameSize.height();
    if (packedWidth <= kLargestPlayableWidth && packedWidth * height <= kLargestPlayableArea)
        return std::nullopt;
    return QStringLiteral("The video will be %1 pixels (mask and colour side by side), larger than %2: "
                          "phones and many players will refuse to play it.")
        .arg(sizeText(packedWidth, height),
             sizeText(kLargestPlayableWidth, kLargestPlayableArea / kLargestPlayableWidth));
}

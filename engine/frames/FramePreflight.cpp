#include "frames/FramePreflight.h"

#include "core/SystemError.h"
#include "frames/PngHeader.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QStorageInfo>
#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace zev {

namespace {

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

// Fails when free is below what surely goes there, and answers a warning
// when it is below the worst case. The first check that has something to
// say decides.
struct SpaceCheck {
    QString what;
    RunSpaceModel::Need need;
    qint64 free = -1;

    bool refused() const { return free >= 0 && free < need.least; }
    bool tight() const { return free >= 0 && free < need.most; }
    QString refusal() const {
        return FramePreflight::tr("Not enough space for %1: at least %2 is needed, but only %3 is free.")
            .arg(what, bytesText(need.least), bytesText(free));
    }
    QString warning() const {
        return FramePreflight::tr("Space may run short for %1: frames that compress badly need up to %2, "
                                  "and %3 is free.")
            .arg(what, bytesText(need.most), bytesText(free));
    }
};

Result<QString> judgeSpace(const QList<SpaceCheck>& checks) {
    for (const SpaceCheck& check : checks) {
        if (check.refused())
            return Result<QString>::failure(check.refusal());
    }
    for (const SpaceCheck& check : checks) {
        if (check.tight())
            return check.warning();
    }
    return QString();
}

} // namespace

Result<PreflightFindings> FramePreflight::check(const PreflightInput& input, const FreeSpace& freeSpace) {
    if (input.frames.isEmpty())
        return Result<PreflightFindings>::failure(tr("There are no frames to convert."));
    const Result<FrameSummary> summary = readFrames(input.frames);
    if (!summary)
        return summary.failure();
    if (Result<> height = checkHeight(summary->size); !height)
        return height.failure();
    if (Result<> output = checkOutputFolder(input.outputFolder); !output)
        return output.failure();
    const Result<QString> spaceWarning = checkSpace(input, *summary, freeSpace);
    if (!spaceWarning)
        return spaceWarning.failure();
    return PreflightFindings{summary->size, playbackWarning(summary->size), *spaceWarning};
}

qint64 FramePreflight::systemFreeSpace(const QString& existingPath) {
    return QStorageInfo(existingPath).bytesAvailable();
}

// Frame by frame in order, so the first bad frame is the one named.
Result<FramePreflight::FrameSummary> FramePreflight::readFrames(const QStringList& frames) {
    FrameSummary summary;
    for (const QString& frame : frames) {
        const PngHeader header = PngHeader::read(frame);
        if (!header.isSound())
            return Result<FrameSummary>::failure(
                tr("Frame %1 %2.").arg(frameName(frame), header.problemText()));
        const QSize size(int(header.width()), int(header.height()));
        if (summary.size.isEmpty())
            summary.size = size;
        else if (size != summary.size)
            return Result<FrameSummary>::failure(tr("Frame %1 is %2 but %3 is %4.")
                                                     .arg(frameName(frame), sizeText(size),
                                                          frameName(frames.first()), sizeText(summary.size)));
        summary.workFiles += RunSpaceModel::workFiles(header);
    }
    return summary;
}

// libx264 keeps colour at half the height and width (yuv420p), so it cannot
// encode an odd height. The packed width is twice the frame's: always even.
Result<> FramePreflight::checkHeight(QSize frameSize) {
    if (frameSize.height() % 2 == 0)
        return Result<>::success();
    return Result<>::failure(
        tr("The frames are %1 pixels high; the H.264 video needs an even height.").arg(frameSize.height()));
}

Result<> FramePreflight::checkOutputFolder(const QString& outputFolder) {
    const QFileInfo output(outputFolder);
    if (output.exists() || output.isSymLink()) {
        if (!output.isDir())
            return Result<>::failure(
                tr("%1 is not a folder, so the video cannot be written there.").arg(outputFolder));
        if (const QString why = writeProblem(outputFolder); !why.isEmpty())
            return Result<>::failure(tr("The video cannot be written into %1: %2.").arg(outputFolder, why));
        return Result<>::success();
    }
    const QString parent = nearestExistingPath(outputFolder);
    if (!QFileInfo(parent).isDir())
        return Result<>::failure(tr("%1 cannot be created: %2 is not a folder.").arg(outputFolder, parent));
    if (const QString why = writeProblem(parent); !why.isEmpty())
        return Result<>::failure(tr("%1 cannot be created in %2: %3.").arg(outputFolder, parent, why));
    return Result<>::success();
}

// The work files stay after the run (a cache run encodes them again), so
// when they share a file system with the video, both must fit at once.
Result<QString> FramePreflight::checkSpace(const PreflightInput& input, const FrameSummary& summary,
                                           const FreeSpace& freeSpace) {
    const RunSpaceModel::Need video = RunSpaceModel::video(input.frames.size(), input.fps, input.rateKbits);
    const QString videoAt = nearestExistingPath(input.outputFolder);
    const SpaceCheck videoAlone{tr("the video in %1").arg(input.outputFolder), video, freeSpace(videoAt)};
    if (input.run != PreflightInput::Run::Full)
        return judgeSpace({videoAlone});

    const QString scratchAt = nearestExistingPath(input.scratchFolder);
    if (sameFileSystem(scratchAt, videoAt))
        return judgeSpace(
            {SpaceCheck{tr("the work files in %1 and the video in %2, which share a file system")
                            .arg(input.scratchFolder, input.outputFolder),
                        summary.workFiles + video, freeSpace(videoAt)}});
    return judgeSpace({SpaceCheck{tr("the work files in %1").arg(input.scratchFolder), summary.workFiles,
                                  freeSpace(scratchAt)},
                       videoAlone});
}

QString FramePreflight::playbackWarning(QSize frameSize) {
    const qint64 packedWidth = qint64(frameSize.width()) * 2;
    const qint64 height = frameSize.height();
    if (packedWidth <= kLargestPlayableWidth && packedWidth * height <= kLargestPlayableArea)
        return {};
    return tr("The video will be %1 pixels (mask and colour side by side), larger than %2: "
              "phones and many players will refuse to play it.")
        .arg(sizeText(packedWidth, height),
             sizeText(kLargestPlayableWidth, kLargestPlayableArea / kLargestPlayableWidth));
}

} // namespace zev

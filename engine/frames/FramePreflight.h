#pragma once

#include "core/Result.h"
#include "frames/PreflightFindings.h"
#include "frames/PreflightInput.h"
#include "frames/RunSpaceModel.h"

#include <QCoreApplication>
#include <QSize>
#include <QString>
#include <QStringList>
#include <functional>

namespace zev {

// Checks made before any tool runs, so a run that cannot succeed fails at
// once with a sentence saying why, instead of after minutes of ImageMagick
// work with a tool's error. Everything is judged from the frames' PNG
// headers (33 bytes each, never decoded), their file sizes and the file
// systems' free space; nothing is written. Keeps no state: any thread.
class FramePreflight {
    Q_DECLARE_TR_FUNCTIONS(FramePreflight)

public:
    // Bytes this user may still write on the file system holding an existing
    // path; negative when unknown (the space checks then pass).
    using FreeSpace = std::function<qint64(const QString& existingPath)>;

    // Videos beyond these sizes play on desktops, but phones and many
    // players' hardware decoders refuse them.
    static constexpr qint64 kLargestPlayableWidth = 4096;
    static constexpr qint64 kLargestPlayableArea = qint64(4096) * 2304;

    // Refuses with the reason, or lets the run go ahead with what it found.
    static Result<PreflightFindings> check(const PreflightInput& input,
                                           const FreeSpace& freeSpace = systemFreeSpace);

    // QStorageInfo's bytesAvailable for the path.
    static qint64 systemFreeSpace(const QString& existingPath);
    // The video can be written into the folder, or the folder made.
    static Result<> checkOutputFolder(const QString& outputFolder);

private:
    struct FrameSummary {
        QSize size;
        RunSpaceModel::Need workFiles;
    };

    static Result<FrameSummary> readFrames(const QStringList& frames);
    static Result<> checkHeight(QSize frameSize);
    // Refuses when the space is below what the run surely needs; answers a
    // warning (or nothing) when it is below the worst case.
    static Result<QString> checkSpace(const PreflightInput& input, const FrameSummary& summary,
                                      const FreeSpace& freeSpace);
    static QString playbackWarning(QSize frameSize);
};

} // namespace zev

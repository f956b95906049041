#pragma once

#include "frames/PreflightInput.h"
#include "frames/PreflightReport.h"

#include <QSize>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

// Checks made before any tool runs, so a run that cannot succeed fails at
// once with a sentence saying why, instead of after minutes of ImageMagick
// work with a tool's error. Everything is judged from the frames' PNG
// headers (33 bytes each, never decoded), their file sizes and the file
// systems' free space; nothing is written. Keeps no state: any thread.
class FramePreflight {
public:
    // Bytes this user may still write on the file system holding an existing
    // path; negative when unknown (the space checks then pass).
    using FreeSpace = std::function<qint64(const QString& existingPath)>;

    // Videos beyond these sizes play on desktops, but phones and many
    // players' hardware decoders refuse them.
    static constexpr qint64 kLargestPlayableWidth = 4096;
    static constexpr qint64 kLargestPlayableArea = qint64(4096) * 2304;

    [[nodiscard]] static PreflightReport check(const PreflightInput& input,
                                               const FreeSpace& freeSpace = systemFreeSpace);

    // QStorageInfo's bytesAvailable for the path.
    static qint64 systemFreeSpace(const QString& existingPath);

    // Estimates of what a run writes (the models are described where they
    // are computed).
    static qint64 scratchBytesNeeded(qint64 frameBytes, qint64 frameCount);
    static qint64 videoBytesNeeded(qint64 frameCount, qint64 fps, qint64 rateKbits);

private:
    struct FrameSummary {
        QSize size;
        qint64 totalBytes = 0;
    };

    static std::optional<QString> readFrames(const QStringList& frames, FrameSummary* summary);
    static std::optional<QString> oddHeightProblem(QSize frameSize);
    static std::optional<QString> outputFolderProblem(const QString& outputFolder);
    static std::optional<QString> spaceProblem(const PreflightInput& input, const FrameSummary& summary,
                                               const FreeSpace& freeSpace);
    static std::optional<QString> playbackWarning(QSize frameSize);
};

#pragma once

#include "core/Result.h"

#include <QCoreApplication>
#include <QString>
#include <functional>

namespace zev {

class Cancellation;

// Writes a ZEV video's frames back out as transparent PNG files, 0.png,
// 1.png, … (every frame of the video, as a player shows them), recombined
// by the video's zev.json or the default halves.
class VideoUnpacker {
    Q_DECLARE_TR_FUNCTIONS(VideoUnpacker)

public:
    struct Tools {
        QString ffprobe;
        QString ffmpeg;
    };

    // Called after each frame written, with the count so far and the
    // video's frame count.
    using Progress = std::function<void(qint64 written, qint64 total)>;

    // The number of frames written.
    static Result<qint64> unpack(const Tools& tools, const QString& videoPath, const QString& outFolder,
                                 const Progress& progress = {}, const Cancellation* cancellation = nullptr);
};

} // namespace zev

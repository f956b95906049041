#pragma once

#include "core/Result.h"
#include "preview/VideoExamination.h"

#include <QCoreApplication>
#include <QString>

namespace zev {

class Cancellation;

// Looks at any video, ZEV's or not, the way each family of players would:
// ffprobe's facts, the MP4 boxes, the descriptions in the file and beside
// it, and (where no description says) the colour mode told from the first
// frames' pixels; then holds it against every target.
class VideoExaminer {
    Q_DECLARE_TR_FUNCTIONS(VideoExaminer)

public:
    // Frames decoded to tell the colour mode.
    static constexpr int kFramesForColourMode = 10;

    static Result<VideoExamination> inspect(const QString& ffprobePath, const QString& ffmpegPath,
                                            const QString& videoPath,
                                            const Cancellation* cancellation = nullptr);

    // The traits the targets are held against.
    static VideoTraits traitsOf(const VideoExamination& inspection);
};

} // namespace zev

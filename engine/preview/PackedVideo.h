#pragma once

#include "core/Result.h"
#include "output/VideoDescription.h"
#include "preview/PackedVideoDecoder.h"
#include "preview/RgbaFrame.h"
#include "tools/VideoProbe.h"

#include <QCoreApplication>
#include <functional>
#include <memory>

namespace zev {

// A ZEV video opened for reading back: what ffprobe says about it and where
// its mask and colour lie (zev.json beside it, or the default halves).
struct PackedVideo {
    Q_DECLARE_TR_FUNCTIONS(PackedVideo)

public:
    QString path;
    VideoFacts facts;
    VideoDescription description;

    // A stop request ends the reading of the video's facts too.
    static Result<PackedVideo> open(const QString& ffprobePath, const QString& videoPath,
                                    const Cancellation* cancellation = nullptr);
    // A video stream with a size and a frame rate, which decoding needs.
    static Result<> playableVideo(const VideoFacts& facts);

    // A started decoder from firstFrame on.
    Result<std::unique_ptr<PackedVideoDecoder>> decode(const QString& ffmpegPath, qint64 firstFrame = 0,
                                                       const Cancellation* cancellation = nullptr) const;

    // Decodes every frame from the first, puts mask and colour together
    // again and hands each to take with its index, until the video ends or
    // decoding or take fails. The number of frames handed over; a video
    // without a frame is a failure.
    using FrameTaker = std::function<Result<>(qint64 index, const RgbaFrame& frame)>;
    Result<qint64> forEachFrame(const QString& ffmpegPath, const Cancellation* cancellation,
                                const FrameTaker& take) const;
};

} // namespace zev

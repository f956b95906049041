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
    // The largest frame a reader decodes: 139,264 macroblocks (8192×4352
    // pixels), the most any level of H.264, H.265, VP9 or AV1 allows, and no
    // side beyond 16384 pixels, the most libx264 and AV1 take. A stream that
    // claims more (a damaged or hostile file: 668 bytes can claim
    // 16384×16000) would have ffmpeg allocate gigabytes before it fails, and
    // every frame here hundreds of megabytes; so it is refused from ffprobe's
    // facts before anything is decoded. At the limit a reader holds a few
    // hundred megabytes: ffmpeg's reference frames, the raw frame in the
    // pipe and the frames recombined from it.
    static constexpr qint64 kLargestFrameArea = qint64(8192) * 4352;
    static constexpr int kLargestFrameSide = 16384;

    static Result<PackedVideo> open(const QString& ffprobePath, const QString& videoPath,
                                    const Cancellation* cancellation = nullptr);
    // A video stream with a size within the limits above and a frame rate,
    // which decoding needs.
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

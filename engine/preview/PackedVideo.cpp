#include "preview/PackedVideo.h"

#include "preview/FrameRecombiner.h"

namespace zev {

Result<> PackedVideo::playableVideo(const VideoFacts& facts) {
    if (!facts.hasVideo())
        return Result<>::failure(tr("%1 holds no video stream").arg(facts.path));
    const QSize size = facts.size();
    if (size.isEmpty())
        return Result<>::failure(tr("%1: ffprobe gives no frame size").arg(facts.path));
    if (size.width() > kLargestFrameSide || size.height() > kLargestFrameSide ||
        qint64(size.width()) * size.height() > kLargestFrameArea)
        return Result<>::failure(
            tr("%1 claims frames of %2×%3, larger than any decoder level allows (at most "
               "%4 pixels, no side above %5): it is not decoded")
                .arg(facts.path)
                .arg(size.width())
                .arg(size.height())
                .arg(kLargestFrameArea)
                .arg(kLargestFrameSide));
    if (facts.framesPerSecond() <= 0)
        return Result<>::failure(tr("%1: ffprobe gives no frame rate").arg(facts.path));
    return Result<>::success();
}

Result<PackedVideo> PackedVideo::open(const QString& ffprobePath, const QString& videoPath,
                                      const Cancellation* cancellation) {
    ToolRunOptions probing;
    probing.cancellation = cancellation;
    Result<VideoFacts> facts = VideoProbe::probe(ffprobePath, videoPath, probing);
    if (!facts)
        return facts.failure();
    if (Result<> playable = playableVideo(*facts); !playable)
        return playable.failure();
    Result<VideoDescription> description = VideoDescription::readBeside(videoPath, facts->size());
    if (!description)
        return description.failure();
    if (description->packedSize != facts->size())
        return Result<PackedVideo>::failure(tr("%1 describes a %2×%3 video, but %4 is %5×%6")
                                                .arg(VideoDescription::pathBeside(videoPath))
                                                .arg(description->packedSize.width())
                                                .arg(description->packedSize.height())
                                                .arg(videoPath)
                                                .arg(facts->size().width())
                                                .arg(facts->size().height()));
    if (description->frameSize.isEmpty())
        return Result<PackedVideo>::failure(
            tr("%1 is too small to hold a mask and a colour frame").arg(videoPath));
    return PackedVideo{videoPath, *facts, *description};
}

Result<std::unique_ptr<PackedVideoDecoder>> PackedVideo::decode(const QString& ffmpegPath, qint64 firstFrame,
                                                                const Cancellation* cancellation) const {
    PackedVideoDecoder::Request request;
    request.ffmpegPath = ffmpegPath;
    request.videoPath = path;
    request.packedSize = facts.size();
    request.firstFrame = firstFrame;
    request.framesPerSecond = facts.framesPerSecond();
    request.cancellation = cancellation;
    auto decoder = std::make_unique<PackedVideoDecoder>(request);
    if (Result<> started = decoder->start(); !started)
        return started.failure();
    return decoder;
}

Result<qint64> PackedVideo::forEachFrame(const QString& ffmpegPath, const Cancellation* cancellation,
                                         const FrameTaker& take) const {
    Result<std::unique_ptr<PackedVideoDecoder>> decoder = decode(ffmpegPath, 0, cancellation);
    if (!decoder)
        return decoder.failure();
    FrameRecombiner recombiner(description);
    qint64 count = 0;
    while (true) {
        Result<std::optional<PackedFrame>> packed = (*decoder)->next();
        if (!packed)
            return packed.failure();
        if (!packed->has_value())
            break;
        if (Result<> taken = take(count, recombiner.recombine(**packed)); !taken)
            return taken.failure();
        ++count;
    }
    if (count == 0)
        return Result<qint64>::failure(tr("%1 holds no frame to decode").arg(path));
    return count;
}

} // namespace zev

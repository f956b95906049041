#include "preview/SourceComparison.h"

#include "preview/FrameRecombiner.h"
#include "preview/PackedVideoDecoder.h"
#include "preview/SourceFrameTiming.h"

#include <algorithm>
#include <memory>

namespace zev {

namespace {

// The straight frame back from a colour-left, alpha-right rgb24 picture.
RgbaFrame unpacked(const PackedFrame& packed) {
    const int width = packed.width / 2;
    RgbaFrame frame = RgbaFrame::blank(width, packed.height);
    for (int y = 0; y < packed.height; ++y) {
        for (int x = 0; x < width; ++x) {
            const uchar* colour = packed.pixel(x, y);
            uchar* out = frame.pixel(x, y);
            out[0] = colour[0];
            out[1] = colour[1];
            out[2] = colour[2];
            out[3] = packed.pixel(width + x, y)[0];
        }
    }
    return frame;
}

Result<std::unique_ptr<PackedVideoDecoder>> started(PackedVideoDecoder::Request request) {
    auto decoder = std::make_unique<PackedVideoDecoder>(std::move(request));
    if (Result<> running = decoder->start(); !running)
        return running.failure();
    return decoder;
}

} // namespace

QStringList SourceComparison::sourceArguments(const Request& request) {
    const VideoDescription& description = request.description;
    QString colour = QStringLiteral("format=rgba");
    if (description.frameSize != description.sourceSize)
        colour += QStringLiteral(",premultiply=inplace=1,scale=%1:%2:flags=area,unpremultiply=inplace=1")
                      .arg(description.frameSize.width())
                      .arg(description.frameSize.height());
    return {QStringLiteral("-nostdin"),
            QStringLiteral("-v"),
            QStringLiteral("error"),
            QStringLiteral("-f"),
            QStringLiteral("image2"),
            QStringLiteral("-start_number"),
            QStringLiteral("0"),
            QStringLiteral("-i"),
            request.framePattern,
            QStringLiteral("-vf"),
            colour + QStringLiteral(
                         ",split[c][a];[a]alphaextract,format=rgb24[m];[c]format=rgb24[s];[s][m]hstack"),
            QStringLiteral("-fps_mode"),
            QStringLiteral("passthrough"),
            QStringLiteral("-f"),
            QStringLiteral("rawvideo"),
            QStringLiteral("-pix_fmt"),
            QStringLiteral("rgb24"),
            QStringLiteral("pipe:1")};
}

Result<QualityReport> SourceComparison::measure(const Request& request) {
    const VideoDescription& description = request.description;
    PackedVideoDecoder::Request video;
    video.ffmpegPath = request.ffmpegPath;
    video.videoPath = request.videoPath;
    video.packedSize = description.packedSize;
    video.framesPerSecond = double(description.outputFps);
    video.cancellation = request.cancellation;
    PackedVideoDecoder::Request sources = video;
    sources.videoPath = request.framePattern;
    sources.packedSize = QSize(2 * description.frameSize.width(), description.frameSize.height());
    sources.customArguments = sourceArguments(request);
    Result<std::unique_ptr<PackedVideoDecoder>> videoFrames = started(video);
    if (!videoFrames)
        return videoFrames.failure();
    Result<std::unique_ptr<PackedVideoDecoder>> sourceFrames = started(sources);
    if (!sourceFrames)
        return sourceFrames.failure();

    const SourceFrameTiming timing(double(description.inputFps), double(description.outputFps));
    FrameRecombiner recombiner(description);
    QualityReport report;
    RgbaFrame source;
    qint64 sourceIndex = -1;
    for (qint64 index = 0;; ++index) {
        Result<std::optional<PackedFrame>> packed = (*videoFrames)->next();
        if (!packed)
            return packed.failure();
        if (!packed->has_value())
            break;
        // The frames only ever move forward, so the reader of the sources
        // skips to the one each video frame shows.
        const qint64 wanted = std::min(timing.sourceFrameFor(index), request.sourceFrames - 1);
        while (sourceIndex < wanted) {
            Result<std::optional<PackedFrame>> next = (*sourceFrames)->next();
            if (!next)
                return next.failure();
            if (!next->has_value())
                return Result<QualityReport>::failure(
                    tr("%1 ended after %2 frames").arg(request.framePattern).arg(sourceIndex + 1));
            source = unpacked(**next);
            ++sourceIndex;
        }
        const std::optional<FrameComparison> comparison =
            FrameComparison::compare(recombiner.recombine(**packed), source);
        if (!comparison)
            return Result<QualityReport>::failure(
                tr("%1 does not match its frames' size").arg(request.videoPath));
        report.add(sourceIndex, *comparison);
    }
    if (report.comparedFrames() == 0)
        return Result<QualityReport>::failure(tr("%1 holds no frame to decode").arg(request.videoPath));
    return report;
}

TrialMeasure SourceComparison::trialMeasure(const QString& ffmpegPath, const Cancellation* cancellation) {
    return
        [ffmpegPath, cancellation](const QString& video, const VideoDescription& description,
                                   const QString& framePattern, qint64 sourceFrames) -> Result<TrialQuality> {
            const Result<QualityReport> report =
                measure({ffmpegPath, video, description, framePattern, sourceFrames, cancellation});
            if (!report)
                return report.failure();
            return TrialQuality{report->mask().averagePsnr, report->colour().averagePsnr};
        };
}

} // namespace zev

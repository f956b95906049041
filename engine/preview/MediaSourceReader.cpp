#include "preview/MediaSourceReader.h"

#include "preview/SourceFrameTiming.h"
#include "tools/ExpressEncoder.h"
#include "tools/VideoEncoder.h"

#include <cmath>

namespace zev {

MediaSourceReader::MediaSourceReader(QString ffmpegPath, MediaSource source, std::optional<qint64> typedFps,
                                     const Cancellation* cancellation)
    : ffmpegPath_(std::move(ffmpegPath))
    , source_(std::move(source))
    , typedFps_(typedFps)
    , cancellation_(cancellation) {}

MediaSourceReader::~MediaSourceReader() = default;

qint64 MediaSourceReader::videoFrames() const {
    return source_.outputFrames(typedFps_, VideoEncoder::kVideoRate);
}

QStringList MediaSourceReader::arguments() const {
    QStringList arguments{QStringLiteral("-nostdin"), QStringLiteral("-v"), QStringLiteral("error")};
    arguments += source_.inputArguments(typedFps_);
    arguments << QStringLiteral("-vf")
              << source_.straighteningFilter() + QStringLiteral("format=rgba") +
                     ExpressEncoder::kHoldLastImage
              << QStringLiteral("-r") << QString::number(VideoEncoder::kVideoRate)
              << QStringLiteral("-frames:v") << QString::number(videoFrames()) << QStringLiteral("-f")
              << QStringLiteral("rawvideo") << QStringLiteral("-pix_fmt") << QStringLiteral("rgba")
              << QStringLiteral("pipe:1");
    return arguments;
}

Result<> MediaSourceReader::restart() {
    PackedVideoDecoder::Request request;
    request.ffmpegPath = ffmpegPath_;
    request.videoPath = source_.path;
    request.packedSize = source_.size;
    request.cancellation = cancellation_;
    request.customArguments = arguments();
    request.bytesPerPixel = RgbaFrame::kBytesPerPixel;
    decoder_ = std::make_unique<PackedVideoDecoder>(request);
    lastIndex_ = -1;
    last_ = RgbaFrame();
    ended_ = false;
    return decoder_->start();
}

Result<RgbaFrame> MediaSourceReader::frame(qint64 videoFrame) {
    if (!decoder_ || videoFrame < lastIndex_) {
        if (Result<> started = restart(); !started)
            return started.failure();
    }
    while (lastIndex_ < videoFrame && !ended_) {
        Result<std::optional<PackedFrame>> next = decoder_->next();
        if (!next)
            return next.failure();
        if (!next->has_value()) {
            ended_ = true;
            break;
        }
        last_ = RgbaFrame{(*next)->width, (*next)->height, std::move((*next)->rgb)};
        ++lastIndex_;
    }
    if (last_.isNull())
        return Result<RgbaFrame>::failure(tr("ffmpeg gave no frame of %1").arg(source_.path));
    return last_;
}

std::optional<qint64> MediaSourceReader::typedFpsOf(const MediaSource& source, qint64 describedFps,
                                                    qint64 videoFrames) {
    const qint64 ownFps = qRound64(source.framesPerSecond());
    if (describedFps > 0)
        return describedFps == ownFps ? std::nullopt : std::optional<qint64>(describedFps);
    if (videoFrames <= 0 ||
        std::abs(videoFrames - source.outputFrames(std::nullopt, VideoEncoder::kVideoRate)) <= 1)
        return std::nullopt;
    return qRound64(
        SourceFrameTiming::inferInputFps(source.frames, videoFrames, double(VideoEncoder::kVideoRate)));
}

} // namespace zev

#include "VideoUnpacker.h"

#include "PngFrameFile.h"
#include "preview/FrameRecombiner.h"
#include "preview/PackedVideo.h"

#include <QDir>

Result<qint64> VideoUnpacker::unpack(const Tools& tools, const QString& videoPath, const QString& outFolder,
                                     const Progress& progress, const Cancellation* cancellation) {
    Result<PackedVideo> video = PackedVideo::open(tools.ffprobe, videoPath);
    if (!video)
        return video.failure();
    if (!QDir().mkpath(outFolder))
        return Result<qint64>::failure(tr("cannot create the folder %1").arg(outFolder));
    Result<std::unique_ptr<PackedVideoDecoder>> decoder = video->decode(tools.ffmpeg, 0, cancellation);
    if (!decoder)
        return decoder.failure();
    FrameRecombiner recombiner(video->description);
    const QDir out(outFolder);
    qint64 written = 0;
    while (true) {
        Result<std::optional<PackedFrame>> packed = (*decoder)->next();
        if (!packed)
            return packed.failure();
        if (!packed->has_value())
            break;
        const QString path = out.filePath(QStringLiteral("%1.png").arg(written));
        if (Result<> saved = PngFrameFile::write(recombiner.recombine(**packed), path); !saved)
            return saved.failure();
        ++written;
        if (progress)
            progress(written, video->facts.frames);
    }
    if (written == 0)
        return Result<qint64>::failure(tr("%1 holds no frame to decode").arg(videoPath));
    return written;
}

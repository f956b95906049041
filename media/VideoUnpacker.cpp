#include "VideoUnpacker.h"

#include "PngFrameFile.h"
#include "preview/PackedVideo.h"

#include <QDir>

namespace zev {

Result<qint64> VideoUnpacker::unpack(const Tools& tools, const QString& videoPath, const QString& outFolder,
                                     const Progress& progress, const Cancellation* cancellation) {
    Result<PackedVideo> video = PackedVideo::open(tools.ffprobe, videoPath, cancellation);
    if (!video)
        return video.failure();
    if (!QDir().mkpath(outFolder))
        return Result<qint64>::failure(tr("cannot create the folder %1").arg(outFolder));
    const QDir out(outFolder);
    return video->forEachFrame(tools.ffmpeg, cancellation, [&](qint64 index, const RgbaFrame& frame) {
        if (Result<> saved = PngFrameFile::write(frame, out.filePath(QStringLiteral("%1.png").arg(index)));
            !saved)
            return saved;
        if (progress)
            progress(index + 1, video->facts.frames());
        return Result<>::success();
    });
}

} // namespace zev

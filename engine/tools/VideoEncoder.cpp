#include "tools/VideoEncoder.h"

#include "frames/FrameFolderScanner.h"
#include "tools/ToolRunner.h"

#include <QDir>
#include <QFileInfo>
#include <algorithm>
#include <cmath>

namespace zev {

Result<> VideoEncoder::convertImagesToMp4FromFolder(const QString& ffmpegPath, const QString& imagesFolder,
                                                    const QString& videoFile, qint64 fps, qint64 rate) {
    return convertImagesToMp4FromFolder(ffmpegPath, imagesFolder, videoFile, fps, rate, ToolRunOptions());
}

Result<> VideoEncoder::convertImagesToMp4FromFolder(const QString& ffmpegPath, const QString& imagesFolder,
                                                    const QString& videoFile, qint64 fps, qint64 rate,
                                                    const ToolRunOptions& options) {
    if (imagesFolder.isNull() || videoFile.isNull())
        return Result<>::failure(tr("no folder to encode from or file to encode into"));
    createMissingFolder(QFileInfo(videoFile).path());
    const ToolRunResult run =
        ToolRunner::run(encodingArguments(imagesFolder, videoFile, fps, rate), ffmpegPath, options);
    if (Result<> outcome = run.outcome(QStringLiteral("ffmpeg")); !outcome)
        return outcome;
    if (!holdsVideo(videoFile))
        return Result<>::failure(tr("ffmpeg left no video at %1").arg(videoFile),
                                 QString::fromUtf8(run.standardError));
    return Result<>::success();
}

qint64 VideoEncoder::outputFrameCount(qint64 frameCount, qint64 fps) {
    if (frameCount <= 0 || fps <= 0)
        return 0;
    // ffmpeg's constant-rate output (-r 25) does not round frameCount × 25 / fps: the video ends where the
    // last image starts plus that image's duration (whole output frames, rounded to even, or 25 / fps
    // when that rounds to none), and, when images come faster than 25 per second, the output runs up to
    // 2.1 frames ahead of them before it drops one. Checked against FFmpeg 5.1 for every rate from 1 to
    // 59. Times below count 1 / (10 × fps) of an output frame, so that all of them are whole numbers;
    // exact halves round up, as ffmpeg nudges every image's time a little later.
    const qint64 unit = 10 * fps;
    const qint64 lastStart = (frameCount - 1) * kVideoRate * 10;
    const qint64 wholeFrames = std::lrint(double(kVideoRate) / double(fps));
    const qint64 lastDuration = wholeFrames > 0 ? wholeFrames * unit : kVideoRate * 10;
    if (fps <= kVideoRate)
        return (lastStart + lastDuration + unit / 2) / unit;
    return std::min(frameCount, (lastStart + lastDuration + 21 * fps) / unit);
}

QStringList VideoEncoder::encodingArguments(const QString& imagesFolder, const QString& videoFile, qint64 fps,
                                            qint64 rate) {
    return {
        QStringLiteral("-f"),
        QStringLiteral("image2"),
        QStringLiteral("-framerate"),
        QString::number(fps),
        QStringLiteral("-i"),
        // Formatted, not joined: the folder text as given, then ffmpeg's
        // pattern for at least five zero-padded digits.
        imagesFolder + QStringLiteral("/%5d.png"),
        QStringLiteral("-vcodec"),
        QStringLiteral("libx264"),
        QStringLiteral("-r"),
        QString::number(kVideoRate),
        QStringLiteral("-b"),
        QString::number(rate) + u'k',
        QStringLiteral("-y"),
        QStringLiteral("-pix_fmt"),
        QStringLiteral("yuv420p"),
        videoFile,
    };
}

QString VideoEncoder::videoPath(const QString& outputFolder) {
    return FrameFolderScanner::joinPath(outputFolder, kVideoName);
}

void VideoEncoder::createMissingFolder(const QString& folder) {
    // A plain file standing there is left alone; ffmpeg then fails to write
    // and the missing video answers the call.
    if (!QFileInfo::exists(folder))
        QDir().mkpath(folder);
}

bool VideoEncoder::holdsVideo(const QString& videoFile) {
    const QFileInfo video(videoFile);
    return video.isFile() && video.size() > 0;
}

} // namespace zev

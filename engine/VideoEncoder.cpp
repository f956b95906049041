#include "VideoEncoder.h"

#include "FrameFolderScanner.h"
#include "ToolRunner.h"

#include <QDir>
#include <QFileInfo>

bool VideoEncoder::convertImagesToMp4FromFolder(const QString& ffmpegPath, const QString& imagesFolder,
                                                const QString& outputFolder, qint64 fps, qint64 rate) {
    if (imagesFolder.isNull() || outputFolder.isNull())
        return false;
    createMissingFolder(outputFolder);
    const ToolRunResult run =
        ToolRunner::run(encodingArguments(imagesFolder, outputFolder, fps, rate), ffmpegPath);
    return run.succeeded() && holdsVideo(outputFolder);
}

QStringList VideoEncoder::encodingArguments(const QString& imagesFolder, const QString& outputFolder,
                                            qint64 fps, qint64 rate) {
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
        QStringLiteral("25"),
        QStringLiteral("-b"),
        QString::number(rate) + u'k',
        QStringLiteral("-y"),
        QStringLiteral("-pix_fmt"),
        QStringLiteral("yuv420p"),
        videoPath(outputFolder),
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

bool VideoEncoder::holdsVideo(const QString& outputFolder) {
    const QFileInfo video(videoPath(outputFolder));
    return video.isFile() && video.size() > 0;
}

#include "tools/ExpressEncoder.h"

#include "tools/ColourDescription.h"
#include "tools/VideoEncoder.h"
#include "tools/VideoRewriter.h"

#include <QFileInfo>

QStringList ExpressEncoder::arguments(const QString& linkFolder, const QString& videoFile, qint64 fps,
                                      qint64 rate) {
    QStringList arguments{
        // A frame that cannot be decoded ends the run with an error instead
        // of being left out of a video announced as finished.
        QStringLiteral("-xerror"),
        QStringLiteral("-f"),
        QStringLiteral("image2"),
        QStringLiteral("-framerate"),
        QString::number(fps),
        QStringLiteral("-start_number"),
        QStringLiteral("0"),
        QStringLiteral("-i"),
        framePattern(linkFolder),
        QStringLiteral("-vf"),
        kFilterGraph,
        QStringLiteral("-vcodec"),
        QStringLiteral("libx264"),
        QStringLiteral("-r"),
        QString::number(VideoEncoder::kVideoRate),
        QStringLiteral("-b"),
        QString::number(rate) + u'k',
        QStringLiteral("-y"),
        QStringLiteral("-pix_fmt"),
        QStringLiteral("yuv420p"),
    };
    // The colour description and the leading index the default pipeline's
    // rewrite gives its video, here written at once.
    arguments += ColourDescription::encoderOptions();
    arguments += {QStringLiteral("-movflags"), VideoRewriter::kMovFlags};
    // The temporary name's extension is ours, but the container should not
    // depend on it.
    arguments += {QStringLiteral("-f"), QStringLiteral("mp4"), outputUrl(videoFile)};
    return arguments;
}

QString ExpressEncoder::framePattern(const QString& linkFolder) {
    QString folder = QFileInfo(linkFolder).absoluteFilePath();
    folder.replace(u'%', QStringLiteral("%%"));
    return QStringLiteral("file:") + folder + QStringLiteral("/%d.png");
}

QString ExpressEncoder::outputUrl(const QString& videoFile) {
    return QStringLiteral("file:") + QFileInfo(videoFile).absoluteFilePath();
}

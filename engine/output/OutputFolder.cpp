#include "output/OutputFolder.h"

#include "frames/FrameFolderScanner.h"
#include "output/VideoDescription.h"

#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>

namespace zev {

namespace {

const QString kOutputFolderName = QStringLiteral("output");

// The video zev.json names, when it names one ZEV writes; a description
// cannot point anywhere else.
QString describedVideo(const QString& outputFolder) {
    QFile file(FrameFolderScanner::joinPath(outputFolder, VideoDescription::kFileName));
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    const QString name =
        QJsonDocument::fromJson(file.readAll()).object().value(QStringLiteral("video")).toString();
    return OutputFolder::videoNames().contains(name) ? name : QString();
}

} // namespace

QStringList OutputFolder::videoNames() {
    return {VideoFormat().videoFileName(), VideoFormat::forCodec(VideoFormat::Codec::Vp9).videoFileName()};
}

QString OutputFolder::videoPath(const QString& outputFolder, const VideoFormat& format) {
    return FrameFolderScanner::joinPath(outputFolder, format.videoFileName());
}

QString OutputFolder::videoIn(const QString& outputFolder) {
    QStringList names = videoNames();
    if (const QString described = describedVideo(outputFolder); !described.isEmpty())
        names.prepend(described);
    for (const QString& name : std::as_const(names)) {
        const QString path = FrameFolderScanner::joinPath(outputFolder, name);
        if (QFileInfo(path).isFile())
            return path;
    }
    return FrameFolderScanner::joinPath(outputFolder, videoNames().constFirst());
}

QString OutputFolder::videoOfFrameFolder(const QString& frameFolder) {
    return videoIn(FrameFolderScanner::joinPath(frameFolder, kOutputFolderName));
}

QString OutputFolder::frameFolderOf(const QString& videoPath) {
    const QFileInfo video(videoPath);
    const QFileInfo output(video.absolutePath());
    if (output.fileName() != kOutputFolderName || !videoNames().contains(video.fileName()))
        return {};
    return output.absolutePath();
}

} // namespace zev

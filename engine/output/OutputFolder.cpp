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

// The video the description names, when it names one ZEV writes under that
// name; a description cannot point anywhere else.
QString describedVideo(const QString& outputFolder, const QString& baseName) {
    QFile file(FrameFolderScanner::joinPath(outputFolder, baseName + QStringLiteral(".json")));
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    const QString name =
        QJsonDocument::fromJson(file.readAll()).object().value(QStringLiteral("video")).toString();
    return OutputFolder::videoNames(baseName).contains(name) ? name : QString();
}

} // namespace

QStringList OutputFolder::videoNames(const QString& baseName) {
    return {baseName + u'.' + VideoFormat().extension(),
            baseName + u'.' + VideoFormat::forCodec(VideoFormat::Codec::Vp9).extension()};
}

QString OutputFolder::videoPath(const QString& outputFolder, const VideoFormat& format,
                                const QString& baseName) {
    return FrameFolderScanner::joinPath(outputFolder, baseName + u'.' + format.extension());
}

QString OutputFolder::videoIn(const QString& outputFolder, const QString& baseName) {
    QStringList names = videoNames(baseName);
    if (const QString described = describedVideo(outputFolder, baseName); !described.isEmpty())
        names.prepend(described);
    for (const QString& name : std::as_const(names)) {
        QString path = FrameFolderScanner::joinPath(outputFolder, name);
        if (QFileInfo(path).isFile())
            return path;
    }
    return FrameFolderScanner::joinPath(outputFolder, videoNames(baseName).constFirst());
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

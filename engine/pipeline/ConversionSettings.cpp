#include "pipeline/ConversionSettings.h"

#include "frames/FrameFolderScanner.h"
#include "output/OutputFolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace zev {

ConversionSettings ConversionSettings::defaults() {
    ConversionSettings settings;
    const QString resources = resourcePath();
    settings.convertPath = FrameFolderScanner::joinPath(resources, QStringLiteral("imageMagick/bin/convert"));
    settings.ffmpegPath = FrameFolderScanner::joinPath(resources, QStringLiteral("ffmpeg/ffmpeg"));
    settings.ffprobePath = FrameFolderScanner::joinPath(resources, QStringLiteral("ffmpeg/ffprobe"));
    return settings;
}

QString ConversionSettings::resourcePath() {
    return QDir::cleanPath(QCoreApplication::applicationDirPath() + QStringLiteral("/../share/zev"));
}

QString ConversionSettings::outputFolder() const {
    const QString beside = mediaSource ? QFileInfo(sourceImageFolder).path() : sourceImageFolder;
    return FrameFolderScanner::joinPath(beside, QStringLiteral("output"));
}

QString ConversionSettings::videoPath() const {
    return OutputFolder::videoPath(outputFolder(), output.format,
                                   videoBaseName(sourceImageFolder, mediaSource));
}

QString ConversionSettings::videoBaseName(const QString& source, bool mediaSource) {
    const QString& folderVideo = OutputFolder::kFrameFolderVideo;
    if (!mediaSource)
        return folderVideo;
    const QFileInfo file(source);
    QString name = file.completeBaseName();
    if (name.isEmpty() || name == folderVideo)
        return file.fileName();
    const QStringList namesakes =
        file.dir().entryList({name + QStringLiteral(".*")}, QDir::Files | QDir::Hidden | QDir::System);
    for (const QString& namesake : namesakes) {
        if (namesake != file.fileName() && QFileInfo(namesake).completeBaseName() == name)
            return file.fileName();
    }
    return name;
}

QString ConversionSettings::videoPathFor(const QString& source) {
    ConversionSettings settings;
    settings.sourceImageFolder = source;
    settings.mediaSource = QFileInfo(source).isFile();
    return OutputFolder::videoIn(settings.outputFolder(), videoBaseName(source, settings.mediaSource));
}

} // namespace zev

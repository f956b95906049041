#include "pipeline/ConversionSettings.h"

#include "frames/FrameFolderScanner.h"

#include <QCoreApplication>
#include <QDir>

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
    return FrameFolderScanner::joinPath(sourceImageFolder, QStringLiteral("output"));
}

} // namespace zev

#include "preview/StagedTools.h"

#include "frames/FrameFolderScanner.h"
#include "pipeline/ConversionSettings.h"

QString StagedTools::ffmpeg() {
    return FrameFolderScanner::joinPath(ConversionSettings::resourcePath(), QStringLiteral("ffmpeg/ffmpeg"));
}

QString StagedTools::ffprobe() {
    return FrameFolderScanner::joinPath(ConversionSettings::resourcePath(), QStringLiteral("ffmpeg/ffprobe"));
}

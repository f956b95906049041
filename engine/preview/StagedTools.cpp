#include "preview/StagedTools.h"

#include "frames/FrameFolderScanner.h"
#include "pipeline/ConversionSettings.h"

namespace zev {

QString StagedTools::ffmpeg() {
    return FrameFolderScanner::joinPath(ConversionSettings::resourcePath(), QStringLiteral("ffmpeg/ffmpeg"));
}

QString StagedTools::ffprobe() {
    return FrameFolderScanner::joinPath(ConversionSettings::resourcePath(), QStringLiteral("ffmpeg/ffprobe"));
}

} // namespace zev

#include "StagedConversion.h"

namespace zev {

ConversionSettings StagedConversion::settings(const QString& source, const OutputOptions& output,
                                              bool express) {
    ConversionSettings settings;
    settings.sourceImageFolder = source;
    settings.fps = 25;
    settings.rate = 3100;
    settings.express = express;
    settings.output = output;
    settings.convertPath = QStringLiteral(ZEV_STAGED_RESOURCES "/imageMagick/bin/convert");
    settings.ffmpegPath = QStringLiteral(ZEV_STAGED_RESOURCES "/ffmpeg/ffmpeg");
    settings.ffprobePath = QStringLiteral(ZEV_STAGED_RESOURCES "/ffmpeg/ffprobe");
    return settings;
}

} // namespace zev

#include "TestVideos.h"

#include "ToolProbe.h"
#include "output/OutputFolder.h"
#include "tools/ExpressEncoder.h"

#include <QDir>

namespace zev {

bool TestVideos::packFolder(const QString& folder, qint64 fps, const VideoFormat& format) {
    QDir(folder).mkpath(QStringLiteral("output"));
    ExpressEncoder::Encoding encoding;
    encoding.linkFolder = folder;
    encoding.videoFile = OutputFolder::videoPath(folder + QStringLiteral("/output"), format);
    encoding.fps = fps;
    encoding.rate = 3100;
    encoding.format = format;
    return ToolProbe::output(ToolProbe::stagedFfmpeg(), ExpressEncoder::arguments(encoding)).has_value();
}

bool TestVideos::testPattern(const QString& video, int frames, QSize size) {
    return ToolProbe::output(
               ToolProbe::stagedFfmpeg(),
               {QStringLiteral("-v"), QStringLiteral("error"), QStringLiteral("-f"), QStringLiteral("lavfi"),
                QStringLiteral("-i"),
                QStringLiteral("testsrc=size=%1x%2:rate=25").arg(size.width()).arg(size.height()),
                QStringLiteral("-frames:v"), QString::number(frames), QStringLiteral("-c:v"),
                QStringLiteral("libx264"), QStringLiteral("-pix_fmt"), QStringLiteral("yuv420p"),
                QStringLiteral("-y"), QStringLiteral("file:") + video})
        .has_value();
}

} // namespace zev

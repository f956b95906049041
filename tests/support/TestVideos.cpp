#include "TestVideos.h"

#include "ToolProbe.h"
#include "output/OutputFolder.h"
#include "tools/ExpressEncoder.h"

#include <QDir>
#include <QFile>

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

bool TestVideos::claimingSize(const QString& video, QSize claimed) {
    if (!ToolProbe::output(
            ToolProbe::stagedFfmpeg(),
            {QStringLiteral("-v"), QStringLiteral("error"), QStringLiteral("-f"), QStringLiteral("lavfi"),
             QStringLiteral("-i"), QStringLiteral("color=black:s=256x256"), QStringLiteral("-frames:v"),
             QStringLiteral("1"), QStringLiteral("-c:v"), QStringLiteral("ffv1"), QStringLiteral("-pix_fmt"),
             QStringLiteral("gray"), QStringLiteral("-y"), QStringLiteral("-f"), QStringLiteral("matroska"),
             QStringLiteral("file:") + video}))
        return false;
    QFile file(video);
    if (!file.open(QIODevice::ReadWrite))
        return false;
    QByteArray bytes = file.readAll();
    // PixelWidth (0xB0) and PixelHeight (0xBA), each two bytes long: 256.
    const std::pair<char, int> sizes[] = {{'\xb0', claimed.width()}, {'\xba', claimed.height()}};
    for (const auto& [element, value] : sizes) {
        const char wanted[] = {element, '\x82', '\x01', '\x00'};
        const qsizetype at = bytes.indexOf(QByteArrayView(wanted, sizeof wanted));
        if (at < 0)
            return false;
        bytes[at + 2] = char((value >> 8) & 0xff);
        bytes[at + 3] = char(value & 0xff);
    }
    return file.seek(0) && file.write(bytes) == bytes.size();
}

} // namespace zev

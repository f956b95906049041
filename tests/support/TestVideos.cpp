#include "TestVideos.h"

#include "ToolProbe.h"
#include "tools/ExpressEncoder.h"

#include <QDir>

namespace zev {

bool TestVideos::packFolder(const QString& folder, qint64 fps) {
    QDir(folder).mkpath(QStringLiteral("output"));
    return ToolProbe::output(
               ToolProbe::stagedFfmpeg(),
               ExpressEncoder::arguments(folder, folder + QStringLiteral("/output/zev.mp4"), fps, 3100))
        .has_value();
}

bool TestVideos::transparentAnimation(const QString& video, const QStringList& codecArguments, int frames,
                                      int fps, QSize size, bool alpha) {
    const QString pattern =
        QStringLiteral("color=c=black:s=%1x%2:r=%3,format=rgba,trim=end_frame=%4,"
                       "geq=r='128+90*sin((X+3*N)/9)':g='128+90*cos((Y+N)/7)':b='64+2*X':a='%5'")
            .arg(size.width())
            .arg(size.height())
            .arg(fps)
            .arg(frames)
            .arg(alpha ? QStringLiteral("clip(6*X+8*N-20,0,255)") : QStringLiteral("255"));
    return ToolProbe::output(ToolProbe::stagedFfmpeg(),
                             QStringList{QStringLiteral("-v"), QStringLiteral("error"), QStringLiteral("-f"),
                                         QStringLiteral("lavfi"), QStringLiteral("-i"), pattern} +
                                 codecArguments +
                                 QStringList{QStringLiteral("-y"), QStringLiteral("file:") + video})
        .has_value();
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

#include "ToolProbe.h"

#include <QProcess>

namespace zev {

QString ToolProbe::stagedConvert() {
    return QStringLiteral(ZEV_STAGED_RESOURCES "/imageMagick/bin/convert");
}

QString ToolProbe::stagedFfmpeg() {
    return QStringLiteral(ZEV_STAGED_RESOURCES "/ffmpeg/ffmpeg");
}

std::optional<QByteArray> ToolProbe::output(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.setStandardInputFile(QProcess::nullDevice());
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process.start(program, arguments);
    if (!process.waitForFinished(120000) || process.exitStatus() != QProcess::NormalExit ||
        process.exitCode() != 0)
        return std::nullopt;
    return process.readAllStandardOutput();
}

std::optional<ToolProbe::Pixels> ToolProbe::readPixels(const QString& image) {
    const auto size = output(stagedConvert(), {image, QStringLiteral("-format"), QStringLiteral("%w %h"),
                                               QStringLiteral("info:")});
    const auto rgba = output(
        stagedConvert(), {image, QStringLiteral("-depth"), QStringLiteral("8"), QStringLiteral("rgba:-")});
    if (!size || !rgba)
        return std::nullopt;
    const QList<QByteArray> parts = size->trimmed().split(' ');
    if (parts.size() != 2)
        return std::nullopt;
    Pixels pixels{parts[0].toInt(), parts[1].toInt(), *rgba};
    if (pixels.rgba.size() != qsizetype(pixels.width) * pixels.height * 4)
        return std::nullopt;
    return pixels;
}

} // namespace zev

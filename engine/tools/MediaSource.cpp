#include "tools/MediaSource.h"

#include "tools/VideoProbe.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QtEndian>
#include <cmath>

namespace zev {

namespace {

// Containers and animated images a motion designer's tools write.
const QStringList kMediaExtensions{
    QStringLiteral("mov"),  QStringLiteral("qt"),   QStringLiteral("mp4"), QStringLiteral("m4v"),
    QStringLiteral("mkv"),  QStringLiteral("webm"), QStringLiteral("avi"), QStringLiteral("gif"),
    QStringLiteral("apng"), QStringLiteral("webp"),
};

bool isVpx(const QString& codec) {
    return codec == QLatin1String("vp8") || codec == QLatin1String("vp9");
}

// WebM keeps the alpha of VP8 and VP9 beside the picture and says so with
// AlphaMode, which ffprobe shows as the stream's "alpha_mode" tag.
bool webmAlpha(const VideoFacts::Stream& stream) {
    return isVpx(stream.codec) && stream.tags.value(QStringLiteral("alpha_mode")) == QLatin1String("1");
}

} // namespace

bool MediaSource::isCandidate(const QString& path) {
    const QFileInfo file(path);
    if (!file.isFile())
        return false;
    const QString extension = file.suffix().toLower();
    if (extension == QLatin1String("png"))
        return isAnimatedPng(path);
    return kMediaExtensions.contains(extension);
}

bool MediaSource::isAnimatedPng(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    static const QByteArray signature("\x89PNG\r\n\x1a\n", 8);
    if (file.read(8) != signature)
        return false;
    // The chunks before the image data; acTL must come among them.
    for (int chunk = 0; chunk < 64; ++chunk) {
        const QByteArray head = file.read(8);
        if (head.size() != 8)
            return false;
        const QByteArray type = head.mid(4, 4);
        if (type == "acTL")
            return true;
        if (type == "IDAT")
            return false;
        const quint32 length = qFromBigEndian<quint32>(head.constData());
        if (!file.seek(file.pos() + qint64(length) + 4))
            return false;
    }
    return false;
}

bool MediaSource::pixelFormatHasAlpha(const QString& pixelFormat) {
    // yuva420p, yuva444p12le, rgba, bgra, argb, abgr, rgba64le, gbrap10le,
    // ya8, ya16be; and palettes, whose entries may be transparent.
    static const QRegularExpression withAlpha(
        QStringLiteral("^(yuva|gbrap|ya[0-9]|rgba|bgra|argb|abgr|pal8$)"));
    return withAlpha.match(pixelFormat).hasMatch();
}

Result<MediaSource> MediaSource::probe(const QString& ffprobePath, const QString& path,
                                       const ToolRunOptions& options) {
    Result<VideoFacts> facts = VideoProbe::probe(ffprobePath, path, options);
    if (!facts)
        return facts.failure();
    return judge(*facts);
}

Result<MediaSource> MediaSource::judge(const VideoFacts& facts) {
    if (!facts.hasVideo())
        return Result<MediaSource>::failure(tr("%1 holds no video").arg(facts.path));
    const VideoFacts::Stream& video = facts.video();
    MediaSource source;
    source.path = facts.path;
    source.codec = video.codec;
    source.size = video.size;
    source.frames = video.packets;
    source.rateNumerator = video.rateNumerator;
    source.rateDenominator = video.rateDenominator;
    // FFmpeg 5.1 reads an animated WebP's container but cannot decode its
    // frames: it names no pixel format for them.
    if (video.codec == QLatin1String("webp") && video.pixelFormat.isEmpty())
        return Result<MediaSource>::failure(
            tr("%1 is an animated WebP image, which the FFmpeg this program runs cannot decode; export the "
               "animation as animated PNG, WebM or PNG frames instead")
                .arg(facts.path));
    if (webmAlpha(video)) {
        source.decoder =
            video.codec == QLatin1String("vp9") ? QStringLiteral("libvpx-vp9") : QStringLiteral("libvpx");
        source.pixelFormat = QStringLiteral("yuva420p");
    } else {
        source.pixelFormat = video.pixelFormat;
    }
    if (!pixelFormatHasAlpha(source.pixelFormat))
        return Result<MediaSource>::failure(tr("the video has no transparency: %1")
                                                .arg(source.pixelFormat.isEmpty()
                                                         ? tr("ffprobe names no pixel format")
                                                         : source.pixelFormat));
    if (source.size.isEmpty())
        return Result<MediaSource>::failure(tr("%1: ffprobe gives no frame size").arg(facts.path));
    if (source.framesPerSecond() <= 0)
        return Result<MediaSource>::failure(tr("%1: ffprobe gives no frame rate").arg(facts.path));
    if (source.frames <= 0)
        return Result<MediaSource>::failure(tr("%1 holds no frame").arg(facts.path));
    return source;
}

qint64 MediaSource::outputFrames(std::optional<qint64> typedFps, qint64 outputFps) const {
    const double fps = effectiveFps(typedFps);
    if (fps <= 0 || frames <= 0)
        return 0;
    const double exact = double(frames) * double(outputFps) / fps;
    // 1e-9 keeps 30.0000000001 from counting as more than 30 frames.
    return std::max<qint64>(1, qint64(std::ceil(exact - 0.5 - 1e-9)));
}

QStringList MediaSource::inputArguments(std::optional<qint64> typedFps) const {
    QStringList arguments;
    if (!decoder.isEmpty())
        arguments << QStringLiteral("-c:v") << decoder;
    // Before the input, -r replaces the file's timestamps by that rate.
    if (typedFps)
        arguments << QStringLiteral("-r") << QString::number(*typedFps);
    arguments << QStringLiteral("-an") << QStringLiteral("-sn") << QStringLiteral("-dn")
              << QStringLiteral("-i") << QStringLiteral("file:") + QFileInfo(path).absoluteFilePath();
    return arguments;
}

QString MediaSource::straighteningFilter() const {
    return alpha == Alpha::Premultiplied ? QStringLiteral("format=rgba,unpremultiply=inplace=1,") : QString();
}

} // namespace zev

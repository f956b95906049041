#include "preview/VideoProbe.h"

#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>

namespace zev {

namespace {

// ffprobe prints numbers of the stream as JSON strings ("nb_read_packets":
// "60") and some as numbers ("level": 30); both are read.
qint64 wholeNumber(const QJsonValue& value) {
    if (value.isDouble())
        return value.toInteger();
    bool ok = false;
    const qint64 number = value.toString().toLongLong(&ok);
    return ok ? number : 0;
}

void readRate(const QString& text, VideoFacts& facts) {
    const QStringList parts = text.split(u'/');
    if (parts.size() != 2)
        return;
    const int numerator = parts[0].toInt();
    const int denominator = parts[1].toInt();
    if (numerator > 0 && denominator > 0) {
        facts.rateNumerator = numerator;
        facts.rateDenominator = denominator;
    }
}

QString lastLines(const QByteArray& output) {
    QStringList lines = QString::fromUtf8(output).split(u'\n', Qt::SkipEmptyParts);
    while (lines.size() > 3)
        lines.removeFirst();
    return lines.join(QStringLiteral(" / ")).trimmed();
}

} // namespace

Result<VideoFacts> VideoProbe::probe(const QString& ffprobePath, const QString& videoPath) {
    if (!QFileInfo(videoPath).isFile())
        return Result<VideoFacts>::failure(tr("there is no video file at %1").arg(videoPath));
    QProcess process;
    process.setStandardInputFile(QProcess::nullDevice());
    process.start(ffprobePath, probeArguments(videoPath), QIODevice::ReadOnly);
    if (!process.waitForStarted(kTimeoutMs))
        return Result<VideoFacts>::failure(
            tr("cannot start ffprobe (%1): %2").arg(ffprobePath, process.errorString()));
    if (!process.waitForFinished(kTimeoutMs)) {
        process.kill();
        process.waitForFinished();
        return Result<VideoFacts>::failure(
            tr("ffprobe did not finish reading %1 within %2 s").arg(videoPath).arg(kTimeoutMs / 1000));
    }
    const QByteArray error = process.readAllStandardError();
    if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) {
        const QString said = lastLines(error);
        return Result<VideoFacts>::failure(
            tr("ffprobe cannot read %1: %2")
                .arg(videoPath,
                     said.isEmpty() ? tr("it exited with status %1").arg(process.exitCode()) : said),
            QString::fromUtf8(error));
    }
    return parse(process.readAllStandardOutput(), videoPath);
}

Result<VideoFacts> VideoProbe::parse(const QByteArray& json, const QString& videoPath) {
    const QJsonObject root = QJsonDocument::fromJson(json).object();
    const QJsonArray streams = root.value(QStringLiteral("streams")).toArray();
    if (streams.isEmpty())
        return Result<VideoFacts>::failure(tr("%1 holds no video stream").arg(videoPath),
                                           QString::fromUtf8(json));
    const QJsonObject stream = streams.first().toObject();
    const QJsonObject format = root.value(QStringLiteral("format")).toObject();
    VideoFacts facts;
    facts.size = QSize(int(wholeNumber(stream.value(QStringLiteral("width")))),
                       int(wholeNumber(stream.value(QStringLiteral("height")))));
    facts.frames = wholeNumber(stream.value(QStringLiteral("nb_read_packets")));
    readRate(stream.value(QStringLiteral("avg_frame_rate")).toString(), facts);
    if (facts.rateNumerator == 0)
        readRate(stream.value(QStringLiteral("r_frame_rate")).toString(), facts);
    facts.bitRate = wholeNumber(stream.value(QStringLiteral("bit_rate")));
    if (facts.bitRate == 0)
        facts.bitRate = wholeNumber(format.value(QStringLiteral("bit_rate")));
    facts.codec = stream.value(QStringLiteral("codec_name")).toString();
    facts.profile = stream.value(QStringLiteral("profile")).toString();
    facts.level = levelName(int(wholeNumber(stream.value(QStringLiteral("level")))));
    facts.pixelFormat = stream.value(QStringLiteral("pix_fmt")).toString();
    if (facts.size.isEmpty())
        return Result<VideoFacts>::failure(tr("%1: ffprobe gives no frame size").arg(videoPath),
                                           QString::fromUtf8(json));
    if (facts.rateNumerator == 0)
        return Result<VideoFacts>::failure(tr("%1: ffprobe gives no frame rate").arg(videoPath),
                                           QString::fromUtf8(json));
    return facts;
}

QStringList VideoProbe::probeArguments(const QString& videoPath) {
    return {
        QStringLiteral("-v"),
        QStringLiteral("error"),
        QStringLiteral("-select_streams"),
        QStringLiteral("v:0"),
        QStringLiteral("-count_packets"),
        QStringLiteral("-show_entries"),
        QStringLiteral("stream=codec_name,profile,level,width,height,pix_fmt,r_frame_rate,avg_frame_rate,"
                       "bit_rate,nb_read_packets:format=bit_rate"),
        QStringLiteral("-of"),
        QStringLiteral("json"),
        // "file:" keeps any path a plain file, never an option or a URL.
        QStringLiteral("file:") + QFileInfo(videoPath).absoluteFilePath(),
    };
}

QString VideoProbe::levelName(int levelIdc) {
    if (levelIdc <= 0)
        return {};
    return QStringLiteral("%1.%2").arg(levelIdc / 10).arg(levelIdc % 10);
}

} // namespace zev

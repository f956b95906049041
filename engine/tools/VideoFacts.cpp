#include "tools/VideoFacts.h"

#include <QMap>

namespace zev {

namespace {

QMap<QByteArray, QByteArray> keyValues(const QByteArray& output) {
    QMap<QByteArray, QByteArray> values;
    for (const QByteArray& rawLine : output.split('\n')) {
        const QByteArray line = rawLine.trimmed();
        const qsizetype equals = line.indexOf('=');
        // The stream's entries come first; the container's bitrate only
        // stands in for a stream that has none.
        if (equals <= 0 || line.mid(equals + 1) == "N/A" || values.contains(line.left(equals)))
            continue;
        values.insert(line.left(equals), line.mid(equals + 1));
    }
    return values;
}

QString text(const QMap<QByteArray, QByteArray>& values, const char* key) {
    const QByteArray value = values.value(key);
    return value.isEmpty() ? QStringLiteral("unknown") : QString::fromUtf8(value);
}

// ffprobe gives H.264's level_idc, ten times the level.
QString levelName(const QByteArray& levelIdc) {
    bool ok = false;
    const int idc = levelIdc.toInt(&ok);
    if (!ok || idc <= 0)
        return QStringLiteral("unknown");
    return QStringLiteral("%1.%2").arg(idc / 10).arg(idc % 10);
}

} // namespace

Result<VideoFacts> VideoFacts::read(const QString& ffprobePath, const QString& videoPath,
                                    const ToolRunOptions& options) {
    ToolRunOptions probeOptions = options;
    probeOptions.captureStandardOutput = true;
    const QStringList arguments{
        QStringLiteral("-v"),
        QStringLiteral("error"),
        QStringLiteral("-select_streams"),
        QStringLiteral("v:0"),
        QStringLiteral("-show_entries"),
        QStringLiteral("stream=profile,level,bit_rate,color_space,color_range,color_primaries,color_transfer:"
                       "format=bit_rate"),
        QStringLiteral("-of"),
        QStringLiteral("default=noprint_wrappers=1"),
        QStringLiteral("file:") + videoPath,
    };
    const ToolRunResult run = ToolRunner::run(arguments, ffprobePath, probeOptions);
    if (Result<> ended = run.outcome(QStringLiteral("ffprobe")); !ended)
        return ended.failure();
    return parse(run.standardOutput);
}

VideoFacts VideoFacts::parse(const QByteArray& ffprobeOutput) {
    const QMap<QByteArray, QByteArray> values = keyValues(ffprobeOutput);
    VideoFacts facts;
    facts.profile = text(values, "profile");
    facts.level = levelName(values.value("level"));
    facts.colour = {text(values, "color_space"), text(values, "color_range"), text(values, "color_primaries"),
                    text(values, "color_transfer")};
    bool ok = false;
    const qint64 bitsPerSecond = values.value("bit_rate").toLongLong(&ok);
    facts.bitrateKbits = ok ? (bitsPerSecond + 500) / 1000 : 0;
    return facts;
}

} // namespace zev

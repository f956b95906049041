#include "tools/VideoProbe.h"

#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace zev {

namespace {

// ffprobe prints some numbers of a stream as JSON strings ("nb_read_packets":
// "60") and some as numbers ("level": 30); both are read.
qint64 wholeNumber(const QJsonValue& value) {
    if (value.isDouble())
        return value.toInteger();
    bool ok = false;
    const qint64 number = value.toString().toLongLong(&ok);
    return ok ? number : 0;
}

double decimal(const QJsonValue& value) {
    if (value.isDouble())
        return value.toDouble();
    bool ok = false;
    const double number = value.toString().toDouble(&ok);
    return ok ? number : 0;
}

// ffprobe's "unknown" and "[0][0][0][0]" say nothing.
QString named(const QJsonObject& object, const char* key, const QString& nothing = QString()) {
    const QString text = object.value(QLatin1String(key)).toString();
    if (text.isEmpty() || text == QLatin1String("[0][0][0][0]"))
        return nothing;
    return text;
}

void readRate(const QString& text, VideoFacts::Stream& stream) {
    const QStringList parts = text.split(u'/');
    if (parts.size() != 2)
        return;
    const int numerator = parts[0].toInt();
    const int denominator = parts[1].toInt();
    if (numerator > 0 && denominator > 0) {
        stream.rateNumerator = numerator;
        stream.rateDenominator = denominator;
    }
}

// Matroska gives a stream's length as a tag, "00:00:02.000000000".
double taggedSeconds(const QMap<QString, QString>& tags) {
    const QStringList parts = tags.value(QStringLiteral("DURATION")).split(u':');
    if (parts.size() != 3)
        return 0;
    return parts[0].toDouble() * 3600 + parts[1].toDouble() * 60 + parts[2].toDouble();
}

QMap<QString, QString> tagsOf(const QJsonObject& object) {
    QMap<QString, QString> tags;
    const QJsonObject json = object.value(QStringLiteral("tags")).toObject();
    for (auto tag = json.begin(); tag != json.end(); ++tag)
        tags.insert(tag.key(), tag.value().toString());
    return tags;
}

VideoFacts::Stream streamFrom(const QJsonObject& json) {
    VideoFacts::Stream stream;
    stream.index = int(wholeNumber(json.value(QStringLiteral("index"))));
    stream.type = named(json, "codec_type");
    stream.codec = named(json, "codec_name");
    stream.codecTag = named(json, "codec_tag_string");
    stream.profile = named(json, "profile");
    stream.level = VideoProbe::levelName(stream.codec, int(wholeNumber(json.value(QStringLiteral("level")))));
    stream.size = QSize(int(wholeNumber(json.value(QStringLiteral("width")))),
                        int(wholeNumber(json.value(QStringLiteral("height")))));
    stream.pixelFormat = named(json, "pix_fmt");
    const QString unknown = QStringLiteral("unknown");
    stream.colour = {named(json, "color_range", unknown), named(json, "color_space", unknown),
                     named(json, "color_primaries", unknown), named(json, "color_transfer", unknown)};
    readRate(json.value(QStringLiteral("avg_frame_rate")).toString(), stream);
    if (stream.rateNumerator == 0)
        readRate(json.value(QStringLiteral("r_frame_rate")).toString(), stream);
    stream.packets = wholeNumber(json.value(QStringLiteral("nb_read_packets")));
    stream.bitRate = wholeNumber(json.value(QStringLiteral("bit_rate")));
    stream.durationSeconds = decimal(json.value(QStringLiteral("duration")));
    stream.sampleRate = int(wholeNumber(json.value(QStringLiteral("sample_rate"))));
    stream.channels = int(wholeNumber(json.value(QStringLiteral("channels"))));
    stream.tags = tagsOf(json);
    if (stream.durationSeconds <= 0)
        stream.durationSeconds = taggedSeconds(stream.tags);
    return stream;
}

QString lastLines(const QByteArray& output) {
    QStringList lines = QString::fromUtf8(output).split(u'\n', Qt::SkipEmptyParts);
    while (lines.size() > 3)
        lines.removeFirst();
    return lines.join(QStringLiteral(" / ")).trimmed();
}

} // namespace

Result<VideoFacts> VideoProbe::probe(const QString& ffprobePath, const QString& videoPath,
                                     const ToolRunOptions& options) {
    if (!QFileInfo(videoPath).isFile())
        return Result<VideoFacts>::failure(tr("there is no video file at %1").arg(videoPath));
    ToolRunOptions probeOptions = options;
    probeOptions.captureStandardOutput = true;
    // A file that keeps ffprobe reading for ever is given up after a while.
    if (probeOptions.timeoutMs == 0)
        probeOptions.timeoutMs = kTimeoutMs;
    const ToolRunResult run = ToolRunner::run(probeArguments(videoPath), ffprobePath, probeOptions);
    if (run.timedOut)
        return Result<VideoFacts>::failure(tr("ffprobe did not finish reading %1 within %2 s")
                                               .arg(videoPath)
                                               .arg(probeOptions.timeoutMs / 1000));
    if (!run.started || run.crashed || run.cancelled)
        return run.outcome(QStringLiteral("ffprobe")).failure();
    if (run.exitCode != 0) {
        const QString said = lastLines(run.standardError);
        return Result<VideoFacts>::failure(
            tr("ffprobe cannot read %1: %2")
                .arg(videoPath, said.isEmpty() ? tr("it exited with status %1").arg(run.exitCode) : said),
            QString::fromUtf8(run.standardError));
    }
    return parse(run.standardOutput, videoPath);
}

Result<VideoFacts> VideoProbe::parse(const QByteArray& json, const QString& videoPath) {
    const QJsonObject root = QJsonDocument::fromJson(json).object();
    const QJsonArray streams = root.value(QStringLiteral("streams")).toArray();
    if (streams.isEmpty())
        return Result<VideoFacts>::failure(tr("%1 holds no stream").arg(videoPath), QString::fromUtf8(json));
    VideoFacts facts;
    facts.path = videoPath;
    for (const QJsonValue& stream : streams)
        facts.streams.append(streamFrom(stream.toObject()));
    const QJsonObject format = root.value(QStringLiteral("format")).toObject();
    facts.formatName = named(format, "format_name");
    facts.durationSeconds = decimal(format.value(QStringLiteral("duration")));
    facts.formatBitRate = wholeNumber(format.value(QStringLiteral("bit_rate")));
    facts.formatTags = tagsOf(format);
    return facts;
}

QStringList VideoProbe::probeArguments(const QString& videoPath) {
    return {
        QStringLiteral("-v"),
        QStringLiteral("error"),
        // Counts the packets of every stream while reading the file, one per
        // video frame, without decoding any.
        QStringLiteral("-count_packets"),
        QStringLiteral("-show_entries"),
        QStringLiteral("stream=index,codec_type,codec_name,codec_tag_string,profile,level,width,height,"
                       "pix_fmt,color_range,color_space,color_primaries,color_transfer,r_frame_rate,"
                       "avg_frame_rate,bit_rate,nb_read_packets,duration,sample_rate,channels:stream_tags:"
                       "format=format_name,duration,bit_rate:format_tags"),
        QStringLiteral("-of"),
        QStringLiteral("json"),
        // "file:" keeps any path a plain file: a name starting with "-" is
        // not taken for an option, nor one like "http:x.mp4" for a URL.
        QStringLiteral("file:") + QFileInfo(videoPath).absoluteFilePath(),
    };
}

QString VideoProbe::levelName(const QString& codec, int level) {
    if (codec == QLatin1String("h264") && level > 0)
        return level == 9 ? QStringLiteral("1b") : QStringLiteral("%1.%2").arg(level / 10).arg(level % 10);
    if (codec == QLatin1String("hevc") && level > 0)
        return QStringLiteral("%1.%2").arg(level / 30).arg(level % 30 / 3);
    // AV1's seq_level_idx 0 is level 2.0; 31 means "no level".
    if (codec == QLatin1String("av1") && level >= 0 && level < 31)
        return QStringLiteral("%1.%2").arg(2 + level / 4).arg(level % 4);
    return {};
}

} // namespace zev

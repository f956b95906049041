#include "tools/VideoVerifier.h"

#include <QList>
#include <QMap>
#include <cstdlib>

namespace {

using Stream = QMap<QByteArray, QByteArray>;

// ffprobe's default writer prints each stream as a "[STREAM]" … "[/STREAM]"
// block of "key=value" lines. Output without those wrappers is read too: a
// stream then starts at its "index" line, which ffprobe always prints first.
QList<Stream> parseStreams(const QByteArray& output) {
    QList<Stream> streams;
    bool inWrapper = false;
    for (const QByteArray& rawLine : output.split('\n')) {
        const QByteArray line = rawLine.trimmed();
        if (line == "[STREAM]" || line == "[/STREAM]") {
            inWrapper = line == "[STREAM]";
            if (inWrapper)
                streams.append(Stream());
            continue;
        }
        const qsizetype equals = line.indexOf('=');
        if (equals <= 0)
            continue;
        const QByteArray key = line.left(equals);
        if (!inWrapper && (streams.isEmpty() || key == "index"))
            streams.append(Stream());
        streams.last().insert(key, line.mid(equals + 1));
    }
    return streams;
}

// The text under key, or "unknown" when ffprobe gave none.
QString text(const Stream& stream, const char* key) {
    const QByteArray value = stream.value(key);
    return value.isEmpty() ? QStringLiteral("unknown") : QString::fromUtf8(value);
}

// The whole number under key, or -1 when ffprobe gave none ("N/A", nothing).
qint64 number(const Stream& stream, const char* key) {
    bool ok = false;
    const qint64 value = stream.value(key).toLongLong(&ok);
    return ok && value >= 0 ? value : -1;
}

QString frames(qint64 count) {
    return count == 1 ? QStringLiteral("1 frame") : QStringLiteral("%1 frames").arg(count);
}

QString reasonAgainst(const QList<Stream>& streams, const ExpectedVideo& expected) {
    if (streams.isEmpty())
        return QStringLiteral("the video has no streams, expected one video stream");
    if (streams.size() > 1) {
        QStringList types;
        for (const Stream& stream : streams)
            types.append(text(stream, "codec_type"));
        return QStringLiteral("the video has %1 streams (%2), expected one video stream")
            .arg(streams.size())
            .arg(types.join(QStringLiteral(", ")));
    }
    const Stream& video = streams.first();
    if (text(video, "codec_type") != QStringLiteral("video"))
        return QStringLiteral("the video's only stream is %1, expected a video stream")
            .arg(text(video, "codec_type"));
    if (text(video, "codec_name") != QStringLiteral("h264"))
        return QStringLiteral("the video's codec is %1, expected h264").arg(text(video, "codec_name"));
    const QString expectedSize = QStringLiteral("%1×%2").arg(expected.width).arg(expected.height);
    const qint64 width = number(video, "width");
    const qint64 height = number(video, "height");
    if (width < 0 || height < 0)
        return QStringLiteral("the video's size is unknown, expected %1").arg(expectedSize);
    if (width != expected.width || height != expected.height)
        return QStringLiteral("the video is %1×%2, expected %3").arg(width).arg(height).arg(expectedSize);
    if (text(video, "pix_fmt") != QStringLiteral("yuv420p"))
        return QStringLiteral("the video's pixel format is %1, expected yuv420p").arg(text(video, "pix_fmt"));
    const qint64 count = number(video, "nb_read_packets");
    if (count < 0)
        return QStringLiteral("the video's frame count is unknown, expected %1").arg(expected.frames);
    if (std::llabs(count - expected.frames) > VideoVerifier::kFrameTolerance)
        return QStringLiteral("the video has %1, expected %2").arg(frames(count)).arg(expected.frames);
    return QString();
}

} // namespace

Result<> VideoVerifier::verify(const QString& ffprobePath, const QString& videoPath,
                               const ExpectedVideo& expected, const ToolRunOptions& options) {
    ToolRunOptions probeOptions = options;
    probeOptions.captureStandardOutput = true;
    const ToolRunResult run = ToolRunner::run(probeArguments(videoPath), ffprobePath, probeOptions);
    Result<> ended = run.outcome(QStringLiteral("ffprobe"));
    if (ended.ok())
        return check(run.standardOutput, expected);
    // A plain refusal is about the file; anything else (no start, a crash,
    // a stop) is told as the run's ending.
    const bool refused = run.started && !run.crashed && !run.cancelled;
    if (!refused)
        return ended;
    QString reason = QStringLiteral("ffprobe cannot read %1").arg(videoPath);
    const QString tail = run.lastErrorLines();
    reason += QStringLiteral(": ") + (tail.isEmpty() ? QStringLiteral("it %1").arg(run.ending()) : tail);
    return Result<>::failure(reason, ended.details());
}

Result<> VideoVerifier::check(const QByteArray& ffprobeOutput, const ExpectedVideo& expected) {
    const QString reason = reasonAgainst(parseStreams(ffprobeOutput), expected);
    if (reason.isEmpty())
        return Result<>::success();
    return Result<>::failure(reason, QString::fromUtf8(ffprobeOutput));
}

QStringList VideoVerifier::probeArguments(const QString& videoPath) {
    return {
        QStringLiteral("-v"),
        QStringLiteral("error"),
        // Counts the packets while reading the file, one per H.264 frame,
        // without decoding any.
        QStringLiteral("-count_packets"),
        QStringLiteral("-show_entries"),
        QStringLiteral("stream=index,codec_type,codec_name,width,height,pix_fmt,nb_read_packets"),
        QStringLiteral("-of"),
        QStringLiteral("default"),
        // "file:" keeps any path a plain file: a name starting with "-" is
        // not taken for an option, nor one like "http:x.mp4" for a URL.
        QStringLiteral("file:") + videoPath,
    };
}

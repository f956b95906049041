#include "tools/VideoVerifier.h"

#include <QFile>
#include <QList>
#include <QMap>
#include <QtEndian>
#include <cstdlib>

namespace zev {

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
    return count == 1 ? VideoVerifier::tr("1 frame") : VideoVerifier::tr("%1 frames").arg(count);
}

QString reasonAgainst(const QList<Stream>& streams, const ExpectedVideo& expected) {
    if (streams.isEmpty())
        return VideoVerifier::tr("the video has no streams, expected one video stream");
    if (streams.size() > 1) {
        QStringList types;
        for (const Stream& stream : streams)
            types.append(text(stream, "codec_type"));
        return VideoVerifier::tr("the video has %1 streams (%2), expected one video stream")
            .arg(streams.size())
            .arg(types.join(QStringLiteral(", ")));
    }
    const Stream& video = streams.first();
    if (text(video, "codec_type") != QStringLiteral("video"))
        return VideoVerifier::tr("the video's only stream is %1, expected a video stream")
            .arg(text(video, "codec_type"));
    if (text(video, "codec_name") != QStringLiteral("h264"))
        return VideoVerifier::tr("the video's codec is %1, expected h264").arg(text(video, "codec_name"));
    const QString expectedSize = QStringLiteral("%1×%2").arg(expected.width).arg(expected.height);
    const qint64 width = number(video, "width");
    const qint64 height = number(video, "height");
    if (width < 0 || height < 0)
        return VideoVerifier::tr("the video's size is unknown, expected %1").arg(expectedSize);
    if (width != expected.width || height != expected.height)
        return VideoVerifier::tr("the video is %1×%2, expected %3").arg(width).arg(height).arg(expectedSize);
    if (text(video, "pix_fmt") != QStringLiteral("yuv420p"))
        return VideoVerifier::tr("the video's pixel format is %1, expected yuv420p")
            .arg(text(video, "pix_fmt"));
    const qint64 count = number(video, "nb_read_packets");
    if (count < 0)
        return VideoVerifier::tr("the video's frame count is unknown, expected %1").arg(expected.frames);
    if (std::llabs(count - expected.frames) > VideoVerifier::kFrameTolerance)
        return VideoVerifier::tr("the video has %1, expected %2").arg(frames(count)).arg(expected.frames);
    const ColourDescription colour{text(video, "color_range"), text(video, "color_space"),
                                   text(video, "color_primaries"), text(video, "color_transfer")};
    if (colour != expected.colour)
        return VideoVerifier::tr("the video's colour description (range/matrix/primaries/transfer) is %1, "
                                 "expected %2")
            .arg(colour.text(), expected.colour.text());
    return QString();
}

} // namespace

Result<> VideoVerifier::verify(const QString& ffprobePath, const QString& videoPath,
                               const ExpectedVideo& expected, const ToolRunOptions& options) {
    ToolRunOptions probeOptions = options;
    probeOptions.captureStandardOutput = true;
    const ToolRunResult run = ToolRunner::run(probeArguments(videoPath), ffprobePath, probeOptions);
    Result<> ended = run.outcome(QStringLiteral("ffprobe"));
    if (ended.ok()) {
        if (Result<> checked = check(run.standardOutput, expected); !checked)
            return checked;
        if (!indexLeads(videoPath))
            return Result<>::failure(tr("the index of %1 comes after its frames").arg(videoPath));
        return Result<>::success();
    }
    // A plain refusal is about the file; anything else (no start, a crash,
    // a stop) is told as the run's ending.
    const bool refused = run.started && !run.crashed && !run.cancelled;
    if (!refused)
        return ended;
    const QString tail = run.lastErrorLines();
    const QString why = tail.isEmpty() ? tr("it %1").arg(run.ending()) : tail;
    return Result<>::failure(tr("ffprobe cannot read %1: %2").arg(videoPath, why), ended.details());
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
        QStringLiteral("stream=index,codec_type,codec_name,width,height,pix_fmt,nb_read_packets,"
                       "color_range,color_space,color_primaries,color_transfer"),
        QStringLiteral("-of"),
        QStringLiteral("default"),
        // "file:" keeps any path a plain file: a name starting with "-" is
        // not taken for an option, nor one like "http:x.mp4" for a URL.
        QStringLiteral("file:") + videoPath,
    };
}

bool VideoVerifier::indexLeads(const QString& videoPath) {
    QFile file(videoPath);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    // Each box starts with its size (4 bytes, big-endian; 1: a 64-bit size
    // follows the type; 0: to the end of the file) and its type (4 bytes).
    qint64 at = 0;
    while (file.seek(at)) {
        const QByteArray header = file.read(16);
        if (header.size() < 8)
            return false;
        const QByteArray type = header.mid(4, 4);
        if (type == "moov")
            return true;
        if (type == "mdat")
            return false;
        qint64 size = qFromBigEndian<quint32>(header.constData());
        if (size == 1 && header.size() == 16)
            size = qint64(qFromBigEndian<quint64>(header.constData() + 8));
        if (size < 8)
            return false;
        at += size;
    }
    return false;
}

} // namespace zev

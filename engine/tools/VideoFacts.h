#pragma once

#include "tools/ColourDescription.h"

#include <QList>
#include <QMap>
#include <QSize>
#include <QString>

namespace zev {

// What ffprobe tells about a media file: its container and every stream in
// it, each with the packets counted while reading (one per video frame),
// without decoding. One type for every reader: the check of a written
// video, the end of a run, the preview, the way back to frames and
// --inspect.
struct VideoFacts {
    struct Stream {
        int index = 0;
        // "video", "audio", "data", "subtitle", "attachment".
        QString type;
        // ffprobe's names: "h264", "hevc", "av1", "vp9", "aac", "opus".
        QString codec;
        // The sample entry in an MP4 ("avc1", "hvc1", "hev1", "av01"); empty
        // where the container has none (WebM).
        QString codecTag;
        QString profile;
        // "4.1", "5.0"; empty where the stream names none.
        QString level;
        QSize size;
        QString pixelFormat;
        ColourDescription colour;
        int rateNumerator = 0;
        int rateDenominator = 1;
        qint64 packets = 0;
        qint64 bitRate = 0;
        double durationSeconds = 0;
        int sampleRate = 0;
        int channels = 0;
        QMap<QString, QString> tags;

        double framesPerSecond() const {
            return rateDenominator > 0 ? double(rateNumerator) / rateDenominator : 0;
        }
        bool isVideo() const { return type == QLatin1String("video"); }
        bool isAudio() const { return type == QLatin1String("audio"); }
    };

    QString path;
    // ffprobe's format names: "mov,mp4,m4a,3gp,3g2,mj2", "matroska,webm".
    QString formatName;
    double durationSeconds = 0;
    qint64 formatBitRate = 0;
    QMap<QString, QString> formatTags;
    QList<Stream> streams;

    // The container's tag in which ZEV records the animation's frame rate
    // (VideoRewriter::inputFpsMetadata).
    static inline const QString kInputFpsTag = QStringLiteral("zev_input_fps");
    // The rate recorded there, or 0 when the video records none.
    qint64 recordedInputFps() const;

    // The first video stream; a default one (empty size) when there is none.
    const Stream& video() const;
    bool hasVideo() const;
    int count(const QString& type) const;

    // The first video stream's facts, as the readers of a ZEV video use them.
    QSize size() const { return video().size; }
    qint64 frames() const { return video().packets; }
    double framesPerSecond() const { return video().framesPerSecond(); }
    // The video stream's bitrate in bit/s, or the container's when the
    // stream names none; 0 when neither does.
    qint64 bitRate() const;
    qint64 bitrateKbits() const { return (bitRate() + 500) / 1000; }

    bool isMp4() const { return formatName.contains(QLatin1String("mp4")); }
    bool isWebm() const { return formatName.contains(QLatin1String("webm")); }
};

} // namespace zev

#pragma once

#include "core/Result.h"

#include <QCoreApplication>
#include <QSize>
#include <QString>
#include <QStringList>

namespace zev {

// What ffprobe tells about a video's first video stream, as the preview and
// the way back to frames need it.
struct VideoFacts {
    QSize size;
    qint64 frames = 0;
    // The frame rate as a fraction (25/1), and the stream's bitrate in bit/s
    // (the container's when the stream names none; 0 when neither does).
    int rateNumerator = 0;
    int rateDenominator = 1;
    qint64 bitRate = 0;
    QString codec;
    QString profile;
    // "3.1" for H.264's level_idc 31; empty when ffprobe gives none.
    QString level;
    QString pixelFormat;

    double framesPerSecond() const {
        return rateDenominator > 0 ? double(rateNumerator) / rateDenominator : 0;
    }
};

// Reads a video's facts with ffprobe, counting its frames from the packets
// without decoding them. A file ffprobe cannot read, or one without a video
// stream, gives a reason naming the file and what ffprobe said.
class VideoProbe {
    Q_DECLARE_TR_FUNCTIONS(VideoProbe)

public:
    static constexpr int kTimeoutMs = 30000;

    static Result<VideoFacts> probe(const QString& ffprobePath, const QString& videoPath);

    // Judges ffprobe's JSON output for probeArguments().
    static Result<VideoFacts> parse(const QByteArray& json, const QString& videoPath);
    static QStringList probeArguments(const QString& videoPath);
    // "3.1" for 31, "1b" is not told apart from 1.1; empty for none.
    static QString levelName(int levelIdc);
};

} // namespace zev

#pragma once

#include "core/Result.h"
#include "preview/PackedFrame.h"

#include <QCoreApplication>
#include <QSize>
#include <QString>
#include <QStringList>
#include <memory>
#include <optional>

class QProcess;

namespace zev {

class Cancellation;

// Decodes a ZEV video frame by frame: ffmpeg runs as a child process and
// writes raw 8-bit RGB frames to a pipe, which next() reads one frame at a
// time. Reading is what paces ffmpeg: while no one reads, the pipe is full
// and ffmpeg waits, so a paused preview costs no CPU and holds one frame's
// worth of memory.
//
// Used from one thread (the one that started it). Destroying the decoder, or
// stop(), ends the child: the preview's decoder never outlives its window.
class PackedVideoDecoder {
    Q_DECLARE_TR_FUNCTIONS(PackedVideoDecoder)

public:
    struct Request {
        QString ffmpegPath;
        QString videoPath;
        QSize packedSize;
        // The first frame to give, counted from 0, and the video's frame
        // rate, which turns it into the time ffmpeg seeks to.
        qint64 firstFrame = 0;
        double framesPerSecond = 25;
        // How long ffmpeg may go without writing a byte before the video
        // counts as unreadable.
        int stallTimeoutMs = 15000;
        const Cancellation* cancellation = nullptr;
        // ffmpeg's whole argument list in place of arguments(), for a
        // reader of other frames (a media source as the conversion reads
        // it), and the bytes of one pixel it writes: 3 (rgb24) or 4 (rgba).
        QStringList customArguments;
        int bytesPerPixel = 3;
    };

    static constexpr int kPollMs = 50;
    // The chroma planes at full size, each pixel's chroma interpolated
    // between the four nearest samples as a GPU's bilinear sampler does,
    // before the conversion to RGB.
    static inline const QString kChromaUpsampling =
        QStringLiteral("scale=flags=bilinear+accurate_rnd,format=yuv444p");

    explicit PackedVideoDecoder(Request request);
    ~PackedVideoDecoder();
    PackedVideoDecoder(const PackedVideoDecoder&) = delete;
    PackedVideoDecoder& operator=(const PackedVideoDecoder&) = delete;

    Result<> start();
    // The next frame; nothing once the video has ended cleanly; or why it
    // cannot be decoded (ffmpeg's own words, a stall, a stop).
    Result<std::optional<PackedFrame>> next();
    // Ends the child at once (SIGKILL: there is nothing of it to keep).
    void stop();

    bool isRunning() const;
    qint64 framesRead() const { return nextIndex_ - request_.firstFrame; }
    qint64 processId() const;

    static QStringList arguments(const QString& videoPath, qint64 firstFrame, double framesPerSecond);

private:
    Result<std::optional<PackedFrame>> finishedReading(qsizetype bytesRead);
    QString errorTail() const;
    void collectErrorOutput();

    Request request_;
    std::unique_ptr<QProcess> process_;
    QByteArray errorOutput_;
    qint64 nextIndex_ = 0;
};

} // namespace zev

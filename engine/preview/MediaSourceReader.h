#pragma once

#include "core/Result.h"
#include "preview/PackedVideoDecoder.h"
#include "preview/RgbaFrame.h"
#include "tools/MediaSource.h"

#include <QCoreApplication>
#include <QString>
#include <memory>
#include <optional>

namespace zev {

class Cancellation;

// A video or animated image read back as the frames its converted video
// shows: ffmpeg reads it as the conversion did (the same decoder, timing,
// straightening and hold of the last frame, at 25 frames a second) and
// writes straight RGBA frames, so frame i here is what video frame i was
// made of, whatever the source's own rate or timing. Frames are read in
// order; asking for an earlier one starts ffmpeg again. Past the end, the
// last frame stays.
class MediaSourceReader {
    Q_DECLARE_TR_FUNCTIONS(MediaSourceReader)

public:
    // typedFps: the rate the conversion showed the frames at, when not the
    // source's own.
    MediaSourceReader(QString ffmpegPath, MediaSource source, std::optional<qint64> typedFps,
                      const Cancellation* cancellation = nullptr);
    ~MediaSourceReader();
    MediaSourceReader(const MediaSourceReader&) = delete;
    MediaSourceReader& operator=(const MediaSourceReader&) = delete;

    // The source frame video frame videoFrame shows.
    Result<RgbaFrame> frame(qint64 videoFrame);

    // How many video frames the conversion makes of the source.
    qint64 videoFrames() const;
    const MediaSource& source() const { return source_; }

    QStringList arguments() const;

    // The typed rate a converted video shows its source at, judged from
    // the rate its description names (0: none) and its frame count: none
    // when they agree with the source's own timing.
    static std::optional<qint64> typedFpsOf(const MediaSource& source, qint64 describedFps,
                                            qint64 videoFrames);

private:
    Result<> restart();

    QString ffmpegPath_;
    MediaSource source_;
    std::optional<qint64> typedFps_;
    const Cancellation* cancellation_;
    std::unique_ptr<PackedVideoDecoder> decoder_;
    // The index of the frame in last_, -1 before the first.
    qint64 lastIndex_ = -1;
    RgbaFrame last_;
    bool ended_ = false;
};

} // namespace zev

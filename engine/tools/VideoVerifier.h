#pragma once

#include "core/Result.h"
#include "output/VideoFormat.h"
#include "tools/ColourDescription.h"
#include "tools/ToolRunner.h"
#include "tools/VideoFacts.h"

#include <QCoreApplication>
#include <QString>

namespace zev {

// What the written video must hold.
struct ExpectedVideo {
    int width;  // the packed frame's width: the mask beside the colour
    int height; // the packed frame's height
    qint64 frames;
    ColourDescription colour = ColourDescription::ofConversion();
    QString codec = QStringLiteral("h264");
    QString pixelFormat = QStringLiteral("yuv420p");
    // Sound streams besides the video one.
    int audioStreams = 0;
    // The MP4 sample entry ("hvc1"); empty: any, or a container without one.
    QString codecTag = QString();
    VideoFormat::Container container = VideoFormat::Container::Mp4;
    // With a sound stream: its codec ("aac", "opus") and the length it must
    // have, within kSoundTolerance seconds.
    QString audioCodec = QString();
    double soundSeconds = 0;

    // What a video of this format and size is, with its colour description
    // and codec as the express conversion writes them.
    static ExpectedVideo of(const VideoFormat& format, int width, int height, qint64 frames);
    // The same with one sound stream of seconds, as the express conversion muxes it.
    ExpectedVideo withSound(const QString& soundCodec, double seconds) const;
};

// Reads a written video back before it is announced: ffmpeg can exit with
// status 0 and still leave a video that is not the one asked for (stopped
// early, a stream too many, another pixel format), and only reading the file
// tells.
class VideoVerifier {
    Q_DECLARE_TR_FUNCTIONS(VideoVerifier)

public:
    static constexpr qint64 kFrameTolerance = 1;
    // A sound stream is whole packets (AAC's 1024 samples, Opus's 20 ms),
    // so it may end up to a packet after the video, and WebM rounds to the
    // millisecond.
    static constexpr double kSoundTolerance = 0.05;

    // Probes the video (VideoProbe): it must hold exactly the expected
    // streams, a video stream of the expected codec, size and pixel format
    // with a frame count within kFrameTolerance of the expected one and the
    // expected colour description and sample entry, any sound stream of the
    // expected codec and length; the container must be the expected one,
    // with its index (an MP4 file's moov box, a WebM file's cues) before
    // its frames. Answers what the probe found, so the caller need not probe
    // again. options may stop the run and log it.
    static Result<VideoFacts> verify(const QString& ffprobePath, const QString& videoPath,
                                     const ExpectedVideo& expected, const ToolRunOptions& options = {});

    // Judges what the probe found; the streams go into the details of a
    // failure.
    static Result<> check(const VideoFacts& facts, const ExpectedVideo& expected);

    // One line per stream, as a failure's details show them.
    static QString describeStreams(const VideoFacts& facts);
};

} // namespace zev

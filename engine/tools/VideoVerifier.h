#pragma once

#include "core/Result.h"
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
};

// Reads a written video back before it is announced: ffmpeg can exit with
// status 0 and still leave a video that is not the one asked for (stopped
// early, a stream too many, another pixel format), and only reading the file
// tells.
class VideoVerifier {
    Q_DECLARE_TR_FUNCTIONS(VideoVerifier)

public:
    static constexpr qint64 kFrameTolerance = 1;

    // Probes the video (VideoProbe): it must hold exactly the expected
    // streams, a video stream of the expected codec, size and pixel format
    // with a frame count within kFrameTolerance of the expected one and the
    // expected colour description; an MP4 file's index must come before its
    // frames. Answers what the probe found, so the caller need not probe
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
